/* A running program for the process-control tests:
 *   process.exe MODE [LOG_FILE]
 * MODE close: a window that closes on WM_CLOSE; ignore: a window that ignores it; nowindow:
 * no window at all; unsaved: on WM_CLOSE it asks about unsaved work in a second window and
 * stays. Appends "closed NAME" to LOG_FILE when it closes politely. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

static const char* g_mode = "close";
static const char* g_log = NULL;

static void LogClosed(void) {
    char name[MAX_PATH] = {0};
    const char* base;
    FILE* log;
    if (g_log == NULL) return;
    GetModuleFileNameA(NULL, name, MAX_PATH - 1);
    base = strrchr(name, '\\');
    log = fopen(g_log, "a");
    if (log == NULL) return;
    fprintf(log, "closed %s\n", base ? base + 1 : name);
    fclose(log);
}

static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) {
        if (strcmp(g_mode, "ignore") == 0) return 0;
        if (strcmp(g_mode, "unsaved") == 0) {
            CreateWindowExA(0, "STATIC", "Save changes?", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 80, NULL,
                            NULL, GetModuleHandleA(NULL), NULL);
            return 0;
        }
        LogClosed();
        DestroyWindow(window);
        return 0;
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

int main(int argc, char** argv) {
    WNDCLASSA type;
    MSG message;
    if (argc > 1) g_mode = argv[1];
    if (argc > 2) g_log = argv[2];
    if (strcmp(g_mode, "nowindow") == 0) {
        for (;;) Sleep(1000);
    }
    memset(&type, 0, sizeof(type));
    type.lpfnWndProc = Proc;
    type.hInstance = GetModuleHandleA(NULL);
    type.lpszClassName = "TnkRemovalProcess";
    RegisterClassA(&type);
    CreateWindowExA(0, "TnkRemovalProcess", g_mode, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, NULL, NULL,
                    type.hInstance, NULL);
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
