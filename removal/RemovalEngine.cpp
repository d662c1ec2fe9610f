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
    if (type == REG_EXPAND_SZ) text = CRemovalEngine::ExpandWithSystemEnvironment(text);
    command = text;
    return CommandRead::Read;
}

std::string SystemFolder() {
    std::array<char, MAX_PATH + 1> folder{};
    const UINT length = GetSystemDirectoryA(folder.data(), MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::string() : std::string(folder.data(), length);
}

// The system folder and the Windows folder: where a bare program name may come from.
std::string SystemSearchPath() {
    const std::string system = SystemFolder();
    std::array<char, MAX_PATH + 1> windows{};
    const UINT length = GetSystemWindowsDirectoryA(windows.data(), MAX_PATH);
    if (system.empty() || length == 0 || length >= MAX_PATH) return {};
    return system + ";" + std::string(windows.data(), length);
}

// The system's own environment, without the user's variables, as a double-zero-ended
// block of wide strings; empty when it cannot be made.
std::vector<wchar_t> SystemEnvironmentBlock() {
    ScopedEnvironmentBlock block;
    void* raw = nullptr;
    if (!CreateEnvironmentBlock(&raw, nullptr, FALSE) || raw == nullptr) return {};
    block.Reset(raw);
    const wchar_t* text = static_cast<const wchar_t*>(block.Get());
    std::size_t length = 0;
    while (text[length] != L'\0' || text[length + 1] != L'\0') ++length;
    return std::vector<wchar_t>(text, text + length + 2);
}

// The value of `name` in an environment block (names compare without regard to case).
bool LookUpVariable(const std::vector<wchar_t>& block, const std::wstring& name, std::wstring& value) {
    for (std::size_t start = 0; start < block.size() && block[start] != L'\0';) {
        const std::wstring entry(&block[start]);
        start += entry.size() + 1;
        // Entries such as "=C:=C:\" start with '=': the name never includes the first character.
        const std::size_t equals = entry.find(L'=', 1);
        if (equals == std::wstring::npos) continue;
        if (CompareStringOrdinal(entry.c_str(), static_cast<int>(equals), name.c_str(), static_cast<int>(name.size()),
                                 TRUE) == CSTR_EQUAL) {
            value = entry.substr(equals + 1);
            return true;
        }
    }
    return false;
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
    const std::string folders = SystemSearchPath();
    if (folders.empty()) return {};
    const DWORD length = SearchPathA(folders.c_str(), candidate.c_str(), ".exe", MAX_PATH, found.data(), nullptr);
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

RegistryPlace CRemovalEngine::EntryPlace(const std::string&, const RegistryPlace& place) { return place; }

bool CRemovalEngine::IsLossyEntryName(const std::string& key, const RegistryPlace& place) {
    ScopedKey root;
    if (RegOpenKeyExW(place.root, WideFromAnsi(kUninstallRoot).c_str(), 0, KEY_ENUMERATE_SUB_KEYS | place.view,
                      root.Put()) != ERROR_SUCCESS)
        return false;
    std::array<wchar_t, 256> name{};
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumKeyExW(root.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return false;
        if (result != ERROR_SUCCESS) continue;
        const std::wstring wide(name.data(), length);
        if (AnsiFromWide(wide) == key && WideFromAnsi(key) != wide) return true;
    }
}

std::string CRemovalEngine::ExpandWithSystemEnvironment(const std::string& text) {
    const std::vector<wchar_t> block = SystemEnvironmentBlock();
    std::string expanded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t open = text.find('%', at);
        const std::size_t close = open == std::string::npos ? std::string::npos : text.find('%', open + 1);
        if (close == std::string::npos) {
            expanded += text.substr(at);
            break;
        }
        expanded += text.substr(at, open - at);
        std::wstring value;
        const std::string name = text.substr(open + 1, close - open - 1);
        if (!name.empty() && LookUpVariable(block, WideFromAnsi(name), value)) {
            expanded += AnsiFromWide(value);
            at = close + 1;
        } else {
            // Not a system variable: the text stays, and its closing '%' may open the next one.
            expanded += text.substr(open, close - open);
            at = close;
        }
    }
    return TruncateText(expanded, kCommandCapacity - 1);
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
        result.outcome =
            IsLossyEntryName(key, result.entryPlace) ? UninstallOutcome::Unrepresentable : UninstallOutcome::EntryMissing;
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
        host_.Tell(deleted == kRegSuccess ? messages::kDeleted : messages::kDeleteFailed);
        result.outcome = deleted == kRegSuccess ? UninstallOutcome::EntryDeleted : UninstallOutcome::DeleteFailed;
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
    // The system's environment and a fixed working folder: nothing of the user's
    // environment or of Tarnock's own current folder reaches a program started with rights.
    std::vector<wchar_t> environment = SystemEnvironmentBlock();
    const std::string folder = SystemFolder();
    // Started suspended and put into a job before it runs, so every process it starts
    // (the copy of itself in the temporary folder that most installers run) is tracked.
    ScopedHandle job(CreateJobObjectW(nullptr, nullptr));
    const DWORD flags = CREATE_SUSPENDED | (environment.empty() ? 0 : CREATE_UNICODE_ENVIRONMENT);
    if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, flags,
                        environment.empty() ? nullptr : environment.data(), folder.empty() ? nullptr : folder.c_str(),
                        &startup, &info)) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            result.outcome = UninstallOutcome::NotFound;
            if (host_.AskYesNo(messages::kFileNotFound)) OpenContainingFolder(command);
        } else {
            result.outcome = UninstallOutcome::StartFailed;
        }
        return result;
    }
    ScopedHandle process(info.hProcess);
    const ScopedHandle thread(info.hThread);
    // Without a job (the system refused one) the first process is all that can be watched.
    if (job && !AssignProcessToJobObject(job.Get(), process.Get())) job.Reset();
    ResumeThread(thread.Get());
    result.job = std::move(job);
    result.process = std::move(process);
    result.outcome = UninstallOutcome::Started;
    return result;
}

namespace {

// Whether the tree of a started uninstaller still runs: any process of its job, or its
// first process when it has no job.
bool TreeRuns(const UninstallResult& started) {
    if (started.job) {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        if (QueryInformationJobObject(started.job.Get(), JobObjectBasicAccountingInformation, &accounting,
                                      sizeof(accounting), nullptr))
            return accounting.ActiveProcesses > 0;
    }
    return started.process && WaitForSingleObject(started.process.Get(), 0) == WAIT_TIMEOUT;
}

}  // namespace

WaitOutcome CRemovalEngine::WaitForRemoval(const std::string& key, const UninstallResult& started,
                                           const WaitLimits& limits) {
    if (!IsUsableEntryName(key)) return WaitOutcome::Failed;
    const RegistryPlace& place = started.entryPlace;
    const std::string path = kUninstallRoot + key;
    const bool tracked = started.job || started.process;
    // One handle on the uninstall root, armed for the whole wait: the entry's deletion is a
    // change below it. Closing a watched handle would signal the event itself.
    ScopedKey watched;
    if (RegOpenKeyExA(place.root, kUninstallRoot, 0, KEY_NOTIFY | place.view, watched.Put()) != ERROR_SUCCESS)
        return KeyExists(place, path) ? WaitOutcome::Failed : WaitOutcome::Gone;
    const ScopedHandle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!changed) return WaitOutcome::Failed;
    const auto arm = [&] {
        return RegNotifyChangeKeyValue(watched.Get(), TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                                       changed.Get(), TRUE) == ERROR_SUCCESS;
    };
    const bool armed = arm();
    host_.AddChangeWaitEvent(changed.Get());
    const ULONGLONG start = GetTickCount64();
    ULONGLONG treeEnded = 0;
    WaitOutcome outcome = WaitOutcome::TimedOut;
    for (;;) {
        if (!KeyExists(place, path)) {
            outcome = WaitOutcome::Gone;
            break;
        }
        if (host_.IsShuttingDown()) {
            outcome = WaitOutcome::ShuttingDown;
            break;
        }
        const ULONGLONG now = GetTickCount64();
        ULONGLONG deadline = 0;
        if (tracked) {
            if (treeEnded == 0 && !TreeRuns(started)) treeEnded = now;
            deadline = treeEnded == 0 ? 0 : treeEnded + limits.afterTreeMs;
        } else {
            deadline = start + limits.untrackedMs;
        }
        if (deadline != 0 && now >= deadline) {
            outcome = tracked ? WaitOutcome::TreeEnded : WaitOutcome::TimedOut;
            break;
        }
        // The registry wakes the wait at once; the slice notices the end of the tree (which
        // signals nothing Tarnock can wait on together with the event) within a second,
        // and covers a system that does not report the deletion below the watched key.
        const DWORD slice = tracked && treeEnded == 0 ? kWaitSliceMs : armed ? 1000 : kWaitSliceMs;
        const DWORD wait = deadline == 0 ? slice : static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, slice));
        if (WaitForSingleObject(changed.Get(), wait) == WAIT_OBJECT_0 && !host_.IsShuttingDown()) {
            ResetEvent(changed.Get());
            arm();  // the same handle, armed again for the next change
        }
    }
    host_.RemoveChangeWaitEvent(changed.Get());
    return outcome;
}

bool CRemovalEngine::WaitForKeyChange(const std::string& key, const RegistryPlace& place, DWORD timeoutMs) {
    UninstallResult untracked;
    untracked.entryPlace = place;
    WaitLimits limits;
    limits.untrackedMs = timeoutMs;
    return WaitForRemoval(key, untracked, limits) == WaitOutcome::Gone;
}

}  // namespace tarnock
