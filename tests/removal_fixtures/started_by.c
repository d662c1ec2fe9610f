/* Records who started it: started_by.exe LOG_FILE [ARGS...] appends one line
 *   parent=<exe name of the parent process> self=<own pid> args=<the other arguments>
 * and a line windir=<its %windir%> to LOG_FILE, then exits. */
#include <windows.h>
#include <tlhelp32.h>
#include <stdio.h>
#include <string.h>

static DWORD ParentOf(DWORD pid, char* name, size_t size) {
    PROCESSENTRY32 entry;
    DWORD parent = 0;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    name[0] = '\0';
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    entry.dwSize = sizeof(entry);
    if (Process32First(snapshot, &entry)) {
        do {
            if (entry.th32ProcessID == pid) parent = entry.th32ParentProcessID;
        } while (Process32Next(snapshot, &entry));
    }
    entry.dwSize = sizeof(entry);
    if (parent != 0 && Process32First(snapshot, &entry)) {
        do {
            if (entry.th32ProcessID == parent) snprintf(name, size, "%s", entry.szExeFile);
        } while (Process32Next(snapshot, &entry));
    }
    CloseHandle(snapshot);
    return parent;
}

int main(int argc, char** argv) {
    char parent[MAX_PATH];
    char windir[MAX_PATH];
    FILE* log;
    int i;
    if (argc < 2) return 2;
    ParentOf(GetCurrentProcessId(), parent, sizeof(parent));
    if (GetEnvironmentVariableA("windir", windir, sizeof(windir)) == 0) windir[0] = '\0';
    log = fopen(argv[1], "a");
    if (log == NULL) return 3;
    fprintf(log, "parent=%s args=", parent);
    for (i = 2; i < argc; ++i) fprintf(log, "%s%s", i > 2 ? " " : "", argv[i]);
    fprintf(log, "\nwindir=%s\n", windir);
    fclose(log);
    return 0;
}
