/* A program's own uninstaller as the removal tests need it:
 *   uninstaller.exe MODE ROOT KEY [DELAY_MS] [LOG_FILE]
 * MODE now: deletes the uninstall entry KEY at once; later: after DELAY_MS; touch: writes to
 * the entry every 100 ms for DELAY_MS, then deletes it; cancel: leaves it (the user cancelled).
 * ROOT is HKLM or HKCU. Appends "uninstall KEY" to LOG_FILE when it starts. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void Log(const char* file, const char* key) {
    FILE* log;
    if (file == NULL || file[0] == '\0') return;
    log = fopen(file, "a");
    if (log == NULL) return;
    fprintf(log, "uninstall %s\n", key);
    fclose(log);
}

int main(int argc, char** argv) {
    char path[1024];
    HKEY root;
    DWORD delay;
    if (argc < 4) return 2;
    root = strcmp(argv[2], "HKCU") == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    delay = argc > 4 ? (DWORD)atoi(argv[4]) : 0;
    Log(argc > 5 ? argv[5] : NULL, argv[3]);
    snprintf(path, sizeof(path), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", argv[3]);
    if (strcmp(argv[1], "cancel") == 0) return 1;
    if (strcmp(argv[1], "later") == 0) Sleep(delay);
    if (strcmp(argv[1], "touch") == 0) {
        DWORD waited;
        for (waited = 0; waited < delay; waited += 100) {
            HKEY key;
            if (RegOpenKeyExA(root, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
                RegSetValueExA(key, "Progress", 0, REG_DWORD, (const BYTE*)&waited, sizeof(waited));
                RegCloseKey(key);
            }
            Sleep(100);
        }
    }
    RegDeleteTreeA(root, path);
    RegDeleteKeyA(root, path);
    return 0;
}
