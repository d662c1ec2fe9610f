// The updater's engine against the local update server: every check code, every download
// outcome, and that nothing unverified is ever put in place.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "support/UiDriver.h"
#include "support/UpdateServer.h"
#include "updater/AutoUpdater.h"
#include "updater/SetupSignature.h"
#include "updater/TarnockStopper.h"

using namespace tarnock;
using namespace tarnock::testing;
using namespace tarnock::updater;

namespace {

// Records UM_DOWNLOADPROGRESS; may cancel the download after a number of chunks.
struct ProgressRecorder {
    std::vector<std::pair<WPARAM, LPARAM>> messages;
    CAutoUpdater* cancelTarget = nullptr;
    size_t cancelAfterChunks = 0;
    HWND window = nullptr;

    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<ProgressRecorder*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == UM_DOWNLOADPROGRESS && self) {
            self->messages.emplace_back(w, l);
            if (self->cancelTarget && w == 0 && self->messages.size() - 1 >= self->cancelAfterChunks)
                self->cancelTarget->cancelRequested = 1;
            return 0;
        }
        return DefWindowProcW(hwnd, message, w, l);
    }
    ProgressRecorder() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = Proc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"UpdaterProgressRecorder";
        RegisterClassW(&windowClass);
        window = CreateWindowW(L"UpdaterProgressRecorder", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        CAutoUpdater::SetNotifyWindow(window);
    }
    ~ProgressRecorder() {
        CAutoUpdater::SetNotifyWindow(nullptr);
        DestroyWindow(window);
    }
    long long ChunkBytes() const {
        long long sum = 0;
        for (auto& [w, l] : messages)
            if (w == 0) sum += l;
        return sum;
    }
};

// A program folder with the stand-in Tarnock.exe (1.4.0.0) and a download folder of its own.
struct Places {
    explicit Places(const std::string& name, bool withTarnock = true) {
        const std::string root = FreshTestFolder("engine-" + name);
        places.programFolder = root + "\\program\\";
        places.downloadFolder = root + "\\download\\";
        CreateDirectoryA(places.programFolder.c_str(), nullptr);
        CreateDirectoryA(places.downloadFolder.c_str(), nullptr);
        if (withTarnock) CopyFileA(StandInTarnockPath().c_str(), (places.programFolder + "Tarnock.exe").c_str(), FALSE);
    }
    std::string Final() const { return places.programFolder + "TarnockSetup.exe"; }
    std::string Backup() const { return places.programFolder + "OldExecutable.bak"; }
    std::string Download() const { return places.downloadFolder + "TarnockSetup.exe"; }
    UpdatePlaces places;
};

std::string Repeat(const std::string& line, size_t totalBytes) {
    std::string text;
    while (text.size() + line.size() <= totalBytes) text += line;
    return text + std::string(totalBytes - text.size(), 'x');
}

// An address where nothing listens (the discard port).
std::string ClosedBase() { return "http://127.0.0.1:9/nothing/"; }

}  // namespace

// ---------------------------------------------------------------------------------------

TEST(UpdaterVersions, CompareVersionsFollowsTheSlotsAndRefusesWhatDoesNotParse) {
    struct Case {
        const char* offered;
        const char* installed;
        int expected;
    } cases[] = {
        {"1.2", "1.1.9.9", 1},       {"1.0.0.2", "1.0.0.2", 0},     {"1.0", "1.0.0.0", 0},
        {"1.3.9", "1.4", -1},        {"..1..2.", "1.2", 0},         {"1.0.0.2 ", "1.0", -21},
        {"", "1.0", -21},            {"1.2.3.4.5", "1.0", -21},     {"1.0", "1.2.3.4.5", -22},
        {"a", "b", -21},             {"1.0", "x", -22},             {"1.65535", "1.65534", 1},
        // Version parts are 16-bit: larger tokens never parse and never overflow.
        {"1.65536", "1.0", -21},     {"99999999999999999999", "1.0", -21},
        {"1.0", "4294967297.0", -22}, {"2147483648", "1", -21},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAutoUpdater::CompareVersions(c.offered, c.installed), c.expected)
            << c.offered << " against " << c.installed;
}

TEST(UpdaterVersions, PageLinesBecomeEntriesInOrder) {
    const auto entries = ParseUpdateInfo("Version=1.0\r\nno equals\n\nKey=a=b\nVersion=2.0");
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[0].key, "Version");
    EXPECT_EQ(entries[0].value, "1.0\r");
    EXPECT_EQ(entries[1].key, "no equals");
    EXPECT_EQ(entries[1].value, "");
    EXPECT_EQ(entries[2].key, "");
    EXPECT_EQ(entries[3].key, "Key");
    EXPECT_EQ(entries[3].value, "a=b");
    EXPECT_EQ(entries[4].value, "2.0");
}

TEST(UpdaterVersions, SizesAndSignaturesParseStrictly) {
    EXPECT_EQ(ParseFileSize("1048576\r"), std::optional<std::uint64_t>(1048576));
    for (const char* bad : {"", "0", "\r", "12a", "-5", "1 2", "99999999999999999999"})
        EXPECT_FALSE(ParseFileSize(bad)) << bad;
    const std::string good(128, 'a');
    EXPECT_TRUE(ParseSignatureHex(good + "\r"));
    EXPECT_TRUE(ParseSignatureHex(std::string(128, 'F')));
    for (const std::string& bad : {std::string(127, 'a'), std::string(130, 'a'), std::string(127, 'a') + "g"})
        EXPECT_FALSE(ParseSignatureHex(bad)) << bad;
}

TEST(UpdaterVersions, SecureFlagOnlyForHttps) {
    EXPECT_TRUE(OpenFlagsFor("https://updates.example.com/file/TarnockVersion.php") & INTERNET_FLAG_SECURE);
    EXPECT_TRUE(OpenFlagsFor("HTTPS://updates.example.com/") & INTERNET_FLAG_SECURE);
    EXPECT_FALSE(OpenFlagsFor("http://updates.example.com/file/") & INTERNET_FLAG_SECURE);
    EXPECT_TRUE(OpenFlagsFor("http://updates.example.com/file/") & INTERNET_FLAG_RELOAD);
}

TEST(UpdaterConfiguration, BaseComesFromTarnockIniBesideTheUpdater) {
    const std::string folder = FreshTestFolder("config") + "\\";
    struct Case {
        const char* ini;  // nullptr: no file
        const char* expected;
    } cases[] = {
        {nullptr, ""},
        {"[Update]\r\n", ""},
        {"[Update]\r\nBase=\r\n", ""},
        {"[Update]\r\nBase=ftp://updates.example.com/\r\n", ""},
        {"[Update]\r\nBase=http://updates.example.com/file/\r\n", "http://updates.example.com/file/"},
        {"[Update]\r\nBase= https://updates.example.com/file \r\n", "https://updates.example.com/file/"},
        {"[Site]\r\nBase=http://other.example.com/\r\n", ""},
    };
    for (const Case& c : cases) {
        DeleteFileA((folder + "Tarnock.ini").c_str());
        if (c.ini) WriteWholeFile(folder + "Tarnock.ini", c.ini);
        EXPECT_EQ(ReadUpdateBase(folder), c.expected) << (c.ini ? c.ini : "(no file)");
    }
}

// ---------------------------------------------------------------------------------------

TEST(UpdaterCheck, EveryCheckCode) {
    ASSERT_NE(UpdateServerPort(), 0) << "the update server fixture did not start";
    const std::string newer = "Version=1.4.0.3\r\nFileName=TarnockSetup.exe\r\nFileSize=1048576\r\n";
    // A page that exactly fills the buffer but for its terminator, and one byte more.
    const std::string fits = Repeat("Version=1.5\n", kVersionPageBuffer - 1);
    const std::string tooLong = Repeat("Version=1.5\n", kVersionPageBuffer);
    struct Case {
        const char* name;
        std::string page;
        std::string behaviour;
        int expected;
        bool withTarnock = true;
        bool configured = true;
    } cases[] = {
        {"newer", newer, "", UPDATE_OK},
        {"equal-short-form", "Version=1.4\r\n", "", UPDATE_NOT_NEWER},
        {"equal-long-form", "Version=1.4.0.0\r\n", "", UPDATE_NOT_NEWER},
        {"older", "Version=1.3.9.9\r\n", "", UPDATE_NOT_NEWER},
        {"lower-case-key", "version=9.9\r\n", "", UPDATE_NOT_NEWER},
        {"first-version-counts", "Version=1.3\r\nVersion=9.9\r\n", "", UPDATE_NOT_NEWER},
        {"token-over-65535", "Version=1.70000\r\n", "", UPDATE_NOT_NEWER},
        {"five-parts", "Version=1.5.0.0.1\r\n", "", UPDATE_NOT_NEWER},
        {"not-found", newer, "version_status=404\n", UPDATE_OPEN_FAILED},
        {"server-error", newer, "version_status=500\n", UPDATE_OPEN_FAILED},
        {"empty-page", "", "", UPDATE_READ_FAILED},
        {"cut-short", newer, "version_truncate=10\n", UPDATE_READ_FAILED},
        {"fills-buffer", fits, "", UPDATE_OK},
        {"longer-than-buffer", tooLong, "", UPDATE_READ_FAILED},
        {"no-tarnock", newer, "", UPDATE_NO_LOCAL_VERSION, false},
        {"not-configured", newer, "", UPDATE_NO_CONNECTION, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("check-") + c.name);
        scenario.VersionPage(c.page);
        scenario.Behaviour(c.behaviour);
        Places places(std::string("check-") + c.name, c.withTarnock);
        CAutoUpdater updater(places.places);
        EXPECT_EQ(updater.CheckForUpdate(c.configured ? scenario.Base() : std::string()), c.expected);
        if (c.expected == UPDATE_OK && c.page == newer) {
            EXPECT_EQ(updater.GetValue("FileName"), "TarnockSetup.exe\r");
            EXPECT_EQ(updater.GetValue("Missing"), "");
        }
        if (c.expected == UPDATE_READ_FAILED || c.expected == UPDATE_OPEN_FAILED) {
            EXPECT_TRUE(updater.UpdateInfo().empty()) << "a failed read keeps no entries";
        }
        if (c.configured && c.expected != UPDATE_OPEN_FAILED) {
            const auto requests = scenario.Requests();
            ASSERT_EQ(requests.size(), 1u);
            EXPECT_EQ(requests[0], "TarnockVersion.php\tAutoUpdateAgent");
        }
    }
}

TEST(UpdaterCheck, UnreachableAndSlowServersFailWithinTheTimeout) {
    Places places("unreachable");
    {
        CAutoUpdater updater(places.places);
        updater.SetTimeouts(2000);
        EXPECT_EQ(updater.CheckForUpdate(ClosedBase()), UPDATE_OPEN_FAILED);
    }
    UpdateScenario scenario("check-slow");
    scenario.VersionPage("Version=1.5\r\n");
    scenario.Behaviour("version_delay_ms=6000\n");
    CAutoUpdater updater(places.places);
    updater.SetTimeouts(1500);
    const ULONGLONG start = GetTickCount64();
    const int result = updater.CheckForUpdate(scenario.Base());
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_TRUE(result == UPDATE_OPEN_FAILED || result == UPDATE_READ_FAILED) << result;
    EXPECT_LT(elapsed, 5000u);
}

// ---------------------------------------------------------------------------------------

TEST(UpdaterDownload, OnlyAVerifiedSetupIsPutInPlace) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    ASSERT_GT(setup.size(), 4096u);
    const std::string signature = StandInSetupSignature();
    ASSERT_EQ(signature.size(), 128u);
    const std::string size = std::to_string(setup.size());
    std::string flipped = signature;
    flipped[10] = flipped[10] == '0' ? '1' : '0';
    std::string tampered = setup;
    tampered[tampered.size() / 2] ^= 0x55;
    const std::string previous = "previous setup";

    struct Case {
        const char* name;
        std::string page;
        std::string body;
        std::string behaviour;
        int expected;
    } cases[] = {
        {"good", "FileSize=" + size + "\r\nSignature=" + signature + "\r\n", setup, "", UPDATE_OK},
        {"unsigned", "FileSize=" + size + "\r\n", setup, "", UPDATE_VERIFY_FAILED},
        {"bad-signature", "FileSize=" + size + "\r\nSignature=" + flipped + "\r\n", setup, "", UPDATE_VERIFY_FAILED},
        {"other-key", "FileSize=" + size + "\r\nSignature=" + StandInSetupOtherSignature() + "\r\n", setup, "",
         UPDATE_VERIFY_FAILED},
        {"tampered-body", "FileSize=" + size + "\r\nSignature=" + signature + "\r\n", tampered, "",
         UPDATE_VERIFY_FAILED},
        {"size-too-large", "FileSize=" + std::to_string(setup.size() + 1) + "\r\nSignature=" + signature + "\r\n",
         setup, "", UPDATE_VERIFY_FAILED},
        {"size-too-small", "FileSize=" + std::to_string(setup.size() - 1) + "\r\nSignature=" + signature + "\r\n",
         setup, "", UPDATE_DOWNLOAD_FAILED},
        {"size-zero", "FileSize=0\r\nSignature=" + signature + "\r\n", setup, "", UPDATE_VERIFY_FAILED},
        {"size-missing", "Signature=" + signature + "\r\n", setup, "", UPDATE_VERIFY_FAILED},
        {"not-found", "FileSize=" + size + "\r\nSignature=" + signature + "\r\n", setup, "download_status=404\n",
         UPDATE_OPEN_FAILED},
        {"server-error", "FileSize=" + size + "\r\nSignature=" + signature + "\r\n", setup,
         "download_status=500\n", UPDATE_OPEN_FAILED},
        {"cut-short", "FileSize=" + size + "\r\nSignature=" + signature + "\r\n", setup,
         "download_truncate=5000\n", UPDATE_VERIFY_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("download-") + c.name);
        scenario.VersionPage("Version=1.5\r\n" + c.page);
        scenario.DownloadBody(c.body);
        scenario.Behaviour(c.behaviour);
        Places places(std::string("download-") + c.name);
        WriteWholeFile(places.Final(), previous);
        CAutoUpdater updater(places.places);
        ProgressRecorder recorder;
        ASSERT_EQ(updater.CheckForUpdate(scenario.Base()), UPDATE_OK);
        EXPECT_EQ(updater.DownloadAndInstall(scenario.Base()), c.expected);
        EXPECT_FALSE(PathExists(places.Download())) << "the download never stays behind";
        if (c.expected == UPDATE_OK) {
            EXPECT_EQ(ReadWholeFile(places.Final()), setup);
            EXPECT_EQ(ReadWholeFile(places.Backup()), previous);
            EXPECT_EQ(updater.InstalledPath(), places.Final());
            ASSERT_FALSE(recorder.messages.empty());
            EXPECT_EQ(recorder.messages.front(), (std::pair<WPARAM, LPARAM>(1, static_cast<LPARAM>(setup.size()))));
            EXPECT_EQ(recorder.ChunkBytes(), static_cast<long long>(setup.size()));
        } else {
            EXPECT_EQ(ReadWholeFile(places.Final()), previous) << "nothing unverified is put in place";
            EXPECT_FALSE(PathExists(places.Backup()));
            EXPECT_EQ(updater.InstalledPath(), "");
        }
        if (std::string(c.name) == "size-zero" || std::string(c.name) == "size-missing") {
            ASSERT_FALSE(recorder.messages.empty());
            EXPECT_EQ(recorder.messages.front(), (std::pair<WPARAM, LPARAM>(1, 0)));
        }
    }
}

TEST(UpdaterDownload, CancelStopsAfterTheCurrentChunkAndKeepsNothing) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    UpdateScenario scenario("download-cancel");
    scenario.VersionPage(SignedVersionPage("1.5"));
    scenario.DownloadBody(setup);
    Places places("download-cancel");
    CAutoUpdater updater(places.places);
    ProgressRecorder recorder;
    recorder.cancelTarget = &updater;
    recorder.cancelAfterChunks = 2;
    ASSERT_EQ(updater.CheckForUpdate(scenario.Base()), UPDATE_OK);
    EXPECT_EQ(updater.DownloadAndInstall(scenario.Base()), UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(recorder.messages.size(), 3u) << "announcement and two chunks";
    EXPECT_FALSE(PathExists(places.Download()));
    EXPECT_FALSE(PathExists(places.Final()));
}

TEST(UpdaterDownload, NoServerConfiguredDownloadsNothing) {
    Places places("download-unconfigured");
    CAutoUpdater updater(places.places);
    EXPECT_EQ(updater.DownloadAndInstall(""), UPDATE_OPEN_FAILED);
    EXPECT_FALSE(PathExists(places.Final()));
}

// ---------------------------------------------------------------------------------------

TEST(UpdaterReplace, KeepsOneBackupAndRestoresItWhenTheMoveFails) {
    const std::string folder = FreshTestFolder("replace") + "\\";
    const std::string existing = folder + "TarnockSetup.exe";
    const std::string backup = folder + "OldExecutable.bak";
    const std::string incoming = folder + "incoming.exe";

    // No previous setup: nothing to back up, the update still succeeds.
    WriteWholeFile(incoming, "one");
    EXPECT_TRUE(CAutoUpdater::ReplaceFile(existing, incoming));
    EXPECT_EQ(ReadWholeFile(existing), "one");
    EXPECT_FALSE(PathExists(backup));

    // A previous setup becomes the backup, replacing an older backup.
    WriteWholeFile(backup, "zero");
    WriteWholeFile(incoming, "two");
    EXPECT_TRUE(CAutoUpdater::ReplaceFile(existing, incoming));
    EXPECT_EQ(ReadWholeFile(existing), "two");
    EXPECT_EQ(ReadWholeFile(backup), "one");

    // The new file cannot be moved: the previous one is back where it was.
    EXPECT_FALSE(CAutoUpdater::ReplaceFile(existing, folder + "missing.exe"));
    EXPECT_EQ(ReadWholeFile(existing), "two");

    // The previous setup is in use: nothing changes.
    WriteWholeFile(incoming, "three");
    {
        ScopedHandle locked(CreateFileA(existing.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                        nullptr));
        ASSERT_TRUE(locked);
        EXPECT_FALSE(CAutoUpdater::ReplaceFile(existing, incoming));
    }
    EXPECT_EQ(ReadWholeFile(existing), "two");
    EXPECT_EQ(ReadWholeFile(incoming), "three");
}

// ---------------------------------------------------------------------------------------

TEST(UpdaterStopper, StopsOnlyTheTarnockOfItsOwnFolder) {
    const std::string ours = FreshTestFolder("stop-ours") + "\\";
    const std::string other = FreshTestFolder("stop-other") + "\\";
    CopyFileA(StandInTarnockPath().c_str(), (ours + "Tarnock.exe").c_str(), FALSE);
    CopyFileA(StandInTarnockPath().c_str(), (ours + "MyTarnock.exe").c_str(), FALSE);
    CopyFileA(StandInTarnockPath().c_str(), (other + "Tarnock.exe").c_str(), FALSE);

    ProgramProcess mine, lookalike, elsewhere;
    ASSERT_TRUE(mine.Start(ours + "Tarnock.exe", "Tarnock.exe"));
    ASSERT_TRUE(lookalike.Start(ours + "MyTarnock.exe", "MyTarnock.exe"));
    ASSERT_TRUE(elsewhere.Start(other + "Tarnock.exe", "Tarnock.exe"));
    auto hasWindow = [](const ProgramProcess& p) { return !TopLevelWindows(p.Id(), L"TarnockStandIn", false).empty(); };
    ASSERT_TRUE(WaitUntil([&] { return hasWindow(mine) && hasWindow(lookalike) && hasWindow(elsewhere); }, 10000));

    EXPECT_EQ(StopTarnockIn(ours, 5000), 1);
    EXPECT_TRUE(mine.WaitForExit(2000));
    EXPECT_EQ(ReadWholeFile(ours + "tarnock-closed.txt"), "closed\n") << "asked politely first";
    EXPECT_TRUE(lookalike.IsRunning());
    EXPECT_TRUE(elsewhere.IsRunning());
    EXPECT_FALSE(PathExists(other + "tarnock-closed.txt"));
}

TEST(UpdaterStopper, EndsATarnockThatIgnoresTheCloseRequest) {
    const std::string ours = FreshTestFolder("stop-stubborn") + "\\";
    CopyFileA(StandInTarnockPath().c_str(), (ours + "Tarnock.exe").c_str(), FALSE);
    ProgramProcess stubborn;
    ASSERT_TRUE(stubborn.Start(ours + "Tarnock.exe", "Tarnock.exe stubborn"));
    ASSERT_TRUE(WaitUntil([&] { return !TopLevelWindows(stubborn.Id(), L"TarnockStandIn", false).empty(); }, 10000));
    EXPECT_EQ(StopTarnockIn(ours, 700), 1);
    EXPECT_TRUE(stubborn.WaitForExit(2000));
    EXPECT_EQ(ReadWholeFile(ours + "tarnock-closed.txt"), "closed\n");
    EXPECT_EQ(StopTarnockIn(ours, 700), 0) << "nothing left to stop";
}
