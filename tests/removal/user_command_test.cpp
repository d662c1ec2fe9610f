// Per-user uninstall commands start as the user through the desktop shell; where no desktop
// shell can start them, only after the user agreed, and not at all on No.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "removal/RemovalEngine.h"
#include "base/TextUtil.h"
#include "removal/UserCommand.h"
#include "support/ScanFixture.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"

namespace tarnock {
namespace {

using testing::Quoted;
using testing::ReadAll;
using testing::RegistryFixture;
using testing::TempFolder;
using testing::WaitUntil;
using testing::WindowsPath;

std::string StartedBy() { return WindowsPath(TARNOCK_BUILD_DIR "/tests/removal_fixtures") + "\\started_by.exe"; }

class AskingHost : public IRemovalHost {
public:
    bool AskYesNo(const std::wstring& text) override {
        asked.push_back(text);
        return false;
    }
    void Tell(const std::wstring& text) override { told.push_back(text); }
    bool AskRunWithAdministratorRights(const std::string& command, const std::string& source) override {
        questions.push_back(command + " | " + source);
        return answer;
    }
    void DeleteRow(const RemovalRow&) override {}
    void Rescan(int) override {}
    void AddChangeWaitEvent(HANDLE) override {}
    void RemoveChangeWaitEvent(HANDLE) override {}
    bool IsShuttingDown() const override { return false; }

    bool answer = false;
    std::vector<std::wstring> asked;
    std::vector<std::wstring> told;
    std::vector<std::string> questions;
};

ShellStart NoDesktopShell(const std::wstring&, const std::wstring&, const std::wstring&, const wchar_t*) {
    return ShellStart::NoDesktopShell;
}

class Engine : public CRemovalEngine {
public:
    using CRemovalEngine::CRemovalEngine;
    void WithoutDesktopShell() { shellStart_ = &NoDesktopShell; }
};

const InstallerProductList kNoProducts;
constexpr char kKey[] = "TnkPerUserUninstaller";

class UserCommand : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(log.c_str());
        const std::string path = std::string(kUninstallRoot) + kKey;
        registry.CreateKey(HKEY_CURRENT_USER, path);
        registry.SetText(HKEY_CURRENT_USER, path, "UninstallString", command);
    }
    void TearDown() override { DeleteFileA(log.c_str()); }
    bool Ran() { return WaitUntil([&] { return ReadAll(log).find("windir=") != std::string::npos; }, 10000); }

    const std::string log = TempFolder() + "tnk-user-command.log";
    const std::string command = Quoted(StartedBy()) + " " + Quoted(log) + " per-user";
    const std::string source = std::string("HKEY_CURRENT_USER\\") + kUninstallRoot + kKey;
    RegistryFixture registry;
    AskingHost host;
};

// With a desktop shell the uninstaller is the shell's child: nothing is asked, and Tarnock
// cannot track it (the wait watches the entry instead).
TEST_F(UserCommand, APerUserEntryIsStartedByTheDesktopShell) {
    Engine engine(host, kNoProducts);
    const UninstallResult result = engine.RunUninstaller(kKey, {HKEY_CURRENT_USER, 0});
    if (result.outcome != UninstallOutcome::StartedUntracked && host.questions.size() == 1)
        GTEST_SKIP() << "no desktop shell in this session";
    EXPECT_EQ(result.outcome, UninstallOutcome::StartedUntracked);
    EXPECT_EQ(result.command, command);
    EXPECT_TRUE(host.questions.empty());
    ASSERT_TRUE(Ran()) << ReadAll(log);
    EXPECT_NE(ReadAll(log).find("args=per-user"), std::string::npos) << ReadAll(log);
    EXPECT_NE(ToLowerAnsi(ReadAll(log)).find("parent=explorer.exe"), std::string::npos) << ReadAll(log);
}

// Without one the user is asked, with the command and its place; No starts nothing, Yes
// starts it as Tarnock's own child. (A row of the machine's place never falls back to a
// same-named per-user entry: that is a missing entry, see the removal engine's tests.)
TEST_F(UserCommand, WithoutADesktopShellOnlyTheUsersYesStartsIt) {
    const struct {
        RegistryPlace place;
        bool yes;
    } cases[] = {{{HKEY_CURRENT_USER, 0}, false}, {{HKEY_CURRENT_USER, 0}, true}};
    for (const auto& [place, yes] : cases) {
        SCOPED_TRACE(std::string(yes ? "Yes " : "No ") + PlaceText(place));
        DeleteFileA(log.c_str());
        host.questions.clear();
        host.answer = yes;
        Engine engine(host, kNoProducts);
        engine.WithoutDesktopShell();
        const UninstallResult result = engine.RunUninstaller(kKey, place);
        EXPECT_EQ(host.questions, std::vector<std::string>{command + " | " + source});
        if (!yes) {
            EXPECT_EQ(result.outcome, UninstallOutcome::Declined);
            EXPECT_EQ(ReadAll(log), "");
            continue;
        }
        EXPECT_EQ(result.outcome, UninstallOutcome::Started);
        ASSERT_TRUE(Ran());
        EXPECT_NE(ReadAll(log).find("parent=user_command_test.exe"), std::string::npos) << ReadAll(log);
    }
}

// A machine entry still starts as before, without the shell and without the question.
TEST_F(UserCommand, MachineEntriesAreNotRoutedThroughTheUser) {
    const std::string path = std::string(kUninstallRoot) + kKey;
    registry.CreateKey(HKEY_LOCAL_MACHINE, path);
    registry.SetText(HKEY_LOCAL_MACHINE, path, "UninstallString", command);
    Engine engine(host, kNoProducts);
    engine.WithoutDesktopShell();
    EXPECT_EQ(engine.RunUninstaller(kKey, {HKEY_LOCAL_MACHINE, 0}).outcome, UninstallOutcome::Started);
    EXPECT_TRUE(host.questions.empty());
    ASSERT_TRUE(Ran());
    EXPECT_NE(ReadAll(log).find("parent=user_command_test.exe"), std::string::npos) << ReadAll(log);
}

// A per-user command that is an address names no folder: its protocol's handler (planted
// by the user) is never reached through "open folder".
TEST_F(UserCommand, AnAddressIsNoFolderToOpen) {
    const std::string handler = "Software\\Classes\\tnkproto";
    registry.SetText(HKEY_CURRENT_USER, handler, "URL Protocol", "");
    registry.SetText(HKEY_CURRENT_USER, handler + "\\shell\\open\\command", "", command + " %1");
    EXPECT_EQ(CRemovalEngine::ContainingFolder("tnkproto://host/x"), "tnkproto://host/");
    EXPECT_FALSE(CRemovalEngine::OpenContainingFolder("tnkproto://host/x"));
    EXPECT_FALSE(CRemovalEngine::OpenContainingFolder("\\\\server\\share\\setup.exe"));
    EXPECT_EQ(ReadAll(log), "");
}

TEST(UserPlaces, OnlyTheUsersHivesCount) {
    EXPECT_TRUE(IsUserPlace({HKEY_CURRENT_USER, 0}));
    EXPECT_TRUE(IsUserPlace({HKEY_USERS, 0}));
    EXPECT_FALSE(IsUserPlace({HKEY_LOCAL_MACHINE, 0}));
    EXPECT_FALSE(IsUserPlace({HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}));
}

}  // namespace
}  // namespace tarnock
