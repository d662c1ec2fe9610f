#include "base/Settings.h"

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"

namespace tarnock::settings {

int ReadAtStartup(const char* valueName) {
    ScopedKey key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kKeyPath, key.Put()) != ERROR_SUCCESS) return 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.Get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return 0;
    return static_cast<int>(value);
}

int Read(const char* valueName) {
    CRegistryManager registry(HKEY_CURRENT_USER, kKeyPath, valueName);
    registry.dwordValue = 0;
    registry.ReadDword();
    return static_cast<int>(registry.dwordValue);
}

int Write(const char* valueName, int value) {
    CRegistryManager registry(HKEY_CURRENT_USER, kKeyPath, valueName);
    registry.dwordValue = static_cast<DWORD>(value);
    return registry.WriteDword();
}

}  // namespace tarnock::settings
