#include "support/TarnockSession.h"

#include <commctrl.h>

#include "base/ScopedHandles.h"
#include "resource.h"
#include "support/TestMachine.h"

namespace tarnock::testing {

std::string StageDir() { return WindowsPath(TARNOCK_E2E_STAGE_DIR); }
std::string TarnockExe() { return StageDir() + "\\Tarnock.exe"; }

void ResetSettings() { RegDeleteTreeA(HKEY_CURRENT_USER, kTarnockSettingsKey); }

bool WriteSetting(const char* name, DWORD value) {
    ScopedKey key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, kTarnockSettingsKey, key.Put()) != ERROR_SUCCESS) return false;
    return RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)) ==
           ERROR_SUCCESS;
}

std::optional<DWORD> ReadSetting(const char* name) {
    ScopedKey key;
    if (RegOpenKeyA(HKEY_CURRENT_USER, kTarnockSettingsKey, key.Put()) != ERROR_SUCCESS) return std::nullopt;
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExA(key.Get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

bool ClickAndWait(HWND button, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return button && SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

HWND TarnockSession::Launch(const std::string& arguments, DWORD timeoutMs, const std::string& exe) {
    const std::string program = exe.empty() ? TarnockExe() : exe;
    const std::string commandLine = Quoted(program) + (arguments.empty() ? "" : " " + arguments);
    main_ = nullptr;
    if (!process_.Start(program, commandLine, StageDir())) return nullptr;
    HWND window = nullptr;
    WaitUntil(
        [&] {
            for (HWND candidate : TopLevelWindows(process_.Id(), L"#32770")) {
                if (Utf8(WindowTextW(candidate)) == kTarnockTitle) {
                    window = candidate;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    main_ = window;
    if (window) IsResponsive(window, 5000);
    return window;
}

void TarnockSession::Kill() {
    process_.Kill();
    main_ = nullptr;
}

HWND TarnockSession::List() const { return GetDlgItem(main_, IDC_RESULT_LIST); }

std::vector<RemoteRow> TarnockSession::Rows(int columns) const { return RemoteListView(List()).Rows(columns); }

std::vector<MenuEntry> TarnockSession::OpenMainMenu() const {
    PostCommand(main_, IDC_MENU);
    return ReadOpenPopupMenu(process_.Id(), 5000);
}

void TarnockSession::CloseMenus() const {
    testing::CloseMenus(process_.Id());
    WaitUntil([&] { return TopLevelWindows(process_.Id(), L"#32768").empty(); }, 3000);
}

bool TarnockSession::HandOver(const std::string& data, ULONG_PTR kind, DWORD timeoutMs) const {
    COPYDATASTRUCT copy{};
    copy.dwData = kind;
    copy.cbData = static_cast<DWORD>(data.size());
    copy.lpData = const_cast<char*>(data.data());
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(main_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&copy), SMTO_ABORTIFHUNG, timeoutMs,
                               &result) != 0;
}

}  // namespace tarnock::testing
