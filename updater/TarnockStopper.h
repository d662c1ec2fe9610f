// Stops the main program before its setup runs: only the Tarnock.exe of the given folder,
// found by exact file name and the folder of its image, asked to close before it is ended.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock::updater {

// Sends WM_CLOSE to every top-level window of each Tarnock.exe started from `folder`
// (with trailing backslash), waits up to `politeMs` for it to end, then terminates it.
// Returns how many such processes were running.
int StopTarnockIn(const std::string& folder, DWORD politeMs = 5000);

// True when both paths name the same existing file (same volume and file index), or,
// when either cannot be opened, when the full paths are equal ignoring case.
bool IsSameFile(const std::wstring& a, const std::wstring& b);

}  // namespace tarnock::updater
