// The operations of the inventory engine that change the system: start a program's own
// uninstaller, delete an uninstall entry whose program is already gone, delete registry
// keys and values named by full path texts, wait until an uninstall entry is gone, and open
// the folder of a command. Every registry key or value is backed up before it is deleted;
// nothing is deleted when the backup cannot be written.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/DesktopShell.h"
#include "base/RegistryBackup.h"
#include "base/RegistryManager.h"
#include "base/RegistryPlace.h"
#include "base/ScopedHandles.h"
#include "removal/RemovalHost.h"
#include "scan/KelvoEngine.h"

namespace tarnock {

enum class UninstallOutcome {
    Refused,       // the key name is empty, blank or holds a backslash
    EntryMissing,  // no such entry (any more)
    Unrepresentable,  // the entry's real name holds a character the 8-bit code page cannot show
    Unreadable,    // "UninstallString" exists but cannot be read
    Declined,      // the user said No: kept an entry without command, or refused to start a
                   // per-user command with Tarnock's rights
    EntryDeleted,  // no command; the user had the entry deleted
    DeleteFailed,  // no command; deleting the entry failed
    Started,       // the uninstaller was started
    StartedUntracked,  // the desktop shell started a per-user uninstaller as the user: it is
                       // not Tarnock's child, only the entry's disappearance tells its end
    NotFound,      // the uninstaller's program file does not exist
    StartFailed,   // the uninstaller could not be started for another reason
};

struct UninstallResult {
    UninstallOutcome outcome = UninstallOutcome::Refused;
    std::string command;       // the command read (also when starting it failed)
    RegistryPlace entryPlace;  // where the entry was found
    // The started uninstaller's whole process tree (a job it was put into before it ran)
    // and its first process; both empty for an uninstaller Tarnock did not start itself.
    ScopedHandle job;
    ScopedHandle process;
};

// How long a removal waits for the entry to go once nothing it can watch runs any more.
struct WaitLimits {
    // After the uninstaller's whole process tree has ended: the time a separate service
    // (Windows Installer) may still take to remove the entry.
    DWORD afterTreeMs = 30000;
    // For an uninstaller Tarnock has no handle of (started through the desktop shell).
    DWORD untrackedMs = 30 * 60 * 1000;
};

enum class WaitOutcome {
    Gone,          // the entry is gone
    TreeEnded,     // the uninstaller's tree ended and the entry stayed for afterTreeMs
    TimedOut,      // no tree to watch, and the entry stayed for untrackedMs (or the given limit)
    ShuttingDown,  // the host shuts down
    Failed,        // the entry cannot be watched
};

// The deletions report RegistryResult: kRegSuccess (deleted and gone), kRegNothingToDelete,
// kRegRefused (the deletion rule or a registry link), kRegOpenFailed (the key of a value
// cannot be opened) and kRegDeleteFailed (the backup or the deletion failed).

class CRemovalEngine : public CKelvoEngine {
public:
    CRemovalEngine(IRemovalHost& host, const InstallerProductList& products) : CKelvoEngine(products), host_(host) {}

    UninstallResult RunUninstaller(const std::string& key, const RegistryPlace& place);
    // Waits until the uninstall entry `key` is gone from `place` (true), at most timeoutMs;
    // changes that leave it in place (an uninstaller's own writes) re-arm the wait. False on
    // the deadline and when the host shuts down. Its event is registered with the host.
    bool WaitForKeyChange(const std::string& key, const RegistryPlace& place, DWORD timeoutMs = 30000);
    // Waits for the removal of the entry by the uninstaller `started` (RunUninstaller's
    // result): with no fixed limit while its process tree runs, then limits.afterTreeMs;
    // without a tree, limits.untrackedMs. One key handle is armed for the whole wait, so
    // the wait sleeps until the registry changes.
    WaitOutcome WaitForRemoval(const std::string& key, const UninstallResult& started, const WaitLimits& limits);
    // A full registry path: "HKEY_LOCAL_MACHINE\" or "HKEY_USERS\", a key path, "\" and a
    // value name (empty: the key with all its subkeys). `view` applies to the key. Only what
    // the deletion rule allows for a product with the uninstall key names `ownNames` is
    // deleted (base/DeletionRule.h).
    RegistryResult DeleteRegistryPath(const std::string& path, const std::vector<std::string>& ownNames,
                                      REGSAM view = 0);
    // "|"-separated paths, in order, empty pieces skipped.
    void DeleteRegistryPaths(const std::string& list, const std::vector<std::string>& ownNames, REGSAM view = 0);
    // The uninstall entry `key` where it exists: at `place`, else (for the default place)
    // under HKEY_CURRENT_USER.
    RegistryResult DeleteUninstallEntry(const std::string& key, const RegistryPlace& place);
    // Opens the folder of the command's program through the desktop shell, as the user;
    // only an existing local folder (ContainingFolder) is opened.
    static bool OpenContainingFolder(const std::string& command);
    // "UninstallString" of the entry where it exists (see EntryPlace); "" when it cannot be read.
    static std::string ReadUninstallCommand(const std::string& key, const RegistryPlace& place);

    // Where the uninstall entry `key` is looked for: exactly `place`. A machine entry never
    // falls back to a same-named per-user one, which any program of the user can plant.
    static RegistryPlace EntryPlace(const std::string& key, const RegistryPlace& place);
    // True when the uninstall root of `place` holds a key whose name, as the 8-bit code page
    // shows it, is `key` but which cannot be opened by that name (its real name holds a
    // character the code page cannot represent).
    static bool IsLossyEntryName(const std::string& key, const RegistryPlace& place);
    // `text` with its %NAME% references expanded from the system's own variables only (the
    // user's environment can redefine windir or ProgramFiles); unknown names stay as they are.
    static std::string ExpandWithSystemEnvironment(const std::string& text);
    static bool KeyExists(const RegistryPlace& place, const std::string& keyPath);
    // Deletes a key tree or one value after backing it up (kRegSuccess only when it is gone),
    // when the deletion rule allows it for `ownNames`. The key is opened once, without
    // following registry links: a link, or a key whose real name is not keyPath, is refused;
    // the backup reads from the handles the deletion then deletes.
    RegistryResult DeleteKeyAt(const RegistryPlace& place, const std::string& keyPath,
                               const std::vector<std::string>& ownNames);
    RegistryResult DeleteValueAt(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName,
                                 const std::vector<std::string>& ownNames);

    // A key name that may be appended to "...\Uninstall\": not blank, no backslash.
    static bool IsUsableEntryName(const std::string& key);
    // The program an uninstall command starts, as an existing file: the quoted part, or for
    // an unquoted command the longest part before a blank that names an existing file (a
    // bare name is searched in the system folder and the Windows folder only, never along
    // the user's PATH). "" when none exists; `arguments` gets the rest.
    static std::string ResolveCommandProgram(const std::string& command, std::string* arguments = nullptr);
    // The folder that OpenContainingFolder opens for a command.
    static std::string ContainingFolder(const std::string& command);

protected:
    // The backup writers, given the key the deletion holds; tests replace them to see that a
    // failed backup deletes nothing.
    using KeyBackup = bool (*)(const CHeldRegistryKey&);
    using ValueBackup = bool (*)(const CHeldRegistryKey&, const std::string&);
    static bool BackupHeldKey(const CHeldRegistryKey& key);
    static bool BackupHeldValue(const CHeldRegistryKey& key, const std::string& valueName);
    KeyBackup backupKey_ = &BackupHeldKey;
    ValueBackup backupValue_ = &BackupHeldValue;
    // How per-user commands reach the desktop shell; tests stand in for a session without one.
    ShellStarter shellStart_ = &StartThroughDesktopShell;

private:
    IRemovalHost& host_;
};

}  // namespace tarnock
