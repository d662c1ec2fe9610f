// TarnockUpdate.exe: "hide" checks silently at Tarnock's start, anything else visibly.
#include <windows.h>

#include "base/TrustedFiles.h"
#include "updater/QxUpdateApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    // Before anything loads a library by name: system libraries from the system folder only.
    tarnock::UseSystemLibrarySearchOrder();
    tarnock::updater::CQxUpdateApp app(arguments ? arguments : "");
    return app.Run(instance);
}
