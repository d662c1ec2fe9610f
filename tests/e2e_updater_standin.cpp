// Stands in for TarnockUpdate.exe beside the Tarnock under test: records how it was started
// (its command line and the show command it was given) in updater-calls.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoA(&startup);
    const int show = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string log = path;
    log = log.substr(0, log.find_last_of('\\') + 1) + "updater-calls.txt";
    if (FILE* file = std::fopen(log.c_str(), "ab")) {
        std::fprintf(file, "%s\t%d\n", GetCommandLineA(), show);
        std::fclose(file);
    }
    return 0;
}
