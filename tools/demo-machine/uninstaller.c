/* The demo machine's uninstaller: installed where the demo programs' uninstall commands
 * point, it finds the uninstall entries whose command started it (HKEY_LOCAL_MACHINE and
 * HKEY_CURRENT_USER), waits a moment as a real uninstaller would, and deletes them.
 * Quotes and the case of letters do not matter when the commands are compared. */
#include <windows.h>
#include <string.h>

#define UNINSTALL "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall"

static void Normalise(const char* in, char* out, size_t size) {
    size_t n = 0;
    while (*in == ' ' || *in == '\t') ++in;
    for (; *in && n + 1 < size; ++in)
        if (*in != '"') out[n++] = *in;
    while (n > 0 && (out[n - 1] == ' ' || out[n - 1] == '\t')) --n;
    out[n] = '\0';
}

static void RemoveEntriesOf(HKEY root, REGSAM view, const char* command) {
    HKEY uninstall;
    char names[64][256];
    int count = 0, i;
    DWORD index;
    if (RegOpenKeyExA(root, UNINSTALL, 0, KEY_READ | DELETE | view, &uninstall) != ERROR_SUCCESS) return;
    for (index = 0; count < 64; ++index) {
        char name[256];
        char value[2048] = {0};
        char normal[2048];
        DWORD size = sizeof(value) - 1;
        HKEY entry;
        if (RegEnumKeyA(uninstall, index, name, sizeof(name)) != ERROR_SUCCESS) break;
        if (RegOpenKeyExA(uninstall, name, 0, KEY_QUERY_VALUE, &entry) != ERROR_SUCCESS) continue;
        if (RegQueryValueExA(entry, "UninstallString", NULL, NULL, (BYTE*)value, &size) == ERROR_SUCCESS) {
            Normalise(value, normal, sizeof(normal));
            if (lstrcmpiA(normal, command) == 0) lstrcpynA(names[count++], name, sizeof(names[0]));
        }
        RegCloseKey(entry);
    }
    for (i = 0; i < count; ++i) {
        RegDeleteTreeA(uninstall, names[i]);
        RegDeleteKeyA(uninstall, names[i]);
    }
    RegCloseKey(uninstall);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    char command[2048];
    (void)instance;
    (void)previous;
    (void)arguments;
    (void)show;
    Normalise(GetCommandLineA(), command, sizeof(command));
    Sleep(1500);
    /* Installers of either width register in their own view of the machine's registry. */
    RemoveEntriesOf(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY, command);
    RemoveEntriesOf(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY, command);
    RemoveEntriesOf(HKEY_CURRENT_USER, 0, command);
    return 0;
}
