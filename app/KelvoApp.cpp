#include "app/KelvoApp.h"

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <memory>

#include "app/KelvoDlg.h"
#include "base/ScopedHandles.h"
#include "base/Settings.h"
#include "base/TextUtil.h"
#include "resource.h"

namespace tarnock {

void SendCommandLine(HWND target, const std::string& commandLine) {
    COPYDATASTRUCT data{};
    data.dwData = 1;
    data.cbData = static_cast<DWORD>(commandLine.size());
    data.lpData = const_cast<char*>(commandLine.data());
    SendMessageA(target, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

int CkelvoApp::ReadStartupSetting(int which) {
    return settings::ReadAtStartup(which == 0 ? settings::kAutoUpdate : settings::kDisplayStyle);
}

std::string CkelvoApp::GetUpdaterPath() {
    const PathParts parts = SplitPath(ModulePath());
    return FormatText("%s%s%s", parts.drive.c_str(), parts.directory.c_str(),
                      ui::LoadResourceStringA(IDS_UPDATER_FILE).c_str());
}

bool CkelvoApp::InitInstance() {
    const std::string title = ui::LoadResourceStringA(IDS_WINDOW_TITLE);
    if (HWND running = FindWindowA(nullptr, title.c_str())) {
        SetForegroundWindow(running);
        SendCommandLine(running, GetCommandLineA());
        return false;
    }

    autoUpdate = ReadStartupSetting(0);
    displayStyle = ReadStartupSetting(1);

    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    const ScopedOleInit ole;  // OLE on the interface thread: the embedded browser needs it

    const std::string updater = GetUpdaterPath();
    SHELLEXECUTEINFOA execute{};
    execute.cbSize = sizeof(execute);
    execute.lpVerb = "open";
    execute.lpFile = updater.c_str();
    execute.lpParameters = "hide";
    execute.nShow = SW_HIDE;
    if (autoUpdate != 0) ShellExecuteExA(&execute);  // neither checked nor waited for

    // Shared ownership: a removal worker that outlives the shutdown wait keeps the
    // dialog's members alive until it ends or the process exits.
    auto dialog = std::make_shared<CkelvoDlg>();
    RunMainDialog(*dialog);
    return false;
}

}  // namespace tarnock
