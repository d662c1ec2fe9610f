// Single registry operations with small result codes. The caller fills in root, key
// path and value name, then calls one operation; every key opened is closed again.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock {

enum RegistryResult : int {
    kRegSuccess = 1,
    kRegCreateFailed = -2,  // creating or opening the key for writing failed
    kRegWriteFailed = -3,
    kRegOpenFailed = -4,
    kRegReadFailed = -5,
    kRegDeleteFailed = -6,
};

class CRegistryManager {
public:
    CRegistryManager() = default;
    CRegistryManager(HKEY rootKey, std::string path, std::string name = {})
        : root(rootKey), keyPath(std::move(path)), valueName(std::move(name)) {}
    virtual ~CRegistryManager() = default;

    // Reads valueName as text, whatever its type, into a 1024-byte buffer. A value longer
    // than 1024 bytes counts as unreadable. On failure textValue keeps its old text.
    int ReadString();
    // Reads 4 bytes of valueName into dwordValue. Unchanged on failure.
    int ReadDword();
    // Creates the key when needed and writes dwordValue as REG_DWORD.
    int WriteDword();
    int DeleteValue();
    // Deletes root\keyPath with all its subkeys; always returns 1. A path that names no
    // key below the root (empty, or only backslashes) deletes nothing.
    int DeleteKeyTree();

    HKEY root = HKEY_CURRENT_USER;
    std::string keyPath;
    std::string valueName;
    std::string textValue;
    DWORD dwordValue = 0;
};

}  // namespace tarnock
