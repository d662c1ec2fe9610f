// The program's three settings: 32-bit values under HKEY_CURRENT_USER
// "Software\Olmatic\Tarnock\", each 0 when absent.
#pragma once

#include <windows.h>

namespace tarnock::settings {

inline constexpr char kKeyPath[] = "Software\\Olmatic\\Tarnock\\";
inline constexpr char kDisplayStyle[] = "DisplayStyle";
inline constexpr char kAutoUpdate[] = "AutoUpdate";
inline constexpr char kRank[] = "rank";

// The plain start-up read: open, query 4 bytes whatever the type, close; 0 on any failure.
int ReadAtStartup(const char* valueName);
// Through the registry manager: ReadDword (0 when missing) and WriteDword (its code).
int Read(const char* valueName);
int Write(const char* valueName, int value);

}  // namespace tarnock::settings
