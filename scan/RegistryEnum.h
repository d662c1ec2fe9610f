// Subkey enumeration by index, as every scanner does it: from 0 upwards until the
// registry reports no more items, the index advancing for every key.
#pragma once

#include <windows.h>

#include <array>
#include <string>

#include "scan/ScanMetrics.h"

namespace tarnock {

// Room for the longest key name (255 characters) in any 8-bit code page, double-byte
// Hangul included, with its terminator.
inline constexpr DWORD kKeyNameCapacity = 1024;

// Calls visit(index, name) for every subkey of an open key. A name the buffer cannot take
// keeps its index but is not visited; any other failure ends the walk, so a broken key
// can never loop.
template <typename Visit>
void ForEachSubkey(HKEY key, Visit&& visit) {
    std::array<char, kKeyNameCapacity> name{};
    for (DWORD index = 0;; ++index) {
        name.fill('\0');
        CountRegistryRead();
        const LONG result = RegEnumKeyA(key, index, name.data(), kKeyNameCapacity);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or the key is gone
        visit(static_cast<int>(index), std::string(name.data()));
    }
}

}  // namespace tarnock
