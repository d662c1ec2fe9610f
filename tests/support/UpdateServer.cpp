#include "support/UpdateServer.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "support/UiDriver.h"

namespace tarnock::testing {

namespace {

std::string ServerRoot() { return BuildDir() + "\\tests\\update-server"; }
std::string FixtureDir() { return BuildDir() + "\\tests\\updater"; }

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

bool RemoveTree(const std::string& folder) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return !std::filesystem::exists(folder, error);
}

std::string FreshTestFolder(const std::string& name) {
    const std::string folder = BuildDir() + "\\tests\\updater-runs\\" + name;
    RemoveTree(folder);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return folder;
}

UpdateScenario::UpdateScenario(std::string name) : name_(std::move(name)), folder_(ServerRoot() + "\\" + name_) {
    RemoveTree(folder_);
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
}

std::string UpdateScenario::Base() const {
    return "http://127.0.0.1:" + std::to_string(UpdateServerPort()) + "/" + name_ + "/";
}

void UpdateScenario::VersionPage(const std::string& text) const { WriteWholeFile(folder_ + "\\TarnockVersion.php", text); }
void UpdateScenario::DownloadBody(const std::string& bytes) const { WriteWholeFile(folder_ + "\\download2.php", bytes); }
void UpdateScenario::Behaviour(const std::string& lines) const { WriteWholeFile(folder_ + "\\behaviour", lines); }

std::vector<std::string> UpdateScenario::Requests() const {
    std::vector<std::string> lines;
    std::istringstream in(ReadWholeFile(folder_ + "\\requests.log"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int UpdateServerPort() {
    const std::string text = Trimmed(ReadWholeFile(ServerRoot() + "\\port"));
    return text.empty() ? 0 : std::atoi(text.c_str());
}

std::string StandInSetupPath() { return FixtureDir() + "\\setup_standin.exe"; }
std::string StandInOffer(const std::string& name) { return ReadWholeFile(FixtureDir() + "\\offer-" + name + ".txt"); }
std::string StandInTarnockPath() { return FixtureDir() + "\\Tarnock.exe"; }

std::string SignedVersionPage(const std::string& offer, const std::string& extraFirst) {
    return extraFirst + StandInOffer(offer) +
           "UpdateDate=2026-12-10\r\nFileName=TarnockSetup.exe\r\nUpdateDesc=Faster scans<br><br>New list\r\n";
}

}  // namespace tarnock::testing
