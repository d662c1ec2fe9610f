// The look and the web actions of the real Tarnock.exe, driven from this process: the
// browser dialog on a stand-in browser control, the default-browser fallback and the web
// actions through a recorder registered for the web protocols, the splash, the three views
// and the GDI objects of many repaints.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/ScopedHandles.h"
#include "resource.h"
#include "support/E2eFixtures.h"
#include "support/TarnockSession.h"
#include "support/UiDriver.h"
#include "support/TestMachine.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

std::string IniFile() { return StageDir() + "\\Tarnock.ini"; }
std::string TestsDir() { return BuildDir() + "\\tests"; }
std::string Recorder() { return TestsDir() + "\\ui_url_recorder.exe"; }
std::string RecorderLog() { return TestsDir() + "\\url-calls.txt"; }
std::string StandIn() { return TestsDir() + "\\ui_browser_standin.dll"; }
std::string StandInLog() { return TestsDir() + "\\browser-calls.txt"; }

constexpr char kMaker[] = "http://127.0.0.1:9/maker";
constexpr char kSearch[] = "http://127.0.0.1:9/find";
constexpr wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";
constexpr wchar_t kHtmlDocumentClsid[] = L"{25336920-03F9-11CF-8FD0-00AA00686F13}";

// 8-bit code-page text of a UTF-16 literal, as the registry and the list hold it.
std::string Ansi(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out.data(), size, nullptr, nullptr);
    return out;
}

// The default value of an HKLM classes key, replaced for one test and put back after it.
class ReplacedDefault {
public:
    ReplacedDefault(const std::wstring& subkey, const std::wstring& value) : path_(L"Software\\Classes\\" + subkey) {
        ScopedKey key;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(),
                            nullptr) != ERROR_SUCCESS)
            return;
        wchar_t old[1024] = {};
        DWORD size = sizeof(old) - sizeof(wchar_t);
        if (RegQueryValueExW(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS)
            old_ = old;
        RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    ~ReplacedDefault() {
        ScopedKey key;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path_.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) return;
        if (old_)
            RegSetValueExW(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(old_->c_str()),
                           static_cast<DWORD>((old_->size() + 1) * sizeof(wchar_t)));
        else RegDeleteValueW(key.Get(), nullptr);
    }
    ReplacedDefault(const ReplacedDefault&) = delete;
    ReplacedDefault& operator=(const ReplacedDefault&) = delete;

private:
    std::wstring path_;
    std::optional<std::wstring> old_;
};

// Percent and plus decoding of a query value: the bytes the site gets.
std::string FormDecode(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '+') out += ' ';
        else if (text[i] == '%' && i + 2 < text.size()) {
            out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

class UiE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTarnockTitle) == nullptr; }, 5000))
            << "a Tarnock window of an earlier test is still open";
        RegDeleteTreeA(HKEY_CURRENT_USER, kTarnockSettingsKey);
        DeleteFileA(RecorderLog().c_str());
        DeleteFileA(StandInLog().c_str());
        WriteIni(kMaker, kSearch);
        const std::wstring command = Wide(Quoted(Recorder()) + " \"%1\"");
        recorders_.push_back(std::make_unique<ReplacedDefault>(L"http\\shell\\open\\command", command));
        recorders_.push_back(std::make_unique<ReplacedDefault>(L"https\\shell\\open\\command", command));
    }
    void TearDown() override {
        app_.Kill();
        WaitUntil([] { return FindWindowA(nullptr, kTarnockTitle) == nullptr; }, 5000);
        standIn_.clear();
        recorders_.clear();
        entries_.clear();
        DeleteFileA(IniFile().c_str());
        RegDeleteTreeA(HKEY_CURRENT_USER, kTarnockSettingsKey);
    }

    void WriteIni(const std::string& maker, const std::string& search) {
        std::ofstream ini(IniFile(), std::ios::trunc);
        ini << "[Site]\r\nMaker=" << maker << "\r\nSearch=" << search << "\r\n";
    }
    void UseStandInBrowser() {
        const std::wstring dll = Wide(StandIn());
        for (const wchar_t* clsid : {kWebBrowserClsid, kHtmlDocumentClsid})
            standIn_.push_back(
                std::make_unique<ReplacedDefault>(std::wstring(L"CLSID\\") + clsid + L"\\InprocServer32", dll));
    }

    // Two programs listed by the all-programs scan: a Korean name with a blank and a plain
    // homepage, and a name full of the query's own characters with a secure homepage.
    HWND LaunchWithRows() {
        entries_.push_back(std::make_unique<TestUninstallEntry>(
            "TarnockUiE2E_Hangul",
            std::vector<std::pair<std::string, std::string>>{
                {"DisplayName", koreanName_},
                {"UninstallString", "C:\\Hangul\\uninst.exe"},
                {"URLInfoAbout", "http://127.0.0.1:9/home page?q=\"x\""}}));
        entries_.push_back(std::make_unique<TestUninstallEntry>(
            "TarnockUiE2E_Symbols",
            std::vector<std::pair<std::string, std::string>>{{"DisplayName", symbolName_},
                                                             {"UninstallString", "C:\\Symbols\\uninst.exe"},
                                                             {"URLInfoAbout", "https://secure.example/"}}));
        if (Launch() == nullptr) return nullptr;
        ClickButton(main_, IDC_ALLPROGRAMS);
        RemoteListView list(List());
        WaitUntil(
            [&] {
                for (int row = 0; row < list.Count(); ++row) {
                    if (list.Text(row, 0) == koreanName_) koreanRow_ = row;
                    if (list.Text(row, 0) == symbolName_) symbolRow_ = row;
                }
                return koreanRow_ >= 0 && symbolRow_ >= 0;
            },
            30000);
        EXPECT_GE(koreanRow_, 0);
        EXPECT_GE(symbolRow_, 0);
        return main_;
    }

    HWND Launch(const std::string& arguments = "") {
        main_ = app_.Launch(arguments);
        return main_;
    }

    HWND List() const { return GetDlgItem(main_, IDC_RESULT_LIST); }
    // A click on the row, as a user selects it: the row buttons become active.
    void Select(int row) {
        const RECT rect = RemoteListView(List()).ItemRect(row);
        const LPARAM position = MAKELPARAM(rect.left + 20, (rect.top + rect.bottom) / 2);
        PostMessageW(List(), WM_LBUTTONDOWN, MK_LBUTTON, position);
        PostMessageW(List(), WM_LBUTTONUP, 0, position);
        ASSERT_TRUE(WaitUntil([&] { return RemoteListView(List()).SelectedRow() == row; }, 5000));
        IsResponsive(main_, 3000);
    }

    // The address of the recorder's `index`-th call, waited for: the text between the
    // quotes after the recorder's own path.
    std::string RecordedAddress(std::size_t index) {
        std::vector<std::string> lines;
        if (!WaitUntil(
                [&] {
                    lines = ReadLines(RecorderLog());
                    return lines.size() > index;
                },
                15000))
            return "<nothing recorded>";
        const std::string& line = lines[index];
        const std::size_t open = line.find('"', line.find(".exe\"") + 5);
        const std::size_t close = line.rfind('"');
        if (open == std::string::npos || close <= open) return "<unquoted: " + line + ">";
        return line.substr(open + 1, close - open - 1);
    }
    std::size_t RecordedCount() { return ReadLines(RecorderLog()).size(); }

    // The browser dialog of the running program, waited for.
    HWND WaitForBrowserDialog() {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : TopLevelWindows(app_.Id(), L"#32770"))
                    if (window != main_ && GetDlgItem(window, IDC_BROWSER)) found = window;
                return found != nullptr;
            },
            10000);
        return found;
    }

    std::string OpinionAddress(const std::string& name) {
        return std::string(kMaker) + "/tarnock/proctag.html?page=1&tag=" + name;
    }

    const std::string koreanName_ = Ansi(L"한글 프로그램");
    const std::string symbolName_ = "Tool & Co #1 100%+ \"Pro\"\\x";
    int koreanRow_ = -1;
    int symbolRow_ = -1;
    TarnockSession app_;
    HWND main_ = nullptr;
    std::vector<std::unique_ptr<ReplacedDefault>> recorders_;
    std::vector<std::unique_ptr<ReplacedDefault>> standIn_;
    std::vector<std::unique_ptr<TestUninstallEntry>> entries_;
};

// The mouse as a user moves it: absolute screen positions through the system's input queue.
void MouseAt(DWORD flags, POINT at) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(input));
}

// A press and release of the left button at a client point of `window`.
void MouseClick(HWND window, POINT client) {
    ClientToScreen(window, &client);
    MouseAt(0, client);
    MouseAt(MOUSEEVENTF_LEFTDOWN, client);
    MouseAt(MOUSEEVENTF_LEFTUP, client);
}

// Where the browser dialog's skin (bitmap 166, centred) starts in its client area: the
// painted close mark is there. 0, 0 without a skin or when the window is the skin's size.
POINT SkinOrigin(HWND help) {
    ScopedModule exe(LoadLibraryExA(TarnockExe().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC found = exe ? FindResourceA(exe.Get(), MAKEINTRESOURCEA(IDB_HELP_BACKGROUND), MAKEINTRESOURCEA(2)) : nullptr;
    HGLOBAL data = found ? LoadResource(exe.Get(), found) : nullptr;
    const auto* header = data ? static_cast<const BITMAPINFOHEADER*>(LockResource(data)) : nullptr;
    if (header == nullptr) return POINT{0, 0};
    RECT client{};
    GetClientRect(help, &client);
    const LONG w = header->biWidth;
    const LONG h = std::abs(header->biHeight);
    return POINT{w < client.right ? (client.right - w) / 2 : 0, h < client.bottom ? (client.bottom - h) / 2 : 0};
}

// The query value after `prefix`, decoded; "<...>" when the address does not start so.
std::string QueryValue(const std::string& address, const std::string& prefix) {
    if (address.compare(0, prefix.size(), prefix) != 0) return "<" + address + ">";
    return FormDecode(address.substr(prefix.size()));
}

TEST_F(UiE2e, WebActionsReachTheDefaultBrowserWithEveryNameWhole) {
    ASSERT_TRUE(LaunchWithRows());
    std::size_t call = 0;
    const std::string searchPrefix = std::string(kSearch) + "/search.naver?query=";
    const std::string opinionPrefix = OpinionAddress("");
    for (int row : {koreanRow_, symbolRow_}) {
        const std::string name = RemoteListView(List()).Text(row, 0);
        SCOPED_TRACE(name);
        Select(row);
        ClickButton(main_, IDC_SEARCH);
        const std::string searched = RecordedAddress(call++);
        EXPECT_EQ(QueryValue(searched, searchPrefix), name);
        // Nothing of the name is left unencoded in the query: no blank, quote or separator.
        EXPECT_EQ(searched.find_first_of(" \"#&\\", searchPrefix.size()), std::string::npos) << searched;

        PostMessageW(main_, UM_LISTACTION, 4, row);
        EXPECT_EQ(RecordedAddress(call++), searched);

        // No browser engine here: the opinion page opens in the default browser.
        PostMessageW(main_, UM_LISTACTION, 0, row);
        const std::string opinion = RecordedAddress(call++);
        EXPECT_EQ(QueryValue(opinion, opinionPrefix), name);
        PostMessageW(main_, UM_LISTACTION, 1, row);
        EXPECT_EQ(RecordedAddress(call++), opinion);
        ClickButton(main_, IDC_INFO);
        EXPECT_EQ(RecordedAddress(call++), opinion);
        PostCommand(List(), ID_LIST_OPINION);
        EXPECT_EQ(RecordedAddress(call++), opinion);
    }
    // The Korean name reaches the site as its code-page bytes.
    EXPECT_EQ(RecordedAddress(0), std::string(kSearch) + "/search.naver?query=%C7%D1%B1%DB+%C7%C1%B7%CE%B1%D7%B7%A5");

    // The homepage action opens only "http:" texts, made safe for the command line.
    PostMessageW(main_, UM_LISTACTION, 3, symbolRow_);  // "https:": nothing
    PostMessageW(main_, UM_LISTACTION, 3, koreanRow_);
    EXPECT_EQ(RecordedAddress(call++), "http://127.0.0.1:9/home%20page?q=%22x%22");
    ClickButton(main_, IDC_WEBSITE);
    EXPECT_EQ(RecordedAddress(call++), std::string(kMaker) + "/");
    PostCommand(main_, ID_MENU_RANKPAGE);
    EXPECT_EQ(RecordedAddress(call++), std::string(kMaker) + "/main.php?exe=rank");
    PostCommand(main_, IDC_WEBSITE);  // the main menu's item
    EXPECT_EQ(RecordedAddress(call++), std::string(kMaker) + "/");
    EXPECT_TRUE(IsResponsive(main_, 3000));
    EXPECT_EQ(RecordedCount(), call);
}

TEST_F(UiE2e, WithoutConfiguredSitesAKoreanMessageSaysSoAndNothingOpens) {
    WriteIni("", "");
    ASSERT_TRUE(LaunchWithRows());
    Select(koreanRow_);
    auto expectNotConfigured = [&](const std::function<void()>& action) {
        action();
        HWND box = WaitForMessageBox(app_.Id(), main_, 5000);
        ASSERT_TRUE(box);
        EXPECT_EQ(WindowTextW(box), L"Tarnock");
        EXPECT_NE(MessageBoxText(box).find(L"설정되어 있지 않습니다"), std::wstring::npos) << Utf8(MessageBoxText(box));
        AnswerDialog(box, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 5000));
    };
    expectNotConfigured([&] { ClickButton(main_, IDC_WEBSITE); });
    expectNotConfigured([&] { PostCommand(main_, ID_MENU_RANKPAGE); });
    expectNotConfigured([&] { ClickButton(main_, IDC_SEARCH); });
    expectNotConfigured([&] { PostMessageW(main_, UM_LISTACTION, 0, koreanRow_); });
    EXPECT_TRUE(IsResponsive(main_, 3000));
    EXPECT_EQ(RecordedCount(), 0u);
}

TEST_F(UiE2e, TheOpinionPageShowsInTheBrowserDialogOverTheMainWindow) {
    UseStandInBrowser();
    ASSERT_TRUE(LaunchWithRows());
    const std::string name = RemoteListView(List()).Text(koreanRow_, 0);

    PostMessageW(main_, UM_LISTACTION, 0, koreanRow_);
    HWND help = WaitForBrowserDialog();
    ASSERT_TRUE(help);
    EXPECT_EQ(GetWindow(help, GW_OWNER), main_);
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the browser dialog is modal";
    EXPECT_EQ(WindowTextW(GetDlgItem(help, IDOK)), L"닫기");
    // One navigation to the opinion address; the scroll attribute at every completed load.
    std::vector<std::string> calls;
    ASSERT_TRUE(WaitUntil(
        [&] {
            calls = ReadLines(StandInLog());
            return std::count(calls.begin(), calls.end(), "put_scroll\tyes") == 2;
        },
        10000))
        << calls.size();
    const std::string expectedUrl = OpinionAddress("%C7%D1%B1%DB+%C7%C1%B7%CE%B1%D7%B7%A5");
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "Navigate2\t" + expectedUrl), 1);
    EXPECT_TRUE(SaveScreenshot(help, ScreenshotPath("browser-dialog")));
    // The newest document mode for the program.
    DWORD mode = 0;
    DWORD size = sizeof(mode);
    EXPECT_EQ(RegGetValueA(HKEY_CURRENT_USER,
                           "Software\\Microsoft\\Internet Explorer\\Main\\FeatureControl\\FEATURE_BROWSER_EMULATION",
                           "Tarnock.exe", RRF_RT_REG_DWORD, nullptr, &mode, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(mode, 11001u);

    // The close mark's corner closes it; the control was closed while its site existed.
    DeleteFileA(StandInLog().c_str());
    const POINT skin = SkinOrigin(help);
    PostMessageW(help, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(skin.x + 578, skin.y + 6));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(help); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(main_));
    EXPECT_EQ(ReadLines(StandInLog()),
              (std::vector<std::string>{"Unadvise\t", "Close\tsite alive", "SetClientSite\tnull"}));

    // Button 3: a press just outside the mark keeps it, the mark's other corner closes it.
    Select(koreanRow_);
    ClickButton(main_, IDC_INFO);
    help = WaitForBrowserDialog();
    ASSERT_TRUE(help);
    ASSERT_TRUE(IsResponsive(help, 3000));
    MouseClick(help, POINT{skin.x + 591, skin.y + 10});
    EXPECT_TRUE(IsResponsive(help, 3000));
    EXPECT_FALSE(WaitUntil([&] { return !IsWindow(help); }, 500));
    MouseClick(help, POINT{skin.x + 590, skin.y + 18});
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(help); }, 5000));

    // The item menu's command: "닫기" closes it.
    PostCommand(List(), ID_LIST_OPINION);
    help = WaitForBrowserDialog();
    ASSERT_TRUE(help);
    ClickButton(help, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(help); }, 5000));
    EXPECT_TRUE(IsResponsive(main_, 3000));
    EXPECT_EQ(RecordedCount(), 0u) << "the page opened in the default browser too";
}

TEST_F(UiE2e, PressingTheBrowserDialogsFrameMovesIt) {
    UseStandInBrowser();
    ASSERT_TRUE(LaunchWithRows());
    PostMessageW(main_, UM_LISTACTION, 1, koreanRow_);
    HWND help = WaitForBrowserDialog();
    ASSERT_TRUE(help);
    ASSERT_TRUE(IsResponsive(help, 3000));
    RECT before{};
    GetWindowRect(help, &before);
    // A user presses the title band, drags 60 right and 40 down, and lets go.
    POINT start{before.left + 300, before.top + 8};
    const auto mouse = MouseAt;
    mouse(0, start);
    mouse(MOUSEEVENTF_LEFTDOWN, start);
    for (int step = 1; step <= 10; ++step) {
        Sleep(30);
        mouse(0, POINT{start.x + 6 * step, start.y + 4 * step});
    }
    mouse(MOUSEEVENTF_LEFTUP, POINT{start.x + 60, start.y + 40});
    RECT after{};
    EXPECT_TRUE(WaitUntil(
        [&] {
            GetWindowRect(help, &after);
            return after.left == before.left + 60 && after.top == before.top + 40;
        },
        5000))
        << "from " << before.left << "," << before.top << " to " << after.left << "," << after.top;
    EXPECT_TRUE(IsWindow(help));
    ClickButton(help, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(help); }, 5000));
}

TEST_F(UiE2e, TheMainWindowInEachViewAndManyRepaintsLeaveNoGdiObjectBehind) {
    ASSERT_TRUE(LaunchWithRows());
    const struct {
        UINT command;
        LONG_PTR style;
        const char* shot;
    } views[] = {{ID_STYLE_ICON, LVS_ICON, "ui-main-icon-view"},
                 {ID_STYLE_REPORT, LVS_REPORT, "ui-main-report-view"},
                 {ID_STYLE_LIST, LVS_LIST, "ui-main-list-view"}};
    Select(koreanRow_);
    for (const auto& view : views) {
        PostCommand(main_, view.command);
        ASSERT_TRUE(WaitUntil([&] { return (GetWindowLongPtrW(List(), GWL_STYLE) & LVS_TYPEMASK) == view.style; }, 5000));
        EXPECT_TRUE(SaveScreenshot(main_, ScreenshotPath(view.shot)));
    }

    auto repaint = [&] {
        for (int id : {IDC_SPYWARE, IDC_REMOVE, IDC_WEBSITE}) {
            SendMessageTimeoutW(GetDlgItem(main_, id), WM_MOUSEHOVER, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
            SendMessageTimeoutW(GetDlgItem(main_, id), WM_MOUSELEAVE, 0, 0, SMTO_ABORTIFHUNG, 3000, nullptr);
        }
        RedrawWindow(main_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        IsResponsive(main_, 3000);
    };
    for (int i = 0; i < 3; ++i) repaint();
    const long before = GdiObjectCount(app_.Process().Handle());
    ASSERT_GT(before, 0);
    for (int i = 0; i < 40; ++i) repaint();
    EXPECT_EQ(GdiObjectCount(app_.Process().Handle()), before);
}

// Enough programs that the all-programs scan runs for seconds behind the splash.
class ManyPrograms {
public:
    explicit ManyPrograms(int count) {
        for (int i = 0; i < count; ++i) {
            char name[64];
            std::snprintf(name, sizeof(name), "TarnockUiSplash_%04d", i);
            keys_.emplace_back(std::string("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") + name);
            ScopedKey key;
            if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keys_.back().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                key.Put(), nullptr) != ERROR_SUCCESS)
                continue;
            RegSetValueExA(key.Get(), "DisplayName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                           static_cast<DWORD>(std::strlen(name) + 1));
            const char command[] = "C:\\Splash\\uninst.exe";
            RegSetValueExA(key.Get(), "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command),
                           sizeof(command));
        }
    }
    ~ManyPrograms() {
        for (const std::string& key : keys_) RegDeleteTreeA(HKEY_LOCAL_MACHINE, key.c_str());
    }

private:
    std::vector<std::string> keys_;
};

TEST_F(UiE2e, TheSplashSwallowsEnterAndEscape) {
    const ManyPrograms programs(2500);
    ASSERT_TRUE(Launch());
    ClickButton(main_, IDC_ALLPROGRAMS);
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(app_.Id(), L"#32770"))
                if (window != main_) splash = window;
            return splash != nullptr;
        },
        5000));
    SaveScreenshot(splash, ScreenshotPath("ui-splash"));
    // Enter and Escape would end a plain dialog (hide it) and Escape the main window.
    PostKey(splash, VK_RETURN);
    PostKey(splash, VK_ESCAPE);
    EXPECT_FALSE(WaitUntil([&] { return !IsWindowVisible(splash); }, 800)) << "the splash reacted to a key";
    EXPECT_TRUE(IsWindow(main_));
    // Still scanning when the keys were handled: the splash goes only when the scan ends.
    EXPECT_LT(RemoteListView(List()).Count(), 2500);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(splash); }, 120000));
    EXPECT_GE(RemoteListView(List()).Count(), 2500);
    EXPECT_TRUE(IsWindow(main_));
}

}  // namespace
