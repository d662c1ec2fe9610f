// Starting things as the user through the desktop's shell, and what may be opened at all.
#include <gtest/gtest.h>

#include <string>

#include "base/DesktopShell.h"
#include "base/TextUtil.h"
#include "support/ScanFixture.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"

namespace tarnock {
namespace {

using testing::Quoted;
using testing::ReadAll;
using testing::TempFolder;
using testing::WaitUntil;
using testing::WindowsPath;

std::string StartedBy() { return WindowsPath(TARNOCK_BUILD_DIR "/tests/removal_fixtures") + "\\started_by.exe"; }

TEST(DesktopShell, OnlyExistingLocalFoldersCount) {
    testing::FileFixture files(TempFolder() + "TnkShellFolders");
    const std::string file = files.AddFile("file.txt");
    const struct {
        std::string folder;
        bool local;
    } cases[] = {
        {files.Folder(), true},
        {files.Folder() + "\\", true},
        {files.Folder() + "\\missing", false},
        {file, false},                        // a file is no folder
        {"proto://host/", false},             // what a per-user command "proto://host/x" gave
        {"\\\\server\\share\\", false},       // network path
        {"\\\\?\\" + files.Folder(), false},  // device path
        {"C:", false},                        // the current folder of drive C
        {"relative\\folder", false},
        {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsExistingLocalFolder(WideFromAnsi(c.folder)), c.local) << c.folder;
}

TEST(DesktopShell, OnlyHttpAndHttpsAddressesCount) {
    const struct {
        const char* address;
        bool web;
    } cases[] = {
        {"http://example.com/", true},   {"HTTPS://example.com/a?b=c", true}, {"https://x", true},
        {"http://", false},              {"https:///path", false},            {"file:///C:/Windows/", false},
        {"ms-settings:home", false},     {"javascript:alert(1)", false},      {"proto://host/x", false},
        {"C:\\Windows\\notepad.exe", false}, {" http://example.com/", false}, {"", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsWebAddress(c.address), c.web) << c.address;
    // Refused addresses never reach the shell.
    EXPECT_FALSE(OpenWebAddressAsUser("file:///C:/Windows/"));
    EXPECT_FALSE(OpenFolderAsUser(L"proto://host/"));
}

// The desktop's shell starts the program as its own child: it is not Tarnock's.
TEST(DesktopShell, AProgramStartedThroughTheDesktopShellIsTheShellsChild) {
    const std::string log = TempFolder() + "tnk-shell-start.log";
    DeleteFileA(log.c_str());
    const ShellStart started =
        StartThroughDesktopShell(WideFromAnsi(StartedBy()), WideFromAnsi(Quoted(log) + " one two"), L"");
    if (started == ShellStart::NoDesktopShell) GTEST_SKIP() << "no desktop shell in this session";
    ASSERT_EQ(started, ShellStart::Started);
    ASSERT_TRUE(WaitUntil([&] { return ReadAll(log).find("windir=") != std::string::npos; }, 10000)) << ReadAll(log);
    const std::string line = ReadAll(log);
    EXPECT_NE(line.find("args=one two"), std::string::npos) << line;
    EXPECT_NE(ToLowerAnsi(line).find("parent=explorer.exe"), std::string::npos) << line;
    DeleteFileA(log.c_str());
}

}  // namespace
}  // namespace tarnock
