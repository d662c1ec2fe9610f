// Where a registry entry lives: its hive and, on 64-bit Windows, its registry view. Rows of
// the result list carry it as text in a hidden column, so that removal, the wait for an
// entry to change and the list actions act on the entry where it really is.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock {

struct RegistryPlace {
    HKEY root = HKEY_LOCAL_MACHINE;
    // 0 (the program's own view), KEY_WOW64_64KEY or KEY_WOW64_32KEY; OR-ed into every
    // access mask used on the place.
    REGSAM view = 0;

    bool operator==(const RegistryPlace& other) const { return root == other.root && view == other.view; }
};

// "HKLM", "HKLM64", "HKLM32", "HKCU", "HKCU64", "HKCU32", "HKU", "HKCR", ... (empty for an
// unknown root).
std::string PlaceText(const RegistryPlace& place);
// The reverse of PlaceText; false (place untouched) for any other text.
bool ParsePlaceText(const std::string& text, RegistryPlace& place);

}  // namespace tarnock
