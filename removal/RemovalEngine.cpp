#include "removal/RemovalEngine.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/RemovalMessages.h"
#include "removal/UserCommand.h"

namespace tarnock {

namespace {

constexpr char kLocalMachineName[] = "HKEY_LOCAL_MACHINE";
constexpr char kUsersName[] = "HKEY_USERS";
constexpr DWORD kCommandCapacity = 32768;
constexpr DWORD kWaitSliceMs = 250;

// Keys below HKEY_LOCAL_MACHINE (and below a user's hive, after the user's own part) that
// programs share; never deleted as a whole. Compared without regard to case.
const char* const kSharedKeys[] = {
    "SOFTWARE\\Microsoft",
    "SOFTWARE\\Classes",
    "SOFTWARE\\Policies",
    "SOFTWARE\\Wow6432Node",
    "SOFTWARE\\Clients",
    "SOFTWARE\\RegisteredApplications",
    "SOFTWARE\\Microsoft\\Windows",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management",
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache",
    "SOFTWARE\\Microsoft\\Windows NT",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
    "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon",
    "SOFTWARE\\Microsoft\\Internet Explorer",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Toolbar",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions",
    "SOFTWARE\\Microsoft\\Internet Explorer\\MenuExt",
    "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
    "SOFTWARE\\Microsoft\\Active Setup",
    "SOFTWARE\\Microsoft\\Active Setup\\Installed Components",
    "SOFTWARE\\Microsoft\\Code Store Database",
    "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units",
    "SOFTWARE\\Classes\\CLSID",
    "SOFTWARE\\Classes\\Interface",
    "SOFTWARE\\Classes\\TypeLib",
    "SOFTWARE\\Classes\\AppID",
    "SOFTWARE\\Classes\\Installer",
    "SOFTWARE\\Classes\\Installer\\Products",
    "SOFTWARE\\Olmatic",
    "SOFTWARE\\Olmatic\\Tarnock",
    "SYSTEM\\CurrentControlSet",
    "SYSTEM\\CurrentControlSet\\Services",
    "SYSTEM\\CurrentControlSet\\Control",
    "SYSTEM\\ControlSet001",
    "SYSTEM\\ControlSet002",
};

bool SameText(const std::string& a, const std::string& b) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()), b.data(),
                          static_cast<int>(b.size())) == CSTR_EQUAL;
}

// Components of a key path; false when one of them is empty ("a\\b", a leading backslash).
bool SplitComponents(const std::string& keyPath, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = keyPath.find('\\', start);
        const std::string part = keyPath.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (TrimWhitespace(part).empty()) return false;
        parts.push_back(part);
        if (slash == std::string::npos) return true;
        start = slash + 1;
    }
}

std::string JoinComponents(const std::vector<std::string>& parts, std::size_t from) {
    std::string joined;
    for (std::size_t i = from; i < parts.size(); ++i) {
        if (!joined.empty()) joined += '\\';
        joined += parts[i];
    }
    return joined;
}

bool IsSharedKey(const std::string& keyPath) {
    for (const char* shared : kSharedKeys)
        if (SameText(keyPath, shared)) return true;
    // The same keys in the 32-bit view's folder.
    const std::string wow = "SOFTWARE\\Wow6432Node\\";
    if (keyPath.size() > wow.size() && SameText(keyPath.substr(0, wow.size()), wow))
        return IsSharedKey("SOFTWARE\\" + keyPath.substr(wow.size()));
    return false;
}

enum class CommandRead { Missing, NoValue, Unreadable, Read };

// "UninstallString" of root\Uninstall\key: the key missing, the value missing, unreadable, or read.
CommandRead ReadCommand(const RegistryPlace& place, const std::string& key, std::string& command) {
    ScopedKey entry;
    const std::string path = kUninstallRoot + key;
    const LONG opened = RegOpenKeyExA(place.root, path.c_str(), 0, KEY_QUERY_VALUE | place.view, entry.Put());
    if (opened == ERROR_FILE_NOT_FOUND) return CommandRead::Missing;
    if (opened != ERROR_SUCCESS) return CommandRead::Unreadable;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(entry.Get(), "UninstallString", nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) return CommandRead::NoValue;
    if (result != ERROR_SUCCESS || size > kCommandCapacity) return CommandRead::Unreadable;
    std::vector<char> buffer(size + 1, '\0');
    result = RegQueryValueExA(entry.Get(), "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                              &size);
    if (result != ERROR_SUCCESS) return CommandRead::Unreadable;
    if (type != REG_SZ && type != REG_EXPAND_SZ) return CommandRead::Unreadable;
    std::string text(buffer.data(), strnlen(buffer.data(), std::min<std::size_t>(size, buffer.size())));
    if (type == REG_EXPAND_SZ) {
        std::vector<char> expanded(kCommandCapacity, '\0');
        const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), kCommandCapacity);
        if (length > 0 && length <= kCommandCapacity) text = expanded.data();
    }
    command = text;
    return CommandRead::Read;
}

bool IsExistingFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// An existing program for one candidate text: a path must exist as it is (no extension is
// added, so "C:\Program" never becomes "C:\Program.exe"); a bare name is searched.
std::string ExistingProgram(const std::string& candidate) {
    if (candidate.empty()) return {};
    if (candidate.find('\\') != std::string::npos || candidate.find(':') != std::string::npos)
        return IsExistingFile(candidate) ? candidate : std::string();
    std::array<char, MAX_PATH + 1> found{};
    const DWORD length = SearchPathA(nullptr, candidate.c_str(), ".exe", MAX_PATH, found.data(), nullptr);
    if (length == 0 || length >= MAX_PATH) return {};
    return IsExistingFile(found.data()) ? std::string(found.data()) : std::string();
}

// The text the user sees as the command's program when none exists: the quoted part or
// everything up to the first blank.
std::string FirstToken(const std::string& command) {
    const std::string text = TrimWhitespace(command);
    if (!text.empty() && text.front() == '"') {
        const std::size_t close = text.find('"', 1);
        return text.substr(1, close == std::string::npos ? std::string::npos : close - 1);
    }
    return text.substr(0, text.find(' '));
}

}  // namespace

bool CRemovalEngine::IsUsableEntryName(const std::string& key) {
    return !TrimWhitespace(key).empty() && key.find('\\') == std::string::npos && key != "." && key != "..";
}

bool CRemovalEngine::IsProtectedKey(HKEY root, const std::string& keyPath) {
    std::vector<std::string> parts;
    if (!SplitComponents(keyPath, parts)) return true;
    if (root == HKEY_USERS) {
        // The first level is the user's hive: the shared keys start below it.
        if (parts.size() < 3) return true;
        return IsSharedKey(JoinComponents(parts, 1));
    }
    if (root == HKEY_CURRENT_USER) return parts.size() < 2 || IsSharedKey(JoinComponents(parts, 0));
    if (parts.size() < 2) return true;
    return IsSharedKey(JoinComponents(parts, 0));
}

bool CRemovalEngine::KeyExists(const RegistryPlace& place, const std::string& keyPath) {
    ScopedKey key;
    return RegOpenKeyExA(place.root, keyPath.c_str(), 0, KEY_QUERY_VALUE | place.view, key.Put()) == ERROR_SUCCESS;
}

RegistryPlace CRemovalEngine::EntryPlace(const std::string& key, const RegistryPlace& place) {
    if (KeyExists(place, kUninstallRoot + key)) return place;
    const RegistryPlace user{HKEY_CURRENT_USER, 0};
    if (place == RegistryPlace{} && KeyExists(user, kUninstallRoot + key)) return user;
    return place;
}

int CRemovalEngine::DeleteKeyAt(const RegistryPlace& place, const std::string& keyPath) {
    if (IsProtectedKey(place.root, keyPath)) return kDeleteRefused;
    if (!KeyExists(place, keyPath)) return kNothingToDelete;
    if (!backupKey_ || !backupKey_(place, keyPath)) return kDeleteFailedCode;
    {
        ScopedKey key;
        if (RegOpenKeyExA(place.root, keyPath.c_str(), 0, KEY_ALL_ACCESS | place.view, key.Put()) == ERROR_SUCCESS)
            RegDeleteTreeA(key.Get(), nullptr);
    }
    RegDeleteKeyExA(place.root, keyPath.c_str(), place.view, 0);
    return KeyExists(place, keyPath) ? kDeleteFailedCode : kDeleted;
}

int CRemovalEngine::DeleteValueAt(const RegistryPlace& place, const std::string& keyPath,
                                  const std::string& valueName) {
    std::vector<std::string> parts;
    if (!SplitComponents(keyPath, parts)) return kDeleteRefused;
    ScopedKey key;
    if (RegOpenKeyExA(place.root, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_SET_VALUE | place.view, key.Put()) !=
        ERROR_SUCCESS)
        return kDeleteKeyNotOpened;
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return kNothingToDelete;
    if (!backupValue_ || !backupValue_(place, keyPath, valueName)) return kDeleteFailedCode;
    if (RegDeleteValueA(key.Get(), valueName.c_str()) != ERROR_SUCCESS) return kDeleteFailedCode;
    return kDeleted;
}

int CRemovalEngine::DeleteRegistryPath(const std::string& path, REGSAM view) {
    const std::size_t first = path.find('\\');
    const std::size_t last = path.rfind('\\');
    if (first == std::string::npos || last == first) return kDeleteRefused;
    const std::string rootName = path.substr(0, first);
    RegistryPlace place;
    place.view = view;
    if (rootName == kLocalMachineName) place.root = HKEY_LOCAL_MACHINE;
    else if (rootName == kUsersName) place.root = HKEY_USERS;
    else return kDeleteRefused;
    // Only the leading root and the trailing leaf are cut: the leaf's text may also occur
    // inside the key path.
    const std::string keyPath = path.substr(first + 1, last - first - 1);
    const std::string leaf = path.substr(last + 1);
    if (TrimWhitespace(leaf).empty()) return DeleteKeyAt(place, keyPath);
    return DeleteValueAt(place, keyPath, leaf);
}

void CRemovalEngine::DeleteRegistryPaths(const std::string& list, REGSAM view) {
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t bar = list.find('|', start);
        const std::string piece = list.substr(start, bar == std::string::npos ? std::string::npos : bar - start);
        if (!piece.empty()) DeleteRegistryPath(piece, view);
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
}

int CRemovalEngine::DeleteUninstallEntry(const std::string& key, const RegistryPlace& place) {
    if (!IsUsableEntryName(key)) return kDeleteRefused;
    return DeleteKeyAt(EntryPlace(key, place), kUninstallRoot + key);
}

std::string CRemovalEngine::ResolveCommandProgram(const std::string& command, std::string* arguments) {
    const std::string text = TrimWhitespace(command);
    if (text.empty()) return {};
    if (text.front() == '"') {
        const std::size_t close = text.find('"', 1);
        if (close == std::string::npos) return {};
        const std::string program = ExistingProgram(text.substr(1, close - 1));
        if (!program.empty() && arguments) *arguments = text.substr(close + 1);
        return program;
    }
    // Unquoted: every blank may end the program's path. The longest existing file wins, so a
    // planted "C:\Program" cannot stand in for "C:\Program Files\...".
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == ' ') ends.push_back(i);
    ends.push_back(text.size());
    for (auto end = ends.rbegin(); end != ends.rend(); ++end) {
        const std::string program = ExistingProgram(text.substr(0, *end));
        if (program.empty()) continue;
        if (arguments) *arguments = text.substr(*end);
        return program;
    }
    return {};
}

std::string CRemovalEngine::ContainingFolder(const std::string& command) {
    const std::string program = ResolveCommandProgram(command);
    const PathParts parts = SplitPath(program.empty() ? FirstToken(command) : program);
    std::string directory = parts.directory;
    directory.erase(0, directory.find_first_not_of('"'));
    std::string drive = parts.drive;
    drive.erase(0, drive.find_first_not_of('"'));
    return TruncateText(drive + directory, MAX_PATH - 1);
}

bool CRemovalEngine::OpenContainingFolder(const std::string& command) {
    // The user's own shell opens it, and only a folder that exists on a local drive: a
    // command like "proto://host/x" names no folder and reaches no protocol handler.
    return OpenFolderAsUser(WideFromAnsi(ContainingFolder(command)));
}

std::string CRemovalEngine::ReadUninstallCommand(const std::string& key, const RegistryPlace& place) {
    if (!IsUsableEntryName(key)) return {};
    std::string command;
    return ReadCommand(EntryPlace(key, place), key, command) == CommandRead::Read ? command : std::string();
}

UninstallResult CRemovalEngine::RunUninstaller(const std::string& key, const RegistryPlace& place) {
    // A per-user entry's command is the user's own: it starts as the user (UserCommand.h).
    if (const RegistryPlace user = EntryPlace(key, place); IsUserPlace(user))
        return RunUserUninstaller(*this, host_, key, user, shellStart_);
    UninstallResult result;
    if (!IsUsableEntryName(key)) {
        result.outcome = UninstallOutcome::Refused;
        return result;
    }
    result.entryPlace = EntryPlace(key, place);
    std::string command;
    const CommandRead read = ReadCommand(result.entryPlace, key, command);
    if (read == CommandRead::Missing) {
        result.outcome = UninstallOutcome::EntryMissing;
        return result;
    }
    if (read == CommandRead::Unreadable) {
        host_.Tell(messages::kUnreadableCommand);
        result.outcome = UninstallOutcome::Unreadable;
        return result;
    }
    result.command = command;
    if (TrimWhitespace(command).empty()) {
        if (!host_.AskYesNo(messages::kAlreadyRemoved)) {
            result.outcome = UninstallOutcome::Declined;
            return result;
        }
        const int deleted = DeleteKeyAt(result.entryPlace, kUninstallRoot + key);
        host_.Tell(deleted == kDeleted ? messages::kDeleted : messages::kDeleteFailed);
        result.outcome = deleted == kDeleted ? UninstallOutcome::EntryDeleted : UninstallOutcome::DeleteFailed;
        return result;
    }

    std::string arguments;
    const std::string program = ResolveCommandProgram(command, &arguments);
    if (program.empty()) {
        result.outcome = UninstallOutcome::NotFound;
        if (host_.AskYesNo(messages::kFileNotFound)) OpenContainingFolder(command);
        return result;
    }
    // The resolved program is named explicitly, so the system never guesses where the path
    // of an unquoted command ends.
    std::string commandLine = "\"" + program + "\"" + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            result.outcome = UninstallOutcome::NotFound;
            if (host_.AskYesNo(messages::kFileNotFound)) OpenContainingFolder(command);
        } else {
            result.outcome = UninstallOutcome::StartFailed;
        }
        return result;
    }
    const ScopedHandle process(info.hProcess);
    const ScopedHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), 1000);
    result.outcome = UninstallOutcome::Started;
    return result;
}

bool CRemovalEngine::WaitForKeyChange(const std::string& key, const RegistryPlace& place, DWORD timeoutMs) {
    if (!IsUsableEntryName(key)) return false;
    const std::string path = kUninstallRoot + key;
    const ScopedHandle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!changed) return false;
    host_.AddChangeWaitEvent(changed.Get());
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    bool gone = false;
    for (;;) {
        if (host_.IsShuttingDown()) break;
        ScopedKey watched;
        const LONG opened = RegOpenKeyExA(place.root, path.c_str(), 0, KEY_NOTIFY | place.view, watched.Put());
        if (opened == ERROR_FILE_NOT_FOUND) {
            gone = true;
            break;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        if (opened == ERROR_SUCCESS)
            RegNotifyChangeKeyValue(watched.Get(), TRUE,
                                    REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                                        REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY,
                                    changed.Get(), TRUE);
        // A change of the entry wakes the wait at once; the slice also notices a deletion
        // that the notification of the deleted key itself does not report.
        WaitForSingleObject(changed.Get(), static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, kWaitSliceMs)));
        if (host_.IsShuttingDown()) break;
        ResetEvent(changed.Get());
    }
    host_.RemoveChangeWaitEvent(changed.Get());
    return gone;
}

}  // namespace tarnock
