#include "ui/HButton.h"

#include <commctrl.h>

#include <string>

#include "base/ScopedHandles.h"

namespace tarnock::ui {

namespace {

constexpr UINT_PTR kToolId = 1;

std::wstring WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

}  // namespace

void CHButton::PreSubclass() {
    // The drawing arrives as WM_DRAWITEM at the parent, which hands it back here.
    const LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
    if ((style & BS_TYPEMASK) != BS_OWNERDRAW)
        SendMessageW(Hwnd(), BM_SETSTYLE, (style & ~static_cast<LONG_PTR>(BS_TYPEMASK)) | BS_OWNERDRAW, TRUE);
}

void CHButton::Repaint() {
    if (Hwnd()) InvalidateRect(Hwnd(), nullptr, TRUE);
}

void CHButton::SetHoverColour(COLORREF colour, int use) {
    hoverColour_ = colour;
    useHoverColour_ = use;
    Repaint();
}

void CHButton::SetUnderlineMode(int mode) {
    underlineMode_ = mode;
    Repaint();
}

void CHButton::SetIcon(HICON icon) {
    icon_ = icon;
    hasIcon_ = icon != nullptr;
    Repaint();
}

void CHButton::EnsureToolTip() {
    if (toolTip_ != nullptr || Hwnd() == nullptr) return;
    toolTip_ = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, Hwnd(), nullptr, GetModuleHandleW(nullptr), nullptr);
    if (toolTip_) SendMessageW(toolTip_, TTM_ACTIVATE, FALSE, 0);
}

void CHButton::SetToolTipText(const wchar_t* text, bool activate) {
    if (text == nullptr) return;
    EnsureToolTip();
    if (toolTip_ == nullptr) return;

    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = Hwnd();
    tool.uId = kToolId;
    tool.lpszText = const_cast<wchar_t*>(text);
    if (SendMessageW(toolTip_, TTM_GETTOOLCOUNT, 0, 0) == 0) {
        GetClientRect(Hwnd(), &tool.rect);
        SendMessageW(toolTip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(toolTip_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(toolTip_, TTM_ACTIVATE, activate ? TRUE : FALSE, 0);
}

LRESULT CHButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    // The modal dialog's loop gives no pre-translation step: the mouse messages reach the
    // tool-tip from here.
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) {
        EnsureToolTip();
        if (toolTip_) {
            MSG msg{Hwnd(), message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
            const DWORD pos = GetMessagePos();
            msg.pt = {static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
            SendMessageW(toolTip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
        }
    }
    switch (message) {
        case WM_MOUSEMOVE:
            if (!hover_) {
                hover_ = true;
                Repaint();
                TRACKMOUSEEVENT track{};
                track.cbSize = sizeof(track);
                track.dwFlags = TME_LEAVE;
                track.hwndTrack = Hwnd();
                TrackMouseEvent(&track);
            }
            break;
        case WM_MOUSELEAVE:
            hover_ = false;
            Repaint();
            return 0;
        default:
            break;
    }
    return DefaultProc(message, wParam, lParam);
}

bool CHButton::OnReflectedDrawItem(DRAWITEMSTRUCT* item) {
    if (item == nullptr || item->CtlType != ODT_BUTTON) return false;
    Draw(*item);
    return true;
}

void CHButton::Draw(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    const std::wstring caption = WindowTextOf(Hwnd());
    SIZE extent{};
    GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);

    ScopedFont underlined;
    if (underlineMode_ == 1 || (underlineMode_ == 2 && hover_)) {
        HFONT font = reinterpret_cast<HFONT>(SendMessageW(Hwnd(), WM_GETFONT, 0, 0));
        if (font == nullptr) font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        LOGFONTW logFont{};
        if (GetObjectW(font, sizeof(logFont), &logFont) != 0) {
            logFont.lfUnderline = TRUE;
            underlined.Reset(CreateFontIndirectW(&logFont));
        }
    }
    ScopedSelect fontSelected(dc, underlined.Get());

    ScopedBrush background(CreateSolidBrush(backgroundColour_));
    FillRect(dc, &item.rcItem, background.Get());

    const int half = extent.cx / 2 + (hasIcon_ ? iconSize_ / 2 : 0);

    RECT window;
    GetWindowRect(Hwnd(), &window);
    MapWindowPoints(nullptr, GetParent(Hwnd()), reinterpret_cast<POINT*>(&window), 2);
    const int centreX = (window.left + window.right) / 2;
    const int centreY = (window.top + window.bottom) / 2;

    SetTextColor(dc, hover_ && useHoverColour_ ? hoverColour_ : textColour_);

    RECT textArea = item.rcItem;
    if (hasIcon_) {
        DrawIconEx(dc, 0, 0, icon_, iconSize_, iconSize_, 0, nullptr, DI_NORMAL | DI_COMPAT);
        textArea.left = 2 * iconSize_;
    }
    if (!caption.empty()) {
        const int x = (textArea.left + textArea.right) / 2 - half;
        const int y = (item.rcItem.top + item.rcItem.bottom) / 2 - extent.cy / 2;
        SetBkMode(dc, TRANSPARENT);
        if (item.itemState & ODS_DISABLED) {
            DrawStateW(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(caption.c_str()),
                       static_cast<WPARAM>(caption.size()), x, y, extent.cx, extent.cy, DST_TEXT | DSS_DISABLED);
        } else {
            TextOutW(dc, x, y, caption.c_str(), static_cast<int>(caption.size()));
        }
    }

    // Keep the centre and fit the caption and icon with a 2-pixel margin.
    const int left = centreX - half - 2;
    const int top = centreY - extent.cy / 2 - 2;
    const int width = 2 * half + 4;
    const int height = extent.cy + 4;
    if (left != window.left || top != window.top || width != window.right - window.left ||
        height != window.bottom - window.top) {
        MoveWindow(Hwnd(), left, top, width, height, TRUE);
        if (toolTip_) {
            TTTOOLINFOW tool{};
            tool.cbSize = TTTOOLINFOW_V2_SIZE;
            tool.hwnd = Hwnd();
            tool.uId = kToolId;
            tool.rect = {0, 0, width, height};
            SendMessageW(toolTip_, TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
        }
    }
}

}  // namespace tarnock::ui
