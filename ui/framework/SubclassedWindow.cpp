#include "ui/framework/SubclassedWindow.h"

namespace tarnock::ui {

namespace {
constexpr UINT_PTR kSubclassId = 0x7A4E;
}

CSubclassedWindow::~CSubclassedWindow() { Detach(); }

bool CSubclassedWindow::Attach(HWND window) {
    Detach();
    if (window == nullptr) return false;
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) return false;
    hwnd_ = window;
    PreSubclass();
    return true;
}

void CSubclassedWindow::Detach() {
    if (hwnd_ != nullptr) {
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
        hwnd_ = nullptr;
    }
}

bool CSubclassedWindow::OnReflectedNotify(NMHDR*, LRESULT&) { return false; }
bool CSubclassedWindow::OnReflectedDrawItem(DRAWITEMSTRUCT*) { return false; }

LRESULT CSubclassedWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultProc(message, wParam, lParam);
}

LRESULT CSubclassedWindow::DefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK CSubclassedWindow::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                 DWORD_PTR data) {
    auto* self = reinterpret_cast<CSubclassedWindow*>(data);
    if (message == WM_NCDESTROY) {
        // Teardown order: unsubclass before the window is gone, then let it finish.
        RemoveWindowSubclass(window, SubclassProc, kSubclassId);
        if (self) self->hwnd_ = nullptr;
        return DefSubclassProc(window, message, wParam, lParam);
    }
    if (self == nullptr || self->hwnd_ != window) return DefSubclassProc(window, message, wParam, lParam);
    return self->WindowProc(message, wParam, lParam);
}

}  // namespace tarnock::ui
