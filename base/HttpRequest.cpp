#include "base/HttpRequest.h"

#include "base/TextUtil.h"

namespace tarnock {

namespace {

void ApplyTimeouts(HINTERNET handle, DWORD timeoutMs) {
    if (handle == nullptr || timeoutMs == 0) return;
    // Set on every handle: not every WinINet passes the session's limits on to its requests.
    for (DWORD option : {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT,
                         INTERNET_OPTION_RECEIVE_TIMEOUT, INTERNET_OPTION_DATA_SEND_TIMEOUT,
                         INTERNET_OPTION_DATA_RECEIVE_TIMEOUT}) {
        DWORD value = timeoutMs;
        InternetSetOptionA(handle, option, &value, sizeof(value));
    }
    DWORD retries = 1;
    InternetSetOptionA(handle, INTERNET_OPTION_CONNECT_RETRIES, &retries, sizeof(retries));
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && ToLowerAnsi(text.substr(0, prefix.size())) == prefix;
}

}  // namespace

HttpSession::HttpSession(const char* userAgent, DWORD timeoutMs)
    : session_(InternetOpenA(userAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0)), timeoutMs_(timeoutMs) {
    ApplyTimeouts(session_.Get(), timeoutMs_);
}

void HttpSession::SetTimeoutMs(DWORD timeoutMs) {
    timeoutMs_ = timeoutMs;
    ApplyTimeouts(session_.Get(), timeoutMs_);
}

std::optional<HttpAddress> ParseHttpAddress(std::string_view address) {
    // Only the scheme's own prefix: InternetCrackUrl would also take other schemes and
    // relative forms.
    const bool secure = StartsWithNoCase(address, "https://");
    if (!secure && !StartsWithNoCase(address, "http://")) return std::nullopt;
    if (address.size() > 2048 || address.find('\0') != std::string_view::npos) return std::nullopt;
    const std::string text(address);
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof(parts);
    parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
    if (!InternetCrackUrlA(text.c_str(), static_cast<DWORD>(text.size()), 0, &parts)) return std::nullopt;
    if (parts.dwHostNameLength == 0 || parts.lpszHostName == nullptr) return std::nullopt;
    if (parts.nScheme != (secure ? INTERNET_SCHEME_HTTPS : INTERNET_SCHEME_HTTP)) return std::nullopt;
    HttpAddress result;
    result.secure = secure;
    result.host.assign(parts.lpszHostName, parts.dwHostNameLength);
    result.port = parts.nPort;
    const std::string_view path(parts.lpszUrlPath ? parts.lpszUrlPath : "", parts.lpszUrlPath ? parts.dwUrlPathLength : 0);
    const std::string_view query(parts.lpszExtraInfo ? parts.lpszExtraInfo : "",
                                 parts.lpszExtraInfo ? parts.dwExtraInfoLength : 0);
    result.object = path.empty() && query.empty() ? std::string(1, '/') : std::string(path) + std::string(query);
    return result;
}

bool IsSecureOrLoopback(std::string_view address) {
    const std::optional<HttpAddress> parts = ParseHttpAddress(address);
    if (!parts) return false;
    if (parts->secure) return true;
    const std::string host = ToLowerAnsi(parts->host);
    return host == "127.0.0.1" || host == "localhost" || host == "[::1]" || host == "::1";
}

DWORD HttpRequestFlags(bool secure) {
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE |
                  INTERNET_FLAG_NO_UI | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_AUTH;
    if (secure) flags |= INTERNET_FLAG_SECURE;
    return flags;
}

HttpRequest HttpRequest::Open(const HttpSession& session, std::string_view address, const char* verb) {
    HttpRequest open;
    if (!session) return open;
    const std::optional<HttpAddress> parts = ParseHttpAddress(address);
    if (!parts) return open;
    open.connection_.Reset(InternetConnectA(session.Get(), parts->host.c_str(), parts->port, nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0));
    if (!open.connection_) return open;
    ApplyTimeouts(open.connection_.Get(), session.TimeoutMs());
    const char* accept[] = {"*/*", nullptr};
    open.request_.Reset(HttpOpenRequestA(open.connection_.Get(), verb, parts->object.c_str(), nullptr, nullptr,
                                         accept, HttpRequestFlags(parts->secure), 0));
    if (!open.request_) {
        open.Close();
        return open;
    }
    ApplyTimeouts(open.request_.Get(), session.TimeoutMs());
    return open;
}

bool SendHttpRequest(HINTERNET request, std::string_view headers, std::string_view body) {
    if (request == nullptr) return false;
    return HttpSendRequestA(request, headers.empty() ? nullptr : headers.data(), static_cast<DWORD>(headers.size()),
                            body.empty() ? nullptr : const_cast<char*>(body.data()),
                            static_cast<DWORD>(body.size())) != FALSE;
}

DWORD HttpStatusCode(HINTERNET request) {
    DWORD status = 0;
    DWORD size = sizeof(status);
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
    return status;
}

std::optional<std::uint64_t> HttpContentLength(HINTERNET request) {
    // As text: the number form is 32 bits only.
    char text[32] = {};
    DWORD size = sizeof(text) - 1;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) return std::nullopt;
    std::uint64_t value = 0;
    if (size == 0 || size > 19) return std::nullopt;
    for (DWORD i = 0; i < size; ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        value = value * 10 + static_cast<std::uint64_t>(text[i] - '0');
    }
    return value;
}

std::optional<std::string> ReadHttpBody(HINTERNET request, std::size_t limit) {
    std::string body;
    char chunk[4096];
    for (;;) {
        DWORD read = 0;
        if (!InternetReadFile(request, chunk, static_cast<DWORD>(sizeof(chunk)), &read)) return std::nullopt;
        if (read == 0) break;
        if (read > limit - body.size()) return std::nullopt;  // longer than allowed: refused, not cut
        body.append(chunk, read);
    }
    const std::optional<std::uint64_t> declared = HttpContentLength(request);
    if (declared && *declared != body.size()) return std::nullopt;
    return body;
}

HttpRequest HttpGet(const HttpSession& session, std::string_view address) {
    HttpRequest request = HttpRequest::Open(session, address, "GET");
    if (!request || !SendHttpRequest(request.Get()) || HttpStatusCode(request.Get()) != HTTP_STATUS_OK) return {};
    return request;
}

}  // namespace tarnock
