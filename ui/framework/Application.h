// The program's thin dialog framework: one application object per process.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock::ui {

class CDialog;

class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // Runs InitInstance and, when it returns true, the framework's message loop until
    // WM_QUIT; returns the exit code.
    int Run(HINSTANCE instance);

    // Runs `dialog` as the program's main window: modal on the framework's loop, so the
    // pre-translation chain sees its messages and those of every dialog it opens. The
    // window is the main window from its creation until it is destroyed.
    INT_PTR RunMainDialog(CDialog& dialog);

    static CApplication* Current() { return current_; }
    HINSTANCE Instance() const { return instance_; }
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    const CDialog* MainDialog() const { return mainDialog_; }
    // The caption of the application's message boxes; the program sets it.
    const std::wstring& AppName() const { return appName_; }
    void SetAppName(std::wstring name) { appName_ = std::move(name); }

protected:
    virtual bool InitInstance() = 0;

private:
    static CApplication* current_;
    HINSTANCE instance_ = nullptr;
    HWND mainWindow_ = nullptr;
    const CDialog* mainDialog_ = nullptr;
    std::wstring appName_;
};

// The application's message box: caption the application's name, owned by the main window.
int AppMessageBox(const std::wstring& text, UINT flags = MB_OK | MB_ICONEXCLAMATION);

// Loads a string resource of the program as UTF-16 / as 8-bit code-page text.
std::wstring LoadResourceStringW(UINT id);
std::string LoadResourceStringA(UINT id);

}  // namespace tarnock::ui
