// The removal of a downloaded ActiveX control in the registry view of its row's place
// (implemented with the listing, in ActiveXScanner.cpp).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "base/RegistryPlace.h"

namespace tarnock {

// The machine's classes below HKEY_LOCAL_MACHINE; read in the view of the row's place.
inline constexpr char kMachineClassRoot[] = "SOFTWARE\\Classes\\";

// What removing the control `classId` of a machine place deletes, read from that place's
// view of the machine's classes: its class key, its type library and the interfaces that
// name it, its program identifiers that point back at it, and its distribution unit. The
// file is accepted only inside the downloaded-program folder.
struct ControlRegistration {
    std::string file;              // the server file, system variables expanded, full path
    std::string typeLibrary;       // "{...}" or empty
    std::vector<std::string> keys;  // paths below HKEY_LOCAL_MACHINE in the place's view
};

// The downloaded-program folders: "%windir%\Downloaded Program Files" of the system and
// the folders the machine names under "Internet Settings\ActiveX Cache" (system variables
// only; the user's environment never decides).
std::vector<std::string> DownloadedProgramFolders(const RegistryPlace& place);
// Whether `file` (a full local path) lies inside one of `folders`, after resolving "." and "..".
bool IsInsideFolders(const std::string& file, const std::vector<std::string>& folders);

// False (out untouched) when the class is not registered in the place's machine view.
bool ReadControlRegistration(const RegistryPlace& place, const std::string& classId, ControlRegistration& out);

enum class ActiveXRemoval {
    Removed,        // the control's class and distribution unit are gone in its view
    BadName,        // the class text is no class identifier
    NotRegistered,  // the machine has no class of that name in the place's view
    FileRefused,    // the registered file lies outside the downloaded-program folder
    BackupFailed,   // a key could not be backed up: nothing was deleted
    Stays,          // something of the registration is still there
};

// The system's "RemoveControlByName" (OCCACHE.DLL): file, class, type library, force,
// distribution unit.
using RemoveControlFunction = HRESULT(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, BOOL, DWORD);

// Removes the control in the place's view: every key of its registration is backed up
// first; then, when the place is this program's own view, `removeControl` (may be null)
// removes the control with its file, and whatever of the registration is left is deleted
// here. In the other view (the 32-bit view seen by the 64-bit program) the cache library
// would work on the wrong view, so the registration is deleted here, and the file too (as
// also when there is no cache library).
ActiveXRemoval RemoveActiveXControl(const std::string& classId, const RegistryPlace& place,
                                    RemoveControlFunction removeControl);
// The same with the system's OCCACHE.DLL from the system folder; `placeText` is the row's
// hidden place column (empty: this program's view of HKEY_LOCAL_MACHINE).
ActiveXRemoval RemoveActiveXRow(const std::string& classId, const std::string& placeText);

}  // namespace tarnock
