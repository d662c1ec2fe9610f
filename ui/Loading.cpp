#include "ui/Loading.h"

#include "resource.h"

namespace tarnock::ui {

CLoading::CLoading(HWND parent) : CDialog(IDD_LOADING, parent) {
    OnMessage(WM_ERASEBKGND, [this](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        RECT client{};
        GetClientRect(Hwnd(), &client);
        image_.Draw(reinterpret_cast<HDC>(wParam), client);
        return TRUE;
    });
}

BOOL CLoading::OnInitDialog() {
    SetWindowPos(Hwnd(), HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    image_.LoadFromResource(IDB_LOADING, "BMP");
    return TRUE;
}

bool CLoading::PreTranslateMessage(MSG& msg) {
    if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) return true;
    return CDialog::PreTranslateMessage(msg);
}

}  // namespace tarnock::ui
