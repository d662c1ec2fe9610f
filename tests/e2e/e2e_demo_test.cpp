// Tarnock.exe on the demo machine (tools/demo-machine.sh): every category, chosen the way
// a user chooses it, lists exactly the rows of tools/demo-machine/expected/category-N.tsv,
// in their order, with all five columns (the hidden place among them) and the item value.
// A screenshot of each is saved in report view.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "resource.h"
#include "support/E2eFixtures.h"
#include "support/UiDriver.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

struct DemoCategory {
    int type;
    int button;      // 0: chosen by the command-line hand-over
    bool threaded;   // scanned by a worker behind the loading window
    const char* name;
};

void PrintTo(const DemoCategory& category, std::ostream* out) {
    *out << "category " << category.type << " (" << category.name << ")";
}

const DemoCategory kCategories[] = {
    {1, IDC_SPYWARE, false, "Spyware"},        {2, IDC_TOOLBAR, false, "Toolbar"},
    {3, IDC_MESSENGER, false, "Messenger"},    {4, IDC_P2P, false, "P2P"},
    {5, IDC_ALLPROGRAMS, true, "AllPrograms"}, {6, IDC_BHO, false, "AddOns"},
    {7, IDC_STARTUP, false, "StartUp"},        {8, IDC_ACTIVEX, true, "ActiveX"},
    {9, IDC_COPYRIGHT, false, "Copyright"},    {10, 0, false, "ShortcutFolders"},
};

// The folders category 10 is handed, each by a shortcut to a file directly inside it.
const char* const kShortcutTargets[] = {
    "C:\\Program Files\\7-Zip\\7zFM.exe",
    "C:\\PROGRAM FILES (X86)\\Kakao\\demo-target.exe",
    "C:\\Program Files\\DAUM\\PotPlayer\\PotPlayerMini64.exe",
    "C:\\Program Files (x86)\\demo-target.exe",
};

// The expected rows: UTF-8 lines "name\tinfo\tkey\ticon file\tplace\titem value", comments
// dropped.
std::vector<std::string> ExpectedRows(int type) {
    const std::string path =
        WindowsPath(TARNOCK_SOURCE_DIR) + "\\tools\\demo-machine\\expected\\category-" + std::to_string(type) + ".tsv";
    std::ifstream file(path, std::ios::binary);
    std::vector<std::string> rows;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        rows.push_back(line);
    }
    return rows;
}

std::vector<std::string> ListedRows(const RemoteListView& list) {
    std::vector<std::string> rows;
    for (const RemoteRow& row : list.Rows(5)) {
        std::string line;
        for (const std::string& text : row.texts) {
            line += Utf8FromAnsi(text);
            line += '\t';
        }
        line += std::to_string(static_cast<long long>(row.param));
        rows.push_back(line);
    }
    return rows;
}

// A line diff of two row tables ("-" expected only, "+" listed only), empty when equal.
std::string RowDiff(const std::vector<std::string>& expected, const std::vector<std::string>& actual) {
    if (expected == actual) return {};
    const std::size_t n = expected.size();
    const std::size_t m = actual.size();
    std::vector<std::vector<int>> common(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            common[i][j] = expected[i] == actual[j] ? common[i + 1][j + 1] + 1
                                                     : std::max(common[i + 1][j], common[i][j + 1]);
    std::ostringstream out;
    out << "expected " << n << " rows, listed " << m << " (tabs shown as |):\n";
    auto shown = [](std::string line) {
        std::replace(line.begin(), line.end(), '\t', '|');
        return line;
    };
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && expected[i] == actual[j]) {
            out << "  " << shown(expected[i++]) << '\n';
            ++j;
        } else if (j < m && (i == n || common[i][j + 1] >= common[i + 1][j])) {
            out << "+ " << shown(actual[j++]) << '\n';
        } else {
            out << "- " << shown(expected[i++]) << '\n';
        }
    }
    return out.str();
}

bool EnsureFile(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) MakeFile(path);
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class DemoMachine : public ::testing::TestWithParam<DemoCategory> {
protected:
    void SetUp() override {
        ResetSettings();
        ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTarnockTitle) == nullptr; }, 5000))
            << "a Tarnock window of an earlier test is still open";
        // Report view, so that the screenshots show every column.
        ASSERT_TRUE(WriteSetting("DisplayStyle", 1));
    }
    void TearDown() override {
        app_.Kill();
        ResetSettings();
    }

    // The loading windows of the program (its dialogs other than the main window).
    std::vector<HWND> LoadingWindows() const {
        std::vector<HWND> found;
        for (HWND window : TopLevelWindows(app_.Id(), L"#32770", false))
            if (window != app_.Main()) found.push_back(window);
        return found;
    }

    // A threaded scan is over when its loading window is hidden and the rows stay put.
    void WaitForThreadedScan(const RemoteListView& list) {
        EXPECT_TRUE(WaitUntil(
            [&] {
                const std::vector<HWND> loading = LoadingWindows();
                return std::none_of(loading.begin(), loading.end(), [](HWND w) { return IsWindowVisible(w); });
            },
            60000))
            << "the loading window stayed on the screen";
        int previous = -1;
        int steady = 0;
        WaitUntil(
            [&] {
                const int count = list.Count();
                steady = count == previous ? steady + 1 : 0;
                previous = count;
                return steady >= 5;
            },
            30000, 100);
        EXPECT_TRUE(IsResponsive(app_.Main(), 5000));
    }

    // Hands shortcuts to the four folders over as a second start would.
    void HandOverFolders() {
        const std::string dir = BuildDir() + "\\tests\\demo-links";
        SHCreateDirectoryExA(nullptr, dir.c_str(), nullptr);
        std::string text = "tarnock|";
        int index = 0;
        for (const char* target : kShortcutTargets) {
            ASSERT_TRUE(EnsureFile(target)) << target;
            const std::string link = dir + "\\folder-" + std::to_string(++index) + ".lnk";
            ASSERT_TRUE(MakeShortcut(link, target)) << link;
            text += link + "|";
        }
        ASSERT_TRUE(app_.HandOver(text));
    }

    TarnockSession app_;
};

TEST_P(DemoMachine, CategoryListsExactlyTheExpectedRows) {
    const DemoCategory& category = GetParam();
    const std::vector<std::string> expected = ExpectedRows(category.type);
    ASSERT_FALSE(expected.empty()) << "no expected rows for category " << category.type;

    ASSERT_TRUE(app_.Launch()) << "Tarnock's window did not appear";
    const HWND listWindow = app_.List();
    ASSERT_EQ(GetWindowLongPtrW(listWindow, GWL_STYLE) & LVS_TYPEMASK, LVS_REPORT);
    RemoteListView list(listWindow);

    if (category.type == 1) {
        // The start-up scan is this category; its rows are there before the window shows.
        const std::string diff = RowDiff(expected, ListedRows(list));
        EXPECT_TRUE(diff.empty()) << "rows after start-up:\n" << diff;
    }
    if (category.button != 0) {
        ASSERT_TRUE(app_.Click(category.button));
        if (category.threaded) WaitForThreadedScan(list);
    } else {
        HandOverFolders();
        if (HasFatalFailure()) return;
    }

    const std::string diff = RowDiff(expected, ListedRows(list));
    EXPECT_TRUE(diff.empty()) << diff;
    EXPECT_TRUE(SaveScreenshot(app_.Main(), ScreenshotPath("demo-category-" + std::to_string(category.type))));
}

INSTANTIATE_TEST_SUITE_P(DemoCategories, DemoMachine, ::testing::ValuesIn(kCategories),
                         [](const ::testing::TestParamInfo<DemoCategory>& info) {
                             return "Category" + std::to_string(info.param.type) + "_" + info.param.name;
                         });

}  // namespace
