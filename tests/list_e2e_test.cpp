// The result list inside the real Tarnock.exe: the style button's menu, the view it
// switches to and keeps for the next start, and the item menu's refusal on an empty list.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>
#include <vector>

#include "removal/ScopedHandles.h"
#include "resource.h"
#include "support/UiDriver.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kTitle[] = "Tarnock (Tarnock) ";
constexpr char kSettingsKey[] = "Software\\Olmatic\\Tarnock";

std::string StageDir() { return WindowsPath(TARNOCK_E2E_STAGE_DIR); }
std::string TarnockExe() { return StageDir() + "\\Tarnock.exe"; }

std::optional<DWORD> ReadDisplayStyle() {
    ScopedKey key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kSettingsKey, key.Put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.Get(), "DisplayStyle", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

class ListE2e : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
        ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTitle) == nullptr; }, 5000))
            << "a Tarnock window of an earlier test is still open";
    }
    void TearDown() override {
        app_.Kill();
        RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    }

    HWND Launch() {
        app_.Kill();
        WaitUntil([] { return FindWindowA(nullptr, kTitle) == nullptr; }, 5000);
        std::string commandLine(1, '"');
        commandLine.append(TarnockExe()).push_back('"');
        if (!app_.Start(TarnockExe(), commandLine, StageDir())) return nullptr;
        main_ = nullptr;
        WaitUntil(
            [&] {
                for (HWND candidate : TopLevelWindows(app_.Id(), L"#32770"))
                    if (Utf8(WindowTextW(candidate)) == kTitle) main_ = candidate;
                return main_ != nullptr;
            },
            20000);
        if (main_) IsResponsive(main_, 5000);
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

    ProgramProcess app_;
    HWND main_ = nullptr;
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
    // The header of the report view is there with its two visible titles.
    const HWND header = reinterpret_cast<HWND>(SendMessageW(List(), LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    EXPECT_EQ(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0), 4);
}

TEST_F(ListE2e, AStoredStyleOfTwoOpensInReportViewAndWritesNothing) {
    {
        ScopedKey key;
        ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, kSettingsKey, key.Put()), ERROR_SUCCESS);
        const DWORD two = 2;
        RegSetValueExA(key.Get(), "DisplayStyle", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&two), sizeof(two));
    }
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
