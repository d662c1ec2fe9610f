// The local report server of the tests (tests/support/report_server.py), started from a
// test program: it records every request it receives and can be told to fail or hang.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarnock::testing {

class ReportServer {
public:
    struct Request {
        std::string method;
        std::string path;
        std::string headers;  // "Name: value\r\n" lines as received
        std::string body;     // the raw bytes
        // The value of one header (name compared without case); empty when absent.
        std::string Header(const std::string& name) const;
    };

    // Starts the server in a new folder below the build tree; Started() tells whether it
    // came up (bounded wait).
    ReportServer();
    // Asks the server to end and removes its folder once it has (bounded wait).
    ~ReportServer();
    ReportServer(const ReportServer&) = delete;
    ReportServer& operator=(const ReportServer&) = delete;

    bool Started() const { return port_ != 0; }
    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string Address(const std::string& path) const;
    // "ok", "fail" (status 500), "close" (no answer, connection dropped), "hang" (no answer
    // until the mode changes).
    void SetMode(const std::string& mode);
    // Every request recorded so far, in order of arrival.
    std::vector<Request> Requests() const;
    // Waits until at least `count` requests are recorded; false after timeoutMs.
    bool WaitForRequests(std::size_t count, DWORD timeoutMs) const;

private:
    std::string folder_;  // Windows form of the server's folder
    int port_ = 0;
};

// A TCP port on 127.0.0.1 on which nothing listens (bound once, then released).
int UnusedPort();

}  // namespace tarnock::testing
