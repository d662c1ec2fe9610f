// The category scan: signature rows matched exactly or by fragment against the uninstall
// registry, the dispatch of the other categories and the scan's start and end.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "db/DbCtrl.h"
#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/CategoryScan.h"
#include "scan/FragmentMatcher.h"
#include "scan/KelvoEngine.h"
#include "scan/ScanMetrics.h"
#include "support/RowRecorder.h"
#include "support/ScanFixture.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kFolder[] = "C:\\TnkScanTests\\Category";

std::string Entry(const std::string& key) { return kUninstallRoot + key; }

// Entries written with the program's own view, and the user's, live in these places.
const std::string kMachine = PlaceText(MachinePlaces().front());
const std::string kUser = "HKCU";

// Rows of this test's own entries: every key mentions "tnkcat" in some letter case.
std::vector<RecordedRow> Ours(const RowRecorder& rows) {
    std::vector<RecordedRow> result;
    for (const RecordedRow& row : rows.Rows())
        if (Contains(ToLowerAnsi(row.key), "tnkcat")) result.push_back(row);
    return result;
}

class CategoryTest : public ::testing::Test {
protected:
    CategoryTest() : files_(kFolder) {}

    void AddEntry(HKEY root, const std::string& key,
                  std::initializer_list<std::pair<const char*, std::string>> values) {
        registry_.CreateKey(root, Entry(key));
        for (const auto& [name, value] : values) registry_.SetText(root, Entry(key), name, value);
    }
    std::vector<RecordedRow> Scan(int type, FakeSignatureRows& signatures, const std::vector<std::string>& folders = {}) {
        RowRecorder rows;
        EXPECT_EQ(CCategoryScan(products_, rows).Run(type, folders, signatures), 0);
        EXPECT_EQ(rows.BeginCount(), 1);
        EXPECT_EQ(rows.EndCount(), 1);
        EXPECT_EQ(rows.LastScanType(), type);
        return Ours(rows);
    }

    InstallerProductList products_;
    RegistryFixture registry_;
    FileFixture files_;
};

TEST_F(CategoryTest, ExactAndFragmentRowsInDatabaseOrder) {
    const std::string icon = files_.AddFile("exact.exe");
    const std::string fragIcon = files_.AddFile("frag.exe");
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatExactNamed", {{"DisplayName", "Tnk Exact Display"}, {"DisplayIcon", icon}});
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatExactNoName", {{"Publisher", "x"}});  // no command needed in exact mode
    AddEntry(HKEY_CURRENT_USER, "TnkCatExactUser", {{"DisplayName", "only under the user"}});
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatFragToolBar A", {{"DisplayName", "Tnk Bar A"}, {"UninstallString", fragIcon}});
    AddEntry(HKEY_LOCAL_MACHINE, "X TNKCATFRAGTOOLBAR", {{"DisplayName", "Tnk Bar X"}, {"UninstallString", "u"}});
    AddEntry(HKEY_LOCAL_MACHINE, "tnkcatfragtoolbar3", {{"UninstallString", "u"}});
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatFragToolbarNoCommand", {{"DisplayName", "Tnk Bar None"}});
    AddEntry(HKEY_CURRENT_USER, "TnkCatFragToolbarUser", {{"UninstallString", "u"}});  // the user's own

    FakeSignatureRows signatures({
        {"Tnk DB Named", "http://exact.example/", "TnkCatExactNamed", "="},
        {"Tnk DB No Display", "info 1", "TnkCatExactNoName", "exact"},
        {"Tnk DB User Only", "info 2", "TnkCatExactUser", ""},
        {"Tnk DB Missing", "info 3", "TnkCatExactMissing", "="},
        {"Tnk DB Empty Key", "info 4", "", "="},
        {"Tnk DB Toolbar", "frag info", "tnkcatFRAGtoolbar", "%"},
        {"Tnk DB Toolbar A", "frag info 2", "FragToolBar a", "%"},
        {"Tnk DB Nothing", "frag info 3", "tnkcat-no-such-fragment", "%"},
    });
    const std::vector<RecordedRow> rows = Scan(kScanToolbars, signatures);
    EXPECT_EQ(signatures.loadedTypes, std::vector<int>({kScanToolbars}));

    // Fragment rows list their subkeys place by place, each in enumeration order (Wine
    // sorts by name); an entry is read in its own place.
    const std::vector<RecordedRow> expected = {
        {"Tnk Exact Display", "http://exact.example/", "TnkCatExactNamed", icon, 0, kMachine},
        {"Tnk DB No Display", "info 1", "TnkCatExactNoName", "", 1, kMachine},
        {"only under the user", "info 2", "TnkCatExactUser", "", 2, kUser},
        {"Tnk Bar A", "frag info", "TnkCatFragToolBar A", fragIcon, 5, kMachine},
        {"Tnk DB Toolbar", "frag info", "tnkcatfragtoolbar3", "", 5, kMachine},
        {"Tnk Bar X", "frag info", "X TNKCATFRAGTOOLBAR", "", 5, kMachine},
        {"Tnk DB Toolbar", "frag info", "TnkCatFragToolbarUser", "", 5, kUser},
        {"Tnk Bar A", "frag info 2", "TnkCatFragToolBar A", fragIcon, 6, kMachine},
    };
    EXPECT_EQ(rows, expected);
}

TEST_F(CategoryTest, EmptyFragmentMatchesEveryEntryWithAnUninstallCommand) {
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatAllOne", {{"UninstallString", "u"}});
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatAllNone", {{"DisplayName", "no command"}});
    FakeSignatureRows signatures({{"Everything", "", "", "%"}});
    RowRecorder rows;
    CCategoryScan(products_, rows).Run(kScanSpyware, {}, signatures);

    // Independently: the subkeys of every place whose "UninstallString" there is not empty.
    std::vector<std::string> expected;
    for (const RegistryPlace& place : UninstallPlaces()) {
        for (const std::string& key : EnumerateSubkeys(place, kUninstallRoot)) {
            char command[1025] = {};
            DWORD size = 1024;
            ScopedKey k;
            if (RegOpenKeyExA(place.root, Entry(key).c_str(), 0, KEY_READ | place.view, k.Put()) == ERROR_SUCCESS &&
                RegQueryValueExA(k.Get(), "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(command),
                                 &size) == ERROR_SUCCESS &&
                command[0] != '\0')
                expected.push_back(key);
        }
    }
    std::vector<std::string> keys;
    for (const RecordedRow& row : rows.Rows()) {
        keys.push_back(row.key);
        EXPECT_EQ(row.itemValue, 0);
    }
    EXPECT_EQ(keys, expected);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "TnkCatAllOne"), 1);
    EXPECT_EQ(std::count(keys.begin(), keys.end(), "TnkCatAllNone"), 0);
}

TEST_F(CategoryTest, OtherCategoriesLoadNoSignatures) {
    for (int type : std::vector<int>{kScanAllPrograms, kScanBrowserAddons, kScanStartup, kScanActiveX, kScanCommandFolders}) {
        FakeSignatureRows signatures({{"Everything", "", "", "%"}});
        Scan(type, signatures);
        EXPECT_TRUE(signatures.loadedTypes.empty()) << type;
    }
    for (int type : std::vector<int>{kScanSpyware, kScanMessengers, kScanFileSharing, kScanCommercial, 0, 11, -3}) {
        FakeSignatureRows signatures;
        Scan(type, signatures);
        EXPECT_EQ(signatures.loadedTypes, std::vector<int>({type}));
    }
}

TEST_F(CategoryTest, CommandFoldersListTheirProgramsOncePerFolder) {
    const std::string app = files_.AddFile("Program Files\\App\\uninst.exe");
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatFolderApp", {{"DisplayName", "Tnk Folder App"}, {"UninstallString", app}});
    FakeSignatureRows none;
    EXPECT_TRUE(Scan(kScanCommandFolders, none, {}).empty());
    // Folders are matched after lower-casing, whatever case they were handed over in.
    std::string appFolder = files_.Folder() + "\\Program Files\\App";
    std::transform(appFolder.begin(), appFolder.end(), appFolder.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    const std::vector<RecordedRow> rows =
        Scan(kScanCommandFolders, none, {appFolder, files_.Folder() + "\\Program Files", "C:\\Elsewhere"});
    const RecordedRow row{"Tnk Folder App", "", "TnkCatFolderApp", app,
                          SubkeyIndex(HKEY_LOCAL_MACHINE, kUninstallRoot, "TnkCatFolderApp"), kMachine};
    EXPECT_EQ(rows, std::vector<RecordedRow>({row, row}));
}

// A window of the thread that creates it, standing in for the main window: every row the
// listing hands over by posting, as the dialog's worker does, is counted when this window's
// thread takes it, and each hand-over waits (bounded) until it was taken.
class RowWindow {
public:
    RowWindow() : taken_(CreateEventW(nullptr, FALSE, FALSE, nullptr)) {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &RowWindow::Procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"TnkScanRowWindow";
        RegisterClassW(&windowClass);  // fails harmlessly when an earlier test registered it
        window_ = CreateWindowW(windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~RowWindow() {
        if (window_) DestroyWindow(window_);
    }
    RowWindow(const RowWindow&) = delete;
    RowWindow& operator=(const RowWindow&) = delete;

    bool Valid() const { return window_ != nullptr && taken_; }
    HWND Hwnd() const { return window_; }
    // From the scanning thread: false when the window's thread did not take the row in time.
    bool HandOver() {
        return PostMessageW(window_, kRowMessage, 0, 0) && WaitForSingleObject(taken_.Get(), 5000) == WAIT_OBJECT_0;
    }
    // Serves the window's messages on this thread until `done` is signalled (bounded).
    bool ServeUntil(HANDLE done, DWORD timeoutMs) {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        while (WaitForSingleObject(done, 0) != WAIT_OBJECT_0) {
            if (GetTickCount64() >= deadline) return false;
            MsgWaitForMultipleObjects(1, &done, FALSE, 50, QS_ALLINPUT);
            MSG message;
            while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        }
        return true;
    }
    // The threads that took the rows.
    std::vector<std::thread::id> TakenOn() const { return takenOn_; }

private:
    static constexpr UINT kRowMessage = WM_APP + 1;
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<RowWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (message != kRowMessage || self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
        self->takenOn_.push_back(std::this_thread::get_id());
        SetEvent(self->taken_.Get());
        return 0;
    }

    ScopedHandle taken_;
    HWND window_ = nullptr;
    std::vector<std::thread::id> takenOn_;  // only this window's thread touches it
};

// The main window runs the all-programs listing on a worker and keeps serving its own
// messages meanwhile: the listing must call its view only on the thread that runs it, and
// reach the window only through posts that the window's thread takes while the listing goes on.
TEST_F(CategoryTest, AllProgramsRunOnAWorkerThread) {
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatThreadedA", {{"DisplayName", "Tnk Threaded A"}, {"UninstallString", "u"}});
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatThreadedB", {{"DisplayName", "Tnk Threaded B"}, {"UninstallString", "u"}});
    RowWindow window;
    ASSERT_TRUE(window.Valid());
    const ScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(done);
    RowRecorder rows;
    int notTaken = 0;  // only the worker touches it until the join
    rows.onRow = [&](const RecordedRow& row) {
        if (Contains(ToLowerAnsi(row.key), "tnkcat") && !window.HandOver()) ++notTaken;
    };
    FakeSignatureRows none;
    std::thread::id workerId;
    std::thread worker([&] {
        workerId = std::this_thread::get_id();
        CCategoryScan(products_, rows).Run(kScanAllPrograms, {}, none);
        SetEvent(done.Get());
    });
    const bool ended = window.ServeUntil(done.Get(), 60000);
    worker.join();
    ASSERT_TRUE(ended) << "the listing did not end within 60 s";

    const std::thread::id windowThread = std::this_thread::get_id();
    EXPECT_NE(workerId, windowThread) << "the listing ran on the window's thread";
    const std::vector<std::thread::id> calls = rows.CallThreads();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(std::count(calls.begin(), calls.end(), workerId), static_cast<std::ptrdiff_t>(calls.size()))
        << "a call on the view came from another thread than the listing's worker";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), windowThread), 0) << "the view was called on the window's thread";
    EXPECT_EQ(notTaken, 0) << "the window's thread did not take a row while the listing ran";
    EXPECT_EQ(window.TakenOn(), std::vector<std::thread::id>(2, windowThread));
    std::vector<std::string> names;
    for (const RecordedRow& row : Ours(rows)) names.push_back(row.name);
    std::sort(names.begin(), names.end());  // the order of the listing is not this test's concern
    EXPECT_EQ(names, std::vector<std::string>({"Tnk Threaded A", "Tnk Threaded B"}));
    EXPECT_EQ(rows.BeginCount(), 1);
    EXPECT_EQ(rows.EndCount(), 1);
    EXPECT_EQ(rows.LastScanType(), kScanAllPrograms);
}

TEST_F(CategoryTest, AFragmentMatchDeletedDuringTheScanIsSkipped) {
    for (const char* key : {"TnkCatGoneA", "TnkCatGoneB", "TnkCatGoneC"})
        AddEntry(HKEY_LOCAL_MACHINE, key, {{"UninstallString", "u"}});
    FakeSignatureRows signatures({{"Gone", "", "tnkcatgone", "%"}, {"Gone again", "", "TNKCATGONE", "%"}});
    RowRecorder rows;
    rows.onRow = [](const RecordedRow& row) {
        if (row.key == "TnkCatGoneA") RegistryFixture::DeleteTree(HKEY_LOCAL_MACHINE, Entry("TnkCatGoneB"));
    };
    CCategoryScan(products_, rows).Run(kScanMessengers, {}, signatures);
    std::vector<std::string> keys;
    for (const RecordedRow& row : Ours(rows)) keys.push_back(row.key + "/" + std::to_string(row.itemValue));
    EXPECT_EQ(keys, std::vector<std::string>({"TnkCatGoneA/0", "TnkCatGoneC/0", "TnkCatGoneA/1", "TnkCatGoneC/1"}));
}

TEST_F(CategoryTest, SignaturesFromADatabaseFile) {
    const std::string path = files_.Folder() + "\\signatures.dat";
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &raw), SQLITE_OK);
    const char* sql =
        "CREATE TABLE tb_kelvo_mst (mst_Seq INTEGER PRIMARY KEY, product_name TEXT, info TEXT, uninstall_key TEXT,"
        " match_mode TEXT, Type INTEGER);"
        "INSERT INTO tb_kelvo_mst VALUES (1, 'Tnk Zeta', 'z', 'TnkCatDbZeta', '=', 3);"
        "INSERT INTO tb_kelvo_mst VALUES (2, 'Tnk Alpha', 'a', 'tnkcatdbalpha', '%', 3);"
        "INSERT INTO tb_kelvo_mst VALUES (3, 'Tnk Other', 'o', 'TnkCatDbZeta', '=', 4);";
    EXPECT_EQ(sqlite3_exec(raw, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(raw);
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatDbZeta", {{"DisplayName", "Zeta Installed"}});
    AddEntry(HKEY_LOCAL_MACHINE, "TnkCatDbAlpha 1", {{"UninstallString", "u"}});

    CDbCtrl database(path);
    RowRecorder rows;
    RunCategoryScan(kScanMessengers, {}, products_, database, rows);
    // Ordered by product name; each row carries its product's database key, not a position.
    const std::vector<RecordedRow> expected = {
        {"Tnk Alpha", "a", "TnkCatDbAlpha 1", "", 2, kMachine},
        {"Zeta Installed", "z", "TnkCatDbZeta", "", 1, kMachine},
    };
    EXPECT_EQ(Ours(rows), expected);
    // The removal finds the product again by that key and category, straight from the file.
    SignatureRow product;
    ASSERT_TRUE(CDbCtrl(path).FindProduct(3, 2, product));
    EXPECT_STREQ(product.keyName, "tnkcatdbalpha");
    EXPECT_STREQ(product.matchMode, "%");
    SignatureRow untouched;
    untouched.key = 77;
    EXPECT_FALSE(CDbCtrl(path).FindProduct(4, 2, untouched));  // another category's key
    EXPECT_FALSE(CDbCtrl(path).FindProduct(3, 9, untouched));
    EXPECT_EQ(untouched.key, 77);
}

TEST(FragmentMatcher, FindsEveryFragmentThatOccursLikeASubstringSearch) {
    const std::vector<std::string> fragments = {"he", "she", "his", "hers", "toolbar", "bar", "a", "\xc7\xd1"};
    const CFragmentMatcher matcher(fragments);
    const std::string texts[] = {"ushers",        "his hers she",    "mytoolbar_is1", "bbbar",  "",
                                 "nothing here!", "\xc7\xd1\xb1\xdb", "xyz",           "aaaaaa", "sh"};
    for (const std::string& text : texts) {
        std::vector<int> expected;
        for (std::size_t f = 0; f < fragments.size(); ++f)
            if (Contains(text, fragments[f])) expected.push_back(static_cast<int>(f));
        EXPECT_EQ(matcher.Find(text), expected) << text;
    }
    EXPECT_TRUE(CFragmentMatcher({}).Find("anything").empty());
}

TEST(ScanPause, LastsAboutOneMillisecondAndIsCounted) {
    const ScopedTimerResolution resolution;
    ResetScanCounters();
    for (int i = 0; i < 50; ++i) ScanPause();
    const ScanCounters& counters = GlobalScanCounters();
    EXPECT_EQ(counters.pauses.load(), 50);
    // A default timer tick (15.6 ms) per pause would be 780 ms.
    EXPECT_GE(counters.pauseMicroseconds.load(), 50 * 900);
    EXPECT_LT(counters.pauseMicroseconds.load(), 50 * 8000);
}

}  // namespace
