#include "olmaticpost/OlmaticPost.h"

#include <windows.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>

#include "base/HttpRequest.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"

namespace {

using tarnock::HttpRequest;
using tarnock::HttpSession;
using tarnock::ScopedHandle;
using tarnock::ScopedModule;

// The caller waits this long for the server's answer; with the set-up before it the whole
// call stays within 3 s. WinINet's own time-outs end a request left behind soon after.
constexpr DWORD kAnswerWaitMs = 2800;
constexpr DWORD kInternetTimeoutMs = 2500;
// Longest text taken from one argument; anything longer is cut.
constexpr std::size_t kMaxFieldBytes = 16384;
constexpr std::size_t kMaxAddressChars = 2048;

// One report, shared by the caller and the thread that sends it. The caller may give up
// waiting: it then closes the request (which ends WinINet's blocking call) and leaves;
// the thread sees `abandoned` and ends on its own.
struct Report {
    std::string address;
    std::string body;
    ScopedHandle done;  // manual-reset event, set when the thread has a result

    std::mutex lock;  // guards the members below
    HttpRequest request;
    bool abandoned = false;
    int result = 0;
};

struct ThreadStart {
    std::shared_ptr<Report> report;
    ScopedModule module;  // keeps this library loaded while the thread runs
};

std::string CopyText(const char* text) {
    if (text == nullptr) return {};
    return std::string(text, strnlen(text, kMaxFieldBytes));
}

// A form-encoded text cut to the limit must not end in half an escape ("%" or "%X").
std::string CopyEncoded(const char* text) {
    std::string copy = CopyText(text);
    if (copy.size() == kMaxFieldBytes) {
        const std::size_t percent = copy.rfind('%');
        if (percent != std::string::npos && percent + 3 > copy.size()) copy.erase(percent);
    }
    return copy;
}

// The file name of an icon location ("C:\\Program Files\\App\\app.exe",0): its folders can
// name the user and the machine, which the consent question does not cover. Quotes and the
// icon index go too.
std::string IconFileName(std::string location) {
    const std::size_t comma = location.find_last_of(',');
    if (comma != std::string::npos) {
        std::size_t digits = comma + 1;
        if (digits < location.size() && location[digits] == '-') ++digits;
        if (digits < location.size() &&
            location.find_first_not_of("0123456789", digits) == std::string::npos)
            location.erase(comma);
    }
    // Code page 949 has no backslash among its trail bytes: a byte-wise search is safe.
    const std::size_t slash = location.find_last_of("\\/");
    std::string name;
    for (char c : location.substr(slash == std::string::npos ? 0 : slash + 1)) {
        if (c != '"') name += c;
    }
    return name;
}

// [Report] Address= of the Tarnock.ini in this library's own folder; empty when unset.
std::string ConfiguredAddress() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCWSTR>(&OlmaticPost), &self))
        return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return {};
    const std::wstring ini = path.substr(0, slash + 1) + L"Tarnock.ini";
    wchar_t value[kMaxAddressChars];
    const DWORD length = GetPrivateProfileStringW(L"Report", L"Address", L"", value, kMaxAddressChars, ini.c_str());
    if (length + 1 >= kMaxAddressChars) return {};  // cut: not a usable address
    return tarnock::TrimWhitespace(tarnock::AnsiFromWide(std::wstring_view(value, length)));
}

// Posts the body; 1 when the server answered with a 2xx status.
int Send(Report& report) {
    HttpSession session("Tarnock", kInternetTimeoutMs);
    if (!session) return 0;
    HINTERNET request = nullptr;
    {
        std::lock_guard<std::mutex> guard(report.lock);
        if (report.abandoned) return 0;
        report.request = HttpRequest::Open(session, report.address, "POST");
        request = report.request.Get();
    }
    if (request == nullptr) return 0;

    static const char kHeaders[] = "Content-Type: application/x-www-form-urlencoded\r\n";
    // Outside the lock: the caller closes the request to end this call when it gives up.
    const bool sent = tarnock::SendHttpRequest(request, kHeaders, report.body);

    std::lock_guard<std::mutex> guard(report.lock);
    if (report.abandoned) return 0;  // the caller has closed the request already
    const DWORD status = sent ? tarnock::HttpStatusCode(request) : 0;
    report.request.Close();  // before the session closes
    return status >= 200 && status < 300 ? 1 : 0;
}

// Everything of the thread that needs cleaning up, so that nothing is left when the
// thread frees its hold on the library.
HMODULE RunReport(ThreadStart* parameter) {
    const std::unique_ptr<ThreadStart> start(parameter);
    Report& report = *start->report;
    const int result = Send(report);
    {
        std::lock_guard<std::mutex> guard(report.lock);
        report.result = result;
    }
    SetEvent(report.done.Get());
    return start->module.Release();
}

DWORD WINAPI ReportThread(void* parameter) {
    FreeLibraryAndExitThread(RunReport(static_cast<ThreadStart*>(parameter)), 0);
}

int PostReport(int category, const char* name, const char* iconFile, const char* publisher, const char* key) {
    const ULONGLONG started = GetTickCount64();
    // Everything the report needs is copied before anything else happens.
    auto report = std::make_shared<Report>();
    report->body = "category=" + std::to_string(category) + "&name=" + CopyEncoded(name) +
                   "&icon=" + tarnock::UrlEncode(IconFileName(CopyText(iconFile))) + "&publisher=" + CopyEncoded(publisher) +
                   "&key=" + CopyEncoded(key);
    report->address = ConfiguredAddress();
    // Names of the user's programs travel only encrypted; plain http only to this machine.
    if (report->address.empty() || !tarnock::IsSecureOrLoopback(report->address)) return 0;

    report->done.Reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!report->done) return 0;
    auto start = std::make_unique<ThreadStart>();
    start->report = report;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&ReportThread),
                            start->module.Put()))
        return 0;
    const ScopedHandle thread(CreateThread(nullptr, 0, ReportThread, start.get(), 0, nullptr));
    if (!thread) return 0;
    start.release();  // the thread owns it now

    const ULONGLONG spent = GetTickCount64() - started;
    const DWORD wait = spent < kAnswerWaitMs ? static_cast<DWORD>(kAnswerWaitMs - spent) : 0;
    if (WaitForSingleObject(report->done.Get(), wait) == WAIT_OBJECT_0) {
        std::lock_guard<std::mutex> guard(report->lock);
        return report->result;
    }
    std::lock_guard<std::mutex> guard(report->lock);
    report->abandoned = true;
    report->request.Close();  // ends the thread's blocking call
    return report->result;
}

}  // namespace

extern "C" int __stdcall OlmaticPost(int category, const char* name, const char* iconFile, const char* publisher,
                                     const char* key) {
    try {
        return PostReport(category, name, iconFile, publisher, key);
    } catch (...) {  // nothing may cross into the caller
        return 0;
    }
}
