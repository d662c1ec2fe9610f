#include "removal/UserCommand.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/RemovalMessages.h"

namespace tarnock {

namespace {

constexpr DWORD kCommandCapacity = 32768;

enum class Read { Missing, Unreadable, Read };

// "UninstallString" of the entry; a missing value reads as an empty command.
Read ReadUserCommand(const RegistryPlace& place, const std::string& keyPath, std::string& command) {
    ScopedKey entry;
    const LONG opened = RegOpenKeyExA(place.root, keyPath.c_str(), 0, KEY_QUERY_VALUE | place.view, entry.Put());
    if (opened == ERROR_FILE_NOT_FOUND) return Read::Missing;
    if (opened != ERROR_SUCCESS) return Read::Unreadable;
    DWORD type = 0;
    DWORD size = 0;
    LONG result = RegQueryValueExA(entry.Get(), "UninstallString", nullptr, &type, nullptr, &size);
    if (result == ERROR_FILE_NOT_FOUND) {
        command.clear();
        return Read::Read;
    }
    if (result != ERROR_SUCCESS || size > kCommandCapacity || (type != REG_SZ && type != REG_EXPAND_SZ))
        return Read::Unreadable;
    std::vector<char> buffer(size + 1, '\0');
    result = RegQueryValueExA(entry.Get(), "UninstallString", nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                              &size);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return Read::Unreadable;
    std::string text(buffer.data(), strnlen(buffer.data(), std::min<std::size_t>(size, buffer.size())));
    // The user's own variables are right here: the command is the user's and runs as the user.
    if (type == REG_EXPAND_SZ) {
        std::vector<char> expanded(kCommandCapacity, '\0');
        const DWORD length = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), kCommandCapacity);
        if (length > 0 && length <= kCommandCapacity) text = expanded.data();
    }
    command = text;
    return Read::Read;
}

// Only after the user agreed: the program by its resolved path, in the system folder.
bool StartWithOwnRights(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\"" + arguments;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    std::array<char, MAX_PATH + 1> system{};
    const UINT length = GetSystemDirectoryA(system.data(), MAX_PATH);
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        length > 0 && length < MAX_PATH ? system.data() : nullptr, &startup, &info))
        return false;
    const ScopedHandle process(info.hProcess);
    const ScopedHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), 1000);
    return true;
}

}  // namespace

bool IsUserPlace(const RegistryPlace& place) {
    return place.root == HKEY_CURRENT_USER || place.root == HKEY_USERS;
}

std::string SourceText(const RegistryPlace& place, const std::string& keyPath) {
    if (place.root == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER\\" + keyPath;
    if (place.root == HKEY_USERS) return "HKEY_USERS\\" + keyPath;
    return PlaceText(place) + "\\" + keyPath;
}

UserStart StartUserCommand(IRemovalHost& host, const std::string& command, const std::string& source,
                           ShellStarter starter) {
    std::string arguments;
    const std::string program = CRemovalEngine::ResolveCommandProgram(command, &arguments);
    if (program.empty()) return UserStart::NotFound;
    const PathParts parts = SplitPath(program);
    const ShellStart started =
        starter ? starter(WideFromAnsi(program), WideFromAnsi(TrimWhitespace(arguments)),
                          WideFromAnsi(parts.drive + parts.directory), L"open")
                : ShellStart::NoDesktopShell;
    if (started == ShellStart::Started) return UserStart::ByShell;
    if (!host.AskRunWithAdministratorRights(command, source)) return UserStart::Declined;
    return StartWithOwnRights(program, arguments) ? UserStart::AfterConsent : UserStart::StartFailed;
}

UninstallResult RunUserUninstaller(CRemovalEngine& engine, IRemovalHost& host, const std::string& key,
                                   const RegistryPlace& place, ShellStarter starter) {
    UninstallResult result;
    result.entryPlace = place;
    if (!CRemovalEngine::IsUsableEntryName(key)) {
        result.outcome = UninstallOutcome::Refused;
        return result;
    }
    const std::string keyPath = kUninstallRoot + key;
    std::string command;
    const Read read = ReadUserCommand(place, keyPath, command);
    if (read == Read::Missing) {
        result.outcome = UninstallOutcome::EntryMissing;
        return result;
    }
    if (read == Read::Unreadable) {
        host.Tell(messages::kUnreadableCommand);
        result.outcome = UninstallOutcome::Unreadable;
        return result;
    }
    result.command = command;
    if (TrimWhitespace(command).empty()) {
        if (!host.AskYesNo(messages::kAlreadyRemoved)) {
            result.outcome = UninstallOutcome::Declined;
            return result;
        }
        const RegistryResult deleted = engine.DeleteKeyAt(place, keyPath, {key});
        host.Tell(deleted == kRegSuccess ? messages::kDeleted : messages::kDeleteFailed);
        result.outcome = deleted == kRegSuccess ? UninstallOutcome::EntryDeleted : UninstallOutcome::DeleteFailed;
        return result;
    }
    switch (StartUserCommand(host, command, SourceText(place, keyPath), starter)) {
        case UserStart::ByShell: result.outcome = UninstallOutcome::StartedUntracked; break;
        case UserStart::AfterConsent: result.outcome = UninstallOutcome::Started; break;
        case UserStart::Declined: result.outcome = UninstallOutcome::Declined; break;
        case UserStart::StartFailed: result.outcome = UninstallOutcome::StartFailed; break;
        case UserStart::NotFound:
            result.outcome = UninstallOutcome::NotFound;
            if (host.AskYesNo(messages::kFileNotFound)) CRemovalEngine::OpenContainingFolder(command);
            break;
    }
    return result;
}

}  // namespace tarnock
