#include "updater/AutoUpdater.h"

#include <algorithm>
#include <cstring>

#include "base/FileVersionInfo.h"
#include "base/TextUtil.h"
#include "updater/SetupSignature.h"

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

// The declared Content-Length, when the response has one.
bool ContentLength(HINTERNET request, DWORD& length) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr))
        return false;
    length = value;
    return true;
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

}  // namespace

UpdatePlaces UpdatePlaces::ForThisProgram() {
    UpdatePlaces places;
    places.programFolder = ModuleFolder();
    char temp[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(static_cast<DWORD>(sizeof(temp)), temp);
    if (length > 0 && length < sizeof(temp)) places.downloadFolder = temp;
    if (!places.downloadFolder.empty() && places.downloadFolder.back() != '\\') places.downloadFolder += '\\';
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

bool HasStatusOk(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr))
        return false;
    return status == HTTP_STATUS_OK;
}

DWORD OpenFlagsFor(std::string_view address) {
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES;
    if (StartsWithNoCase(address, "https://")) flags |= INTERNET_FLAG_SECURE;
    return flags;
}

CAutoUpdater::CAutoUpdater() : CAutoUpdater(UpdatePlaces::ForThisProgram()) {}

CAutoUpdater::CAutoUpdater(UpdatePlaces places)
    : places_(std::move(places)),
      internet_(InternetOpenA(kUserAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)) {}

CAutoUpdater::~CAutoUpdater() = default;

void CAutoUpdater::SetNotifyWindow(HWND window) { g_notifyWindow = window; }

void CAutoUpdater::SetTimeouts(DWORD milliseconds) {
    timeoutMs_ = milliseconds;
    if (internet_) ApplyTimeouts(internet_.Get());
}

void CAutoUpdater::ApplyTimeouts(HINTERNET handle) const {
    if (timeoutMs_ == 0) return;
    // Set on every handle: not every WinINet passes the session's limits on to its requests.
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT,
                         INTERNET_OPTION_SEND_TIMEOUT}) {
        DWORD value = timeoutMs_;
        InternetSetOptionA(handle, option, &value, sizeof(value));
    }
}

const std::string& CAutoUpdater::GetValue(std::string_view key) const {
    static const std::string empty;
    for (const Entry& entry : updateInfo_) {
        if (entry.key == key) return entry.value;
    }
    return empty;
}

OpenRequest CAutoUpdater::OpenUrl(std::string& address) const {
    OpenRequest open;
    if (!internet_) return open;
    char canonical[1024] = {};
    DWORD length = static_cast<DWORD>(sizeof(canonical));
    // An address that does not fit is not opened at all.
    if (!InternetCanonicalizeUrlA(address.c_str(), canonical, &length, ICU_BROWSER_MODE)) return open;
    address = canonical;

    char host[256] = {};
    char path[1024] = {};
    char query[1024] = {};
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = host;
    parts.dwHostNameLength = static_cast<DWORD>(sizeof(host));
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = static_cast<DWORD>(sizeof(path));
    parts.lpszExtraInfo = query;
    parts.dwExtraInfoLength = static_cast<DWORD>(sizeof(query));
    if (!InternetCrackUrlA(canonical, 0, 0, &parts)) return open;
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return open;

    open.connection.Reset(
        InternetConnectA(internet_.Get(), host, parts.nPort, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!open.connection) return open;
    ApplyTimeouts(open.connection.Get());
    const std::string object = std::string(path) + query;
    const char* accept[] = {"*/*", nullptr};
    ScopedInternet request(HttpOpenRequestA(open.connection.Get(), "GET", object.c_str(), nullptr, nullptr, accept,
                                            OpenFlagsFor(canonical), 0));
    if (!request) return open;
    ApplyTimeouts(request.Get());
    if (!HttpSendRequestA(request.Get(), nullptr, 0, nullptr, 0)) return open;
    open.request = std::move(request);
    return open;
}

bool CAutoUpdater::ReadUpdateInfo(HINTERNET request, char* buffer, size_t bufferSize) {
    if (bufferSize < 2) return false;
    std::memset(buffer, 0, bufferSize);
    // The whole page, keeping the last byte for the terminator.
    size_t total = 0;
    for (;;) {
        DWORD read = 0;
        const size_t room = bufferSize - 1 - total;
        if (room == 0) {
            // Full: a page with more bytes than fit is refused rather than parsed cut.
            char extra = 0;
            if (!InternetReadFile(request, &extra, 1, &read) || read != 0) return false;
            break;
        }
        if (!InternetReadFile(request, buffer + total, static_cast<DWORD>(room), &read)) return false;
        if (read == 0) break;
        total += read;
    }
    if (total == 0) return false;
    DWORD declared = 0;
    if (ContentLength(request, declared) && declared != total) return false;  // cut short
    updateInfo_ = ParseUpdateInfo(std::string_view(buffer, total));
    return true;
}

int CAutoUpdater::CheckForUpdate(const std::string& base) {
    if (!internet_ || base.empty()) return UPDATE_NO_CONNECTION;
    DWORD state = 0;
    if (!InternetGetConnectedState(&state, 0)) return UPDATE_NO_CONNECTION;

    updateInfo_.clear();
    std::string address = base + kVersionPage;
    OpenRequest request = OpenUrl(address);
    if (!request || !HasStatusOk(request.Get())) return UPDATE_OPEN_FAILED;
    char buffer[kVersionPageBuffer];
    const bool read = ReadUpdateInfo(request.Get(), buffer, sizeof(buffer));
    request.Reset();
    if (!read) {
        updateInfo_.clear();
        return UPDATE_READ_FAILED;
    }

    const std::string installed = FormatFileVersion((places_.programFolder + kMainProgramName).c_str());
    if (installed.empty()) return UPDATE_NO_LOCAL_VERSION;
    const std::string offered = RemoveChar(RemoveChar(GetValue("Version"), '\r'), '\n');
    return CompareVersions(offered, installed) == 1 ? UPDATE_OK : UPDATE_NOT_NEWER;
}

int CAutoUpdater::CompareVersions(std::string_view offered, std::string_view installed) {
    unsigned a[4];
    unsigned b[4];
    if (!ParseVersion(offered, a)) return -21;
    if (!ParseVersion(installed, b)) return -22;
    for (int i = 0; i < 4; ++i) {
        if (a[i] > b[i]) return 1;
        if (a[i] < b[i]) return -1;
    }
    return 0;
}

CAutoUpdater::DownloadEnd CAutoUpdater::DownloadToFile(HINTERNET request, const std::string& path,
                                                       std::uint64_t limit) const {
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return DownloadEnd::Failed;
    std::uint64_t total = 0;
    char chunk[kChunkSize];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, chunk, kChunkSize, &read)) return DownloadEnd::Failed;
        if (read == 0) return DownloadEnd::Complete;
        total += read;
        // More than announced can never verify; stop instead of filling the disk.
        if (total > limit) return DownloadEnd::Failed;
        DWORD written = 0;
        if (!WriteFile(file.Get(), chunk, read, &written, nullptr) || written != read) return DownloadEnd::Failed;
        Notify(0, static_cast<LPARAM>(read));
        PumpOneMessage();
        SleepEx(1, FALSE);
        if (cancelRequested) return DownloadEnd::Cancelled;
    }
}

int CAutoUpdater::DownloadAndInstall(const std::string& base) {
    downloadedPath_.clear();
    installedPath_.clear();
    if (!internet_ || base.empty() || places_.downloadFolder.empty()) return UPDATE_OPEN_FAILED;
    const std::string target = places_.downloadFolder + kSetupProgramName;
    const std::string final = places_.programFolder + kSetupProgramName;
    const std::optional<std::uint64_t> expectedSize = ParseFileSize(GetValue("FileSize"));
    const std::optional<Signature> signature = ParseSignatureHex(GetValue("Signature"));

    std::string address = base + kDownloadPage;
    OpenRequest request = OpenUrl(address);
    if (!request || !HasStatusOk(request.Get())) return UPDATE_OPEN_FAILED;

    // Without a usable size the bar stays still, and the download cannot verify.
    const std::uint64_t announced = expectedSize.value_or(0);
    Notify(1, static_cast<LPARAM>(std::min<std::uint64_t>(announced, 0x7FFFFFFF)));
    const std::uint64_t limit = expectedSize ? *expectedSize : 64ull * 1024 * 1024;
    const DownloadEnd end = DownloadToFile(request.Get(), target, limit);
    request.Reset();
    if (end != DownloadEnd::Complete || cancelRequested) {
        DeleteFileA(target.c_str());
        return UPDATE_DOWNLOAD_FAILED;
    }

    const PublicKey& key = BuiltInSigningKey();
    if (!expectedSize || !signature || !VerifySetupFile(target, *expectedSize, *signature, key)) {
        DeleteFileA(target.c_str());
        return UPDATE_VERIFY_FAILED;
    }
    downloadedPath_ = target;
    if (!ReplaceFile(final, target)) {
        DeleteFileA(target.c_str());
        downloadedPath_.clear();
        return UPDATE_REPLACE_FAILED;
    }
    downloadedPath_.clear();  // moved
    // Checked again where it will run: the temporary folder is writable by more programs.
    if (!VerifySetupFile(final, *expectedSize, *signature, key)) {
        DeleteFileA(final.c_str());
        const std::string backup = FolderOf(final) + "\\" + kSetupBackupName;
        MoveFileExA(backup.c_str(), final.c_str(), MOVEFILE_COPY_ALLOWED);
        return UPDATE_VERIFY_FAILED;
    }
    installedPath_ = final;
    return UPDATE_OK;
}

bool CAutoUpdater::ReplaceFile(const std::string& existing, const std::string& newPath) {
    const std::string backup = FolderOf(existing) + "\\" + kSetupBackupName;
    DeleteFileA(backup.c_str());
    const bool backedUp = MoveFileExA(existing.c_str(), backup.c_str(), MOVEFILE_COPY_ALLOWED) != FALSE;
    if (MoveFileExA(newPath.c_str(), existing.c_str(), MOVEFILE_COPY_ALLOWED)) return true;
    if (backedUp) MoveFileExA(backup.c_str(), existing.c_str(), MOVEFILE_COPY_ALLOWED);
    return false;
}

}  // namespace tarnock::updater
