// One HTTP request through WinINet: the session, the connection and the request are owned
// here, time limits apply to each of them, and https addresses go over TLS. The updater
// fetches its pages with it and the reporting library posts its reports with it.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/ScopedHandles.h"

namespace tarnock {

// A WinINet session (InternetOpen) with one user agent and the system's proxy settings.
class HttpSession {
public:
    // timeoutMs 0 keeps WinINet's own limits.
    explicit HttpSession(const char* userAgent, DWORD timeoutMs = 0);
    explicit operator bool() const { return static_cast<bool>(session_); }
    HINTERNET Get() const { return session_.Get(); }
    DWORD TimeoutMs() const { return timeoutMs_; }
    void SetTimeoutMs(DWORD timeoutMs);

private:
    ScopedInternet session_;
    DWORD timeoutMs_ = 0;
};

// The parts of an http or https address that a request needs.
struct HttpAddress {
    bool secure = false;
    std::string host;
    INTERNET_PORT port = 0;
    std::string object;  // path and query, at least "/"
};
// Nothing for anything but an absolute http or https address with a host.
std::optional<HttpAddress> ParseHttpAddress(std::string_view address);

// True for https addresses, and for http addresses of the loopback host (127.0.0.1, ::1,
// localhost), which never leave the machine.
bool IsSecureOrLoopback(std::string_view address);

// Flags of every request: never from the cache, no cookies, no dialogs; TLS for https.
DWORD HttpRequestFlags(bool secure);

// One open request; closing it (from any thread) ends a blocking call on it.
class HttpRequest {
public:
    HttpRequest() = default;
    // Connects and opens a request of `verb` ("GET", "POST") for `address`; empty on failure.
    static HttpRequest Open(const HttpSession& session, std::string_view address, const char* verb);

    explicit operator bool() const { return static_cast<bool>(request_); }
    HINTERNET Get() const { return request_.Get(); }
    // The request before its connection.
    void Close() {
        request_.Reset();
        connection_.Reset();
    }

private:
    ScopedInternet connection_;
    ScopedInternet request_;
};

// Sends a request opened with HttpRequest::Open; `headers` are CR LF ended lines.
bool SendHttpRequest(HINTERNET request, std::string_view headers = {}, std::string_view body = {});
// The response's status code; 0 when there is none.
DWORD HttpStatusCode(HINTERNET request);
// The response's Content-Length, when it declares one.
std::optional<std::uint64_t> HttpContentLength(HINTERNET request);

// The whole body, at most `limit` bytes: nothing when a read fails or the body is longer,
// or shorter than its declared Content-Length.
std::optional<std::string> ReadHttpBody(HINTERNET request, std::size_t limit);

// Opens, sends a GET and checks for status 200: the request is ready for reading, or empty.
HttpRequest HttpGet(const HttpSession& session, std::string_view address);

}  // namespace tarnock
