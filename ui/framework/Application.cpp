#include "ui/framework/Application.h"

#include "base/TextUtil.h"
#include "ui/framework/Dialog.h"
#include "ui/framework/MessageLoop.h"

namespace tarnock::ui {

CApplication* CApplication::current_ = nullptr;

CApplication::CApplication() { current_ = this; }

CApplication::~CApplication() {
    if (current_ == this) current_ = nullptr;
}

int CApplication::Run(HINSTANCE instance) {
    instance_ = instance;
    if (!InitInstance()) return 0;
    loop::Run([] { return true; });
    // The loop left the WM_QUIT in the queue for this outermost level.
    MSG quit{};
    return PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) ? static_cast<int>(quit.wParam) : 0;
}

INT_PTR CApplication::RunMainDialog(CDialog& dialog) {
    mainDialog_ = &dialog;
    const INT_PTR result = dialog.DoModal();
    mainDialog_ = nullptr;
    mainWindow_ = nullptr;
    return result;
}

int AppMessageBox(const std::wstring& text, UINT flags) {
    CApplication* app = CApplication::Current();
    const HWND owner = app ? app->MainWindow() : nullptr;
    const std::wstring caption = app ? app->AppName() : std::wstring();
    return MessageBoxW(owner, text.c_str(), caption.empty() ? nullptr : caption.c_str(), flags);
}

std::wstring LoadResourceStringW(UINT id) {
    const wchar_t* text = nullptr;
    // With a zero buffer size LoadStringW hands out a read-only pointer into the resource.
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 && text ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

std::string LoadResourceStringA(UINT id) { return AnsiFromWide(LoadResourceStringW(id)); }

}  // namespace tarnock::ui
