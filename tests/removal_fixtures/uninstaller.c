/* A program's own uninstaller as the removal tests need it:
 *   uninstaller.exe MODE ROOT KEY [DELAY_MS] [LOG_FILE]
 * MODE now: deletes the uninstall entry KEY at once; later: after DELAY_MS (a user taking
 * time in a wizard); touch: writes to the entry every 100 ms for DELAY_MS, then deletes it;
 * cancel: leaves it at once; cancellater: leaves it after DELAY_MS (the user cancels);
 * copy: copies itself to the temporary folder, starts the copy in mode later and exits at
 * once (what most installers do); handoff: sets the event "TnkService-KEY" for a separate
 * process and exits at once; service: that separate process, which waits for the event,
 * then deletes the entry after DELAY_MS.
 * record: as now, and logs what it was started with.
 * ROOT is HKLM or HKCU. Appends "uninstall KEY" to LOG_FILE when it starts; record adds
 * "windir=...", "cwd=..." and "parent=PID" lines. */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static DWORD ParentId(void) {
    DWORD parent = 0;
    PROCESSENTRY32 entry;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    entry.dwSize = sizeof(entry);
    if (Process32First(snapshot, &entry)) {
        do {
            if (entry.th32ProcessID == GetCurrentProcessId()) parent = entry.th32ParentProcessID;
        } while (Process32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return parent;
}

static void Log(const char* file, const char* key, int details) {
    FILE* log;
    char windir[1024] = "";
    char cwd[1024] = "";
    if (file == NULL || file[0] == '\0') return;
    log = fopen(file, "a");
    if (log == NULL) return;
    GetEnvironmentVariableA("windir", windir, sizeof(windir));
    GetCurrentDirectoryA(sizeof(cwd), cwd);
    fprintf(log, "uninstall %s\n", key);
    if (details) fprintf(log, "windir=%s\ncwd=%s\nparent=%lu\n", windir, cwd, (unsigned long)ParentId());
    fclose(log);
}

static int StartCopy(int argc, char** argv) {
    char self[MAX_PATH], temp[MAX_PATH], copy[MAX_PATH], line[4096];
    STARTUPINFOA startup;
    PROCESS_INFORMATION info;
    if (!GetModuleFileNameA(NULL, self, MAX_PATH) || !GetTempPathA(MAX_PATH, temp)) return 3;
    snprintf(copy, sizeof(copy), "%sTnkUninstallCopy-%lu.exe", temp, (unsigned long)GetCurrentProcessId());
    if (!CopyFileA(self, copy, FALSE)) return 3;
    snprintf(line, sizeof(line), "\"%s\" later %s %s %s \"%s\"", copy, argv[2], argv[3], argc > 4 ? argv[4] : "0",
             argc > 5 ? argv[5] : "");
    memset(&startup, 0, sizeof(startup));
    startup.cb = sizeof(startup);
    if (!CreateProcessA(copy, line, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &info)) return 3;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 0;
}

int main(int argc, char** argv) {
    char path[1024];
    char eventName[512];
    HKEY root;
    DWORD delay;
    if (argc < 4) return 2;
    root = strcmp(argv[2], "HKCU") == 0 ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    delay = argc > 4 ? (DWORD)atoi(argv[4]) : 0;
    snprintf(path, sizeof(path), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\%s", argv[3]);
    snprintf(eventName, sizeof(eventName), "TnkService-%s", argv[3]);
    if (strcmp(argv[1], "service") == 0) {
        HANDLE go = CreateEventA(NULL, TRUE, FALSE, eventName);
        if (go == NULL) return 3;
        WaitForSingleObject(go, 120000);
        CloseHandle(go);
    } else {
        Log(argc > 5 ? argv[5] : NULL, argv[3], strcmp(argv[1], "record") == 0);
    }
    if (strcmp(argv[1], "copy") == 0) return StartCopy(argc, argv);
    if (strcmp(argv[1], "handoff") == 0) {
        HANDLE go = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
        if (go != NULL) {
            SetEvent(go);
            CloseHandle(go);
        }
        return 0;
    }
    if (strcmp(argv[1], "cancel") == 0) return 1;
    if (strcmp(argv[1], "cancellater") == 0) {
        Sleep(delay);
        return 1;
    }
    if (strcmp(argv[1], "later") == 0 || strcmp(argv[1], "service") == 0) Sleep(delay);
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
