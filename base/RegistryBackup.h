// Keeps a copy of every registry key and value that Tarnock deletes, in regedit's format
// (UTF-16 "Windows Registry Editor Version 5.00"), one timestamped file per deletion in
// the backup folder, so a double-click on the file restores what was deleted.
#pragma once

#include <string>

#include "base/RegistryPlace.h"

namespace tarnock {

// Writes root\keyPath with all its values and subkeys to a new backup file before it is
// deleted. True when the file is complete, or when there is nothing to save (the key does
// not exist). False when the key exists but could not be saved in full: the caller then
// deletes nothing.
bool BackupRegistryKey(const RegistryPlace& place, const std::string& keyPath);
// The same for the single value `valueName` of root\keyPath ("" is the default value).
bool BackupRegistryValue(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName);

// The folder of the backup files: "Tarnock\Backup" below the user's local application
// data, created when missing; empty when it cannot be made.
std::wstring RegistryBackupFolder();

}  // namespace tarnock
