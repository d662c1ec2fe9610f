#include "ui/VexButton.h"

#include <commctrl.h>

namespace tarnock::ui {

void CVexButton::Setup(const char* typeName, COLORREF transparentColour, UINT id) {
    image_.LoadStrip(typeName, id);
    transparentColour_ = transparentColour;
    if (Hwnd() == nullptr) return;
    RECT rect{};
    GetWindowRect(Hwnd(), &rect);
    POINT topLeft{rect.left, rect.top};
    ScreenToClient(GetParent(Hwnd()), &topLeft);
    MoveWindow(Hwnd(), topLeft.x, topLeft.y, image_.FrameWidth(), image_.ImageHeight(), TRUE);
}

void CVexButton::SetToolTip(const std::wstring& text) {
    if (Hwnd() == nullptr) return;
    if (toolTip_ == nullptr) {
        toolTip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr,
                                   GetModuleHandleW(nullptr), nullptr);
        if (toolTip_ == nullptr) return;
        SendMessageW(toolTip_, TTM_ACTIVATE, TRUE, 0);
    }
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(Hwnd());
    tool.uId = reinterpret_cast<UINT_PTR>(Hwnd());
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void CVexButton::SetOwnCursor(HCURSOR cursor) {
    cursor_ = cursor;
    ownCursor_ = true;
}

void CVexButton::SetActive() {
    inactive_ = false;
    if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
}

void CVexButton::SetInactive() {
    inactive_ = true;
    if (Hwnd()) InvalidateRect(Hwnd(), nullptr, FALSE);
}

bool CVexButton::OnReflectedDrawItem(DRAWITEMSTRUCT* item) {
    int frame = 0;
    if (inactive_) frame = 3;
    else if (item->itemState & ODS_SELECTED) frame = 2;
    else if (hover_) frame = 1;
    DrawFrame(item->hDC, frame);
    return true;
}

void CVexButton::DrawFrame(HDC dc, int frame) {
    const HWND parent = GetParent(Hwnd());
    // The parent's background under the button shows through the transparent pixels.
    RECT rect{};
    GetWindowRect(Hwnd(), &rect);
    POINT origin{rect.left, rect.top};
    ScreenToClient(parent, &origin);
    POINT previous{};
    SetViewportOrgEx(dc, -origin.x, -origin.y, &previous);
    SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    SetViewportOrgEx(dc, previous.x, previous.y, nullptr);
    image_.DrawFrame(dc, frame, 0, 0, transparentColour_);
}

LRESULT CVexButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MOUSEMOVE:
            if (!tracking_) {
                TRACKMOUSEEVENT track{sizeof(track), TME_HOVER | TME_LEAVE, Hwnd(), 1};
                tracking_ = _TrackMouseEvent(&track) != FALSE;
            }
            break;
        case WM_MOUSEHOVER:
            hover_ = true;
            InvalidateRect(Hwnd(), nullptr, TRUE);
            return 0;
        case WM_MOUSELEAVE:
            tracking_ = false;
            hover_ = false;
            InvalidateRect(Hwnd(), nullptr, TRUE);
            return 0;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (inactive_) return 0;
            break;
        case WM_KEYDOWN:
        case WM_KEYUP:
            // The space bar clicks a focused button; an inactive one must not react.
            if (inactive_ && wParam == VK_SPACE) return 0;
            break;
        case WM_SETCURSOR:
            if (ownCursor_ && cursor_) {
                SetCursor(cursor_);
                return TRUE;
            }
            break;
        case WM_ERASEBKGND:
            return TRUE;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

}  // namespace tarnock::ui
