// The updater's engine: asks the update server whether a newer Tarnock is offered,
// downloads the setup program, verifies it and puts it beside the updater.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "updater/InternetHandle.h"

namespace tarnock::updater {

// One numbering for the check and the download.
enum UpdateResult : int {
    UPDATE_OK = 0,                // check: a newer version is offered; download: the verified setup is in place
    UPDATE_NO_CONNECTION = 1,     // no Internet handle, no connection, or no server configured
    UPDATE_OPEN_FAILED = 2,       // a page cannot be opened or did not answer with status 200
    UPDATE_READ_FAILED = 3,       // the version page is empty, cut short, too long or unreadable
    UPDATE_DOWNLOAD_FAILED = 4,   // the download cannot be written, a read fails, or it was cancelled
    UPDATE_NO_LOCAL_VERSION = 5,  // "Tarnock.exe" beside the updater is missing or has no version
    UPDATE_NOT_NEWER = 6,         // the offered version is not newer, or a version text does not parse
    UPDATE_REPLACE_FAILED = 7,    // the setup program cannot be moved into place
    UPDATE_VERIFY_FAILED = 8,     // the download's size or signature is wrong; it was deleted
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

// Where the engine works; both folders end with a backslash.
struct UpdatePlaces {
    std::string programFolder;   // holds Tarnock.exe, Tarnock.ini and receives TarnockSetup.exe
    std::string downloadFolder;  // the download lands here first
    static UpdatePlaces ForThisProgram();  // the updater's own folder and the temporary folder
};

// The [Update] Base= of the Tarnock.ini in `programFolder`, with a closing "/" added when
// missing; empty when it is not configured or is not an http or https address.
std::string ReadUpdateBase(const std::string& programFolder);

// An open GET request and the connection it runs on (closed request first).
struct OpenRequest {
    ScopedInternet connection;
    ScopedInternet request;
    explicit operator bool() const { return static_cast<bool>(request); }
    HINTERNET Get() const { return request.Get(); }
    void Reset() {
        request.Reset();
        connection.Reset();
    }
};

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
    int DownloadAndInstall(const std::string& base);

    // 1 offered newer, 0 equal, -1 offered older, -21 / -22 offered / installed text not parsable.
    static int CompareVersions(std::string_view offered, std::string_view installed);
    // Moves `newPath` to `existing`, keeping the previous file as "OldExecutable.bak" in the
    // same folder; when the move fails the previous file is put back.
    static bool ReplaceFile(const std::string& existing, const std::string& newPath);

    // Limits for connecting and for each wait for data (WinINet's defaults otherwise).
    void SetTimeouts(DWORD milliseconds);

    const std::vector<Entry>& UpdateInfo() const { return updateInfo_; }
    const std::string& DownloadedPath() const { return downloadedPath_; }
    const std::string& InstalledPath() const { return installedPath_; }
    const UpdatePlaces& Places() const { return places_; }

    // Set by the dialog's Close command; the download loop stops after the current chunk.
    int cancelRequested = 0;

private:
    enum class DownloadEnd { Complete, Cancelled, Failed };

    OpenRequest OpenUrl(std::string& address) const;
    void ApplyTimeouts(HINTERNET handle) const;
    bool ReadUpdateInfo(HINTERNET request, char* buffer, size_t bufferSize);
    DownloadEnd DownloadToFile(HINTERNET request, const std::string& path, std::uint64_t limit) const;

    std::vector<Entry> updateInfo_;
    std::string downloadedPath_;
    std::string installedPath_;
    UpdatePlaces places_;
    ScopedInternet internet_;
    DWORD timeoutMs_ = 0;  // 0: WinINet's defaults
};

// Splits a version page into entries, one per line, key before the first "=", in order.
std::vector<CAutoUpdater::Entry> ParseUpdateInfo(std::string_view page);

// True when the request's HTTP status is 200.
bool HasStatusOk(HINTERNET request);

// Flags for opening `address`: never from the cache, and secure for an https address.
DWORD OpenFlagsFor(std::string_view address);

}  // namespace tarnock::updater
