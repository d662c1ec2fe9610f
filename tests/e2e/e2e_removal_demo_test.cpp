// Removal end to end: the real Tarnock.exe on a demo machine of its own, driven as a user
// drives it. One removal per category (processes stopped in order, the uninstaller run, the
// leftovers deleted after it, the row gone), no selection, the browser question, a category
// switch during the wait, and closing the program while several removals wait.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/RegistryBackup.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/ProcessControl.h"
#include "resource.h"
#include "support/E2eFixtures.h"
#include "support/ReportServer.h"
#include "support/UiDriver.h"
#include "support/TestMachine.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kUninstall[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// The uninstall entry's key path.
__attribute__((noinline)) std::string EntryKey(const std::string& key) {
    std::string path = kUninstall;
    path += key;
    return path;
}
std::string Fixtures() { return WindowsPath(TARNOCK_REMOVAL_FIXTURES); }
// The files of the registry backup folder.
int BackupFiles() {
    const std::wstring folder = RegistryBackupFolder();
    if (folder.empty()) return 0;
    WIN32_FIND_DATAW found{};
    ScopedFind search(FindFirstFileW((folder + L"\\*.reg").c_str(), &found));
    if (!search) return 0;
    int count = 0;
    do ++count;
    while (FindNextFileW(search.Get(), &found));
    return count;
}
std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, MAX_PATH);
    return folder;
}

// A copy of the process fixture running under `fileName`.
class Running {
public:
    Running(const std::string& fileName, const std::string& mode, const std::string& log = "") {
        path_ = TempFolder() + fileName;
        CopyFileA((Fixtures() + "\\process.exe").c_str(), path_.c_str(), FALSE);
        std::string commandLine = Quoted(path_);
        commandLine += ' ';
        commandLine += mode;
        if (!log.empty()) {
            commandLine += ' ';
            commandLine += Quoted(log);
        }
        process_.Start(path_, commandLine);
        WaitUntil([&] { return !TopLevelWindows(process_.Id()).empty(); }, 5000);
    }
    ~Running() {
        process_.Kill();
        process_.WaitForExit(3000);
        DeleteFileA(path_.c_str());
    }
    ProgramProcess& Process() { return process_; }

private:
    std::string path_;
    ProgramProcess process_;
};

class DemoRemoval : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTarnockTitle) == nullptr; }, 5000));
        // Report view, so that the screenshots show every column.
        ASSERT_TRUE(WriteSetting("DisplayStyle", 1));
    }
    void TearDown() override { app_.Kill(); }

    HWND Launch() {
        main_ = app_.Launch();
        return main_;
    }
    HWND List() const { return app_.List(); }

    bool Click(int id) { return app_.Click(id); }
    // The row whose `column` holds `text`, waited for (threaded scans fill the list later).
    int WaitForRow(int column, const std::string& text, DWORD timeoutMs = 30000) {
        int found = -1;
        WaitUntil(
            [&] {
                RemoteListView list(List());
                found = -1;
                for (int row = 0; row < list.Count() && found < 0; ++row)
                    if (list.Text(row, column) == text) found = row;
                return found >= 0;
            },
            timeoutMs, 100);
        return found;
    }
    bool WaitForRowGone(int column, const std::string& text, DWORD timeoutMs) {
        return WaitUntil(
            [&] {
                RemoteListView list(List());
                for (int row = 0; row < list.Count(); ++row)
                    if (list.Text(row, column) == text) return false;
                return true;
            },
            timeoutMs, 100);
    }
    bool SelectRow(int column, const std::string& text) {
        const int row = WaitForRow(column, text);
        if (row < 0) return false;
        RemoteListView list(List());
        return list.Select(row);
    }
    // The next message box of Tarnock: its text (UTF-8), answered with `button`.
    std::string Answer(int button, DWORD timeoutMs = 15000) {
        const HWND box = WaitForMessageBox(app_.Id(), main_, timeoutMs);
        if (box == nullptr) return "(no message box)";
        const std::string text = Utf8(MessageBoxText(box));
        AnswerDialog(box, button);
        WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 5000);
        return text;
    }
    bool NoMessageBoxFor(DWORD ms) { return WaitForMessageBox(app_.Id(), main_, ms) == nullptr; }

    // Milliseconds until the window is gone after `request`; -1 when it stays 10 s.
    long long TimeToClose(const std::function<void()>& request) {
        const ULONGLONG start = GetTickCount64();
        request();
        if (!WaitUntil([&] { return !IsWindow(main_); }, 10000)) return -1;
        const long long elapsed = static_cast<long long>(GetTickCount64() - start);
        return app_.Process().WaitForExit(10000) ? elapsed : -1;
    }

    TarnockSession app_;
    HWND main_ = nullptr;
};

struct CategoryRemoval {
    const char* name;
    int category;
    int button;
    int column;       // the column that identifies the row
    const char* text;
    const char* gone;  // the uninstall entry (or registration) that must be gone afterwards
};

void PrintTo(const CategoryRemoval& removal, std::ostream* out) { *out << removal.name; }

class RemovalPerCategory : public DemoRemoval, public ::testing::WithParamInterface<CategoryRemoval> {};

TEST_P(RemovalPerCategory, TheRowLeavesOnceTheEntryIsGone) {
    const CategoryRemoval& c = GetParam();
    const std::string cache = SystemFolder() + "\\OCCACHE.DLL";
    if (c.category == 8) {
        ASSERT_TRUE(CopyFileA((Fixtures() + "\\OCCACHE.DLL").c_str(), cache.c_str(), FALSE));
    }
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(c.button));
    ASSERT_TRUE(SelectRow(c.column, c.text)) << "no row " << c.text;
    const int backups = BackupFiles();
    const std::string shot = std::string("removal-") + c.name;
    EXPECT_TRUE(SaveScreenshot(main_, ScreenshotPath(shot + "-before")));
    PostCommand(main_, IDC_REMOVE);
    EXPECT_TRUE(WaitForRowGone(c.column, c.text, 25000)) << "the row stayed";
    EXPECT_TRUE(NoMessageBoxFor(300)) << "a message box was shown";
    EXPECT_TRUE(SaveScreenshot(main_, ScreenshotPath(shot + "-after")));
    bool remains = false;
    if (c.category == 7) remains = ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", c.gone);
    else if (c.category == 8) remains = KeyExists(HKEY_LOCAL_MACHINE, c.gone, KEY_WOW64_32KEY);
    else if (c.category == 6) remains = KeyExists(HKEY_LOCAL_MACHINE, c.gone);
    else remains = KeyExists(HKEY_LOCAL_MACHINE, EntryKey(c.gone));
    EXPECT_FALSE(remains) << c.gone;
    // Tarnock itself deleted a registration here: it kept a copy first.
    if (c.category >= 6 && c.category <= 8) {
        EXPECT_GT(BackupFiles(), backups) << "no backup file";
    }
    if (c.category == 8) DeleteFileA(cache.c_str());
}

INSTANTIATE_TEST_SUITE_P(
    Demo, RemovalPerCategory,
    ::testing::Values(
        CategoryRemoval{"Spyware", 1, IDC_SPYWARE, 2, "Spybot - Search & Destroy_is1", "Spybot - Search & Destroy_is1"},
        CategoryRemoval{"Messenger", 3, IDC_MESSENGER, 2, "NateOnMessenger", "NateOnMessenger"},
        CategoryRemoval{"P2P", 4, IDC_P2P, 2, "Soribada6", "Soribada6"},
        CategoryRemoval{"AllPrograms", 5, IDC_ALLPROGRAMS, 0, "Notepad++ (64-bit x64)", "Notepad++"},
        CategoryRemoval{"AllProgramsUnquoted", 5, IDC_ALLPROGRAMS, 2, "Veraport", "Veraport"},
        CategoryRemoval{"AddOn", 6, IDC_BHO, 2, "{761497BB-D6F0-462C-B6EB-D4DAF1D92D43}",
                        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\"
                        "{761497BB-D6F0-462C-B6EB-D4DAF1D92D43}"},
        CategoryRemoval{"StartUp", 7, IDC_STARTUP, 2, "SoundMan", "SoundMan"},
        // A control of the downloaded-program folder, registered in the 32-bit view.
        CategoryRemoval{"ActiveX", 8, IDC_ACTIVEX, 1, "{7E9FDB80-5316-11D4-B02C-00C04F0CD404}",
                        "SOFTWARE\\Classes\\CLSID\\{7E9FDB80-5316-11D4-B02C-00C04F0CD404}"},
        CategoryRemoval{"Copyright", 9, IDC_COPYRIGHT, 2, "ALZip", "ALZip"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DemoRemoval, ProcessesStopInOrderThenTheUninstallerThenTheLeftovers) {
    const std::string log = TempFolder() + "tnk-demo-order.log";
    DeleteFileA(log.c_str());
    Running scanner("mbam.exe", "close", log);
    Running tray("mbamtray.exe", "close", log);
    ASSERT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Malwarebytes' Anti-Malware"));
    const int backups = BackupFiles();
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(SelectRow(2, "Malwarebytes' Anti-Malware_is1"));
    PostCommand(main_, IDC_REMOVE);
    EXPECT_TRUE(WaitForRowGone(2, "Malwarebytes' Anti-Malware_is1", 30000));
    EXPECT_EQ(ReadAll(log), "closed mbam.exe\nclosed mbamtray.exe\n");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, EntryKey("Malwarebytes' Anti-Malware_is1")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Malwarebytes' Anti-Malware")) << "leftovers stayed";
    EXPECT_GT(BackupFiles(), backups) << "the leftovers were deleted without a backup";
    DeleteFileA(log.c_str());
}

// "목록만 삭제하기": the entry is deleted where it exists, and only then is it reported done.
TEST_F(DemoRemoval, DeletingTheListEntryOnlyDeletesItWhereItExists) {
    struct Case {
        int button;
        const char* key;
        HKEY root;
    };
    const Case cases[] = {{IDC_SPYWARE, "WinFixer 2006", HKEY_LOCAL_MACHINE},
                          {IDC_MESSENGER, "slack", HKEY_CURRENT_USER}};
    ASSERT_TRUE(Launch());
    for (const Case& c : cases) {
        ASSERT_TRUE(KeyExists(c.root, EntryKey(c.key))) << c.key;
        ASSERT_TRUE(Click(c.button));
        const int row = WaitForRow(2, c.key);
        ASSERT_GE(row, 0) << c.key;
        PostMessageW(main_, UM_LISTACTION, 6, row);  // the item menu's action 6 for the row
        EXPECT_EQ(Answer(IDYES), std::string("본기능은 목록만을 삭제하게됩니다.\n레지스트리 [") + c.key + "]을 삭제하시겠습니까?");
        EXPECT_EQ(Answer(IDOK), "삭제완료되었습니다.") << c.key;
        EXPECT_FALSE(KeyExists(c.root, EntryKey(c.key))) << c.key;
        EXPECT_TRUE(WaitForRowGone(2, c.key, 10000)) << c.key;
    }
}

// With the user's consent the removal is reported once, with the five fields; the Korean
// name arrives as its code-page bytes, each percent-encoded.
TEST_F(DemoRemoval, ARemovalWithConsentIsReportedWithItsFiveFields) {
    ReportServer server;
    ASSERT_TRUE(server.Started());
    const std::string ini = StageDir() + "\\Tarnock.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Report", "Address", server.Address("/rank").c_str(), ini.c_str()));
    {
        ScopedKey key;
        ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTarnockSettingsKey, 0, KEY_SET_VALUE, key.Put()), ERROR_SUCCESS);
        const DWORD rank = 1;
        RegSetValueExA(key.Get(), "rank", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&rank), sizeof(rank));
    }
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(IDC_COPYRIGHT));
    ASSERT_TRUE(SelectRow(2, "Bandicam"));
    const std::string iconPath = RemoteListView(List()).Text(WaitForRow(2, "Bandicam"), 3);
    // The report names the icon's file, not the folder it lies in (a user's name, perhaps).
    const std::string iconFile = iconPath.substr(iconPath.find_last_of('\\') + 1);
    ASSERT_EQ(iconFile, "uninstall.exe");
    PostCommand(main_, IDC_REMOVE);
    EXPECT_TRUE(WaitForRowGone(2, "Bandicam", 25000));
    ASSERT_TRUE(server.WaitForRequests(1, 10000));
    const std::vector<ReportServer::Request> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].body,
              "category=9&name=%B9%DD%B5%F0%C4%B7&icon=" + UrlEncode(iconFile) + "&publisher=&key=Bandicam");
    DeleteFileA(ini.c_str());
}

TEST_F(DemoRemoval, WithoutASelectionOnlyTheSelectionMessageIsShown) {
    ASSERT_TRUE(Launch());
    RemoteListView(List()).ClearSelection();
    const int rows = RemoteListView(List()).Count();
    PostCommand(main_, IDC_REMOVE);
    EXPECT_EQ(Answer(IDOK), "리스트를 선택하셔야죠!");
    EXPECT_TRUE(NoMessageBoxFor(500));
    EXPECT_EQ(RemoteListView(List()).Count(), rows);
}

TEST_F(DemoRemoval, TheBrowserQuestionAnsweredNoKeepsEverythingAndYesRemoves) {
    Running browser("iexplore.exe", "close");
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(IDC_TOOLBAR));
    ASSERT_TRUE(SelectRow(2, "NaverToolbar"));
    PostCommand(main_, IDC_REMOVE);
    EXPECT_EQ(Answer(IDNO), "실행중인 모든 브라우져를 닫으셔야 삭제가능합니다.\n삭제를 진행하시겠습니까?");
    EXPECT_TRUE(NoMessageBoxFor(1000));
    EXPECT_TRUE(browser.Process().IsRunning());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, EntryKey("NaverToolbar")));
    EXPECT_GE(WaitForRow(2, "NaverToolbar", 1000), 0);

    ASSERT_TRUE(SelectRow(2, "NaverToolbar"));
    PostCommand(main_, IDC_REMOVE);
    EXPECT_EQ(Answer(IDYES), "실행중인 모든 브라우져를 닫으셔야 삭제가능합니다.\n삭제를 진행하시겠습니까?");
    EXPECT_TRUE(WaitForRowGone(2, "NaverToolbar", 30000));
    EXPECT_TRUE(browser.Process().WaitForExit(5000)) << "the browser still runs";
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, EntryKey("NaverToolbar")));
}

TEST_F(DemoRemoval, ARowOfAnotherCategoryIsNotDeletedWhenTheWaitEnds) {
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(IDC_ALLPROGRAMS));
    ASSERT_TRUE(SelectRow(2, "WinRAR archiver"));
    PostCommand(main_, IDC_REMOVE);
    // Switch while the uninstaller runs (it takes 1.5 s).
    ProcessControl processes;
    processes.Load();
    ASSERT_TRUE(WaitUntil([&] { return processes.IsProcessRunning("uninstall.exe"); }, 10000, 50));
    ASSERT_TRUE(Click(IDC_COPYRIGHT));
    const int rows = RemoteListView(List()).Count();
    ASSERT_TRUE(WaitUntil([] { return !KeyExists(HKEY_LOCAL_MACHINE, EntryKey("WinRAR archiver")); },
                          15000));
    Sleep(1000);  // the removal's wait notices the deletion within a quarter second
    EXPECT_EQ(RemoteListView(List()).Count(), rows) << "a row of the new list was deleted";
}

TEST_F(DemoRemoval, ClosingDuringSeveralWaitsEndsAtOnce) {
    ASSERT_TRUE(Launch());
    const long long plainClose = TimeToClose([&] { PostMessageW(main_, WM_CLOSE, 0, 0); });
    ASSERT_GE(plainClose, 0);

    // Uninstallers that are "cancelled": their entries stay, so each removal waits 30 s.
    std::vector<std::unique_ptr<TestUninstallEntry>> entries;
    for (const char* key : {"TnkWaitOne", "TnkWaitTwo", "TnkWaitThree"})
        entries.push_back(std::make_unique<TestUninstallEntry>(
            key, key, Quoted(Fixtures() + "\\uninstaller.exe") + " cancel HKLM " + key));
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(Click(IDC_ALLPROGRAMS));
    for (const char* key : {"TnkWaitOne", "TnkWaitTwo", "TnkWaitThree"}) {
        ASSERT_TRUE(SelectRow(2, key));
        PostCommand(main_, IDC_REMOVE);
    }
    Sleep(2000);  // every removal has started its uninstaller and is waiting
    EXPECT_TRUE(IsResponsive(main_, 1000));
    for (const char* key : {"TnkWaitOne", "TnkWaitTwo", "TnkWaitThree"}) EXPECT_GE(WaitForRow(2, key, 500), 0);
    const long long withWaits = TimeToClose([&] { PostMessageW(main_, WM_CLOSE, 0, 0); });
    ASSERT_GE(withWaits, 0) << "Tarnock did not end";
    EXPECT_LT(withWaits - plainClose, 1000) << "the close waited for the removals";
    DWORD exitCode = 1;
    app_.Process().WaitForExit(1000, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

}  // namespace
