// Single registry operations with small result codes. The caller fills in root, key
// path and value name, then calls one operation; every key opened is closed again.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/RegistryPlace.h"

namespace tarnock {

// The results of single registry operations and of the deletions built on them. The
// values 1 and -2 to -6 are the registry manager's own codes.
enum RegistryResult : int {
    kRegSuccess = 1,
    kRegNothingToDelete = 0,  // a deletion found no such key or value
    kRegCreateFailed = -2,    // creating or opening the key for writing failed
    kRegWriteFailed = -3,
    kRegOpenFailed = -4,
    kRegReadFailed = -5,
    kRegDeleteFailed = -6,    // also: the backup failed, or the key is still there
    kRegRefused = -7,         // the deletion rule refuses it, or the key is a registry link
    kRegKeyLocked = -8,       // a key of the tree is in use by the system and stays; the caller tells the user
};

class CRegistryManager {
public:
    CRegistryManager() = default;
    CRegistryManager(HKEY rootKey, std::string path, std::string name = {})
        : root(rootKey), keyPath(std::move(path)), valueName(std::move(name)) {}
    CRegistryManager(const RegistryPlace& place, std::string path, std::string name = {})
        : root(place.root), view(place.view), keyPath(std::move(path)), valueName(std::move(name)) {}
    virtual ~CRegistryManager() = default;

    // Reads valueName as text, whatever its type, into a 1024-byte buffer. A value longer
    // than 1024 bytes counts as unreadable. On failure textValue keeps its old text.
    RegistryResult ReadString();
    // Reads 4 bytes of valueName into dwordValue. Unchanged on failure.
    RegistryResult ReadDword();
    // Creates the key when needed and writes dwordValue as REG_DWORD.
    RegistryResult WriteDword();
    RegistryResult DeleteValue();
    // Deletes root\keyPath with all its subkeys; returns 1, or kRegKeyLocked when the system
    // kept a key of the tree in use (the caller tells the user). A path that names no key
    // below the root (empty, or only backslashes) deletes nothing.
    RegistryResult DeleteKeyTree();

    HKEY root = HKEY_CURRENT_USER;
    // The registry view of every open: 0 (the program's own), KEY_WOW64_64KEY or
    // KEY_WOW64_32KEY.
    REGSAM view = 0;
    std::string keyPath;
    std::string valueName;
    std::string textValue;
    DWORD dwordValue = 0;
};

// True when the program runs on 64-bit Windows: always for a 64-bit build, and for a
// 32-bit build when it runs under WOW64.
bool IsWindows64();

// The places of HKEY_LOCAL_MACHINE where programs register themselves: the 64-bit view
// and then the 32-bit view (WOW6432Node) on 64-bit Windows, whichever build asks; the one
// view on 32-bit Windows.
std::vector<RegistryPlace> MachinePlaces();

}  // namespace tarnock
