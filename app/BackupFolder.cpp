#include "app/BackupFolder.h"

#include <shellapi.h>

#include <string>

#include "base/RegistryBackup.h"

namespace tarnock {

bool OpenBackupFolder(HWND owner) {
    const std::wstring folder = RegistryBackupFolder();
    if (folder.empty()) {
        MessageBoxW(owner, L"삭제 백업 폴더를 만들 수 없습니다.", L"Tarnock", MB_OK | MB_ICONWARNING);
        return false;
    }
    const INT_PTR result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(owner, L"open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result > 32) return true;
    const std::wstring message = L"삭제 백업 폴더를 열 수 없습니다.\n" + folder;
    MessageBoxW(owner, message.c_str(), L"Tarnock", MB_OK | MB_ICONWARNING);
    return false;
}

}  // namespace tarnock
