// The main-menu command "삭제 백업 폴더 열기": the shell is asked to open the backup folder.
// A recorder registered as the folder handler of the test prefix stands in for a file manager.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <string>
#include <vector>

#include "app/BackupFolder.h"
#include "base/RegistryBackup.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "resource.h"
#include "support/E2eFixtures.h"
#include "support/TarnockSession.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

const wchar_t kCommandKey[] = L"Folder\\shell\\open\\command";
// Wine opens folders through a DDE conversation with its explorer; the recorder speaks no
// DDE, so that part is set aside for the test and put back afterwards.
const wchar_t kDdeKey[] = L"Folder\\shell\\open\\ddeexec";
const wchar_t kDdeSaved[] = L"Software\\TarnockTests\\SavedFolderDdeexec";

bool MoveTree(HKEY fromRoot, const wchar_t* from, HKEY toRoot, const wchar_t* to) {
    ScopedKey source;
    if (RegOpenKeyExW(fromRoot, from, 0, KEY_READ, source.Put()) != ERROR_SUCCESS) return false;
    ScopedKey target;
    if (RegCreateKeyExW(toRoot, to, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, target.Put(), nullptr) != ERROR_SUCCESS)
        return false;
    if (RegCopyTreeW(source.Get(), nullptr, target.Get()) != ERROR_SUCCESS) return false;
    source.Reset();
    return RegDeleteTreeW(fromRoot, from) == ERROR_SUCCESS;
}

std::string RecorderLog() { return BuildDir() + "\\tests\\backup-open-calls.txt"; }

std::vector<std::string> RecordedCalls() { return ReadLines(RecorderLog()); }

class BackupFolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteFileA(RecorderLog().c_str());
        RegDeleteTreeW(HKEY_CURRENT_USER, kDdeSaved);
        movedDde_ = MoveTree(HKEY_CLASSES_ROOT, kDdeKey, HKEY_CURRENT_USER, kDdeSaved);
        const std::wstring recorder = WideFromAnsi(BuildDir() + "\\tests\\backup_open_recorder.exe");
        const std::wstring command = L"\"" + recorder + L"\" \"%1\"";
        ScopedKey key;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, kCommandKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                                 static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
                  ERROR_SUCCESS);
    }
    void TearDown() override {
        app_.Kill();
        RegDeleteTreeW(HKEY_CLASSES_ROOT, kCommandKey);
        if (movedDde_) {
            EXPECT_TRUE(MoveTree(HKEY_CURRENT_USER, kDdeSaved, HKEY_CLASSES_ROOT, kDdeKey));
        }
        DeleteFileA(RecorderLog().c_str());
    }
    // The folder named in the recorder's one call, as the shell handed it over.
    static bool OpenedBackupFolder() {
        if (!WaitUntil([] { return !RecordedCalls().empty(); }, 10000)) return false;
        const std::vector<std::string> calls = RecordedCalls();
        const std::string folder = ToLowerAnsi(Utf8(RegistryBackupFolder()));
        return calls.size() == 1 && ToLowerAnsi(calls[0]).find(folder) != std::string::npos;
    }
    TarnockSession app_;
    bool movedDde_ = false;
};

TEST_F(BackupFolderTest, OpensTheBackupFolderWithTheShell) {
    ASSERT_TRUE(movedDde_);
    const std::wstring folder = RegistryBackupFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_TRUE(OpenBackupFolder(nullptr));
    EXPECT_TRUE(OpenedBackupFolder()) << (RecordedCalls().empty() ? "(no call)" : RecordedCalls()[0]);
}

TEST_F(BackupFolderTest, MainMenuCommandOfTheProgramOpensIt) {
    ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTarnockTitle) == nullptr; }, 5000));
    HWND main = app_.Launch();
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(IsResponsive(main, 10000));
    PostCommand(main, ID_MENU_BACKUPFOLDER);
    EXPECT_TRUE(OpenedBackupFolder()) << (RecordedCalls().empty() ? "(no call)" : RecordedCalls()[0]);
    const HWND box = WaitForMessageBox(app_.Id(), main, 300);
    EXPECT_EQ(box, nullptr) << "unexpected message: " << Utf8(MessageBoxText(box));
}

}  // namespace
