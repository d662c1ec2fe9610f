#include "updater/AutoUpdater.h"

#include <algorithm>
#include <cstring>

#include "base/FileVersionInfo.h"
#include "base/TextUtil.h"
#include "base/TrustedFiles.h"

namespace tarnock::updater {

namespace {

HWND g_notifyWindow = nullptr;  // process-wide, like the dialog that receives the messages

constexpr DWORD kChunkSize = 4096;

void Notify(WPARAM kind, LPARAM value) {
    if (g_notifyWindow != nullptr) SendMessageA(g_notifyWindow, UM_DOWNLOADPROGRESS, kind, value);
}

// Keeps the dialog alive during the download: one waiting message per chunk. Keyboard
// messages of the dialog go through the dialog manager so that Enter and Escape work.
void PumpOneMessage() {
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return;
    if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
    }
    if (g_notifyWindow != nullptr && IsWindow(g_notifyWindow) && IsDialogMessageA(g_notifyWindow, &msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ToLowerAnsi(text.substr(0, prefix.size())) == prefix;
}

// Parses one version text into four slots; false on any fault.
bool ParseVersion(std::string_view text, unsigned (&slots)[4]) {
    unsigned parsed[4] = {0, 0, 0, 0};
    int count = 0;
    size_t position = 0;
    while (position <= text.size()) {
        size_t dot = text.find('.', position);
        if (dot == std::string_view::npos) dot = text.size();
        const std::string_view token = text.substr(position, dot - position);
        position = dot + 1;
        if (token.empty()) continue;
        if (count == 4) return false;
        unsigned value = 0;
        for (char c : token) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + static_cast<unsigned>(c - '0');
            // A version resource holds 16-bit parts; a larger token is no version.
            if (value > 65535) return false;
        }
        parsed[count++] = value;
    }
    if (count == 0) return false;
    std::copy(std::begin(parsed), std::end(parsed), slots);
    return true;
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// Deletes a download's private folder on every way out, after its file was closed.
class PrivateFolderGuard {
public:
    explicit PrivateFolderGuard(std::wstring folder) : folder_(std::move(folder)) {}
    ~PrivateFolderGuard() { RemovePrivateFolder(folder_); }
    PrivateFolderGuard(const PrivateFolderGuard&) = delete;
    PrivateFolderGuard& operator=(const PrivateFolderGuard&) = delete;

private:
    std::wstring folder_;
};

bool HasFreeSpace(const std::string& folder, std::uint64_t bytes) {
    ULARGE_INTEGER available{};
    if (!GetDiskFreeSpaceExW(WideFromAnsi(folder).c_str(), &available, nullptr, nullptr)) return false;
    // Room for the file and some to spare for the installation that follows.
    return available.QuadPart >= bytes + 16ull * 1024 * 1024;
}

// Copies an open file from its start into a new file at `path`.
bool CopyOpenFile(HANDLE source, const std::wstring& path) {
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(source, start, nullptr, FILE_BEGIN)) return false;
    ScopedHandle target(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!target) return false;
    char buffer[64 * 1024];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(source, buffer, sizeof(buffer), &read, nullptr)) return false;
        if (read == 0) return true;
        DWORD written = 0;
        if (!WriteFile(target.Get(), buffer, read, &written, nullptr) || written != read) return false;
    }
}

}  // namespace

UpdatePlaces UpdatePlaces::ForThisProgram() {
    UpdatePlaces places;
    places.programFolder = ModuleFolder();
    // Not the user's temporary folder: every program of the user can write there.
    const std::wstring updates = MachineDataFolder(L"Updates");
    if (!updates.empty()) places.downloadFolder = AnsiFromWide(updates) + "\\";
    return places;
}

std::string ReadUpdateBase(const std::string& programFolder) {
    const std::string ini = programFolder + "Tarnock.ini";
    char value[2048] = {};
    GetPrivateProfileStringA("Update", "Base", "", value, static_cast<DWORD>(sizeof(value)), ini.c_str());
    std::string base = TrimWhitespace(value);
    if (!StartsWithNoCase(base, "http://") && !StartsWithNoCase(base, "https://")) return {};
    if (base.back() != '/') base += '/';
    return base;
}

std::vector<CAutoUpdater::Entry> ParseUpdateInfo(std::string_view page) {
    std::vector<CAutoUpdater::Entry> entries;
    page = page.substr(0, std::min(page.size(), page.find('\0')));
    while (!page.empty()) {
        const size_t newline = page.find('\n');
        const std::string_view line = page.substr(0, newline);
        page = newline == std::string_view::npos ? std::string_view() : page.substr(newline + 1);
        const size_t equals = line.find('=');
        CAutoUpdater::Entry entry;
        entry.key = std::string(line.substr(0, equals));
        if (equals != std::string_view::npos) entry.value = std::string(line.substr(equals + 1));
        entries.push_back(std::move(entry));
    }
    return entries;
}

CAutoUpdater::CAutoUpdater() : CAutoUpdater(UpdatePlaces::ForThisProgram()) {}

CAutoUpdater::CAutoUpdater(UpdatePlaces places) : places_(std::move(places)), session_(kUserAgent) {}

CAutoUpdater::~CAutoUpdater() = default;

void CAutoUpdater::SetNotifyWindow(HWND window) { g_notifyWindow = window; }

void CAutoUpdater::SetTimeouts(DWORD milliseconds) { session_.SetTimeoutMs(milliseconds); }

const std::string& CAutoUpdater::GetValue(std::string_view key) const {
    static const std::string empty;
    for (const Entry& entry : updateInfo_) {
        if (entry.key == key) return entry.value;
    }
    return empty;
}

bool CAutoUpdater::ReadUpdateInfo(HINTERNET request, char* buffer, size_t bufferSize) {
    if (bufferSize < 2) return false;
    std::memset(buffer, 0, bufferSize);
    // The whole page, keeping the last byte for the terminator; a longer one is refused
    // rather than parsed cut, and so is one shorter than its Content-Length.
    const std::optional<std::string> page = ReadHttpBody(request, bufferSize - 1);
    if (!page || page->empty()) return false;
    std::memcpy(buffer, page->data(), page->size());
    updateInfo_ = ParseUpdateInfo(std::string_view(buffer, page->size()));
    return true;
}

std::optional<SignedOffer> CAutoUpdater::AcceptedOffer(int& result) const {
    const std::string installed = FormatFileVersion((places_.programFolder + kMainProgramName).c_str());
    if (installed.empty()) {
        result = UPDATE_NO_LOCAL_VERSION;
        return std::nullopt;
    }
    const std::string offered = RemoveChar(RemoveChar(GetValue("Version"), '\r'), '\n');
    if (CompareVersions(offered, installed) != VersionOrder::OfferedNewer) {
        result = UPDATE_NOT_NEWER;
        return std::nullopt;
    }
    result = UPDATE_VERIFY_FAILED;
    // The version compared above is the one the signature must cover.
    std::optional<SignedOffer> offer = ParseOffer(offered, GetValue("Arch"), GetValue("FileSize"),
                                                  GetValue("SHA256"), GetValue("Signature"));
    if (!offer || !VerifyOfferSignature(*offer, BuiltInSigningKey())) return std::nullopt;
    if (offer->architecture != kThisArchitecture || offer->size > kMaxSetupSize) return std::nullopt;
    result = UPDATE_OK;
    return offer;
}

int CAutoUpdater::CheckForUpdate(const std::string& base) {
    if (!session_ || base.empty()) return UPDATE_NO_CONNECTION;
    DWORD state = 0;
    if (!InternetGetConnectedState(&state, 0)) return UPDATE_NO_CONNECTION;

    updateInfo_.clear();
    HttpRequest request = HttpGet(session_, base + kVersionPage);
    if (!request) return UPDATE_OPEN_FAILED;
    char buffer[kVersionPageBuffer];
    const bool read = ReadUpdateInfo(request.Get(), buffer, sizeof(buffer));
    request.Close();
    if (!read) {
        updateInfo_.clear();
        return UPDATE_READ_FAILED;
    }
    int result = UPDATE_NOT_NEWER;
    AcceptedOffer(result);
    return result;
}

VersionOrder CAutoUpdater::CompareVersions(std::string_view offered, std::string_view installed) {
    unsigned a[4];
    unsigned b[4];
    if (!ParseVersion(offered, a)) return VersionOrder::OfferedUnparsable;
    if (!ParseVersion(installed, b)) return VersionOrder::InstalledUnparsable;
    for (int i = 0; i < 4; ++i) {
        if (a[i] > b[i]) return VersionOrder::OfferedNewer;
        if (a[i] < b[i]) return VersionOrder::OfferedOlder;
    }
    return VersionOrder::Equal;
}

CAutoUpdater::DownloadEnd CAutoUpdater::DownloadToFile(HINTERNET request, HANDLE file, std::uint64_t limit) const {
    const ULONGLONG deadline = GetTickCount64() + deadlineMs_;
    std::uint64_t total = 0;
    char chunk[kChunkSize];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, chunk, kChunkSize, &read)) return DownloadEnd::Failed;
        if (read == 0) return DownloadEnd::Complete;
        total += read;
        // More than signed can never verify; stop instead of filling the disk.
        if (total > limit) return DownloadEnd::Failed;
        DWORD written = 0;
        if (!WriteFile(file, chunk, read, &written, nullptr) || written != read) return DownloadEnd::Failed;
        Notify(0, static_cast<LPARAM>(read));
        PumpOneMessage();
        SleepEx(1, FALSE);
        if (cancelRequested) return DownloadEnd::Cancelled;
        // A server that trickles its bytes must not keep the updater open for ever.
        if (GetTickCount64() > deadline) return DownloadEnd::Failed;
    }
}

bool CAutoUpdater::PlaceSetup(HANDLE verified, const SignedOffer& offer) {
    const std::string final = places_.programFolder + kSetupProgramName;
    // Written anew in the program folder, so that it has that folder's access list; moved
    // into place from beside it.
    const std::string incoming = final + ".new";
    DeleteFileA(incoming.c_str());
    if (!CopyOpenFile(verified, WideFromAnsi(incoming))) {
        DeleteFileA(incoming.c_str());
        return false;
    }
    if (!ReplaceFile(final, incoming)) {
        DeleteFileA(incoming.c_str());
        return false;
    }
    // What runs is what is checked now, through a handle that keeps writers out.
    ScopedHandle held = OpenHeldFile(WideFromAnsi(final));
    if (!held || !FileMatchesOffer(held.Get(), offer)) {
        held.Reset();
        DeleteFileA(final.c_str());
        const std::string backup = FolderOf(final) + "\\" + kSetupBackupName;
        MoveFileExA(backup.c_str(), final.c_str(), 0);
        return false;
    }
    heldSetup_ = std::move(held);
    offer_ = offer;
    installedPath_ = final;
    return true;
}

int CAutoUpdater::DownloadAndInstall(const std::string& base) {
    downloadedPath_.clear();
    installedPath_.clear();
    heldSetup_.Reset();
    offer_.reset();
    if (!session_ || base.empty() || places_.downloadFolder.empty()) return UPDATE_OPEN_FAILED;
    int checked = UPDATE_VERIFY_FAILED;
    const std::optional<SignedOffer> offer = AcceptedOffer(checked);
    if (!offer) return checked == UPDATE_NO_LOCAL_VERSION || checked == UPDATE_NOT_NEWER ? checked
                                                                                      : UPDATE_VERIFY_FAILED;
    const std::optional<std::wstring> folder = CreatePrivateFolder(WideFromAnsi(places_.downloadFolder));
    if (!folder) return UPDATE_DOWNLOAD_FAILED;
    const PrivateFolderGuard removeFolder(*folder);
    // The download folder may have only just been made: asked about once it exists.
    if (!HasFreeSpace(places_.downloadFolder, offer->size) || !HasFreeSpace(places_.programFolder, offer->size))
        return UPDATE_DOWNLOAD_FAILED;
    const std::wstring target = *folder + L"\\" + WideFromAnsi(kSetupProgramName);

    HttpRequest request = HttpGet(session_, base + kDownloadPage);
    if (!request) return UPDATE_OPEN_FAILED;
    Notify(1, static_cast<LPARAM>(offer->size));
    // Nobody else may open it while it is written and checked.
    ScopedHandle file(CreateFileW(target.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return UPDATE_DOWNLOAD_FAILED;
    const DownloadEnd end = DownloadToFile(request.Get(), file.Get(), offer->size);
    request.Close();
    if (end != DownloadEnd::Complete || cancelRequested) return UPDATE_DOWNLOAD_FAILED;
    downloadedPath_ = AnsiFromWide(target);

    const bool matches = FileMatchesOffer(file.Get(), *offer);
    const bool placed = matches && PlaceSetup(file.Get(), *offer);
    file.Reset();
    downloadedPath_.clear();  // its folder goes with the guard
    if (!matches) return UPDATE_VERIFY_FAILED;
    return placed ? UPDATE_OK : UPDATE_REPLACE_FAILED;
}

bool CAutoUpdater::StartInstalledSetup() {
    if (!heldSetup_ || !offer_ || installedPath_.empty()) return false;
    // Once more, just before the start: the hold has kept writers out since the last check.
    if (!FileMatchesOffer(heldSetup_.Get(), *offer_)) return false;
    const std::wstring path = WideFromAnsi(installedPath_);
    std::wstring commandLine = L"\"" + path + L"\"";
    const std::wstring folder = WideFromAnsi(places_.programFolder);
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    const BOOL started = CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        folder.c_str(), &startup, &info);
    if (started) {
        ScopedHandle process(info.hProcess);
        ScopedHandle thread(info.hThread);
    }
    heldSetup_.Reset();
    offer_.reset();
    return started != FALSE;
}

bool CAutoUpdater::ReplaceFile(const std::string& existing, const std::string& newPath) {
    const std::string backup = FolderOf(existing) + "\\" + kSetupBackupName;
    DeleteFileA(backup.c_str());
    const bool backedUp = MoveFileExA(existing.c_str(), backup.c_str(), 0) != FALSE;
    if (MoveFileExA(newPath.c_str(), existing.c_str(), 0)) return true;
    if (backedUp) MoveFileExA(backup.c_str(), existing.c_str(), 0);
    return false;
}

}  // namespace tarnock::updater
