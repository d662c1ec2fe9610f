// Entry point of Tarnock.exe.
#include <windows.h>

#include "app/KelvoApp.h"
#include "base/TrustedFiles.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // Before anything loads a library by name: system libraries from the system folder only.
    tarnock::UseSystemLibrarySearchOrder();
    static tarnock::CkelvoApp app;
    const int code = app.Run(instance);
    // Ends removal workers that are still running after the shutdown wait before any
    // static object goes away underneath them.
    ExitProcess(static_cast<UINT>(code));
}
