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

// The stand-in setup program and the version page lines of its signed offers
// (Version, Arch, FileSize, SHA256, Signature; tests/fixtures/updater/CMakeLists.txt makes them):
//   "good"          1.5.0.0 for x64, its real size, the build's key
//   "older"         1.3.9.9, "equal" 1.4.0.0 (the stand-in Tarnock's version)
//   "other-arch"    1.5.0.0 for x86
//   "huge"          a signed size of 1 TiB
//   "size-larger", "size-smaller"  a signed size one byte off
//   "other-key"     the good offer signed with another key
std::string StandInSetupPath();
std::string StandInOffer(const std::string& name);
// The stand-in Tarnock.exe (version 1.4.0.0).
std::string StandInTarnockPath();

// A version page with offer `offer` and the details texts. `extraFirst` lines come first and,
// as the first line of a key counts, replace the offer's values of the same keys.
std::string SignedVersionPage(const std::string& offer = "good", const std::string& extraFirst = "");

}  // namespace tarnock::testing
