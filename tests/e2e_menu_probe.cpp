// Loaded into a program under test to read the popup menu it shows: menus are private to
// the process that owns them. DumpOpenMenu writes the items of the open "#32768" popup, one
// line each, to menu-dump-PID.txt beside this library. DropFilesOnWindow drops files on a
// window: the HDROP of a WM_DROPFILES must live in the receiving process.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? static_cast<size_t>(size) : 1u, '\0');
    if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    out.resize(out.size() - 1);
    return out;
}

// depth TAB id TAB flags (S separator, C checked, D default, G grayed) TAB text
void DumpMenu(HMENU menu, int depth, FILE* out) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        std::string flags;
        if (info.fType & MFT_SEPARATOR) flags += 'S';
        if (info.fState & MFS_CHECKED) flags += 'C';
        if (info.fState & MFS_DEFAULT) flags += 'D';
        if (info.fState & MFS_DISABLED) flags += 'G';
        std::fprintf(out, "%d\t%u\t%s\t%s\n", depth, info.wID, flags.c_str(), Utf8(text).c_str());
        if (info.hSubMenu) DumpMenu(info.hSubMenu, depth + 1, out);
    }
}

BOOL CALLBACK FindPopup(HWND window, LPARAM parameter) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (pid == GetCurrentProcessId() && IsWindowVisible(window) && lstrcmpW(name, L"#32768") == 0) {
        *reinterpret_cast<HWND*>(parameter) = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

extern "C" __declspec(dllexport) DWORD WINAPI DumpOpenMenu(void*) {
    HWND popup = nullptr;
    EnumWindows(FindPopup, reinterpret_cast<LPARAM>(&popup));
    if (popup == nullptr) return 1;
    const auto menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (menu == nullptr) return 2;
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&DumpOpenMenu), &self);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(self, path, MAX_PATH);
    std::wstring file = path;
    file = file.substr(0, file.find_last_of(L'\\') + 1) + L"menu-dump-" + std::to_wstring(GetCurrentProcessId()) +
           L".tmp";
    FILE* out = _wfopen(file.c_str(), L"wb");
    if (out == nullptr) return 3;
    DumpMenu(menu, 0, out);
    std::fclose(out);
    // Renamed when complete, so the reader never sees half a dump.
    const std::wstring done = file.substr(0, file.size() - 4) + L".txt";
    MoveFileExW(file.c_str(), done.c_str(), MOVEFILE_REPLACE_EXISTING);
    return 0;
}

// parameter: the target window as a 64-bit number, then the file names, each ending in a
// zero, and one more zero. The receiver frees the HDROP (DragFinish).
extern "C" __declspec(dllexport) DWORD WINAPI DropFilesOnWindow(void* parameter) {
    if (parameter == nullptr) return 1;
    const auto* bytes = static_cast<const char*>(parameter);
    unsigned long long handle = 0;
    std::memcpy(&handle, bytes, sizeof(handle));
    const HWND target = reinterpret_cast<HWND>(static_cast<ULONG_PTR>(handle));
    if (!IsWindow(target)) return 2;
    const char* names = bytes + sizeof(handle);
    std::size_t length = 0;
    while (names[length] != '\0') length += std::strlen(names + length) + 1;
    ++length;  // the final zero
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + length);
    if (memory == nullptr) return 3;
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    if (drop == nullptr) {
        GlobalFree(memory);
        return 3;
    }
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), names, length);
    GlobalUnlock(memory);
    if (!PostMessageA(target, WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0)) {
        GlobalFree(memory);
        return 4;
    }
    return 0;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
