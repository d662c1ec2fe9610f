// The updater tests' side of the local update server (tests/support/update_server.py, started
// by the updater_server fixture): scenario folders that the server answers from, and the
// signed stand-in setup program built for these tests.
#pragma once

#include <string>
#include <vector>

namespace tarnock::testing {

// Whole-file helpers (binary).
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
// Removes a folder and everything in it; true when it is gone.
bool RemoveTree(const std::string& folder);
// A fresh, empty folder below the build tree's tests folder.
std::string FreshTestFolder(const std::string& name);

// One scenario: http://127.0.0.1:PORT/NAME/ serves TarnockVersion.php and download2.php
// from the folder the scenario writes.
class UpdateScenario {
public:
    explicit UpdateScenario(std::string name);  // starts empty
    std::string Base() const;                   // with the closing "/"
    void VersionPage(const std::string& text) const;
    void DownloadBody(const std::string& bytes) const;
    // key=value lines of update_server.py's behaviour file.
    void Behaviour(const std::string& lines) const;
    // The requests the server saw: "PAGE\tUSER-AGENT".
    std::vector<std::string> Requests() const;

private:
    std::string name_;
    std::string folder_;
};

// The port the server listens on (0 when the fixture did not start it).
int UpdateServerPort();

// The stand-in setup program, its signature by the build's key and by another key.
std::string StandInSetupPath();
std::string StandInSetupSignature();
std::string StandInSetupOtherSignature();
// The stand-in Tarnock.exe (version 1.4.0.0).
std::string StandInTarnockPath();

// A version page offering `version` of the stand-in setup, with its real size and good
// signature unless replaced by the extra lines (later lines do not override: the first counts,
// so `extraFirst` lines are put before the defaults).
std::string SignedVersionPage(const std::string& version, const std::string& extraFirst = "");

}  // namespace tarnock::testing
