// Small look-ups the tests make on the test machine: registry keys and values, files, the
// temporary folder.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tarnock::testing {

// `text` in double quotes, as a command line wants a path with blanks.
std::string Quoted(const std::string& text);
// The user's temporary folder, with its closing backslash.
std::string TempFolder();
// The whole content of a file; "" when it cannot be read.
std::string ReadAll(const std::string& path);
// The same, byte for byte, of a file named in UTF-16.
std::string ReadBytes(const std::wstring& path);
// The lines of a text file that are not empty (a log of recorded calls).
std::vector<std::string> ReadLines(const std::string& path);
// The names in a folder (without "." and ".."; only files when `filesOnly`), sorted as a
// folder listing sorts them, ignoring case.
std::vector<std::string> FolderEntries(const std::string& folder, bool filesOnly = false);
// The texts of a program's embedded manifests (resource type 24, any name).
std::vector<std::string> Manifests(const std::string& path);
// Whether a key, or a value of a key, exists (`view`: 0 or a KEY_WOW64_* flag).
bool KeyExists(HKEY root, const std::string& path, REGSAM view = 0);
bool ValueExists(HKEY root, const std::string& path, const std::string& name, REGSAM view = 0);

}  // namespace tarnock::testing
