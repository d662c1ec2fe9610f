#include "ui/BDialog.h"

#include <algorithm>

namespace tarnock::ui {

void DrawSkin(HDC dc, HBITMAP skin, int drawMode, int width, int height) {
    if (dc == nullptr || skin == nullptr || width <= 0 || height <= 0) return;
    BITMAP info{};
    if (GetObjectW(skin, sizeof(info), &info) == 0 || info.bmWidth <= 0 || info.bmHeight <= 0) return;
    const int w = info.bmWidth;
    const int h = std::abs(info.bmHeight);
    ScopedMemoryDc source(CreateCompatibleDC(dc));
    if (!source) return;
    ScopedSelect select(source.Get(), skin);
    // Every copy takes only what the bitmap has: nothing from outside it reaches the window.
    auto copy = [&](int x, int y) {
        BitBlt(dc, x, y, std::min(w, width - x), std::min(h, height - y), source.Get(), 0, 0, SRCCOPY);
    };
    switch (drawMode) {
        case 0:
            for (int y = 0; y < height; y += h)
                for (int x = 0; x < width; x += w) copy(x, y);
            break;
        case 1:
            copy(w < width ? (width - w) / 2 : 0, h < height ? (height - h) / 2 : 0);
            break;
        case 2: {
            const int previous = SetStretchBltMode(dc, COLORONCOLOR);
            StretchBlt(dc, 0, 0, width, height, source.Get(), 0, 0, w, h, SRCCOPY);
            SetStretchBltMode(dc, previous);
            break;
        }
        default:
            break;
    }
}

CBDialog::CBDialog(UINT templateId, HWND parent) : CDialog(templateId, parent) {
    OnMessage(WM_ERASEBKGND, [this](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        // The dialog colour first, as the dialog manager erases, so uncovered areas keep it.
        const HDC dc = reinterpret_cast<HDC>(wParam);
        RECT client{};
        GetClientRect(Hwnd(), &client);
        FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
        DrawSkin(dc, background_.Get(), drawMode_, client.right, client.bottom);
        return TRUE;
    });
}

void CBDialog::SetDrawMode(int mode) {
    if (mode >= 0 && mode <= 2) drawMode_ = mode;
}

SIZE CBDialog::BackgroundSize() const {
    BITMAP info{};
    if (!background_ || GetObjectW(background_.Get(), sizeof(info), &info) == 0) return SIZE{0, 0};
    return SIZE{info.bmWidth, std::abs(info.bmHeight)};
}

void CBDialog::SetBackground(UINT id) {
    background_.Reset(LoadBitmapA(GetModuleHandleW(nullptr), MAKEINTRESOURCEA(id)));
}

}  // namespace tarnock::ui
