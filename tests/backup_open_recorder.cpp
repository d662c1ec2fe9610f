// Stands in for the file manager that opens folders: appends its command line (UTF-8) to
// backup-open-calls.txt beside itself.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring log = path;
    log = log.substr(0, log.find_last_of(L'\\') + 1) + L"backup-open-calls.txt";
    const wchar_t* line = GetCommandLineW();
    const int size = WideCharToMultiByte(CP_UTF8, 0, line, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<std::size_t>(size - 1) : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, line, -1, text.data(), size, nullptr, nullptr);
    if (FILE* file = _wfopen(log.c_str(), L"ab")) {
        std::fprintf(file, "%s\n", text.c_str());
        std::fclose(file);
    }
    return 0;
}
