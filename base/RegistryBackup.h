// Keeps a copy of every registry key and value that Tarnock deletes, in regedit's format
// (UTF-16 "Windows Registry Editor Version 5.00"), one timestamped file per deletion in
// the backup folder, so a double-click on the file restores what was deleted; files other
// than registry entries (start-up shortcuts) are copied there beside a note of where they
// came from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/RegistryPlace.h"
#include "base/ScopedHandles.h"

namespace tarnock {

// How opening a key for its backup and deletion ended.
enum class HeldKeyOpen {
    Opened,
    Missing,   // there is no such key
    Link,      // the key, or a key of its tree, is a registry link: never followed, never deleted
    Moved,     // the key opened is not the one named (a link on the way to it was followed)
    Failed,    // it could not be opened or read
};

// A key held open for its backup and its deletion. Every key is opened without following
// registry links and refused when it is one; the top key's real name must be the path that
// was asked for. The backup reads from these very handles and the deletion deletes them, so
// what goes is what was saved; a key that appears in the tree meanwhile makes the deletion
// of its parent fail instead of going unsaved.
class CHeldRegistryKey {
public:
    CHeldRegistryKey() = default;
    CHeldRegistryKey(const CHeldRegistryKey&) = delete;
    CHeldRegistryKey& operator=(const CHeldRegistryKey&) = delete;

    // root\keyPath of `place` (a trailing backslash is allowed; an empty path names no key
    // and fails). withSubkeys opens the whole tree for its deletion; otherwise only the key,
    // with access to delete its values.
    HeldKeyOpen Open(const RegistryPlace& place, const std::string& keyPath, bool withSubkeys);
    HKEY Get() const { return top_.key.Get(); }
    // The name regedit gives the key ("HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Vendor").
    const std::wstring& RegeditName() const { return top_.name; }

    // Writes the tree (or one value) to a new backup file in `folder`, at most limitBytes
    // long. True when the file is complete; a value that does not exist needs no file and is
    // true too. False writes nothing.
    bool BackupTree(const std::wstring& folder, unsigned long long limitBytes) const;
    bool BackupValue(const std::wstring& folder, const std::string& valueName, unsigned long long limitBytes) const;
    // Deletes the subkeys, deepest first, and then the key, each through its own handle.
    // True when the key is gone.
    bool DeleteTree();

private:
    struct Node {
        ScopedKey key;
        std::wstring name;  // the regedit name, for the backup's headers
        std::vector<Node> children;
    };
    static HeldKeyOpen OpenChildren(Node& node, REGSAM access, int depth);
    static bool DeleteNode(Node& node);

    Node top_;
};

// The largest backup file written: a bigger tree is not deleted.
inline constexpr unsigned long long kBackupLimitBytes = 64ull << 20;

// Writes root\keyPath with all its values and subkeys to a new backup file before it is
// deleted. True when the file is complete, or when there is nothing to save (the key does
// not exist). False when the key exists but could not be saved in full, or is a link: the
// caller then deletes nothing.
bool BackupRegistryKey(const RegistryPlace& place, const std::string& keyPath);
// The same for the single value `valueName` of root\keyPath ("" is the default value).
bool BackupRegistryValue(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName);
// Deletes the file `path` after copying it into the backup folder under a name that tells
// where it came from ("Tarnock-...-N-<file name>"), with a note of its original path beside
// it ("...-N-<file name>.txt"). The copy is read from the handle the deletion uses; a link
// or reparse point is refused. True when the file is gone and its copy complete; false
// leaves the file where it was.
bool DeleteFileWithBackup(const std::string& path);

// The folder of the backup files: "Tarnock\Backup" below the user's local application
// data, created when missing; empty when it cannot be made.
std::wstring RegistryBackupFolder();

}  // namespace tarnock
