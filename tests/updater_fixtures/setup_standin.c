/* Stands in for TarnockSetup.exe: records that it ran (its command line) in setup-ran.txt
   beside itself and ends. */
#include <windows.h>
#include <stdio.h>
#include <string.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR arguments, int show) {
    char path[MAX_PATH] = {0};
    char *slash;
    FILE *file;
    (void)instance;
    (void)previous;
    (void)arguments;
    (void)show;
    GetModuleFileNameA(NULL, path, MAX_PATH - 16);
    slash = strrchr(path, '\\');
    if (slash == NULL) return 1;
    strcpy(slash + 1, "setup-ran.txt");
    file = fopen(path, "ab");
    if (file == NULL) return 1;
    fprintf(file, "%s\n", GetCommandLineA());
    fclose(file);
    return 0;
}
