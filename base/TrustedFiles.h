// What a program with administrator rights loads, writes and starts. Libraries come from the
// system folder only, files it is going to run are written into folders that only
// administrators can change, and what it checked is held open so that nobody can change it
// before it is used.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "base/ScopedHandles.h"

namespace tarnock {

// Libraries loaded later (by name, or by the system on our behalf) are searched in the
// system folder only: never the current folder, the program's folder or PATH. Each
// program's entry point calls this first. Uses SetDefaultDllDirectories where the system
// has it (Windows 8, Windows 7 with KB2533623) and otherwise at least takes the current
// folder out of the search (SetDllDirectoryW(L"")). True when the system-folder-only
// order is in effect.
bool UseSystemLibrarySearchOrder();

// A system library by name, from the system folder and from nowhere else.
HMODULE LoadSystemLibrary(const wchar_t* name);

// The machine-wide data folder (%ProgramData%, as the system knows it, not as the
// user's environment says) with "\Tarnock\<purpose>" appended; empty when unknown.
std::wstring MachineDataFolder(const wchar_t* purpose);

// A new folder below `parent` with a fresh random name whose access list names only the
// system and the administrators (full control, nothing inherited); missing parents are made
// the same way. A parent that is a link (reparse point) is refused. Returns the new folder
// without a closing backslash, or nothing.
std::optional<std::wstring> CreatePrivateFolder(const std::wstring& parent);

// Removes a folder made by CreatePrivateFolder with the files directly in it.
void RemovePrivateFolder(const std::wstring& folder);

// True when `path` exists and is a reparse point (a link of any kind).
bool IsReparsePoint(const std::wstring& path);

// Opens an existing file for reading so that nobody can write, rename or delete it while the
// handle is open; the file itself is opened, never what a link points to, and a link is
// refused. Empty on failure.
ScopedHandle OpenHeldFile(const std::wstring& path);

}  // namespace tarnock
