// The updater's engine: asks the update server whether a newer Tarnock is offered, checks
// that the offer is signed for this architecture, downloads the setup program into a folder
// only administrators can write, verifies it and puts it beside the updater, where it stays
// open against writers until it has been started.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/HttpRequest.h"
#include "base/ScopedHandles.h"
#include "updater/SetupSignature.h"

namespace tarnock::updater {

// One numbering for the check and the download.
enum UpdateResult : int {
    UPDATE_OK = 0,                // check: a newer signed version is offered; download: the verified setup is in place
    UPDATE_NO_CONNECTION = 1,     // no Internet handle, no connection, or no server configured
    UPDATE_OPEN_FAILED = 2,       // a page cannot be opened or did not answer with status 200
    UPDATE_READ_FAILED = 3,       // the version page is empty, cut short, too long or unreadable
    UPDATE_DOWNLOAD_FAILED = 4,   // the download cannot be written, a read fails, it took too long or was cancelled
    UPDATE_NO_LOCAL_VERSION = 5,  // "Tarnock.exe" beside the updater is missing or has no version
    UPDATE_NOT_NEWER = 6,         // the offered version is not newer, or a version text does not parse
    UPDATE_REPLACE_FAILED = 7,    // the setup program cannot be put into place
    UPDATE_VERIFY_FAILED = 8,     // the offer is not signed for this architecture and size, or the download
                                  // does not match it; nothing is kept
};

// Order of an offered version against the installed one.
enum class VersionOrder : int {
    OfferedOlder = -1,
    Equal = 0,
    OfferedNewer = 1,
    OfferedUnparsable = -21,
    InstalledUnparsable = -22,
};

// Sent (not posted) to the notify window: wParam 1 announces the total size in lParam,
// wParam 0 reports the bytes of one chunk just written.
constexpr UINT UM_DOWNLOADPROGRESS = WM_USER + 101;

inline constexpr char kMainProgramName[] = "Tarnock.exe";
inline constexpr char kSetupProgramName[] = "TarnockSetup.exe";
inline constexpr char kSetupBackupName[] = "OldExecutable.bak";
inline constexpr char kVersionPage[] = "TarnockVersion.php";
inline constexpr char kDownloadPage[] = "download2.php";
inline constexpr char kUserAgent[] = "AutoUpdateAgent";
// The version page is read whole into a buffer of this size, terminator included.
inline constexpr size_t kVersionPageBuffer = 4096;
// The whole download must end within this time.
inline constexpr DWORD kDownloadDeadlineMs = 10 * 60 * 1000;

// Where the engine works; both folders end with a backslash.
struct UpdatePlaces {
    std::string programFolder;   // holds Tarnock.exe, Tarnock.ini and receives TarnockSetup.exe
    std::string downloadFolder;  // each download gets a private folder of its own below it
    // The updater's own folder and %ProgramData%\Tarnock\Updates.
    static UpdatePlaces ForThisProgram();
};

// The [Update] Base= of the Tarnock.ini in `programFolder`, with a closing "/" added when
// missing; empty when it is not configured or is not an http or https address.
std::string ReadUpdateBase(const std::string& programFolder);

class CAutoUpdater {
public:
    struct Entry {
        std::string value;
        std::string key;
    };

    CAutoUpdater();
    explicit CAutoUpdater(UpdatePlaces places);
    virtual ~CAutoUpdater();
    CAutoUpdater(const CAutoUpdater&) = delete;
    CAutoUpdater& operator=(const CAutoUpdater&) = delete;

    // Progress messages of every instance go to this window.
    static void SetNotifyWindow(HWND window);

    int CheckForUpdate(const std::string& base);
    // Value of the first entry whose key equals `key` exactly; empty when there is none.
    const std::string& GetValue(std::string_view key) const;
    // On UPDATE_OK the verified setup is held open (nobody can write, rename or delete it)
    // until StartInstalledSetup or the destructor.
    int DownloadAndInstall(const std::string& base);
    // Checks the held setup once more and starts it by its exact path; the hold ends when
    // the process has been created. True when it was started.
    bool StartInstalledSetup();

    static VersionOrder CompareVersions(std::string_view offered, std::string_view installed);
    // Moves `newPath` to `existing`, keeping the previous file as "OldExecutable.bak" in the
    // same folder; when the move fails the previous file is put back.
    static bool ReplaceFile(const std::string& existing, const std::string& newPath);

    // Limits for connecting and for each wait for data (WinINet's defaults otherwise).
    void SetTimeouts(DWORD milliseconds);
    // Limit for the whole download (kDownloadDeadlineMs unless set).
    void SetDownloadDeadline(DWORD milliseconds) { deadlineMs_ = milliseconds; }

    const std::vector<Entry>& UpdateInfo() const { return updateInfo_; }
    const std::string& DownloadedPath() const { return downloadedPath_; }
    const std::string& InstalledPath() const { return installedPath_; }
    const UpdatePlaces& Places() const { return places_; }
    bool HoldsInstalledSetup() const { return static_cast<bool>(heldSetup_); }

    // Set by the dialog's Close command; the download loop stops after the current chunk.
    int cancelRequested = 0;

private:
    enum class DownloadEnd { Complete, Cancelled, Failed };

    // The page's offer when it is signed, for this architecture, within the size limit and
    // newer than the installed Tarnock; otherwise the check's result code in `result`.
    std::optional<SignedOffer> AcceptedOffer(int& result) const;
    bool ReadUpdateInfo(HINTERNET request, char* buffer, size_t bufferSize);
    DownloadEnd DownloadToFile(HINTERNET request, HANDLE file, std::uint64_t limit) const;
    bool PlaceSetup(HANDLE verified, const SignedOffer& offer);

    std::vector<Entry> updateInfo_;
    std::string downloadedPath_;
    std::string installedPath_;
    UpdatePlaces places_;
    HttpSession session_;
    std::optional<SignedOffer> offer_;  // of the setup held in heldSetup_
    ScopedHandle heldSetup_;
    DWORD deadlineMs_ = kDownloadDeadlineMs;
};

// Splits a version page into entries, one per line, key before the first "=", in order.
std::vector<CAutoUpdater::Entry> ParseUpdateInfo(std::string_view page);

}  // namespace tarnock::updater
