// The ActiveX controls that the browser downloaded: one row per distribution unit with a
// class registration.
#pragma once

#include <windows.h>

#include "scan/ScanView.h"

namespace tarnock {

inline constexpr char kDistributionUnitsKey[] = "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\";

// Rows: control name (trimmed), class identifier, server file, icon reference (the
// toolbox bitmap, or the server file when there is none), the unit's enumeration
// position. Returns -1 when the root cannot be opened, else 0.
int ListActiveXControls(IResultRows& rows, HKEY root = HKEY_LOCAL_MACHINE, const char* path = kDistributionUnitsKey);

}  // namespace tarnock
