// Registered in the test prefix as the open command of the web protocols: appends its
// command line (UTF-8) as one line to url-calls.txt beside itself.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    while (length > 0 && path[length - 1] != L'\\') --length;
    std::wstring log(path, length);
    log += L"url-calls.txt";
    const std::wstring line = std::wstring(GetCommandLineW()) + L"\n";
    std::string utf8(line.size() * 4, '\0');
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, line.data(), static_cast<int>(line.size()), utf8.data(),
                                          static_cast<int>(utf8.size()), nullptr, nullptr);
    HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(file, utf8.data(), static_cast<DWORD>(bytes), &written, nullptr);
    CloseHandle(file);
    return 0;
}
