// Tarnock.exe end to end: the real program, started beside kelvo.dat and a recording
// updater stand-in, driven from this process like a user would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/FileVersionInfo.h"
#include "base/ScopedHandles.h"
#include "resource.h"
#include "support/E2eFixtures.h"
#include "support/UiDriver.h"
#include "support/TestMachine.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr const char* kTitle = kTarnockTitle;

std::string UpdaterLog() { return StageDir() + "\\updater-calls.txt"; }

void SetSetting(const char* name, DWORD value) { ASSERT_TRUE(WriteSetting(name, value)); }

std::vector<std::string> UpdaterCalls() { return ReadLines(UpdaterLog()); }

class TarnockApp : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSettings();
        DeleteFileA(UpdaterLog().c_str());
        ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTitle) == nullptr; }, 5000))
            << "a Tarnock window of an earlier test is still open";
    }
    void TearDown() override {
        second_.Kill();
        app_.Kill();
        ResetSettings();
    }

    // Starts Tarnock and waits until its initialised window is on the screen.
    HWND Launch(const std::string& arguments = "") {
        main_ = app_.Launch(arguments);
        return main_;
    }

    HWND List() const { return app_.List(); }

    std::vector<MenuEntry> OpenMainMenu() { return app_.OpenMainMenu(); }
    void CloseMainMenu() { app_.CloseMenus(); }

    // Milliseconds from the request until the main window is gone (its shutdown has run);
    // -1 when it stayed for 10 s or the process did not end 10 s after it.
    long long TimeToClose(const std::function<void()>& request) {
        const ULONGLONG start = GetTickCount64();
        request();
        if (!WaitUntil([&] { return !IsWindow(main_); }, 10000, 10)) return -1;
        const long long elapsed = static_cast<long long>(GetTickCount64() - start);
        return app_.Process().WaitForExit(10000, &exitCode_) ? elapsed : -1;
    }

    TarnockSession app_;
    ProgramProcess second_;
    HWND main_ = nullptr;
    DWORD exitCode_ = 0;
};

// ---------------------------------------------------------------------------------------

TEST(TarnockExecutable, HasOneManifestAndTheProjectVersion) {
    EXPECT_EQ(Manifests(TarnockExe()).size(), 1u);
    EXPECT_EQ(FormatFileVersion(TarnockExe().c_str()), "1.4");
}

TEST_F(TarnockApp, FreshStartShowsEveryControlWhereTheTemplatePutsIt) {
    ASSERT_TRUE(Launch());
    EXPECT_EQ(Utf8(WindowTextW(main_)), kTitle);
    // The first start has no "DisplayStyle": icon view, and 0 is written back.
    EXPECT_EQ(ReadSetting("DisplayStyle"), std::optional<DWORD>(0));
    EXPECT_EQ(GetWindowLongPtrW(List(), GWL_STYLE) & LVS_TYPEMASK, LVS_ICON);
    EXPECT_EQ(RemoteListView(List()).Count(), 0);

    // Dialog units to pixels, from the list's own rectangle (98,49 317x221).
    auto clientRect = [&](int id) {
        RECT rect{};
        GetWindowRect(GetDlgItem(main_, id), &rect);
        MapWindowPoints(nullptr, main_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    };
    const RECT list = clientRect(IDC_RESULT_LIST);
    const double bx = (list.right - list.left) / 317.0;
    const double by = (list.bottom - list.top) / 221.0;
    EXPECT_NEAR(list.left, 98 * bx, 2);
    EXPECT_NEAR(list.top, 49 * by, 2);

    struct Placed {
        int id, x, y, w, h;
        bool keepsCentre;  // hover buttons size themselves around their centre
    };
    const Placed controls[] = {
        {IDC_SPYWARE, 4, 46, 50, 14, false},   {IDC_TOOLBAR, 4, 70, 50, 14, false},
        {IDC_MESSENGER, 4, 94, 50, 14, false}, {IDC_P2P, 4, 118, 50, 14, false},
        {IDC_ALLPROGRAMS, 4, 141, 50, 14, false}, {IDC_BHO, 4, 165, 50, 14, false},
        {IDC_STARTUP, 4, 189, 50, 14, false},  {IDC_ACTIVEX, 4, 213, 50, 14, false},
        {IDC_COPYRIGHT, 4, 237, 50, 14, false}, {IDC_REMOVE, 98, 277, 40, 15, false},
        {IDC_SEARCH, 294, 277, 40, 15, false}, {IDC_INFO, 334, 277, 40, 15, false},
        {IDC_EXIT, 375, 277, 40, 15, false},   {IDC_STYLE, 144, 18, 50, 14, true},
        {IDC_MENU, 206, 18, 34, 14, true},     {IDC_WEBSITE, 255, 18, 56, 14, true},
        {IDC_UPDATE, 322, 18, 40, 15, true},   {IDC_ABOUT, 373, 18, 40, 15, true},
    };
    for (const Placed& c : controls) {
        SCOPED_TRACE(c.id);
        HWND control = GetDlgItem(main_, c.id);
        ASSERT_TRUE(control);
        EXPECT_TRUE(IsWindowVisible(control));
        EXPECT_EQ(GetWindowLongPtrW(control, GWL_STYLE) & BS_TYPEMASK, BS_OWNERDRAW);
        const RECT r = clientRect(c.id);
        EXPECT_GT(r.right - r.left, 4);
        if (c.keepsCentre) {
            EXPECT_NEAR((r.left + r.right) / 2.0, (c.x + c.w / 2.0) * bx, 3);
            EXPECT_NEAR((r.top + r.bottom) / 2.0, (c.y + c.h / 2.0) * by, 3);
        } else {
            EXPECT_NEAR(r.left, c.x * bx, 2);
            EXPECT_NEAR(r.top, c.y * by, 2);
        }
    }
    // Skinned without a caption bar or frame (the title stays, for the taskbar and the
    // single-instance lookup): the client area is the whole window, so the background's
    // title area starts at the window's top edge.
    const LONG_PTR style = GetWindowLongPtrW(main_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_EQ(style & (WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX), WS_POPUP | WS_SYSMENU | WS_MINIMIZEBOX);
    const LONG_PTR exStyle = GetWindowLongPtrW(main_, GWL_EXSTYLE);
    EXPECT_TRUE(exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(exStyle & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE | WS_EX_STATICEDGE), 0);
    RECT window{}, client{};
    GetWindowRect(main_, &window);
    GetClientRect(main_, &client);
    POINT origin{0, 0};
    ClientToScreen(main_, &origin);
    EXPECT_EQ(origin.x, window.left);
    EXPECT_EQ(origin.y, window.top);
    EXPECT_EQ(client.right, window.right - window.left);
    EXPECT_EQ(client.bottom, window.bottom - window.top);

    // Dragging by any free spot: the client area answers as a caption.
    POINT freeSpot{static_cast<LONG>(60 * bx), static_cast<LONG>(8 * by)};
    ClientToScreen(main_, &freeSpot);
    EXPECT_EQ(SendMessageW(main_, WM_NCHITTEST, 0, MAKELPARAM(freeSpot.x, freeSpot.y)), HTCAPTION);
    EXPECT_TRUE(SaveScreenshot(main_, ScreenshotPath("main-window")));
}

TEST_F(TarnockApp, MainMenuAfterAFreshStartOffersConsentAndChecksManualUpdate) {
    ASSERT_TRUE(Launch());
    const std::vector<MenuEntry> menu = OpenMainMenu();
    ASSERT_FALSE(menu.empty()) << "no popup menu";
    SaveScreenshot(GetDesktopWindow(), ScreenshotPath("main-menu"));
    CloseMainMenu();

    struct Expected {
        UINT id;
        const wchar_t* text;
        int depth;
    };
    const Expected order[] = {{IDC_ABOUT, L"Tarnock에 대하여", 0},
                              {IDC_WEBSITE, L"제작사 홈페이지", 0},
                              {ID_MENU_RANKPAGE, L"삭제 Rank보기", 0},
                              {0, nullptr, 0},
                              {static_cast<UINT>(-1), L"자동 업데이트 선택", 0},
                              {ID_MENU_AUTOUPDATE, L"시작시 자동 업데이트", 1},
                              {ID_MENU_MANUALUPDATE, L"수동 업데이트", 1},
                              {0, nullptr, 0},
                              {ID_MENU_RANKCONSENT, L"삭제 순위 프로그램 참여 승낙", 0},
                              {ID_MENU_BACKUPFOLDER, L"삭제 백업 폴더 열기", 0},
                              {0, nullptr, 0},
                              {IDC_EXIT, L"종료", 0}};
    ASSERT_EQ(menu.size(), std::size(order));
    for (std::size_t i = 0; i < menu.size(); ++i) {
        SCOPED_TRACE(i);
        if (order[i].text == nullptr) {
            EXPECT_TRUE(menu[i].separator);
            continue;
        }
        if (order[i].id != static_cast<UINT>(-1)) {
            EXPECT_EQ(menu[i].id, order[i].id);
        }
        EXPECT_EQ(menu[i].text, order[i].text);
        EXPECT_EQ(menu[i].depth, order[i].depth);
    }
    EXPECT_TRUE(menu[0].isDefault);
    EXPECT_FALSE(FindMenuEntry(menu, ID_MENU_AUTOUPDATE)->checked);
    EXPECT_TRUE(FindMenuEntry(menu, ID_MENU_MANUALUPDATE)->checked);
}

TEST_F(TarnockApp, StoredRankAndAutoUpdateShowRefusalAndAutomaticCheck) {
    SetSetting("rank", 5);
    SetSetting("AutoUpdate", 1);
    ASSERT_TRUE(Launch());
    const std::vector<MenuEntry> menu = OpenMainMenu();
    CloseMainMenu();
    ASSERT_TRUE(FindMenuEntry(menu, ID_MENU_RANKCONSENT));
    EXPECT_EQ(FindMenuEntry(menu, ID_MENU_RANKCONSENT)->text, L"삭제 순위 프로그램 참여 거부");
    EXPECT_TRUE(FindMenuEntry(menu, ID_MENU_AUTOUPDATE)->checked);
    EXPECT_FALSE(FindMenuEntry(menu, ID_MENU_MANUALUPDATE)->checked);
}

TEST_F(TarnockApp, UpdateMenuCommandsStoreTheChoiceAndMoveTheCheckMark) {
    ASSERT_TRUE(Launch());
    PostCommand(main_, ID_MENU_AUTOUPDATE);
    ASSERT_TRUE(WaitUntil([] { return ReadSetting("AutoUpdate") == std::optional<DWORD>(1); }, 3000));
    std::vector<MenuEntry> menu = OpenMainMenu();
    CloseMainMenu();
    ASSERT_TRUE(FindMenuEntry(menu, ID_MENU_AUTOUPDATE));
    EXPECT_TRUE(FindMenuEntry(menu, ID_MENU_AUTOUPDATE)->checked);

    PostCommand(main_, ID_MENU_MANUALUPDATE);
    ASSERT_TRUE(WaitUntil([] { return ReadSetting("AutoUpdate") == std::optional<DWORD>(0); }, 3000));
    menu = OpenMainMenu();
    CloseMainMenu();
    ASSERT_TRUE(FindMenuEntry(menu, ID_MENU_MANUALUPDATE));
    EXPECT_TRUE(FindMenuEntry(menu, ID_MENU_MANUALUPDATE)->checked);
    EXPECT_FALSE(FindMenuEntry(menu, ID_MENU_AUTOUPDATE)->checked);
}

// ---------------------------------------------------------------------------------------
// Deletion-rank consent: both questions, both answers.

struct ConsentCase {
    const char* name;
    std::optional<DWORD> storedRank;
    int answer;
    const wchar_t* questionStart;
    std::optional<DWORD> rankAfter;
    const wchar_t* thanks;  // nullptr: no further message
    const wchar_t* menuAfter;
};

void PrintTo(const ConsentCase& c, std::ostream* out) { *out << c.name; }

class ConsentTest : public TarnockApp, public ::testing::WithParamInterface<ConsentCase> {};

TEST_P(ConsentTest, AnswerChangesFlagAndRankExactlyOnYes) {
    const ConsentCase& c = GetParam();
    if (c.storedRank) SetSetting("rank", *c.storedRank);
    ASSERT_TRUE(Launch());
    PostCommand(main_, ID_MENU_RANKCONSENT);
    HWND question = WaitForMessageBox(app_.Id(), main_, 5000);
    ASSERT_TRUE(question);
    EXPECT_EQ(WindowTextW(question), L"삭제순위 프로그램");
    const std::wstring text = MessageBoxText(question);
    EXPECT_EQ(text.rfind(c.questionStart, 0), 0u) << Utf8(text);
    EXPECT_TRUE(GetDlgItem(question, IDYES) && GetDlgItem(question, IDNO));
    std::string shot = "consent-";
    shot += c.name;
    SaveScreenshot(question, ScreenshotPath(shot));
    AnswerDialog(question, c.answer);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(question); }, 5000));

    if (c.thanks) {
        HWND thanks = WaitForMessageBox(app_.Id(), main_, 5000);
        ASSERT_TRUE(thanks);
        EXPECT_EQ(MessageBoxText(thanks), c.thanks);
        AnswerDialog(thanks, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(thanks); }, 5000));
    } else {
        Sleep(300);
        EXPECT_EQ(WaitForMessageBox(app_.Id(), main_, 200), nullptr);
    }
    ASSERT_TRUE(IsResponsive(main_, 3000));
    EXPECT_EQ(ReadSetting("rank"), c.rankAfter);
    const std::vector<MenuEntry> menu = OpenMainMenu();
    CloseMainMenu();
    ASSERT_TRUE(FindMenuEntry(menu, ID_MENU_RANKCONSENT));
    EXPECT_EQ(FindMenuEntry(menu, ID_MENU_RANKCONSENT)->text, c.menuAfter);
}

const wchar_t kJoinQuestion[] = L"고객님 PC에서 Tarnock를 통해서 삭제시도 하신 프로그램의 \"이름\" 만을\n";
const wchar_t kLeaveQuestion[] = L"현재 사용자 프로그램 삭제 순위(rank) 프로젝트에 참여 하고 계십니다.\n";

INSTANTIATE_TEST_SUITE_P(
    Answers, ConsentTest,
    ::testing::Values(
        ConsentCase{"join-yes", std::nullopt, IDYES, kJoinQuestion, 1, L"참여해 주셔서 감사합니다.",
                    L"삭제 순위 프로그램 참여 거부"},
        ConsentCase{"join-no", std::nullopt, IDNO, kJoinQuestion, std::nullopt, nullptr,
                    L"삭제 순위 프로그램 참여 승낙"},
        ConsentCase{"leave-yes", 5, IDYES, kLeaveQuestion, 0, L"취소되었습니다. 감사합니다.",
                    L"삭제 순위 프로그램 참여 승낙"},
        ConsentCase{"leave-no", 5, IDNO, kLeaveQuestion, 5, nullptr, L"삭제 순위 프로그램 참여 거부"}),
    [](const ::testing::TestParamInfo<ConsentCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

// ---------------------------------------------------------------------------------------
// The updater

TEST_F(TarnockApp, AutoUpdateStartsTheUpdaterHiddenAndOnlyWhenSet) {
    ASSERT_TRUE(Launch());
    Sleep(1500);
    EXPECT_TRUE(UpdaterCalls().empty()) << "updater started without \"AutoUpdate\"";
    app_.Kill();
    ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTitle) == nullptr; }, 5000));

    SetSetting("AutoUpdate", 1);
    ASSERT_TRUE(Launch());
    ASSERT_TRUE(WaitUntil([] { return !UpdaterCalls().empty(); }, 10000));
    const std::vector<std::string> calls = UpdaterCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find("TarnockUpdate.exe"), std::string::npos) << calls[0];
    EXPECT_NE(calls[0].find(" hide\t"), std::string::npos) << calls[0];
    EXPECT_EQ(calls[0].substr(calls[0].find('\t') + 1), "0") << "shown with SW_HIDE";
}

TEST_F(TarnockApp, UpdateButtonStartsTheUpdaterWithShow) {
    ASSERT_TRUE(Launch());
    ClickButton(main_, IDC_UPDATE);
    ASSERT_TRUE(WaitUntil([] { return !UpdaterCalls().empty(); }, 10000));
    const std::vector<std::string> calls = UpdaterCalls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].find(" show\t"), std::string::npos) << calls[0];
}

// ---------------------------------------------------------------------------------------
// Single instance and the command-line hand-over


TEST_F(TarnockApp, SecondStartHandsShortcutFoldersToTheFirstAndEndsWithoutAWindow) {
    const std::string dir = BuildDir() + "\\tests\\e2e-links";
    const std::string alpha = dir + "\\Alpha Soft\\alpha.exe";
    const std::string beta = dir + "\\Beta\\bin\\beta.exe";
    MakeFile(alpha);
    MakeFile(beta);
    const std::string links[] = {dir + "\\alpha.lnk", dir + "\\beta.lnk", dir + "\\windows.lnk", dir + "\\ie.lnk"};
    ASSERT_TRUE(MakeShortcut(links[0], alpha));
    ASSERT_TRUE(MakeShortcut(links[1], beta));
    ASSERT_TRUE(MakeShortcut(links[2], "C:\\WINDOWS\\notepad.exe"));
    ASSERT_TRUE(MakeShortcut(links[3], "C:\\Program Files\\Internet Explorer\\iexplore.exe"));
    // The programs installed in the shortcuts' folders, as the folder list finds them.
    const TestUninstallEntry alphaEntry("TarnockE2E_Alpha", "Alpha Soft", Quoted(dir + "\\Alpha Soft\\unins000.exe"));
    const TestUninstallEntry betaEntry("TarnockE2E_Beta", "Beta Tool", dir + "\\Beta\\bin\\uninstall.exe -q");

    ASSERT_TRUE(Launch());
    RemoteListView list(List());
    EXPECT_EQ(list.Count(), 0);

    std::string arguments;
    for (const std::string& link : links) {
        arguments += ' ';
        arguments += Quoted(link);
    }
    ASSERT_TRUE(second_.Start(TarnockExe(), Quoted(TarnockExe()) + arguments, StageDir()));
    DWORD code = 1234;
    ASSERT_TRUE(second_.WaitForExit(15000, &code)) << "the second start did not end";
    EXPECT_TRUE(TopLevelWindows(second_.Id(), nullptr, true).empty());
    // The hand-over is synchronous: the first instance's type-10 list is complete now.
    const std::vector<RemoteRow> rows = list.Rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].texts[0], "Alpha Soft");
    EXPECT_EQ(rows[0].texts[2], "TarnockE2E_Alpha");
    EXPECT_EQ(rows[1].texts[0], "Beta Tool");
    EXPECT_EQ(rows[1].texts[2], "TarnockE2E_Beta");
    SaveScreenshot(main_, ScreenshotPath("second-start-folders"));

    // A second start without arguments forwards just its program path: an empty type-10 list.
    ASSERT_TRUE(second_.Start(TarnockExe(), Quoted(TarnockExe()), StageDir()));
    ASSERT_TRUE(second_.WaitForExit(15000));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(TopLevelWindows(app_.Id(), L"#32770").size(), 1u);
}

TEST_F(TarnockApp, CopyDataOtherThanOneChangesNothing) {
    const std::string dir = BuildDir() + "\\tests\\e2e-links";
    const std::string gamma = dir + "\\Gamma\\gamma.exe";
    MakeFile(gamma);
    ASSERT_TRUE(MakeShortcut(dir + "\\gamma.lnk", gamma));
    const TestUninstallEntry gammaEntry("TarnockE2E_Gamma", "Gamma", Quoted(dir + "\\Gamma\\uninst.exe"));
    const std::string text = "tarnock|" + dir + "\\gamma.lnk|";
    ASSERT_TRUE(Launch());
    RemoteListView list(List());

    auto send = [&](ULONG_PTR kind, const std::string& data) {
        COPYDATASTRUCT copy{};
        copy.dwData = kind;
        copy.cbData = static_cast<DWORD>(data.size());
        copy.lpData = const_cast<char*>(data.data());
        DWORD_PTR result = 0;
        SendMessageTimeoutA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, 5000, &result);
    };
    send(2, text);
    EXPECT_EQ(list.Count(), 0);
    send(1, text);  // the dropped-files form of the hand-over
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(0, 2), "TarnockE2E_Gamma");
    send(0, "tarnock|");
    send(7, "tarnock|");
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Text(0, 2), "TarnockE2E_Gamma");

    // A quoted program path and an unquoted shortcut make one token after the quotes go:
    // it is the program's own token and is skipped, so no folder is collected.
    std::string mixed = Quoted("C:\\Program Files\\Tarnock\\Tarnock.exe");
    mixed += ' ';
    mixed += dir;
    mixed += "\\gamma.lnk";
    send(1, mixed);
    EXPECT_EQ(list.Count(), 0);
}

// ---------------------------------------------------------------------------------------
// Keyboard, exit and the shutdown wait

// Without a window manager Wine waits up to 2 s for a hidden window to be withdrawn, so
// every close takes that long here; the removal wait is measured against a plain close.
TEST_F(TarnockApp, EscapeTheExitButtonAndEnterWithARemovalWorkerEndTheProgram) {
    ASSERT_TRUE(Launch());
    const long long escape = TimeToClose([&] { PostKey(List(), VK_ESCAPE); });
    ASSERT_GE(escape, 0) << "Escape did not end Tarnock";
    EXPECT_EQ(exitCode_, 0u);

    ASSERT_TRUE(Launch());
    const long long button = TimeToClose([&] { ClickButton(main_, IDC_EXIT); });
    ASSERT_GE(button, 0) << "the exit button did not end Tarnock";
    const long long plainClose = std::max(escape, button);
    EXPECT_LT(plainClose, 3500);

    // Enter is the remove button's command: the removal starts a slow uninstaller (it takes
    // 20 s) and waits for its entry to go; closing the window ends that wait at once.
    const std::string uninstaller = WindowsPath(TARNOCK_REMOVAL_FIXTURES) + "\\uninstaller.exe";
    TestUninstallEntry slow("TnkSlowUninstaller", "TnkSlowUninstaller",
                            Quoted(uninstaller) + " later HKLM TnkSlowUninstaller 20000");
    ASSERT_TRUE(Launch());
    PostCommand(main_, IDC_ALLPROGRAMS);
    int row = -1;
    ASSERT_TRUE(WaitUntil(
        [&] {
            RemoteListView list(List());
            for (int i = 0; i < list.Count(); ++i)
                if (list.Text(i, 2) == "TnkSlowUninstaller") row = i;
            return row >= 0;
        },
        30000, 100));
    ASSERT_TRUE(RemoteListView(List()).Select(row));
    PostKey(List(), VK_RETURN);
    Sleep(2000);  // the uninstaller has been started and the removal waits for its entry
    EXPECT_TRUE(IsResponsive(main_, 1000)) << "the removal must not run on the window's thread";
    const long long withWorker = TimeToClose([&] { PostMessageW(main_, WM_CLOSE, 0, 0); });
    ASSERT_GE(withWorker, 0) << "the close did not end Tarnock";
    EXPECT_EQ(exitCode_, 0u) << "the worker still running at the exit must not crash the process";
    EXPECT_LE(withWorker - plainClose, 1500) << "the close waited for the removal instead of ending its wait";
}

// The common installer pattern: the first process copies itself to the temporary folder,
// starts the copy and ends at once; the copy removes the entry later.
TEST_F(TarnockApp, ARemovalUnderWayIsShownUntilTheCopiedUninstallerRemovedTheEntry) {
    const std::string uninstaller = WindowsPath(TARNOCK_REMOVAL_FIXTURES) + "\\uninstaller.exe";
    TestUninstallEntry copying("TnkCopyingUninstaller", "TnkCopyingUninstaller",
                               Quoted(uninstaller) + " copy HKLM TnkCopyingUninstaller 4000");
    ASSERT_TRUE(Launch());
    PostCommand(main_, IDC_ALLPROGRAMS);
    const auto rowOf = [&] {
        RemoteListView list(List());
        for (int i = 0; i < list.Count(); ++i)
            if (list.Text(i, 2) == "TnkCopyingUninstaller") return i;
        return -1;
    };
    ASSERT_TRUE(WaitUntil([&] { return rowOf() >= 0; }, 30000, 100));
    ASSERT_TRUE(RemoteListView(List()).Select(rowOf()));
    PostCommand(main_, IDC_REMOVE);
    const auto status = [&] {
        wchar_t text[256] = {};
        GetDlgItemTextW(main_, IDC_REMOVAL_STATUS, text, 256);
        return std::wstring(text);
    };
    ASSERT_TRUE(WaitUntil([&] { return status().find(L"TnkCopyingUninstaller") != std::wstring::npos; }, 5000, 50))
        << "the removal under way is not shown";
    EXPECT_TRUE(IsResponsive(main_, 1000));
    EXPECT_TRUE(SaveScreenshot(main_, ScreenshotPath("removal-under-way")));
    EXPECT_GE(rowOf(), 0) << "the row left while the copy still runs";
    ASSERT_TRUE(WaitUntil([&] { return rowOf() < 0; }, 15000, 100)) << "the row stayed after the entry went";
    EXPECT_TRUE(WaitUntil([&] { return status().empty(); }, 2000, 50));
}

TEST_F(TarnockApp, AboutBoxShowsTitleTwoBlanksDashAndVersion) {
    ASSERT_TRUE(Launch());
    PostCommand(main_, IDC_ABOUT);
    HWND about = WaitForMessageBox(app_.Id(), main_, 5000);
    ASSERT_TRUE(about);
    EXPECT_EQ(WindowTextW(about), L"Tarnock 정보");
    EXPECT_EQ(Utf8(WindowTextW(GetDlgItem(about, IDC_ABOUT_VERSION))), "Tarnock (Tarnock)  - 1.4");
    EXPECT_FALSE(WindowTextW(GetDlgItem(about, IDC_ABOUT_TEXT)).empty());
    SaveScreenshot(about, ScreenshotPath("about-box"));
    AnswerDialog(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(about); }, 5000));
}

TEST_F(TarnockApp, LongScanShowsOneLoadingWindowCentredOverTheList) {
    ASSERT_TRUE(Launch());
    RECT list{};
    GetWindowRect(List(), &list);
    const int x = list.left + (list.right - list.left) / 2 - 111;
    const int y = list.top + (list.bottom - list.top) / 2 - 40;
    auto loadingWindows = [&] {
        std::vector<HWND> found;
        for (HWND window : TopLevelWindows(app_.Id(), L"#32770", false))
            if (window != main_) found.push_back(window);
        return found;
    };
    HWND previous = nullptr;
    for (int button : {IDC_ALLPROGRAMS, IDC_ACTIVEX, IDC_ALLPROGRAMS}) {
        SCOPED_TRACE(button);
        ClickButton(main_, button);
        // The earlier loading window is replaced by a new one, placed over the list.
        HWND loading = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                const std::vector<HWND> windows = loadingWindows();
                if (windows.size() != 1 || windows[0] == previous) return false;
                RECT rect{};
                GetWindowRect(windows[0], &rect);
                if (rect.right - rect.left != 223 || rect.bottom - rect.top != 81) return false;
                loading = windows[0];
                return true;
            },
            5000));
        RECT rect{};
        GetWindowRect(loading, &rect);
        EXPECT_EQ(rect.left, x);
        EXPECT_EQ(rect.top, y);
        // The scan hides it when it ends.
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(loading); }, 5000));
        EXPECT_TRUE(IsResponsive(main_, 3000));
        previous = loading;
    }
}

// ---------------------------------------------------------------------------------------
// Scans that overlap: with thousands of uninstall entries the threaded scans run for
// seconds, so clicks during them really race with their rows.

class TarnockBusyMachine : public TarnockApp {
protected:
    static constexpr int kEntries = 2000;
    static void SetUpTestSuite() {
        for (int i = 0; i < kEntries; ++i) {
            const std::string key = FormatKey(i);
            entries_.push_back(std::make_unique<TestUninstallEntry>(
                key, "Tnk Race Program " + std::to_string(i), "C:\\Race\\" + key + "\\uninst.exe"));
        }
    }
    static void TearDownTestSuite() { entries_.clear(); }
    static std::string FormatKey(int i) { return "TnkRace" + std::to_string(10000 + i); }

    std::vector<RemoteRow> ListRows() const { return RemoteListView(List()).Rows(4); }
    bool LoadingWindowShown() const {
        for (HWND window : TopLevelWindows(app_.Id(), L"#32770", true))
            if (window != main_) return true;
        return false;
    }
    // Waits until no loading window shows and the row count held still for a second.
    std::vector<RemoteRow> SettledRows(DWORD timeoutMs = 60000) {
        int lastCount = -1;
        ULONGLONG stableSince = GetTickCount64();
        WaitUntil(
            [&] {
                const int count = RemoteListView(List()).Count();
                if (count != lastCount || LoadingWindowShown()) {
                    lastCount = count;
                    stableSince = GetTickCount64();
                    return false;
                }
                return GetTickCount64() - stableSince >= 1000;
            },
            timeoutMs, 50);
        return ListRows();
    }
    static std::vector<std::string> Keys(const std::vector<RemoteRow>& rows) {
        std::vector<std::string> keys;
        for (const RemoteRow& row : rows) keys.push_back(row.texts.size() > 2 ? row.texts[0] + "|" + row.texts[2] : "");
        std::sort(keys.begin(), keys.end());
        return keys;
    }
    // A click that returns once the window has handled it, so that what it started is
    // on the screen before the rows are read.
    void Click(int button) const { ClickAndWait(GetDlgItem(main_, button)); }
    // The rows one category gives when nothing else runs.
    std::vector<std::string> Reference(int button) {
        Click(button);
        return Keys(SettledRows());
    }

    static inline std::vector<std::unique_ptr<TestUninstallEntry>> entries_;
};

TEST_F(TarnockBusyMachine, TheLastCategoryClickedOwnsTheListWhateverRanBefore) {
    ASSERT_TRUE(Launch());
    const std::vector<std::string> startup = Reference(IDC_STARTUP);
    const std::vector<std::string> all = Reference(IDC_ALLPROGRAMS);
    ASSERT_GE(all.size(), static_cast<std::size_t>(kEntries));
    std::printf("reference rows: start-up %zu, all programs %zu\n", startup.size(), all.size());
    std::fflush(stdout);
    const std::vector<std::string> activex = Reference(IDC_ACTIVEX);

    struct Case {
        const char* name;
        std::vector<int> clicks;
        const std::vector<std::string>* expected;
    };
    const Case cases[] = {
        {"start-up during all programs", {IDC_ALLPROGRAMS, IDC_STARTUP}, &startup},
        {"start-up during ActiveX", {IDC_ACTIVEX, IDC_STARTUP}, &startup},
        {"all programs twice", {IDC_ALLPROGRAMS, IDC_ALLPROGRAMS}, &all},
        {"quick clicks ending in all programs",
         {IDC_ALLPROGRAMS, IDC_ACTIVEX, IDC_STARTUP, IDC_ALLPROGRAMS, IDC_BHO, IDC_ALLPROGRAMS}, &all},
        {"quick clicks ending in ActiveX", {IDC_ALLPROGRAMS, IDC_STARTUP, IDC_ALLPROGRAMS, IDC_ACTIVEX}, &activex},
        {"quick clicks ending in start-up", {IDC_ACTIVEX, IDC_ALLPROGRAMS, IDC_ALLPROGRAMS, IDC_STARTUP}, &startup},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (std::size_t i = 0; i < c.clicks.size(); ++i) {
            Click(c.clicks[i]);
            // Let the threaded scans get well into their entries before the next click.
            Sleep(i + 1 < c.clicks.size() ? 300 : 0);
        }
        const std::vector<std::string> rows = Keys(SettledRows());
        std::printf("%s: %zu rows\n", c.name, rows.size());
        std::fflush(stdout);
        if (LoadingWindowShown()) SaveScreenshot(main_, ScreenshotPath(std::string("scan-race-fail-") + c.name));
        EXPECT_FALSE(LoadingWindowShown()) << "a loading window is left on the screen";
        EXPECT_EQ(rows.size(), c.expected->size());
        EXPECT_TRUE(rows == *c.expected) << "the list holds rows of another category or rows twice";
        EXPECT_TRUE(IsResponsive(main_, 3000));
    }
    SaveScreenshot(main_, ScreenshotPath("scan-race-settled"));
}

TEST_F(TarnockBusyMachine, ClosingDuringAThreadedScanEndsPromptlyAndCleanly) {
    // The same close with nothing running, as the measure of this machine's speed.
    ASSERT_TRUE(Launch());
    const long long idle = TimeToClose([&] { PostMessageW(main_, WM_CLOSE, 0, 0); });
    ASSERT_GE(idle, 0);
    for (int button : {IDC_ALLPROGRAMS, IDC_ACTIVEX}) {
        SCOPED_TRACE(button);
        ASSERT_TRUE(Launch());
        ClickButton(main_, button);
        Sleep(500);
        const long long closing = TimeToClose([&] { PostMessageW(main_, WM_CLOSE, 0, 0); });
        ASSERT_GE(closing, 0) << "Tarnock did not end";
        // Only the batches already queued before the close are listed first; the scan itself is
        // never waited for (it takes many seconds on this many entries).
        EXPECT_LT(closing, idle + 3000) << "the close waited for the scan";
        EXPECT_EQ(exitCode_, 0u);
    }
}

}  // namespace
