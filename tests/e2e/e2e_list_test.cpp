// The result list inside the real Tarnock.exe: the style button's menu, the view it
// switches to and keeps for the next start, and the item menu's refusal on an empty list;
// then, with real rows of the program listing: sorting by a header click, the item menu's
// items, the row buttons following clicks, dropped shortcuts, the three views and icons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <mbstring.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "resource.h"
#include "support/E2eFixtures.h"
#include "support/UiDriver.h"
#include "support/TestMachine.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr const char* kTitle = kTarnockTitle;

std::optional<DWORD> ReadDisplayStyle() { return ReadSetting("DisplayStyle"); }

// A browser helper object registered with its class name; removed again at the end.
class TestHelperObject {
public:
    TestHelperObject(std::string clsid, const std::string& title) : clsid_(std::move(clsid)) {
        ScopedKey helper;
        RegCreateKeyA(HKEY_LOCAL_MACHINE, HelperPath().c_str(), helper.Put());
        ScopedKey type;
        if (RegCreateKeyA(HKEY_CLASSES_ROOT, ClassPath().c_str(), type.Put()) == ERROR_SUCCESS)
            RegSetValueExA(type.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(title.c_str()),
                           static_cast<DWORD>(title.size() + 1));
    }
    ~TestHelperObject() {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, HelperPath().c_str());
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ClassPath().c_str());
    }
    TestHelperObject(const TestHelperObject&) = delete;
    TestHelperObject& operator=(const TestHelperObject&) = delete;

private:
    std::string HelperPath() const {
        return "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\" + clsid_;
    }
    std::string ClassPath() const { return "CLSID\\" + clsid_; }
    std::string clsid_;
};


std::string TestDir(const std::string& name) {
    const std::string dir = BuildDir() + "\\tests\\list-e2e\\" + name;
    SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr);
    return dir;
}

int CompareBytes(const std::string& a, const std::string& b) {
    return _mbscmp(reinterpret_cast<const unsigned char*>(a.c_str()), reinterpret_cast<const unsigned char*>(b.c_str()));
}

// What must stay together when rows move: everything but the position.
struct RowContent {
    std::vector<std::string> texts;
    LPARAM param;
    int image;
    bool operator==(const RowContent&) const = default;
};
std::map<std::string, RowContent> ContentByKey(const std::vector<RemoteRow>& rows) {
    std::map<std::string, RowContent> byKey;
    for (const RemoteRow& row : rows) byKey[row.texts[2]] = RowContent{row.texts, row.param, row.image};
    return byKey;
}

class ListE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTitle) == nullptr; }, 5000))
            << "a Tarnock window of an earlier test is still open";
    }
    void TearDown() override {
        app_.Kill();
        ResetSettings();
    }

    HWND Launch() {
        app_.Kill();
        WaitUntil([] { return FindWindowA(nullptr, kTitle) == nullptr; }, 5000);
        main_ = app_.Launch();
        return main_;
    }
    HWND List() const { return GetDlgItem(main_, IDC_RESULT_LIST); }
    LONG_PTR View() const { return GetWindowLongPtrW(List(), GWL_STYLE) & LVS_TYPEMASK; }

    // The style menu's three items with their check marks, read while it is open.
    std::vector<MenuEntry> StyleMenu() {
        ClickButton(main_, IDC_STYLE);
        std::vector<MenuEntry> entries = ReadOpenPopupMenu(app_.Id(), 5000);
        CloseMenus(app_.Id());
        WaitUntil([&] { return TopLevelWindows(app_.Id(), L"#32768").empty(); }, 3000);
        return entries;
    }
    static void ExpectChecked(const std::vector<MenuEntry>& entries, UINT checked) {
        const struct {
            UINT id;
            const wchar_t* text;
        } expected[] = {{ID_STYLE_ICON, L"아이콘 리스트"}, {ID_STYLE_REPORT, L"리포트 리스트"}, {ID_STYLE_LIST, L"간단 리스트"}};
        ASSERT_EQ(entries.size(), std::size(expected));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            EXPECT_EQ(entries[i].id, expected[i].id);
            EXPECT_EQ(entries[i].text, expected[i].text);
            EXPECT_EQ(entries[i].checked, entries[i].id == checked) << entries[i].id;
        }
    }

    void SwitchView(UINT command, LONG_PTR view) {
        PostCommand(main_, command);
        ASSERT_TRUE(WaitUntil([&] { return View() == view; }, 5000)) << command;
        IsResponsive(main_, 3000);
    }

    // The loading window of a threaded scan: a visible dialog of the program other than the main one.
    bool LoadingShown() const {
        for (HWND window : TopLevelWindows(app_.Id(), L"#32770"))
            if (window != main_) return true;
        return false;
    }
    // True when the list holds a row for every key and no scan is running any more.
    bool HoldsKeys(const std::vector<std::string>& keys) const {
        RemoteListView list(List());
        std::vector<bool> found(keys.size(), false);
        const int count = list.Count();
        for (int row = 0; row < count; ++row) {
            const std::string key = list.Text(row, 2);
            for (std::size_t i = 0; i < keys.size(); ++i)
                if (keys[i] == key) found[i] = true;
        }
        for (bool f : found)
            if (!f) return false;
        return true;
    }
    // The all-programs button: its scan runs on a worker behind the loading window.
    ::testing::AssertionResult ListAllPrograms(const std::vector<std::string>& keys) {
        // Sent, not posted: once it returns the new scan has cleared the list, so the rows of
        // an earlier listing cannot pass for this one's.
        ClickAndWait(GetDlgItem(main_, IDC_ALLPROGRAMS), 30000);
        if (!WaitUntil([&] { return HoldsKeys(keys) && !LoadingShown(); }, 30000, 50))
            return ::testing::AssertionFailure() << "the program listing did not show the test entries";
        IsResponsive(main_, 5000);
        return ::testing::AssertionSuccess();
    }
    int RowOf(const std::string& key) const {
        RemoteListView list(List());
        const int count = list.Count();
        for (int row = 0; row < count; ++row)
            if (list.Text(row, 2) == key) return row;
        return -1;
    }

    // A real click on the header item of `column`; returns once the list has handled it.
    void ClickHeader(int column) {
        const HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
        ASSERT_TRUE(header);
        int left = 0;
        for (int c = 0; c < column; ++c) left += static_cast<int>(SendMessageW(List(), LVM_GETCOLUMNWIDTH, c, 0));
        const int width = static_cast<int>(SendMessageW(List(), LVM_GETCOLUMNWIDTH, column, 0));
        RECT client{};
        GetClientRect(header, &client);
        const LPARAM point = MAKELPARAM(left + width / 2, (client.bottom - client.top) / 2);
        PostMessageW(header, WM_LBUTTONDOWN, MK_LBUTTON, point);
        PostMessageW(header, WM_LBUTTONUP, 0, point);
        // Posted after the click on the same thread: once it is seen, the click was handled.
        const LPARAM mark = ++clickMark_ % 2;
        PostMessageW(List(), LVM_SETSELECTIONMARK, 0, mark);
        ASSERT_TRUE(WaitUntil([&] { return SendMessageW(List(), LVM_GETSELECTIONMARK, 0, 0) == mark; }, 5000));
    }

    // A click of the left button at a point of the list's client area.
    void ClickList(POINT point) {
        const LPARAM position = MAKELPARAM(point.x, point.y);
        PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, position);
        PostMessageW(List(), WM_LBUTTONUP, 0, position);
    }
    POINT RowPoint(int row) const {
        const RECT rect = RemoteListView(List()).ItemRect(row);
        return POINT{rect.left + 20, (rect.top + rect.bottom) / 2};
    }

    // Whether the button reacts to a press: an inactive one ignores it. The press is
    // released outside the button, so no command follows.
    static bool TakesPresses(HWND button) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3), SMTO_ABORTIFHUNG, 3000, &ignored);
        DWORD_PTR state = 0;
        SendMessageTimeoutW(button, BM_GETSTATE, 0, 0, SMTO_ABORTIFHUNG, 3000, &state);
        SendMessageTimeoutW(button, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<WORD>(-200), static_cast<WORD>(-200)),
                            SMTO_ABORTIFHUNG, 3000, &ignored);
        return (state & BST_PUSHED) != 0;
    }
    // The row buttons (information, remove, search) all in one state: 1 active, 0 inactive, -1 mixed.
    int RowButtonsState() const {
        int active = 0;
        const int ids[] = {IDC_INFO, IDC_REMOVE, IDC_SEARCH};
        for (int id : ids) active += TakesPresses(GetDlgItem(main_, id)) ? 1 : 0;
        return active == 3 ? 1 : active == 0 ? 0 : -1;
    }

    // The item menu opened at the row, read and closed again; `shot` names a screenshot of it.
    std::vector<MenuEntry> ItemMenuAt(int row, const char* shot = nullptr) {
        POINT point = RowPoint(row);
        ClientToScreen(List(), &point);
        PostMessageW(List(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()), MAKELPARAM(point.x, point.y));
        std::vector<MenuEntry> entries = ReadOpenPopupMenu(app_.Id(), 3000);
        if (shot && !entries.empty()) SaveScreenshot(GetDesktopWindow(), ScreenshotPath(shot));
        CloseMenus(app_.Id());
        WaitUntil([&] { return TopLevelWindows(app_.Id(), L"#32768").empty(); }, 3000);
        return entries;
    }

    // Pixels of the list's client rectangle `rect` (as on the screen) that have `colour`.
    int CountColour(RECT rect, COLORREF colour) const {
        MapWindowPoints(List(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
        ScopedWindowDc screen(nullptr);
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y)
            for (int x = rect.left; x < rect.right; x += 2)
                if (GetPixel(screen.Get(), x, y) == colour) ++count;
        return count;
    }

    TarnockSession app_;
    HWND main_ = nullptr;
    LPARAM clickMark_ = 0;
};

}  // namespace

TEST_F(ListE2e, TheStyleMenuSwitchesTheViewAndTheNextStartOpensInIt) {
    ASSERT_TRUE(Launch());
    EXPECT_EQ(View(), LVS_ICON);
    ExpectChecked(StyleMenu(), ID_STYLE_ICON);

    struct Step {
        UINT command;
        LONG_PTR view;
        DWORD stored;
    } steps[] = {{ID_STYLE_LIST, LVS_LIST, 3}, {ID_STYLE_REPORT, LVS_REPORT, 1}};
    for (const Step& step : steps) {
        PostCommand(main_, step.command);
        EXPECT_TRUE(WaitUntil([&] { return View() == step.view && ReadDisplayStyle() == step.stored; }, 5000))
            << step.command;
        ExpectChecked(StyleMenu(), step.command);
    }
    SaveScreenshot(main_, ScreenshotPath("list-e2e-report"));

    ASSERT_TRUE(Launch());
    EXPECT_EQ(View(), LVS_REPORT);
    EXPECT_EQ(ReadDisplayStyle(), std::optional<DWORD>(1));
    ExpectChecked(StyleMenu(), ID_STYLE_REPORT);
    // The header of the report view is there with its two visible titles and three hidden
    // columns (key, icon file, place).
    const HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 5);
}

TEST_F(ListE2e, AStoredStyleOfTwoOpensInReportViewAndWritesNothing) {
    ASSERT_TRUE(WriteSetting("DisplayStyle", 2));
    ASSERT_TRUE(Launch());
    EXPECT_EQ(View(), LVS_REPORT);
    EXPECT_EQ(ReadDisplayStyle(), std::optional<DWORD>(2));
    ExpectChecked(StyleMenu(), ID_STYLE_REPORT);
}

TEST_F(ListE2e, TheItemMenuDoesNotOpenOnAnEmptyList) {
    ASSERT_TRUE(Launch());
    RemoteListView rows(List());
    ASSERT_EQ(rows.Count(), 0) << "the first scan found rows in the test prefix";
    RECT rect{};
    GetWindowRect(List(), &rect);
    PostMessageW(List(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List()),
                 MAKELPARAM(rect.left + 40, rect.top + 40));
    EXPECT_TRUE(ReadOpenPopupMenu(app_.Id(), 1500).empty());
    EXPECT_TRUE(IsResponsive(main_, 3000));
}

// ---------------------------------------------------------------------------------------
// Real rows: the test's own uninstall entries as the all-programs button lists them.

TEST_F(ListE2e, HeaderClicksSortDescendingThenAscendingAndRowsKeepTheirOwnData) {
    const std::string dir = TestDir("sort");
    CopyFileA(WindowsPath(std::string(TARNOCK_BUILD_DIR) + "/art/info.ico").c_str(),
              (dir + "\\APP.ICO").c_str(), FALSE);
    const std::string same = "http://same.example/";
    const std::string korean = AnsiFromWide(L"가나다");
    const struct {
        const char* key;
        std::string name;
        bool ownIcon;
    } cases[] = {{"TarnockListE2E_S1", "beta", false},  {"TarnockListE2E_S2", "Alpha", true},
                 {"TarnockListE2E_S3", "alpha", false}, {"TarnockListE2E_S4", "Zulu", true},
                 {"TarnockListE2E_S5", "Twin", false},  {"TarnockListE2E_S6", "Twin", true},
                 {"TarnockListE2E_S7", korean, false},  {"TarnockListE2E_S8", "Mid", false}};
    std::vector<std::unique_ptr<TestUninstallEntry>> entries;
    std::vector<std::string> keys;
    for (const auto& entry : cases) {
        std::vector<std::pair<std::string, std::string>> values = {
            {"DisplayName", entry.name}, {"URLInfoAbout", same}, {"UninstallString", dir + "\\gone\\unins.exe"}};
        if (entry.ownIcon) values.emplace_back("DisplayIcon", dir + "\\APP.ICO");
        entries.push_back(std::make_unique<TestUninstallEntry>(entry.key, values));
        keys.push_back(entry.key);
    }
    ASSERT_TRUE(Launch());
    SwitchView(ID_STYLE_REPORT, LVS_REPORT);
    ASSERT_TRUE(ListAllPrograms(keys));

    RemoteListView list(List());
    const std::vector<RemoteRow> before = list.Rows();
    const std::map<std::string, RowContent> content = ContentByKey(before);
    ASSERT_EQ(content.size(), before.size()) << "keys of the listed rows are not unique";
    // The icons differ between rows, so a row that lost its image would show.
    EXPECT_NE(content.at("TarnockListE2E_S1").image, content.at("TarnockListE2E_S2").image);

    auto checkOrder = [&](bool ascending) {
        const std::vector<RemoteRow> rows = list.Rows();
        ASSERT_EQ(rows.size(), before.size());
        for (std::size_t i = 1; i < rows.size(); ++i) {
            const int order = CompareBytes(rows[i - 1].texts[0], rows[i].texts[0]);
            EXPECT_TRUE(ascending ? order <= 0 : order >= 0)
                << "row " << i << ": " << rows[i - 1].texts[0] << " / " << rows[i].texts[0];
        }
        // Every row still carries its own key, icon file, item value and image.
        EXPECT_EQ(ContentByKey(rows), content);
        std::vector<std::string> mine;
        for (const RemoteRow& row : rows)
            if (row.texts[2].rfind("TarnockListE2E_S", 0) == 0) mine.push_back(row.texts[0]);
        std::vector<std::string> expected = ascending
            ? std::vector<std::string>{"Alpha", "Mid", "Twin", "Twin", "Zulu", "alpha", "beta", korean}
            : std::vector<std::string>{korean, "beta", "alpha", "Zulu", "Twin", "Twin", "Mid", "Alpha"};
        EXPECT_EQ(mine, expected);
    };
    ClickHeader(0);
    checkOrder(false);
    SaveScreenshot(main_, ScreenshotPath("list-real-sorted-descending"));
    ClickHeader(0);
    checkOrder(true);

    // A column whose texts are all equal: the next click (descending) moves no row.
    const std::vector<RemoteRow> sorted = list.Rows();
    bool allEqual = true;
    for (const RemoteRow& row : sorted) allEqual = allEqual && row.texts[1] == same;
    ASSERT_TRUE(allEqual) << "the prefix holds other programs";
    ClickHeader(1);
    const std::vector<RemoteRow> after = list.Rows();
    ASSERT_EQ(after.size(), sorted.size());
    for (std::size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].texts[2], sorted[i].texts[2]) << i;
    // The direction is shared by the columns: after the descending click on column 1 the
    // third click on column 0 sorts ascending, not descending.
    ClickHeader(0);
    checkOrder(true);
}

TEST_F(ListE2e, TheItemMenuOffersTheHomepageOnlyForPlainHttpAndNoFolderAfterAnAddonScan) {
    const std::string dir = TestDir("menu");
    const struct {
        const char* key;
        const char* value;  // where the information text comes from
        const char* info;
        bool homepage;
    } cases[] = {{"TarnockListE2E_M1", "URLInfoAbout", "http://maker.example/", true},
                 {"TarnockListE2E_M2", "URLInfoAbout", "https://secure.example/", false},
                 {"TarnockListE2E_M3", "URLInfoAbout", "C:\\Tools\\readme.txt", false},
                 {"TarnockListE2E_M4", "HelpLink", "http://help.example/", true},
                 {"TarnockListE2E_M5", "URLInfoAbout", "HTTP://UPPER.EXAMPLE/", false},
                 {"TarnockListE2E_M6", "URLInfoAbout", "http:", true}};
    std::vector<std::unique_ptr<TestUninstallEntry>> entries;
    std::vector<std::string> keys;
    for (const auto& c : cases) {
        entries.push_back(std::make_unique<TestUninstallEntry>(
            c.key, std::vector<std::pair<std::string, std::string>>{
                       {"DisplayName", c.key}, {c.value, c.info}, {"UninstallString", dir + "\\unins.exe"}}));
        keys.push_back(c.key);
    }
    const std::string clsid = "{7A3E1B52-55C1-4D2B-9A0E-4C1B7E2E0A11}";
    const TestHelperObject helper(clsid, "Tarnock List Test Helper");

    ASSERT_TRUE(Launch());
    SwitchView(ID_STYLE_REPORT, LVS_REPORT);
    ASSERT_TRUE(ListAllPrograms(keys));
    RemoteListView list(List());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const int row = RowOf(c.key);
        ASSERT_GE(row, 0);
        EXPECT_EQ(list.Text(row, 1), c.info);
        ASSERT_TRUE(list.Select(row));
        const std::string key = c.key;
        const char* shot = key == "TarnockListE2E_M1"   ? "list-real-item-menu-http"
                           : key == "TarnockListE2E_M2" ? "list-real-item-menu-https"
                                                        : nullptr;
        const std::vector<MenuEntry> menu = ItemMenuAt(row, shot);
        const MenuEntry* homepage = FindMenuEntry(menu, ID_LIST_HOMEPAGE);
        const MenuEntry* folder = FindMenuEntry(menu, ID_LIST_FOLDER);
        ASSERT_TRUE(homepage && folder) << "no item menu";
        EXPECT_EQ(homepage->text, L"홈페이지로 이동(제작사)");
        EXPECT_EQ(homepage->grayed, !c.homepage);
        EXPECT_FALSE(folder->grayed);
    }

    // No selected row: no menu.
    ASSERT_TRUE(list.ClearSelection());
    ASSERT_EQ(list.SelectedRow(), -1);
    EXPECT_TRUE(ItemMenuAt(0).empty());
    EXPECT_TRUE(IsResponsive(main_, 3000));

    // After the add-on scan the folder item is unusable.
    ClickButton(main_, IDC_BHO);
    ASSERT_TRUE(WaitUntil([&] { return RowOf(clsid) >= 0; }, 10000)) << "the helper object is not listed";
    const int row = RowOf(clsid);
    EXPECT_EQ(list.Text(row, 0), "Tarnock List Test Helper");
    ASSERT_TRUE(list.Select(row));
    const std::vector<MenuEntry> menu = ItemMenuAt(row, "list-real-item-menu-bho");
    const MenuEntry* folder = FindMenuEntry(menu, ID_LIST_FOLDER);
    const MenuEntry* homepage = FindMenuEntry(menu, ID_LIST_HOMEPAGE);
    ASSERT_TRUE(folder && homepage) << "no item menu";
    EXPECT_TRUE(folder->grayed);
    EXPECT_TRUE(homepage->grayed);
}

TEST_F(ListE2e, ClicksOnARowMakeTheRowButtonsActiveAndOnAnEmptySpotInactive) {
    const std::string dir = TestDir("buttons");
    const TestUninstallEntry first("TarnockListE2E_B1", {{"DisplayName", "Button Test One"},
                                                         {"UninstallString", dir + "\\unins.exe"}});
    const TestUninstallEntry second("TarnockListE2E_B2", {{"DisplayName", "Button Test Two"},
                                                          {"UninstallString", dir + "\\unins.exe"}});
    ASSERT_TRUE(Launch());
    // An empty list: a click anywhere selects nothing.
    ASSERT_EQ(RemoteListView(List()).Count(), 0);
    ClickList(POINT{60, 60});
    IsResponsive(main_, 3000);
    EXPECT_EQ(RowButtonsState(), 0);

    SwitchView(ID_STYLE_REPORT, LVS_REPORT);
    ASSERT_TRUE(ListAllPrograms({first.Key(), second.Key()}));
    RemoteListView list(List());
    EXPECT_EQ(RowButtonsState(), 0) << "a fresh listing leaves the row buttons active";

    const int row = RowOf(second.Key());
    ClickList(RowPoint(row));
    ASSERT_TRUE(WaitUntil([&] { return list.SelectedRow() == row; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return RowButtonsState() == 1; }, 3000));

    // Below the last row.
    const RECT last = list.ItemRect(list.Count() - 1);
    RECT client{};
    GetClientRect(List(), &client);
    ASSERT_LT(last.bottom + 20, client.bottom) << "no empty spot below the rows";
    ClickList(POINT{40, last.bottom + 20});
    ASSERT_TRUE(WaitUntil([&] { return list.SelectedRow() == -1; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return RowButtonsState() == 0; }, 3000));

    // Again on a row, then a new listing: the buttons go inactive with the old rows.
    ClickList(RowPoint(RowOf(first.Key())));
    ASSERT_TRUE(WaitUntil([&] { return RowButtonsState() == 1; }, 5000));
    ClickButton(main_, IDC_BHO);
    EXPECT_TRUE(WaitUntil([&] { return RowOf(first.Key()) < 0 && RowButtonsState() == 0; }, 5000));
}

TEST_F(ListE2e, DroppedShortcutsListTheProgramsOfTheirTargetsFolders) {
    const std::string dir = TestDir("drop");
    const std::string folders[] = {dir + "\\Red Soft", dir + "\\Green\\bin", dir + "\\Blue"};
    const char* keys[] = {"TarnockListE2E_D1", "TarnockListE2E_D2", "TarnockListE2E_D3"};
    std::vector<std::unique_ptr<TestUninstallEntry>> entries;
    std::vector<std::string> links;
    for (int i = 0; i < 3; ++i) {
        const std::string target = folders[i] + "\\program.exe";
        MakeFile(target);
        links.push_back(dir + "\\link" + std::to_string(i) + ".lnk");
        ASSERT_TRUE(MakeShortcut(links.back(), target));
        entries.push_back(std::make_unique<TestUninstallEntry>(
            keys[i], std::vector<std::pair<std::string, std::string>>{
                         {"DisplayName", std::string("Dropped ") + keys[i]},
                         {"UninstallString", Quoted(folders[i] + "\\unins000.exe") + " /silent"}}));
    }
    // Installed elsewhere: not listed.
    const TestUninstallEntry other("TarnockListE2E_D4", {{"DisplayName", "Elsewhere"},
                                                         {"UninstallString", dir + "\\Purple\\unins.exe"}});

    ASSERT_TRUE(Launch());
    RemoteListView list(List());
    ASSERT_EQ(list.Count(), 0);
    ASSERT_TRUE(DropFiles(List(), links));
    ASSERT_TRUE(WaitUntil([&] { return list.Count() == 3; }, 10000)) << list.Count();
    IsResponsive(main_, 3000);
    std::vector<std::string> listed;
    for (const RemoteRow& row : list.Rows()) listed.push_back(row.texts[2]);
    EXPECT_EQ(listed, (std::vector<std::string>{keys[0], keys[1], keys[2]}));
    EXPECT_EQ(list.Text(0, 0), "Dropped TarnockListE2E_D1");
    SaveScreenshot(main_, ScreenshotPath("list-real-dropped"));
}

TEST_F(ListE2e, TheThreeViewsKeepTheRowsAndShowTheSelectedRowInItsColours) {
    const std::string dir = TestDir("views");
    CopyFileA(WindowsPath(std::string(TARNOCK_BUILD_DIR) + "/art/info.ico").c_str(),
              (dir + "\\APP.ICO").c_str(), FALSE);
    std::vector<std::unique_ptr<TestUninstallEntry>> entries;
    std::vector<std::string> keys;
    const char* names[] = {"Alpha Player", "Beta Browser", "Gamma Tools", "Delta Office"};
    for (int i = 0; i < 4; ++i) {
        keys.push_back("TarnockListE2E_V" + std::to_string(i));
        std::vector<std::pair<std::string, std::string>> values = {
            {"DisplayName", names[i]},
            {"URLInfoAbout", std::string("http://www.example.com/") + names[i][0]},
            {"UninstallString", dir + "\\unins.exe"}};
        if (i % 2 == 0) values.emplace_back("DisplayIcon", dir + "\\APP.ICO");
        entries.push_back(std::make_unique<TestUninstallEntry>(keys.back(), values));
    }
    ASSERT_TRUE(Launch());
    ASSERT_EQ(View(), LVS_ICON);
    ASSERT_TRUE(ListAllPrograms(keys));
    RemoteListView list(List());
    const std::map<std::string, RowContent> content = ContentByKey(list.Rows());
    const int selected = RowOf(keys[1]);
    ASSERT_TRUE(list.Select(selected));

    const struct {
        UINT command;
        LONG_PTR view;
        const char* shot;
    } steps[] = {{ID_STYLE_ICON, LVS_ICON, "list-real-icon"},
                 {ID_STYLE_REPORT, LVS_REPORT, "list-real-report"},
                 {ID_STYLE_LIST, LVS_LIST, "list-real-list"}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.shot);
        SwitchView(step.command, step.view);
        EXPECT_EQ(ContentByKey(list.Rows()), content);
        EXPECT_EQ(list.SelectedRow(), selected);
        EXPECT_TRUE(SaveScreenshot(main_, ScreenshotPath(step.shot)));
        // The selected row in its own colours: blue-grey background, white text.
        RECT rect = list.ItemRect(selected);
        if (step.view == LVS_ICON) rect.top = rect.bottom - 16;  // the label below the icon
        EXPECT_GT(CountColour(rect, RGB(101, 144, 193)), 20);
        EXPECT_GT(CountColour(rect, RGB(255, 255, 255)), 0);
        const RECT other = list.ItemRect(RowOf(keys[2]));
        EXPECT_EQ(CountColour(other, RGB(101, 144, 193)), 0);
    }
    // The skinned header stays visible in the report view.
    SwitchView(ID_STYLE_REPORT, LVS_REPORT);
    const HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    EXPECT_TRUE(IsWindowVisible(header));
    RECT headerRect{};
    GetClientRect(header, &headerRect);
    MapWindowPoints(header, List(), reinterpret_cast<POINT*>(&headerRect), 2);
    EXPECT_EQ(CountColour(headerRect, RGB(255, 255, 255)) * 10 < (headerRect.right - headerRect.left) *
                                                                    (headerRect.bottom - headerRect.top) / 2,
              true)
        << "the header is painted over with white";
}

TEST_F(ListE2e, IcoFilesOfAnyCaseGetTheirOwnIconOthersTheDefault) {
    const std::string dir = TestDir("icons");
    const std::string source = WindowsPath(std::string(TARNOCK_BUILD_DIR) + "/art/info.ico");
    for (const char* name : {"APP.ICO", "tool.Ico", "small.ico"}) CopyFileA(source.c_str(), (dir + "\\" + name).c_str(), FALSE);
    const struct {
        const char* key;
        const char* icon;  // DisplayIcon, or null
        bool own;
    } cases[] = {{"TarnockListE2E_I1", "missing.ico", false},
                 {"TarnockListE2E_I2", nullptr, false},
                 {"TarnockListE2E_I3", "APP.ICO", true},
                 {"TarnockListE2E_I4", "tool.Ico", true},
                 {"TarnockListE2E_I5", "small.ico", true}};
    std::vector<std::unique_ptr<TestUninstallEntry>> entries;
    std::vector<std::string> keys;
    for (const auto& c : cases) {
        std::vector<std::pair<std::string, std::string>> values = {{"DisplayName", c.key},
                                                                   {"UninstallString", dir + "\\gone\\unins.exe"}};
        if (c.icon) values.emplace_back("DisplayIcon", dir + "\\" + c.icon);
        entries.push_back(std::make_unique<TestUninstallEntry>(c.key, values));
        keys.push_back(c.key);
    }
    ASSERT_TRUE(Launch());
    // Icon view uses the large images, the others the small ones: both get checked.
    for (const auto& [command, view] : {std::pair{ID_STYLE_ICON, LVS_ICON}, std::pair{ID_STYLE_REPORT, LVS_REPORT}}) {
        SCOPED_TRACE(view);
        SwitchView(command, view);
        ASSERT_TRUE(ListAllPrograms(keys));
        RemoteListView list(List());
        const int defaultImage = list.Image(RowOf("TarnockListE2E_I2"));
        EXPECT_GE(defaultImage, 0);
        for (const auto& c : cases) {
            SCOPED_TRACE(c.key);
            const int row = RowOf(c.key);
            ASSERT_GE(row, 0);
            EXPECT_EQ(list.Text(row, 3), c.own ? dir + "\\" + c.icon : std::string());
            if (c.own) {
                EXPECT_GE(list.Image(row), 0);
                EXPECT_NE(list.Image(row), defaultImage);
            } else {
                EXPECT_EQ(list.Image(row), defaultImage);
            }
        }
        SaveScreenshot(main_, ScreenshotPath(view == LVS_ICON ? "list-real-icons-large" : "list-real-icons-small"));
    }
}
