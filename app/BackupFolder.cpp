#include "app/BackupFolder.h"

#include <string>

#include "base/DesktopShell.h"
#include "base/RegistryBackup.h"

namespace tarnock {

bool OpenBackupFolder(HWND owner) {
    const std::wstring folder = RegistryBackupFolder();
    if (folder.empty()) {
        MessageBoxW(owner, L"삭제 백업 폴더를 만들 수 없습니다.", L"Tarnock", MB_OK | MB_ICONWARNING);
        return false;
    }
    // The folder lies in the user's profile: the user's own shell shows it, never this
    // program's rights.
    if (OpenFolderAsUser(folder)) return true;
    const std::wstring message = L"삭제 백업 폴더를 열 수 없습니다.\n" + folder;
    MessageBoxW(owner, message.c_str(), L"Tarnock", MB_OK | MB_ICONWARNING);
    return false;
}

}  // namespace tarnock
