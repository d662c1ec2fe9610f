// Entry point of Tarnock.exe.
#include <windows.h>

#include "app/KelvoApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    static tarnock::CkelvoApp app;
    const int code = app.Run(instance);
    // Ends removal workers that are still running after the shutdown wait before any
    // static object goes away underneath them.
    ExitProcess(static_cast<UINT>(code));
}
