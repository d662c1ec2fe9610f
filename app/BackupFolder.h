// The main-menu command that shows the user the backups of deleted registry entries.
#pragma once

#include <windows.h>

namespace tarnock {

// Opens the backup folder (RegistryBackupFolder) through the desktop shell, as the user
// (OpenFolderAsUser). When the folder cannot be made or the shell refuses, a message box
// owned by `owner` says so. True when the shell accepted the request.
bool OpenBackupFolder(HWND owner);

}  // namespace tarnock
