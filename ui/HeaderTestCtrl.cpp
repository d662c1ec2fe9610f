#include "ui/HeaderTestCtrl.h"

#include <iterator>

#include "base/ScopedHandles.h"
#include "resource.h"
#include "ui/MemDC.h"

namespace tarnock::ui {

namespace {

constexpr COLORREF kHeaderBackground = RGB(246, 246, 243);
constexpr COLORREF kSeparator = RGB(168, 176, 186);
constexpr int kSkinHeight = 18;

void FillColour(HDC dc, const RECT& rect, COLORREF colour) {
    ScopedBrush brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.Get());
}

}  // namespace

LRESULT CHeaderTestCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = BeginPaint(Hwnd(), &ps);
            if (dc) Paint(dc);
            EndPaint(Hwnd(), &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return TRUE;  // the paint covers every pixel
        default:
            return DefaultProc(message, wParam, lParam);
    }
}

void CHeaderTestCtrl::Paint(HDC target) {
    RECT client;
    GetClientRect(Hwnd(), &client);
    CMemDC mem(target, client);
    if (!mem.IsValid()) return;
    const HDC dc = mem.Get();
    FillColour(dc, client, kHeaderBackground);

    ScopedBitmap skin(LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_HEADER)));
    ScopedMemoryDc skinDc(CreateCompatibleDC(dc));
    if (!skin || !skinDc) return;
    ScopedSelect skinSelected(skinDc.Get(), skin.Get());

    const int width = client.right - client.left;
    StretchBlt(dc, client.left + 2, 0, width, kSkinHeight, skinDc.Get(), 0, 0, 1, kSkinHeight, SRCCOPY);

    ScopedFont font(CreateFontW(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"굴림"));
    ScopedSelect fontSelected(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);

    const int count = static_cast<int>(SendMessageW(Hwnd(), HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[255] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_ORDER;
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        if (!SendMessageW(Hwnd(), HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&item))) continue;
        text[std::size(text) - 1] = L'\0';
        RECT rect{};
        SendMessageW(Hwnd(), HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&rect));

        if (item.iOrder == 0) {
            BitBlt(dc, rect.left, 0, 2, kSkinHeight, skinDc.Get(), 0, 0, SRCCOPY);
        } else {
            const RECT separator{rect.left - 1, 0, rect.left + 1, kSkinHeight};
            FillColour(dc, separator, kSeparator);
            BitBlt(dc, rect.left + 1, 0, 1, kSkinHeight, skinDc.Get(), 0, 0, SRCCOPY);
        }
        StretchBlt(dc, rect.left + 2, 0, rect.right - rect.left - 4, 1, skinDc.Get(), 0, 0, 1, kSkinHeight + 1,
                   SRCCOPY);
        BitBlt(dc, rect.right - 2, 0, 2, kSkinHeight, skinDc.Get(), 0, 0, SRCCOPY);

        RECT textRect{rect.left + 2, rect.top + 2, rect.right - 2, rect.bottom - 2};
        DrawTextW(dc, text, -1, &textRect, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
}

}  // namespace tarnock::ui
