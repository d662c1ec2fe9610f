// The ActiveX controls that the browser downloaded: one row per distribution unit with a
// class registration, in each registry view (their removal: ActiveXControl.h).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/RegistryPlace.h"
#include "scan/ActiveXControl.h"
#include "scan/ScanView.h"

namespace tarnock {

inline constexpr char kDistributionUnitsKey[] = "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\";

// Rows: control name (trimmed), class identifier, server file, icon reference (the
// toolbox bitmap, or the server file when there is none), the unit's enumeration
// position in its place, and the PlaceText of the place. The class registration is read
// from the machine's classes in the place's view (never the user's classes, which any
// program of the user can write). Places by default: each view of HKEY_LOCAL_MACHINE
// (64-bit, then 32-bit). Returns -1 when the root cannot be opened in any place, else 0.
int ListActiveXControls(IResultRows& rows, const std::vector<RegistryPlace>& places,
                        const char* path = kDistributionUnitsKey);
int ListActiveXControls(IResultRows& rows);

}  // namespace tarnock
