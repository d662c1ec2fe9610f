#include "base/RegistryManager.h"

#include <array>
#include <vector>

#include "base/ScopedHandles.h"

namespace tarnock {

namespace {

constexpr DWORD kValueCapacity = 1024;

const char* ValueNameOrDefault(const std::string& name) { return name.c_str(); }

enum class TreeOutcome { NotOpened, Stopped, Locked, Done };

TreeOutcome DeleteTree(HKEY parent, const std::string& name, REGSAM view) {
    ScopedKey key;
    if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | view, key.Put()) != ERROR_SUCCESS)
        return TreeOutcome::NotOpened;

    // Only the subkeys present now are visited, each once.
    std::vector<std::string> children;
    std::array<char, 260> buffer{};
    for (DWORD index = 0;; ++index) {
        buffer.fill('\0');
        const LONG result = RegEnumKeyA(key.Get(), index, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_SUCCESS) children.emplace_back(buffer.data());
        else if (result != ERROR_MORE_DATA) break;
    }
    bool locked = false;
    for (const std::string& child : children) {
        const TreeOutcome outcome = DeleteTree(key.Get(), child, view);
        if (outcome == TreeOutcome::NotOpened) return TreeOutcome::Stopped;
        locked = locked || outcome == TreeOutcome::Locked;
    }
    key.Reset();

    // The view decides which of two same-named keys goes (HKLM\SOFTWARE\X or its
    // WOW6432Node twin); 0 keeps the program's own view.
    const LONG deleted = RegDeleteKeyExA(parent, name.c_str(), view, 0);
    return locked || deleted == ERROR_GEN_FAILURE ? TreeOutcome::Locked : TreeOutcome::Done;
}

}  // namespace

RegistryResult CRegistryManager::ReadString() {
    ScopedKey key;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS)
        return kRegOpenFailed;
    // One byte more than declared, so a value that fills the buffer still ends in a zero.
    std::array<char, kValueCapacity + 1> buffer{};
    DWORD size = kValueCapacity;
    if (RegQueryValueExA(key.Get(), ValueNameOrDefault(valueName), nullptr, nullptr,
                         reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return kRegReadFailed;
    textValue.assign(buffer.data());
    return kRegSuccess;
}

RegistryResult CRegistryManager::ReadDword() {
    ScopedKey key;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS)
        return kRegOpenFailed;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.Get(), ValueNameOrDefault(valueName), nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                         &size) != ERROR_SUCCESS)
        return kRegReadFailed;
    dwordValue = value;
    return kRegSuccess;
}

RegistryResult CRegistryManager::WriteDword() {
    ScopedKey key;
    if (RegCreateKeyExA(root, keyPath.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view, nullptr,
                        key.Put(), nullptr) != ERROR_SUCCESS)
        return kRegCreateFailed;
    const DWORD value = dwordValue;
    if (RegSetValueExA(key.Get(), ValueNameOrDefault(valueName), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value)) != ERROR_SUCCESS)
        return kRegWriteFailed;
    return kRegSuccess;
}

RegistryResult CRegistryManager::DeleteValue() {
    ScopedKey key;
    if (RegOpenKeyExA(root, keyPath.c_str(), 0, KEY_SET_VALUE | view, key.Put()) != ERROR_SUCCESS)
        return kRegOpenFailed;
    return RegDeleteValueA(key.Get(), ValueNameOrDefault(valueName)) == ERROR_SUCCESS ? kRegSuccess : kRegDeleteFailed;
}

RegistryResult CRegistryManager::DeleteKeyTree() {
    // Opening an empty path yields the root itself, and deleting beneath it would wipe a
    // whole hive: such a path names no key and deletes nothing. Trailing separators
    // are dropped so that "Vendor\App\" and "Vendor\App" name the same key.
    std::string path = keyPath;
    while (!path.empty() && path.back() == '\\') path.pop_back();
    std::size_t first = path.find_first_not_of('\\');
    if (first == std::string::npos) return kRegSuccess;
    path.erase(0, first);
    return DeleteTree(root, path, view) == TreeOutcome::Locked ? kRegKeyLocked : kRegSuccess;
}

bool IsWindows64() {
#ifdef _WIN64
    return true;
#else
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}

std::vector<RegistryPlace> MachinePlaces() {
    if (!IsWindows64()) return {{HKEY_LOCAL_MACHINE, 0}};
    return {{HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY}, {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}};
}

}  // namespace tarnock
