#include "app/MessageFilter.h"

namespace tarnock {

namespace {

constexpr UINT kCopyGlobalData = 0x0049;  // WM_COPYGLOBALDATA, the data of a drag and drop
constexpr DWORD kAllow = 1;               // MSGFLT_ALLOW

struct FilterStatus {  // CHANGEFILTERSTRUCT
    DWORD cbSize;
    DWORD ExtStatus;
};
using ChangeFilterEx = BOOL(WINAPI*)(HWND, UINT, DWORD, FilterStatus*);

}  // namespace

bool AllowHandOverMessages(std::initializer_list<HWND> windows) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");  // always loaded in a GUI process
    const auto change =
        user32 ? reinterpret_cast<ChangeFilterEx>(GetProcAddress(user32, "ChangeWindowMessageFilterEx")) : nullptr;
    if (!change) return false;
    bool allAllowed = true;
    for (HWND window : windows) {
        for (UINT message : {static_cast<UINT>(WM_COPYDATA), static_cast<UINT>(WM_DROPFILES), kCopyGlobalData}) {
            FilterStatus status{sizeof(FilterStatus), 0};
            if (!window || !change(window, message, kAllow, &status)) allAllowed = false;
        }
    }
    return allAllowed;
}

}  // namespace tarnock
