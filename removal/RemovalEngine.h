// The operations of the inventory engine that change the system: start a program's own
// uninstaller, delete an uninstall entry whose program is already gone, delete registry
// keys and values named by full path texts, wait until an uninstall entry is gone, and open
// the folder of a command. Every registry key or value is backed up before it is deleted;
// nothing is deleted when the backup cannot be written.
#pragma once

#include <windows.h>

#include <string>

#include "base/RegistryBackup.h"
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
    Declined,      // no command; the user kept the entry
    EntryDeleted,  // no command; the user had the entry deleted
    DeleteFailed,  // no command; deleting the entry failed
    Started,       // the uninstaller was started
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

// Results of the deletions.
enum DeleteResult : int {
    kDeleted = 1,           // something was deleted and is gone
    kNothingToDelete = 0,   // the key or value did not exist
    kDeleteRefused = -2,    // the path is malformed, too short, or names a shared key
    kDeleteKeyNotOpened = -4,
    kDeleteFailedCode = -6,  // the backup or the deletion failed, or the key is still there
};

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
    // value name (empty: the key with all its subkeys). `view` applies to the key.
    int DeleteRegistryPath(const std::string& path, REGSAM view = 0);
    // "|"-separated paths, in order, empty pieces skipped.
    void DeleteRegistryPaths(const std::string& list, REGSAM view = 0);
    // The uninstall entry `key` where it exists: at `place`, else (for the default place)
    // under HKEY_CURRENT_USER.
    int DeleteUninstallEntry(const std::string& key, const RegistryPlace& place);
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
    // Deletes a key tree or one value after backing it up (kDeleted only when it is gone).
    int DeleteKeyAt(const RegistryPlace& place, const std::string& keyPath);
    int DeleteValueAt(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName);

    // A key name that may be appended to "...\Uninstall\": not blank, no backslash.
    static bool IsUsableEntryName(const std::string& key);
    // True when deleting root\keyPath as a whole would hit what many programs share: fewer
    // than two levels below HKEY_LOCAL_MACHINE (three below HKEY_USERS), or a known shared key.
    static bool IsProtectedKey(HKEY root, const std::string& keyPath);
    // The program an uninstall command starts, as an existing file: the quoted part, or for
    // an unquoted command the longest part before a blank that names an existing file (a
    // bare name is searched in the system folder and the Windows folder only, never along
    // the user's PATH). "" when none exists; `arguments` gets the rest.
    static std::string ResolveCommandProgram(const std::string& command, std::string* arguments = nullptr);
    // The folder that OpenContainingFolder opens for a command.
    static std::string ContainingFolder(const std::string& command);

protected:
    // The backup writers; tests replace them to see that a failed backup deletes nothing.
    using KeyBackup = bool (*)(const RegistryPlace&, const std::string&);
    using ValueBackup = bool (*)(const RegistryPlace&, const std::string&, const std::string&);
    KeyBackup backupKey_ = &BackupRegistryKey;
    ValueBackup backupValue_ = &BackupRegistryValue;

private:
    IRemovalHost& host_;
};

}  // namespace tarnock
