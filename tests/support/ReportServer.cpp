#include "support/ReportServer.h"

#include <winsock2.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"

namespace tarnock::testing {

namespace {

std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteWhole(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string FromHex(const std::string& hex) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string UnixPath(const std::string& windowsPath) {  // "Z:\a\b" -> "/a/b"
    std::string path = windowsPath.substr(2);
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

}  // namespace

std::string ReportServer::Request::Header(const std::string& name) const {
    std::istringstream lines(headers);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || ToLowerAnsi(line.substr(0, colon)) != ToLowerAnsi(name)) continue;
        return TrimWhitespace(line.substr(colon + 1));
    }
    return {};
}

ReportServer::ReportServer() {
    static std::atomic<int> counter{0};
    std::string root = std::string("Z:") + TARNOCK_BUILD_DIR + "/tests/report-server";
    for (char& c : root)
        if (c == '/') c = '\\';
    CreateDirectoryA(root.c_str(), nullptr);
    folder_ = root + "\\" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter);
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* name : {"\\port", "\\requests", "\\mode", "\\stop"}) DeleteFileA((folder_ + name).c_str());

    // Wine starts a Unix program named by its Unix path directly; it runs detached.
    std::string command = std::string("/usr/bin/python3 ") + TARNOCK_SOURCE_DIR +
                          "/tests/support/report_server.py serve " + UnixPath(folder_);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return;
    const ScopedHandle process(info.hProcess);
    const ScopedHandle thread(info.hThread);
    for (int i = 0; i < 200 && port_ == 0; ++i) {  // up to 10 s
        const std::string port = ReadWhole(folder_ + "\\port");
        if (!port.empty()) port_ = std::atoi(port.c_str());
        else Sleep(50);
    }
}

ReportServer::~ReportServer() {
    if (port_ == 0) return;
    WriteWhole(folder_ + "\\stop", "stop");
    const std::string port = folder_ + "\\port";
    for (int i = 0; i < 100 && GetFileAttributesA(port.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
    if (GetFileAttributesA(port.c_str()) != INVALID_FILE_ATTRIBUTES) return;  // still running: leave its files
    for (const char* name : {"\\requests", "\\mode", "\\stop"}) DeleteFileA((folder_ + name).c_str());
    RemoveDirectoryA(folder_.c_str());
}

std::string ReportServer::Address(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void ReportServer::SetMode(const std::string& mode) { WriteWhole(folder_ + "\\mode", mode); }

std::vector<ReportServer::Request> ReportServer::Requests() const {
    std::vector<Request> requests;
    const std::string text = ReadWhole(folder_ + "\\requests");
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::vector<std::string> fields;
        std::istringstream line(text.substr(start, end - start));
        std::string field;
        while (std::getline(line, field, '\t')) fields.push_back(FromHex(field));
        fields.resize(4);
        requests.push_back(Request{fields[0], fields[1], fields[2], fields[3]});
    }
    return requests;
}

bool ReportServer::WaitForRequests(std::size_t count, DWORD timeoutMs) const {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (Requests().size() >= count) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
}

int UnusedPort() {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 0;
    int port = 0;
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        int length = sizeof(address);
        if (bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
            getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port = ntohs(address.sin_port);
        closesocket(s);
    }
    WSACleanup();
    return port;
}

}  // namespace tarnock::testing
