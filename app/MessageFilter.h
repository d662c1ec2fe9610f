// Tarnock runs elevated; Explorer and a second start of Tarnock usually do not. Windows
// drops messages from a lower integrity level unless the receiving window lets them in.
#pragma once

#include <windows.h>

#include <initializer_list>

namespace tarnock {

// Lets the single-instance hand-over (WM_COPYDATA) and dropped files (WM_DROPFILES and
// the WM_COPYGLOBALDATA that carries their data) into each of `windows` from any process.
// Bound at run time: where the system has no per-window message filter, nothing is
// filtered either, and the result is false. True when every window accepted every message.
bool AllowHandOverMessages(std::initializer_list<HWND> windows);

}  // namespace tarnock
