// The release of each architecture: its program folder holds exactly the shipped files,
// stripped, each program with the release's version resource and one manifest, and the
// programs that change the machine ask for administrator rights.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/MessageFilter.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

// The four-part file version of the fixed version information, or nothing.
std::optional<std::string> FileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) return std::nullopt;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return std::nullopt;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length) || length < sizeof(*fixed))
        return std::nullopt;
    char text[64];
    std::snprintf(text, sizeof(text), "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                  HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return std::string(text);
}

struct PeFacts {
    WORD machine = 0;
    DWORD symbols = 0;  // entries of the COFF symbol table: 0 once stripped
};
std::optional<PeFacts> ReadPe(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    IMAGE_DOS_HEADER dos{};
    if (!file.read(reinterpret_cast<char*>(&dos), sizeof(dos)) || dos.e_magic != IMAGE_DOS_SIGNATURE) return std::nullopt;
    file.seekg(dos.e_lfanew);
    DWORD signature = 0;
    IMAGE_FILE_HEADER header{};
    if (!file.read(reinterpret_cast<char*>(&signature), sizeof(signature)) || signature != IMAGE_NT_SIGNATURE ||
        !file.read(reinterpret_cast<char*>(&header), sizeof(header)))
        return std::nullopt;
    return PeFacts{header.Machine, header.NumberOfSymbols};
}

std::string ExecutionLevel(const std::string& manifest) {
    const std::string marker = "requestedExecutionLevel level=\"";
    const std::size_t at = manifest.find(marker);
    if (at == std::string::npos) return {};
    const std::size_t start = at + marker.size();
    return manifest.substr(start, manifest.find('"', start) - start);
}

struct Release {
    const char* name;
    std::string folder;  // package/<version> of that build tree
    WORD machine;
};

void CheckRelease(const Release& release) {
    SCOPED_TRACE(release.name);
    const std::string programFolder = release.folder + "\\Tarnock";
    EXPECT_EQ(FolderEntries(programFolder, true), tarnock::SplitList(SETUP_FILES));
    for (const std::string& name : FolderEntries(programFolder, true)) {
        SCOPED_TRACE(name);
        const std::string path = programFolder + "\\" + name;
        if (name == "kelvo.dat") continue;
        const auto pe = ReadPe(path);
        ASSERT_TRUE(pe);
        EXPECT_EQ(pe->machine, release.machine);
        EXPECT_EQ(pe->symbols, 0u) << "not stripped";
        EXPECT_EQ(FileVersion(path), std::optional<std::string>(SETUP_VERSION));
    }
    const std::string setup = release.folder + "\\TarnockSetup.exe";
    const auto setupPe = ReadPe(setup);
    ASSERT_TRUE(setupPe);
    EXPECT_EQ(setupPe->machine, release.machine);
    EXPECT_EQ(FileVersion(setup), std::optional<std::string>(SETUP_VERSION));
}

}  // namespace

#ifdef _WIN64
const Release kThisRelease{"x64", "", IMAGE_FILE_MACHINE_AMD64};
const Release kOtherRelease{"x86", "", IMAGE_FILE_MACHINE_I386};
#else
const Release kThisRelease{"x86", "", IMAGE_FILE_MACHINE_I386};
const Release kOtherRelease{"x64", "", IMAGE_FILE_MACHINE_AMD64};
#endif

TEST(Release, ProgramFolderOfThisArchitectureIsStrippedAndVersioned) {
    CheckRelease({kThisRelease.name, WindowsPath(SETUP_RELEASE_DIR), kThisRelease.machine});
}

TEST(Release, ProgramFolderOfTheOtherArchitectureIsStrippedAndVersioned) {
    const std::string folder = WindowsPath(SETUP_OTHER_RELEASE_DIR);
    if (GetFileAttributesA((folder + "\\TarnockSetup.exe").c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no build of the other architecture beside this one (tools/build.sh makes both)";
    CheckRelease({kOtherRelease.name, folder, kOtherRelease.machine});
}

TEST(Release, EveryProgramHasOneManifestAndTheRightsItNeeds) {
    const std::string release = WindowsPath(SETUP_RELEASE_DIR);
    struct Program {
        std::string path;
        const char* level;
    };
    std::vector<Program> programs = {
        {release + "\\Tarnock\\Tarnock.exe", "requireAdministrator"},
        {release + "\\TarnockSetup.exe", "requireAdministrator"},
    };
    for (const std::string& name : tarnock::SplitList(SETUP_FILES))
        if (name == "TarnockUpdate.exe") programs.push_back({release + "\\Tarnock\\" + name, "requireAdministrator"});
    for (const Program& program : programs) {
        SCOPED_TRACE(program.path);
        const std::vector<std::string> manifests = Manifests(program.path);
        ASSERT_EQ(manifests.size(), 1u);
        EXPECT_EQ(ExecutionLevel(manifests[0]), program.level);
        EXPECT_NE(manifests[0].find("Microsoft.Windows.Common-Controls"), std::string::npos);
    }
}

TEST(Elevation, HandOverAndDropMessagesAreLetIntoEachWindow) {
    HWND first = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND second = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(AllowHandOverMessages({first, second}));
    // A window that is not there is a failure, not a silent success.
    EXPECT_FALSE(AllowHandOverMessages({first, nullptr}));
    DestroyWindow(first);
    DestroyWindow(second);
}
