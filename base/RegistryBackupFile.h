// The parts of the registry backup below the public functions of RegistryBackup.h: the
// same backups written into a given folder with a given size limit (the public functions
// use RegistryBackupFolder() and kBackupLimitBytes), and the name regedit knows a key by.
#pragma once

#include <windows.h>

#include <string>

#include "base/RegistryBackup.h"
#include "base/RegistryPlace.h"

namespace tarnock::registry_backup {

// As BackupRegistryKey / BackupRegistryValue / DeleteFileWithBackup, written into `folder`
// (which must exist).
bool BackupKeyInto(const std::wstring& folder, const RegistryPlace& place, const std::string& keyPath,
                   unsigned long long limitBytes = kBackupLimitBytes);
bool BackupValueInto(const std::wstring& folder, const RegistryPlace& place, const std::string& keyPath,
                     const std::string& valueName, unsigned long long limitBytes = kBackupLimitBytes);
bool DeleteFileWithBackupInto(const std::wstring& folder, const std::string& path,
                              unsigned long long limitBytes = kBackupLimitBytes);

// The name a 64-bit regedit gives the key root\keyPath of `place`, for example
// "HKEY_LOCAL_MACHINE\SOFTWARE\WOW6432Node\Vendor" for a key of the 32-bit view on 64-bit
// Windows. False (name untouched) when the key cannot be opened or its name not be read.
bool RegeditKeyName(const RegistryPlace& place, const std::string& keyPath, std::wstring& name);

}  // namespace tarnock::registry_backup
