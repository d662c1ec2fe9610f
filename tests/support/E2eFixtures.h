// Things the end-to-end tests of Tarnock.exe make on the machine: shortcuts, files and
// uninstall entries of their own, and a look-up in a menu read from the program.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/TarnockSession.h"
#include "support/UiDriver.h"

namespace tarnock::testing {

// A shell shortcut made with the shell link object, as Explorer makes them.
bool MakeShortcut(const std::string& linkPath, const std::string& target);
// A small file at `path`, its folders created as needed.
void MakeFile(const std::string& path);

const MenuEntry* FindMenuEntry(const std::vector<MenuEntry>& entries, UINT id);

// An uninstall entry of a test program with the given string values; removed again at the end.
class TestUninstallEntry {
public:
    TestUninstallEntry(std::string key, const std::vector<std::pair<std::string, std::string>>& values);
    // The common case: a display name and an uninstall command.
    TestUninstallEntry(std::string key, const std::string& name, const std::string& command)
        : TestUninstallEntry(std::move(key), {{"DisplayName", name}, {"UninstallString", command}}) {}
    ~TestUninstallEntry();
    TestUninstallEntry(const TestUninstallEntry&) = delete;
    TestUninstallEntry& operator=(const TestUninstallEntry&) = delete;
    const std::string& Key() const { return key_; }

private:
    std::string key_;
    std::string path_;
};

}  // namespace tarnock::testing
