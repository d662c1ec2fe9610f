#include "removal/RemovalEngine.h"

#include <shellapi.h>

#include <algorithm>
#include <array>
#include <vector>

#include "base/DeletionRule.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/RemovalMessages.h"
#include "removal/UserCommand.h"

namespace tarnock {

namespace {

constexpr DWORD kCommandCapacity = 32768;
constexpr DWORD kWaitSliceMs = 250;

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

bool CRemovalEngine::BackupHeldKey(const CHeldRegistryKey& key) {
    return key.BackupTree(RegistryBackupFolder(), kBackupLimitBytes);
}

bool CRemovalEngine::BackupHeldValue(const CHeldRegistryKey& key, const std::string& valueName) {
    return key.BackupValue(RegistryBackupFolder(), valueName, kBackupLimitBytes);
}

RegistryResult CRemovalEngine::DeleteKeyAt(const RegistryPlace& place, const std::string& keyPath,
                                           const std::vector<std::string>& ownNames) {
    if (CheckDeletion(place.root, keyPath, ownNames) != DeletionVerdict::Allowed) return kRegRefused;
    CHeldRegistryKey key;
    switch (key.Open(place, keyPath, true)) {
        case HeldKeyOpen::Opened: break;
        case HeldKeyOpen::Missing: return kRegNothingToDelete;
        case HeldKeyOpen::Link:
        case HeldKeyOpen::Moved: return kRegRefused;
        case HeldKeyOpen::Failed: return kRegDeleteFailed;
    }
    if (!backupKey_ || !backupKey_(key)) return kRegDeleteFailed;
    return key.DeleteTree() ? kRegSuccess : kRegDeleteFailed;
}

RegistryResult CRemovalEngine::DeleteValueAt(const RegistryPlace& place, const std::string& keyPath,
                                             const std::string& valueName, const std::vector<std::string>& ownNames) {
    if (CheckDeletion(place.root, keyPath, ownNames) != DeletionVerdict::Allowed) return kRegRefused;
    CHeldRegistryKey key;
    switch (key.Open(place, keyPath, false)) {
        case HeldKeyOpen::Opened: break;
        case HeldKeyOpen::Missing:
        case HeldKeyOpen::Failed: return kRegOpenFailed;
        case HeldKeyOpen::Link:
        case HeldKeyOpen::Moved: return kRegRefused;
    }
    if (RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return kRegNothingToDelete;
    if (!backupValue_ || !backupValue_(key, valueName)) return kRegDeleteFailed;
    return RegDeleteValueA(key.Get(), valueName.c_str()) == ERROR_SUCCESS ? kRegSuccess : kRegDeleteFailed;
}

RegistryResult CRemovalEngine::DeleteRegistryPath(const std::string& path, const std::vector<std::string>& ownNames,
                                                  REGSAM view) {
    RegistryPathText parts;
    if (!SplitRegistryPathText(path, parts)) return kRegRefused;
    const RegistryPlace place{parts.root, view};
    if (parts.IsKey()) return DeleteKeyAt(place, parts.keyPath, ownNames);
    return DeleteValueAt(place, parts.keyPath, parts.valueName, ownNames);
}

void CRemovalEngine::DeleteRegistryPaths(const std::string& list, const std::vector<std::string>& ownNames,
                                         REGSAM view) {
    for (const std::string& path : SplitList(list)) DeleteRegistryPath(path, ownNames, view);
}

RegistryResult CRemovalEngine::DeleteUninstallEntry(const std::string& key, const RegistryPlace& place) {
    if (!IsUsableEntryName(key)) return kRegRefused;
    return DeleteKeyAt(EntryPlace(key, place), kUninstallRoot + key, {key});
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
        const RegistryResult deleted = DeleteKeyAt(result.entryPlace, kUninstallRoot + key, {key});
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
