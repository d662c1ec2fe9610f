// The updater's engine against the local update server: every check code, every download
// outcome, and that nothing unverified is ever put in place.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include <aclapi.h>
#include <sddl.h>

#include "base/HttpRequest.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "base/TrustedFiles.h"
#include "support/UiDriver.h"
#include "support/UpdateServer.h"
#include "updater/AutoUpdater.h"
#include "updater/SetupSignature.h"
#include "updater/TarnockStopper.h"

using namespace tarnock;
using namespace tarnock::testing;
using namespace tarnock::updater;

namespace {

// The architecture this test program (and so the updater it links) is built for.
#ifdef _WIN64
constexpr char kOwnArch[] = "x64";
#else
constexpr char kOwnArch[] = "x86";
#endif

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
        // Not made here: the engine makes what is missing, as on a machine's first update.
        places.downloadFolder = root + "\\data\\Updates\\";
        CreateDirectoryA(places.programFolder.c_str(), nullptr);
        if (withTarnock) CopyFileA(StandInTarnockPath().c_str(), (places.programFolder + "Tarnock.exe").c_str(), FALSE);
    }
    std::string Final() const { return places.programFolder + "TarnockSetup.exe"; }
    std::string Backup() const { return places.programFolder + "OldExecutable.bak"; }
    // The private download folders still below the download folder.
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found{};
        ScopedFind search(FindFirstFileA((places.downloadFolder + "*").c_str(), &found));
        if (!search) return names;
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") names.push_back(name);
        } while (FindNextFileA(search.Get(), &found));
        return names;
    }
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
    constexpr VersionOrder newer = VersionOrder::OfferedNewer, equal = VersionOrder::Equal,
                           older = VersionOrder::OfferedOlder, badOffered = VersionOrder::OfferedUnparsable,
                           badInstalled = VersionOrder::InstalledUnparsable;
    struct Case {
        const char* offered;
        const char* installed;
        VersionOrder expected;
    } cases[] = {
        {"1.2", "1.1.9.9", newer},        {"1.0.0.2", "1.0.0.2", equal},   {"1.0", "1.0.0.0", equal},
        {"1.3.9", "1.4", older},          {"..1..2.", "1.2", equal},       {"1.0.0.2 ", "1.0", badOffered},
        {"", "1.0", badOffered},          {"1.2.3.4.5", "1.0", badOffered}, {"1.0", "1.2.3.4.5", badInstalled},
        {"a", "b", badOffered},           {"1.0", "x", badInstalled},      {"1.65535", "1.65534", newer},
        // Version parts are 16-bit: larger tokens never parse and never overflow.
        {"1.65536", "1.0", badOffered},   {"99999999999999999999", "1.0", badOffered},
        {"1.0", "4294967297.0", badInstalled}, {"2147483648", "1", badOffered},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CAutoUpdater::CompareVersions(c.offered, c.installed), c.expected)
            << c.offered << " against " << c.installed;
    // The numbers the version check has always used.
    EXPECT_EQ(static_cast<int>(newer), 1);
    EXPECT_EQ(static_cast<int>(older), -1);
    EXPECT_EQ(static_cast<int>(badOffered), -21);
    EXPECT_EQ(static_cast<int>(badInstalled), -22);
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

TEST(UpdaterOffer, TheStatementNamesEveryFieldAndEachMustBeWellFormed) {
    const std::string sha(64, 'A');
    const std::string signature(128, '0');
    const auto offer = ParseOffer("1.5.0.2\r", "x64\r", "1048576\r", sha + "\r", signature + "\r");
    ASSERT_TRUE(offer);
    EXPECT_EQ(OfferStatement(*offer),
              std::string("Tarnock-Setup\nVersion=1.5.0.2\nArch=x64\nFileSize=1048576\nSHA256=")
                  .append(64, 'a')
                  .append("\n"));
    struct Case {
        const char* version;
        const char* arch;
        const char* size;
        std::string sha;
    } bad[] = {
        {"", "x64", "1", sha},         {"1.5.0.0.1", "x64", "1", sha}, {"1..5", "x64", "1", sha},
        {"1.5a", "x64", "1", sha},     {"1.5", "X64", "1", sha},       {"1.5", "arm64", "1", sha},
        {"1.5", "", "1", sha},         {"1.5", "x64", "0", sha},       {"1.5", "x64", "12345678901234567890", sha},
        {"1.5", "x64", "1", sha + "0"}, {"1.5", "x64", "1", std::string(63, 'A').append("z")},
    };
    for (const Case& c : bad) EXPECT_FALSE(ParseOffer(c.version, c.arch, c.size, c.sha, signature)) << c.version;
    EXPECT_FALSE(ParseOffer("1.5", "x64", "1", sha, "")) << "unsigned";
}

TEST(HttpRequestHelper, AddressesAndFlags) {
    const auto secure = ParseHttpAddress("https://updates.example.com:8443/file/TarnockVersion.php?x=1");
    ASSERT_TRUE(secure);
    EXPECT_TRUE(secure->secure);
    EXPECT_EQ(secure->host, "updates.example.com");
    EXPECT_EQ(secure->port, 8443);
    EXPECT_EQ(secure->object, "/file/TarnockVersion.php?x=1");
    const auto plain = ParseHttpAddress("HTTP://updates.example.com");
    ASSERT_TRUE(plain);
    EXPECT_FALSE(plain->secure);
    EXPECT_EQ(plain->port, 80);
    EXPECT_EQ(plain->object, "/");
    for (const char* bad : {"ftp://updates.example.com/", "file:///C:/x", "updates.example.com/", "http://", ""})
        EXPECT_FALSE(ParseHttpAddress(bad)) << bad;
    EXPECT_TRUE(HttpRequestFlags(true) & INTERNET_FLAG_SECURE);
    EXPECT_FALSE(HttpRequestFlags(false) & INTERNET_FLAG_SECURE);
    EXPECT_TRUE(HttpRequestFlags(false) & INTERNET_FLAG_RELOAD);
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
    const std::string newer = SignedVersionPage();
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
        // Read whole, then refused: nothing on it is signed.
        {"fills-buffer", fits, "", UPDATE_VERIFY_FAILED},
        {"longer-than-buffer", tooLong, "", UPDATE_READ_FAILED},
        {"no-tarnock", newer, "", UPDATE_NO_LOCAL_VERSION, false},
        // Signed offers that this installation must not take.
        {"signed-older", SignedVersionPage("older"), "", UPDATE_NOT_NEWER},
        {"signed-equal", SignedVersionPage("equal"), "", UPDATE_NOT_NEWER},
        {"older-as-newer", SignedVersionPage("older", "Version=1.5.0.0\r\n"), "", UPDATE_VERIFY_FAILED},
        {"other-arch", SignedVersionPage("other-arch"), "", UPDATE_VERIFY_FAILED},
        {"arch-changed", SignedVersionPage("other-arch", std::string("Arch=") + kOwnArch + "\r\n"), "",
         UPDATE_VERIFY_FAILED},
        {"huge", SignedVersionPage("huge"), "", UPDATE_VERIFY_FAILED},
        {"size-changed", SignedVersionPage("good", "FileSize=4096\r\n"), "", UPDATE_VERIFY_FAILED},
        {"hash-changed", SignedVersionPage("good", std::string("SHA256=").append(64, '0').append("\r\n")), "",
         UPDATE_VERIFY_FAILED},
        {"other-key", SignedVersionPage("other-key"), "", UPDATE_VERIFY_FAILED},
        {"unsigned", std::string("Version=1.5\r\nArch=") + kOwnArch + "\r\nFileSize=1048576\r\n", "",
         UPDATE_VERIFY_FAILED},
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
    std::string tampered = setup;
    tampered[tampered.size() / 2] ^= 0x55;
    const std::string previous = "previous setup";

    struct Case {
        const char* name;
        std::string offer;
        std::string body;
        std::string behaviour;
        int expected;
    } cases[] = {
        {"good", "good", setup, "", UPDATE_OK},
        {"tampered-body", "good", tampered, "", UPDATE_VERIFY_FAILED},
        {"shorter-than-signed", "size-larger", setup, "", UPDATE_VERIFY_FAILED},
        {"longer-than-signed", "size-smaller", setup, "", UPDATE_DOWNLOAD_FAILED},
        {"not-found", "good", setup, "download_status=404\n", UPDATE_OPEN_FAILED},
        {"server-error", "good", setup, "download_status=500\n", UPDATE_OPEN_FAILED},
        {"cut-short", "good", setup, "download_truncate=5000\n", UPDATE_VERIFY_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("download-") + c.name);
        scenario.VersionPage(SignedVersionPage(c.offer));
        scenario.DownloadBody(c.body);
        scenario.Behaviour(c.behaviour);
        Places places(std::string("download-") + c.name);
        WriteWholeFile(places.Final(), previous);
        CAutoUpdater updater(places.places);
        ProgressRecorder recorder;
        ASSERT_EQ(updater.CheckForUpdate(scenario.Base()), UPDATE_OK);
        EXPECT_EQ(updater.DownloadAndInstall(scenario.Base()), c.expected);
        EXPECT_EQ(places.Leftovers(), std::vector<std::string>()) << "the download never stays behind";
        if (c.expected == UPDATE_OK) {
            EXPECT_TRUE(updater.HoldsInstalledSetup());
            EXPECT_EQ(ReadWholeFile(places.Final()), setup);
            EXPECT_EQ(ReadWholeFile(places.Backup()), previous);
            EXPECT_EQ(updater.InstalledPath(), places.Final());
            ASSERT_FALSE(recorder.messages.empty());
            EXPECT_EQ(recorder.messages.front(), (std::pair<WPARAM, LPARAM>(1, static_cast<LPARAM>(setup.size()))));
            EXPECT_EQ(recorder.ChunkBytes(), static_cast<long long>(setup.size()));
        } else {
            EXPECT_FALSE(updater.HoldsInstalledSetup());
            EXPECT_FALSE(updater.StartInstalledSetup());
            EXPECT_EQ(ReadWholeFile(places.Final()), previous) << "nothing unverified is put in place";
            EXPECT_FALSE(PathExists(places.Backup()));
            EXPECT_EQ(updater.InstalledPath(), "");
        }
    }
}

TEST(UpdaterDownload, RefusedOffersDownloadNothing) {
    struct Case {
        const char* name;
        std::string page;
        int expected;
    } cases[] = {
        {"older-as-newer", SignedVersionPage("older", "Version=1.5.0.0\r\n"), UPDATE_VERIFY_FAILED},
        {"signed-older", SignedVersionPage("older"), UPDATE_NOT_NEWER},
        {"other-arch", SignedVersionPage("other-arch"), UPDATE_VERIFY_FAILED},
        {"huge", SignedVersionPage("huge"), UPDATE_VERIFY_FAILED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UpdateScenario scenario(std::string("refused-") + c.name);
        scenario.VersionPage(c.page);
        scenario.DownloadBody(ReadWholeFile(StandInSetupPath()));
        Places places(std::string("refused-") + c.name);
        CAutoUpdater updater(places.places);
        EXPECT_EQ(updater.CheckForUpdate(scenario.Base()), c.expected);
        // Even asked to, the engine downloads and starts nothing.
        EXPECT_EQ(updater.DownloadAndInstall(scenario.Base()), c.expected);
        EXPECT_FALSE(updater.StartInstalledSetup());
        EXPECT_FALSE(PathExists(places.Final()));
        EXPECT_EQ(places.Leftovers(), std::vector<std::string>());
        for (const std::string& request : scenario.Requests())
            EXPECT_EQ(request.find("download2.php"), std::string::npos) << request;
    }
}

TEST(UpdaterDownload, TheVerifiedSetupCannotBeChangedUntilItHasStarted) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    UpdateScenario scenario("download-held");
    scenario.VersionPage(SignedVersionPage());
    scenario.DownloadBody(setup);
    Places places("download-held");
    CAutoUpdater updater(places.places);
    ASSERT_EQ(updater.CheckForUpdate(scenario.Base()), UPDATE_OK);
    ASSERT_EQ(updater.DownloadAndInstall(scenario.Base()), UPDATE_OK);
    ASSERT_TRUE(updater.HoldsInstalledSetup());

    // While the updater waits for Tarnock to close, nothing may change what it will start.
    {
        ScopedHandle writer(CreateFileA(places.Final().c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
        EXPECT_FALSE(writer) << "opened for writing";
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_FALSE(DeleteFileA(places.Final().c_str()));
    EXPECT_FALSE(MoveFileExA(places.Final().c_str(), (places.Final() + ".moved").c_str(), 0));
    EXPECT_FALSE(MoveFileExA(places.Backup().c_str(), places.Final().c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadWholeFile(places.Final()), setup);

    // Started by its exact path; the hold ends with the start.
    ASSERT_TRUE(updater.StartInstalledSetup());
    EXPECT_FALSE(updater.HoldsInstalledSetup());
    ASSERT_TRUE(WaitUntil([&] { return PathExists(places.places.programFolder + "setup-ran.txt"); }, 10000));
    EXPECT_TRUE(Contains(ReadWholeFile(places.places.programFolder + "setup-ran.txt"), places.Final()));
    EXPECT_FALSE(updater.StartInstalledSetup()) << "started once";
}

TEST(UpdaterDownload, AServerThatTricklesIsLeftAtTheDeadline) {
    UpdateScenario scenario("download-deadline");
    scenario.VersionPage(SignedVersionPage());
    scenario.DownloadBody(ReadWholeFile(StandInSetupPath()));
    scenario.Behaviour("download_delay_ms=200\n");
    Places places("download-deadline");
    CAutoUpdater updater(places.places);
    updater.SetDownloadDeadline(500);
    ASSERT_EQ(updater.CheckForUpdate(scenario.Base()), UPDATE_OK);
    EXPECT_EQ(updater.DownloadAndInstall(scenario.Base()), UPDATE_DOWNLOAD_FAILED);
    EXPECT_FALSE(PathExists(places.Final()));
    EXPECT_EQ(places.Leftovers(), std::vector<std::string>());
}

TEST(UpdaterPrivateFolder, OnlyTheSystemAndAdministratorsHaveAccessAndNothingIsInherited) {
    const std::string parent = FreshTestFolder("private") + "\\a\\b";
    const auto folder = CreatePrivateFolder(WideFromAnsi(parent));
    ASSERT_TRUE(folder);
    const auto second = CreatePrivateFolder(WideFromAnsi(parent));
    ASSERT_TRUE(second);
    EXPECT_NE(*folder, *second) << "a fresh name each time";

    // A file written there and held cannot be opened for writing by anyone else.
    const std::wstring file = *folder + L"\\x.bin";
    ASSERT_TRUE(WriteWholeFile(AnsiFromWide(file), "bytes"));
    {
        ScopedHandle held = OpenHeldFile(file);
        ASSERT_TRUE(held);
        ScopedHandle writer(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        EXPECT_FALSE(writer);
    }

    auto protectedDacl = [](const std::wstring& path, PACL& dacl, ScopedLocalMemory& descriptor) {
        PSECURITY_DESCRIPTOR raw = nullptr;
        dacl = nullptr;
        if (GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                                  nullptr, &raw) != ERROR_SUCCESS)
            return false;
        descriptor.Reset(raw);
        SECURITY_DESCRIPTOR_CONTROL control = 0;
        DWORD revision = 0;
        return GetSecurityDescriptorControl(raw, &control, &revision) && (control & SE_DACL_PROTECTED);
    };
    PACL dacl = nullptr;
    ScopedLocalMemory descriptor;
    if (!protectedDacl(*folder, dacl, descriptor)) {
        // Wine keeps access lists only where the file system stores extended attributes; a
        // list written on purpose shows whether this one does.
        const std::wstring probe = WideFromAnsi(FreshTestFolder("private-probe")) + L"\\p";
        PSECURITY_DESCRIPTOR set = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;FA;;;BA)", SDDL_REVISION_1, &set,
                                                                         nullptr));
        const ScopedLocalMemory setOwner(set);
        SECURITY_ATTRIBUTES attributes{sizeof(attributes), set, FALSE};
        ASSERT_TRUE(CreateDirectoryW(probe.c_str(), &attributes));
        PACL probeDacl = nullptr;
        ScopedLocalMemory probeDescriptor;
        if (!protectedDacl(probe, probeDacl, probeDescriptor))
            GTEST_SKIP() << "this Wine prefix does not keep access lists of files";
        FAIL() << "the private folder's access list is not protected";
    }
    ASSERT_NE(dacl, nullptr);
    std::vector<WELL_KNOWN_SID_TYPE> trustees;
    for (DWORD i = 0; i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        ASSERT_TRUE(GetAce(dacl, i, &ace));
        auto* allowed = static_cast<ACCESS_ALLOWED_ACE*>(ace);
        ASSERT_EQ(allowed->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(allowed->Mask & FILE_ALL_ACCESS, static_cast<DWORD>(FILE_ALL_ACCESS));
        const PSID sid = &allowed->SidStart;
        if (IsWellKnownSid(sid, WinLocalSystemSid)) trustees.push_back(WinLocalSystemSid);
        else if (IsWellKnownSid(sid, WinBuiltinAdministratorsSid)) trustees.push_back(WinBuiltinAdministratorsSid);
        else ADD_FAILURE() << "an access entry for someone else";
    }
    EXPECT_EQ(trustees, (std::vector<WELL_KNOWN_SID_TYPE>{WinLocalSystemSid, WinBuiltinAdministratorsSid}));
    RemovePrivateFolder(*folder);
    RemovePrivateFolder(*second);
    EXPECT_FALSE(PathExists(AnsiFromWide(*folder)));
}

TEST(UpdaterLibraries, SystemLibrariesComeFromTheSystemFolderOnly) {
    // A library of that name planted in the current folder is never taken.
    const std::string planted = FreshTestFolder("planted") + "\\";
    CopyFileA(StandInSetupPath().c_str(), (planted + "version.dll").c_str(), FALSE);
    wchar_t previous[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryA(planted.c_str());
    ScopedModule library(LoadSystemLibrary(L"version.dll"));
    SetCurrentDirectoryW(previous);
    ASSERT_TRUE(library);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(library.Get(), path, MAX_PATH);
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    EXPECT_EQ(_wcsnicmp(path, system, wcslen(system)), 0) << AnsiFromWide(path);
    for (const wchar_t* name : {L"..\\version.dll", L"C:\\version.dll", L"sub/version.dll"})
        EXPECT_EQ(LoadSystemLibrary(name), nullptr) << AnsiFromWide(name);
}

TEST(UpdaterDownload, CancelStopsAfterTheCurrentChunkAndKeepsNothing) {
    const std::string setup = ReadWholeFile(StandInSetupPath());
    UpdateScenario scenario("download-cancel");
    scenario.VersionPage(SignedVersionPage());
    scenario.DownloadBody(setup);
    Places places("download-cancel");
    CAutoUpdater updater(places.places);
    ProgressRecorder recorder;
    recorder.cancelTarget = &updater;
    recorder.cancelAfterChunks = 2;
    ASSERT_EQ(updater.CheckForUpdate(scenario.Base()), UPDATE_OK);
    EXPECT_EQ(updater.DownloadAndInstall(scenario.Base()), UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(recorder.messages.size(), 3u) << "announcement and two chunks";
    EXPECT_EQ(places.Leftovers(), std::vector<std::string>());
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
