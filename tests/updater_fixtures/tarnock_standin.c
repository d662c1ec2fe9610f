/* Stands in for a running Tarnock.exe: one top-level window; WM_CLOSE is recorded in
   tarnock-closed.txt beside the program and ends it, unless the command line says
   "stubborn", which ignores it. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static int stubborn;

static void Record(void) {
    char path[MAX_PATH] = {0};
    char *slash;
    FILE *file;
    GetModuleFileNameA(NULL, path, MAX_PATH - 24);
    slash = strrchr(path, '\\');
    if (slash == NULL) return;
    strcpy(slash + 1, "tarnock-closed.txt");
    file = fopen(path, "ab");
    if (file == NULL) return;
    fprintf(file, "closed\n");
    fclose(file);
}

static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        Record();
        if (!stubborn) DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    WNDCLASSA windowClass = {0};
    MSG msg;
    (void)previous;
    (void)show;
    stubborn = arguments != NULL && strstr(arguments, "stubborn") != NULL;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "TarnockStandIn";
    RegisterClassA(&windowClass);
    if (!CreateWindowA("TarnockStandIn", "Tarnock stand-in", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                       instance, NULL))
        return 1;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
