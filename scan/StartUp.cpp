#include "scan/StartUp.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <cstring>
#include <vector>

#include "base/RegistryBackup.h"
#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/CommandPath.h"
#include "scan/ScanMetrics.h"
#include "scan/ShellFolders.h"

namespace tarnock {

namespace {

constexpr char kSystemRootMacro[] = "%systemroot%";
constexpr std::size_t kMacroLength = sizeof(kSystemRootMacro) - 1;
// Value names may be 16383 characters long; in a double-byte code page each may take two.
constexpr DWORD kValueNameCapacity = 2 * 16383 + 1;
constexpr DWORD kCommandCapacity = 1024;

std::string NotFoundText(const std::string& path) {
    return AnsiFromWide(L"★ 파일을 찾을수 없습니다: ") + path;
}

std::string JoinParts(const PathParts& parts) { return parts.drive + parts.directory + parts.name + parts.extension; }

// "%systemroot%\..." looked for in one folder: the file name is cut at its first blank
// and given ".exe" when it has neither ".exe" nor an extension.
std::string SystemRootCandidate(const std::string& text, const std::string& folder) {
    PathParts parts = SplitCommandPath(ReplaceAll(text, kSystemRootMacro, folder));
    const std::size_t blank = parts.name.find(' ');
    if (blank != std::string::npos && blank > 0) parts.name.resize(blank);
    const std::size_t exe = parts.name.find(".exe");
    if ((exe == std::string::npos || exe == 0) && parts.extension.empty()) parts.name += ".exe";
    return JoinParts(parts);
}

}  // namespace

CStartUp::CStartUp() {
    const std::string windowsFolder = SpecialFolderPath(CSIDL_WINDOWS);
    const std::string systemFolder = SpecialFolderPath(CSIDL_SYSTEM);
    for (const RegistryPlace& place : MachinePlaces()) ScanRunValues(place, windowsFolder, systemFolder);
    ScanRunValues({HKEY_CURRENT_USER, 0}, windowsFolder, systemFolder);
    ScanStartupFolder();
}

bool CStartUp::ShellPathExists(const std::string& path) {
    if (path.empty()) return false;
    SHFILEINFOA info{};
    if (!SHGetFileInfoA(path.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME)) return false;
    return info.szDisplayName[0] != '\0';
}

CStartUp::Resolution CStartUp::ResolveRunCommand(const std::string& data, const std::string& windowsFolder,
                                                 const std::string& systemFolder) {
    // The first piece before a double quote; a leading quote is stepped over.
    std::string text = data;
    if (!text.empty() && text.front() == '"') text.erase(0, 1);
    text = text.substr(0, text.find('"'));
    text = ToLowerAnsi(text);
    const std::size_t exe = text.find(".exe");
    if (exe != std::string::npos && exe > 0) text.resize(exe + 4);

    // An empty command starts nothing; joined to a folder it would name the folder itself.
    if (text.empty()) return {NotFoundText(""), ""};

    const PathParts parts = SplitCommandPath(text);
    std::string path;
    if (!parts.drive.empty()) {
        path = JoinParts(parts);
    } else if (StartsWith(text, kSystemRootMacro)) {
        if (windowsFolder.empty()) {
            path = text;
        } else {
            path = SystemRootCandidate(text, windowsFolder);
            std::string shown = ReplaceAll(text, kSystemRootMacro, windowsFolder);
            if (!ShellPathExists(path) && !systemFolder.empty()) {
                path = SystemRootCandidate(text, systemFolder);
                shown = ReplaceAll(text, kSystemRootMacro, systemFolder);
            }
            text = shown;
        }
    } else if (ShellPathExists(text)) {
        path = text;
    } else {
        path = windowsFolder + "\\" + text;
        if (!ShellPathExists(path)) path = systemFolder + "\\" + text;
    }
    if (!ShellPathExists(path)) text = NotFoundText(path);
    return {text, path};
}

int CStartUp::ScanRunValues(const RegistryPlace& place, const std::string& windowsFolder,
                            const std::string& systemFolder) {
    ScopedKey key;
    if (RegOpenKeyExA(place.root, kRunKey, 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return 0;
    int added = 0;
    std::vector<char> name(kValueNameCapacity + 1);
    std::array<char, kCommandCapacity + 1> data{};
    for (DWORD index = 0;; ++index) {
        std::fill(name.begin(), name.end(), '\0');
        data.fill('\0');
        DWORD nameLength = kValueNameCapacity;
        DWORD dataSize = kCommandCapacity;
        CountRegistryRead();
        const LONG result = RegEnumValueA(key.Get(), index, name.data(), &nameLength, nullptr, nullptr,
                                          reinterpret_cast<BYTE*>(data.data()), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;
        // A command over 1024 bytes cannot be read and counts as empty.
        if (result == ERROR_MORE_DATA) {
            nameLength = kValueNameCapacity;
            std::fill(name.begin(), name.end(), '\0');
            data.fill('\0');
            dataSize = 0;
            if (RegEnumValueA(key.Get(), index, name.data(), &nameLength, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS)
                continue;
        }
        const std::string valueName(name.data());
        if (valueName.empty()) continue;  // the key's default value
        const Resolution resolved = ResolveRunCommand(data.data(), windowsFolder, systemFolder);

        StartupEntry& entry = entries_.Append();
        CopyBounded(entry.entryName, sizeof(entry.entryName), valueName);
        CopyBounded(entry.title, sizeof(entry.title), valueName);
        CopyBounded(entry.commandText, sizeof(entry.commandText), resolved.commandText);
        CopyBounded(entry.filePath, sizeof(entry.filePath), resolved.filePath);
        entry.place = place;
        entry.kind = kStartupRunValue;
        entry.valueName = valueName;
        ++added;
    }
    return added;
}

int CStartUp::ScanStartupFolder() {
    const std::string folder = SpecialFolderPath(CSIDL_COMMON_STARTUP);
    if (folder.empty()) return 0;
    const std::string prefix = folder + "\\";
    WIN32_FIND_DATAA found{};
    ScopedFind search(FindFirstFileA((prefix + "*.*").c_str(), &found));
    if (!search) return 0;
    int added = 0;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (!Contains(name, ".lnk") && !Contains(name, ".LNK")) continue;
        StartupEntry& entry = entries_.Append();
        CopyBounded(entry.entryName, sizeof(entry.entryName), name);
        CopyBounded(entry.title, sizeof(entry.title), name);
        CopyBounded(entry.commandText, sizeof(entry.commandText), prefix + name);
        CopyBounded(entry.filePath, sizeof(entry.filePath), prefix + name);
        entry.place = {nullptr, 0};
        entry.kind = kStartupShortcut;
        ++added;
    } while (FindNextFileA(search.Get(), &found));
    return added;
}

int CStartUp::Remove(const std::string& entryName, const RegistryPlace& place) {
    int result = 1;
    for (const StartupEntry* entry = entries_.Head(); entry; entry = entry->next) {
        // The whole name: two values may share the first bytes that entryName keeps.
        if (entry->kind != kStartupRunValue || entryName != entry->valueName || !(entry->place == place)) continue;
        if (!BackupRegistryValue(place, kRunKey, entry->valueName)) {
            result = 0;
            continue;
        }
        CRegistryManager registry(place, kRunKey, entry->valueName);
        registry.DeleteValue();
    }
    return result;
}

int CStartUp::RemoveShortcut(const std::string& entryName) {
    int result = 1;
    for (const StartupEntry* entry = entries_.Head(); entry; entry = entry->next)
        if (entry->kind == kStartupShortcut && entryName == entry->entryName && !DeleteFileWithBackup(entry->filePath))
            result = 0;
    return result;
}

int CStartUp::RemoveRow(const std::string& entryName, const std::string& placeText) {
    if (placeText.empty()) return RemoveShortcut(entryName);
    RegistryPlace place;
    if (!ParsePlaceText(placeText, place)) return 0;
    return Remove(entryName, place);
}

}  // namespace tarnock
