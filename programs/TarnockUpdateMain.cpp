// TarnockUpdate.exe: "hide" checks silently at Tarnock's start, anything else visibly.
#include <windows.h>

#include "updater/QxUpdateApp.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    tarnock::updater::CQxUpdateApp app(arguments ? arguments : "");
    return app.Run(instance);
}
