// The real TarnockUpdate.exe, driven from this process as a user would: silent and visible
// checks, the offered update with its details, the download with its progress bar, and
// that only a verified setup is ever started.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/FileVersionInfo.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "TarnockVersion.h"
#include "support/TestMachine.h"
#include "support/UiDriver.h"
#include "support/UpdateServer.h"
#include "updater/resource.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

const char kChecking[] = "업데이트 가능여부 확인중입니다.";
const char kUpToDate[] = "이미 업데이트가 완료 되었습니다.";
const char kOffered[] = "업데이트가 가능합니다. 업데이트를 하시겠습니까?";
const char kDownloading[] = "파일을 다운로드 중입니다.";

std::string UpdaterExe() { return WindowsPath(TARNOCK_UPDATER_EXE); }

// What the updater leaves in its folder for downloads (%ProgramData%\\Tarnock\\Updates): each
// download has a private folder of its own there, removed when the download is over.
std::vector<std::string> LeftoverDownloads() {
    char data[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("ProgramData", data, MAX_PATH);
    std::vector<std::string> names;
    if (length == 0 || length >= MAX_PATH) return names;
    WIN32_FIND_DATAA found{};
    ScopedFind search(FindFirstFileA((std::string(data) + "\\Tarnock\\Updates\\*").c_str(), &found));
    if (!search) return names;
    do {
        if (std::string(found.cFileName) != "." && std::string(found.cFileName) != "..") names.push_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    return names;
}

// A program folder as the setup leaves it: the updater, Tarnock.exe (1.4.0.0) and a
// Tarnock.ini naming the scenario's server (none when `base` is empty).
class UpdaterRun {
public:
    UpdaterRun(const std::string& name, const std::string& base) : folder_(FreshTestFolder("ui-" + name) + "\\") {
        CopyFileA(UpdaterExe().c_str(), (folder_ + "TarnockUpdate.exe").c_str(), FALSE);
        CopyFileA(StandInTarnockPath().c_str(), (folder_ + "Tarnock.exe").c_str(), FALSE);
        if (!base.empty()) WriteWholeFile(folder_ + "Tarnock.ini", "[Update]\r\nBase=" + base + "\r\n");
    }

    bool Start(const std::string& arguments) {
        start_ = GetTickCount64();
        std::string line = "\"" + folder_ + "TarnockUpdate.exe\"";
        if (!arguments.empty()) line += " " + arguments;
        return process_.Start(folder_ + "TarnockUpdate.exe", line, folder_);
    }
    // The updater's visible window, waited for.
    HWND WaitForWindow(DWORD timeoutMs) {
        WaitUntil(
            [&] {
                for (HWND w : TopLevelWindows(process_.Id(), L"#32770"))
                    if (GetDlgItem(w, IDC_STATE_TEXT)) return (window_ = w) != nullptr;
                return false;
            },
            timeoutMs);
        return window_;
    }
    std::string StateText() const { return Utf8(WindowTextW(GetDlgItem(window_, IDC_STATE_TEXT))); }
    bool WaitForState(const char* text, DWORD timeoutMs) const {
        return WaitUntil([&] { return StateText() == text; }, timeoutMs);
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(window_, id)) != FALSE; }
    int ProgressPosition() const {
        DWORD_PTR position = 0;
        if (!SendMessageTimeoutW(GetDlgItem(window_, IDC_PROGRESS), PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 1000, &position))
            return -1;
        return static_cast<int>(position);
    }
    // Milliseconds from the start to the end of the process; -1 when it did not end.
    long long WaitForExit(DWORD timeoutMs) {
        if (!process_.WaitForExit(timeoutMs, &exitCode_)) return -1;
        return static_cast<long long>(GetTickCount64() - start_);
    }
    DWORD ExitCode() const { return exitCode_; }

    const std::string& Folder() const { return folder_; }
    ProgramProcess& Process() { return process_; }
    HWND Window() const { return window_; }

private:
    std::string folder_;
    ProgramProcess process_;
    HWND window_ = nullptr;
    ULONGLONG start_ = 0;
    DWORD exitCode_ = STILL_ACTIVE;
};

// Nothing of an update may be left where it could run.
void ExpectNothingInstalled(const UpdaterRun& run) {
    EXPECT_FALSE(PathExists(run.Folder() + "setup-ran.txt")) << "no setup was started";
    EXPECT_FALSE(PathExists(run.Folder() + "TarnockSetup.exe")) << "nothing was put in place";
    EXPECT_EQ(LeftoverDownloads(), std::vector<std::string>()) << "no download stays behind";
}

}  // namespace

// ---------------------------------------------------------------------------------------

TEST(TarnockUpdateExecutable, HasOneManifestRequiringAdministratorAndTheProjectVersion) {
    const std::vector<std::string> manifests = Manifests(UpdaterExe());
    ASSERT_EQ(manifests.size(), 1u);
    EXPECT_TRUE(Contains(manifests[0], "level=\"requireAdministrator\""));
    EXPECT_TRUE(Contains(manifests[0], "Microsoft.Windows.Common-Controls"));
    EXPECT_TRUE(Contains(manifests[0], "<dpiAware"));
    EXPECT_EQ(FormatFileVersion(UpdaterExe().c_str()), TARNOCK_VERSION_TEXT == std::string("1.4.0.0") ? "1.4" : "");
    CFileVersionInfo info;
    ASSERT_TRUE(info.Open(UpdaterExe().c_str()));
    char name[64] = {};
    EXPECT_TRUE(info.GetString("OriginalFilename", name, sizeof(name)));
    EXPECT_STREQ(name, "TarnockUpdate.exe");
}

TEST(UpdaterSilent, NothingNewerNeverShowsAWindowAndEndsInAboutThreeSeconds) {
    struct Case {
        const char* name;
        const char* page;
        const char* behaviour;
        bool configured;
    } cases[] = {
        {"equal", "Version=1.4.0.0\r\n", "", true},
        {"server-error", "Version=9.0\r\n", "version_status=500\n", true},
        {"not-configured", "Version=9.0\r\n", "", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("silent-") + c.name);
        scenario.VersionPage(c.page);
        scenario.Behaviour(c.behaviour);
        UpdaterRun run(std::string("silent-") + c.name, c.configured ? scenario.Base() : "");
        ASSERT_TRUE(run.Start("hide"));
        // Timed from the creation of its (hidden) window: Wine's own start-up time is not the updater's.
        bool shown = false;
        ULONGLONG created = 0;
        WaitUntil(
            [&] {
                if (!TopLevelWindows(run.Process().Id(), nullptr, true).empty()) shown = true;
                if (!created && !TopLevelWindows(run.Process().Id(), L"#32770", false).empty())
                    created = GetTickCount64();
                return !run.Process().IsRunning();
            },
            15000, 10);
        ASSERT_GE(run.WaitForExit(0), 0);
        EXPECT_FALSE(shown) << "a window was visible";
        ASSERT_NE(created, 0u);
        const ULONGLONG elapsed = GetTickCount64() - created;
        EXPECT_GE(elapsed, 2900u);
        EXPECT_LE(elapsed, 4500u);
        ExpectNothingInstalled(run);
    }
}

TEST(UpdaterVisible, ChecksThenSaysUpToDateAndEnds) {
    UpdateScenario scenario("visible-up-to-date");
    scenario.VersionPage("Version=1.4\r\n");
    UpdaterRun run("visible-up-to-date", scenario.Base());
    ASSERT_TRUE(run.Start("show"));
    ASSERT_TRUE(run.WaitForWindow(10000));
    EXPECT_TRUE(IsWindowVisible(run.Window()));
    EXPECT_EQ(Utf8(WindowTextW(run.Window())), "Tarnock 업데이트");
    EXPECT_EQ(run.StateText(), kChecking);
    EXPECT_FALSE(run.Enabled(IDC_UPDATE));
    EXPECT_FALSE(run.Enabled(IDC_DETAILS));
    EXPECT_TRUE(SaveScreenshot(run.Window(), ScreenshotPath("updater-checking")));
    ASSERT_TRUE(run.WaitForState(kUpToDate, 5000));
    EXPECT_FALSE(run.Enabled(IDC_UPDATE));
    EXPECT_TRUE(SaveScreenshot(run.Window(), ScreenshotPath("updater-up-to-date")));
    const long long elapsed = run.WaitForExit(6000);
    EXPECT_GE(elapsed, 2800);
    ExpectNothingInstalled(run);
}

TEST(UpdaterVisible, OnlyTheExactWordHideIsSilent) {
    UpdateScenario scenario("visible-switches");
    scenario.VersionPage("Version=1.4\r\n");
    for (const char* arguments : {"Hide", "hide ", ""}) {
        SCOPED_TRACE(std::string("[") + arguments + "]");
        UpdaterRun run("visible-switches", scenario.Base());
        ASSERT_TRUE(run.Start(arguments));
        ASSERT_TRUE(run.WaitForWindow(10000));
        EXPECT_TRUE(IsWindowVisible(run.Window()));
        run.Process().Kill();
    }
}

TEST(UpdaterVisible, SilentCheckShowsAnOfferedUpdateTopMostWithItsDetails) {
    UpdateScenario scenario("offered");
    scenario.VersionPage(SignedVersionPage());
    scenario.DownloadBody(ReadWholeFile(StandInSetupPath()));
    UpdaterRun run("offered", scenario.Base());
    ASSERT_TRUE(run.Start("hide"));
    ASSERT_TRUE(run.WaitForWindow(10000));
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(run.Window()) != FALSE; }, 5000));
    ASSERT_TRUE(run.WaitForState(kOffered, 3000));
    EXPECT_TRUE(GetWindowLongPtrW(run.Window(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(run.Enabled(IDC_UPDATE));
    EXPECT_TRUE(run.Enabled(IDC_DETAILS));
    RECT rect{};
    GetWindowRect(run.Window(), &rect);
    const int centreX = (rect.left + rect.right) / 2;
    EXPECT_NEAR(centreX, GetSystemMetrics(SM_CXFULLSCREEN) / 2, 2) << "centred";
    EXPECT_TRUE(SaveScreenshot(run.Window(), ScreenshotPath("updater-offered")));

    ClickButton(run.Window(), IDC_DETAILS);
    HWND details = WaitForMessageBox(run.Process().Id(), run.Window(), 5000);
    ASSERT_TRUE(details);
    EXPECT_EQ(Utf8(WindowTextW(details)), "업데이트 정보");
    auto field = [&](int id) { return Utf8(WindowTextW(GetDlgItem(details, id))); };
    EXPECT_EQ(field(IDC_INFO_VERSION), "1.5.0.0");
    EXPECT_EQ(field(IDC_INFO_DATE), "2026-12-10");
    EXPECT_EQ(field(IDC_INFO_FILENAME), "TarnockSetup.exe");
    EXPECT_EQ(field(IDC_INFO_FILESIZE), std::to_string(ReadWholeFile(StandInSetupPath()).size()));
    // "<br>" is a line break; two of them leave an empty line.
    EXPECT_EQ(field(IDC_INFO_DESCRIPTION), "Faster scans\r\n\r\nNew list");
    EXPECT_EQ(SendMessageW(GetDlgItem(details, IDC_INFO_DESCRIPTION), EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_TRUE(SaveScreenshot(details, ScreenshotPath("updater-details")));
    AnswerDialog(details, IDOK);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(details); }, 3000));

    // Back in the offer; Close ends the program and installs nothing.
    EXPECT_EQ(run.StateText(), kOffered);
    ClickButton(run.Window(), IDC_CLOSE);
    EXPECT_GE(run.WaitForExit(5000), 0);
    ExpectNothingInstalled(run);
    EXPECT_EQ(scenario.Requests().size(), 1u) << "nothing was downloaded";
}

TEST(UpdaterVisible, UpdateDownloadsWithProgressThenStopsTarnockAndStartsTheVerifiedSetup) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    UpdateScenario scenario("update");
    scenario.VersionPage(SignedVersionPage());
    scenario.DownloadBody(setup);
    scenario.Behaviour("download_delay_ms=40\n");
    UpdaterRun run("update", scenario.Base());
    ProgramProcess tarnock;
    ASSERT_TRUE(tarnock.Start(run.Folder() + "Tarnock.exe", "Tarnock.exe"));
    ASSERT_TRUE(WaitUntil([&] { return !TopLevelWindows(tarnock.Id(), L"TarnockStandIn", false).empty(); }, 10000));

    ASSERT_TRUE(run.Start("show"));
    ASSERT_TRUE(run.WaitForWindow(10000));
    ASSERT_TRUE(run.WaitForState(kOffered, 5000));
    ClickButton(run.Window(), IDC_UPDATE);
    ASSERT_TRUE(run.WaitForState(kDownloading, 5000));
    EXPECT_FALSE(run.Enabled(IDC_UPDATE));
    EXPECT_FALSE(run.Enabled(IDC_DETAILS));

    std::vector<int> positions;
    bool shot = false;
    bool tarnockRanDuringDownload = true;
    WaitUntil(
        [&] {
            const int position = run.ProgressPosition();
            if (position >= 0 && (positions.empty() || positions.back() != position)) positions.push_back(position);
            if (!shot && position >= 30 && position < 80) {
                shot = SaveScreenshot(run.Window(), ScreenshotPath("updater-downloading"));
                tarnockRanDuringDownload = tarnock.IsRunning();
            }
            return !run.Process().IsRunning();
        },
        30000, 10);
    EXPECT_GE(run.WaitForExit(0), 0);
    EXPECT_TRUE(shot);
    EXPECT_TRUE(tarnockRanDuringDownload) << "Tarnock is stopped only once the setup is verified";
    EXPECT_GE(positions.size(), 3u) << "the bar moved";
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_GE(positions.empty() ? 0 : positions.back(), 50);

    EXPECT_EQ(ReadWholeFile(run.Folder() + "TarnockSetup.exe"), setup);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(run.Folder() + "setup-ran.txt"); }, 10000)) << "setup started";
    EXPECT_TRUE(Contains(ReadWholeFile(run.Folder() + "setup-ran.txt"), "TarnockSetup.exe"));
    EXPECT_TRUE(tarnock.WaitForExit(5000));
    EXPECT_EQ(ReadWholeFile(run.Folder() + "tarnock-closed.txt"), "closed\n") << "asked to close";
    EXPECT_EQ(LeftoverDownloads(), std::vector<std::string>());
}

TEST(UpdaterVisible, AnOfferThatIsNotSignedForThisInstallationIsNeverOffered) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    const std::string newer = "Version=9.9.0.0\r\n";
    struct Case {
        const char* name;
        std::string page;
    } cases[] = {
        // An older signed setup passed off as a newer version: the signature no longer fits.
        {"older-as-newer", SignedVersionPage("older", newer)},
        {"other-arch", SignedVersionPage("other-arch")},
        {"huge", SignedVersionPage("huge")},
        {"other-key", SignedVersionPage("other-key")},
        {"unsigned", "Version=1.5.0.0\r\nFileSize=" + std::to_string(setup.size()) + "\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("refused-") + c.name);
        scenario.VersionPage(c.page);
        scenario.DownloadBody(setup);
        UpdaterRun run(std::string("refused-") + c.name, scenario.Base());
        ASSERT_TRUE(run.Start("show"));
        ASSERT_TRUE(run.WaitForWindow(10000));
        ASSERT_TRUE(run.WaitForState(kUpToDate, 5000));
        EXPECT_FALSE(run.Enabled(IDC_UPDATE));
        EXPECT_GE(run.WaitForExit(6000), 0);
        ExpectNothingInstalled(run);
        EXPECT_EQ(scenario.Requests().size(), 1u) << "nothing was downloaded";
    }
}

TEST(UpdaterVisible, ADownloadThatDoesNotMatchItsSignedOfferIsNeverStarted) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    std::string tampered = setup;
    tampered[tampered.size() / 2] ^= 0x55;
    struct Case {
        const char* name;
        std::string page;
        std::string body;
    } cases[] = {
        {"tampered", SignedVersionPage(), tampered},
        {"shorter-than-signed", SignedVersionPage("size-larger"), setup},
        {"longer-than-signed", SignedVersionPage("size-smaller"), setup},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("unverified-") + c.name);
        scenario.VersionPage(c.page);
        scenario.DownloadBody(c.body);
        scenario.Behaviour("download_delay_ms=10\n");
        UpdaterRun run(std::string("unverified-") + c.name, scenario.Base());
        ProgramProcess tarnock;
        ASSERT_TRUE(tarnock.Start(run.Folder() + "Tarnock.exe", "Tarnock.exe"));
        ASSERT_TRUE(run.Start("show"));
        ASSERT_TRUE(run.WaitForWindow(10000));
        ASSERT_TRUE(run.WaitForState(kOffered, 5000));
        ClickButton(run.Window(), IDC_UPDATE);
        WaitUntil([&] { return !run.Process().IsRunning(); }, 20000, 10);
        EXPECT_GE(run.WaitForExit(0), 0);
        EXPECT_EQ(run.ExitCode(), 0u) << "ended normally";
        ExpectNothingInstalled(run);
        EXPECT_TRUE(tarnock.IsRunning()) << "Tarnock keeps running when nothing can be installed";
    }
}

TEST(UpdaterVisible, CloseEnterEscapeAndTheCloseMarkCancelTheDownload) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    struct Case {
        const char* name;
        void (*act)(HWND);
    } cases[] = {
        {"close", [](HWND w) { ClickButton(w, IDC_CLOSE); }},
        {"enter", [](HWND w) { PostKey(w, VK_RETURN); }},
        {"escape", [](HWND w) { PostKey(w, VK_ESCAPE); }},
        // The red close mark painted on the skin.
        {"close-mark", [](HWND w) { PostMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(347, 12)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("cancel-") + c.name);
        scenario.VersionPage(SignedVersionPage());
        scenario.DownloadBody(setup);
        scenario.Behaviour("download_delay_ms=150\n");
        UpdaterRun run(std::string("cancel-") + c.name, scenario.Base());
        ProgramProcess tarnock;
        ASSERT_TRUE(tarnock.Start(run.Folder() + "Tarnock.exe", "Tarnock.exe"));
        ASSERT_TRUE(run.Start("show"));
        ASSERT_TRUE(run.WaitForWindow(10000));
        ASSERT_TRUE(run.WaitForState(kOffered, 5000));
        ClickButton(run.Window(), IDC_UPDATE);
        ASSERT_TRUE(WaitUntil([&] { return run.ProgressPosition() > 0; }, 10000)) << "download under way";
        const ULONGLONG asked = GetTickCount64();
        c.act(run.Window());
        EXPECT_GE(run.WaitForExit(5000), 0);
        EXPECT_LT(GetTickCount64() - asked, 3000u) << "ends after the current chunk";
        ExpectNothingInstalled(run);
        EXPECT_TRUE(tarnock.IsRunning());
    }
}
