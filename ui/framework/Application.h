// The program's thin dialog framework: one application object per process.
#pragma once

#include <windows.h>

#include <string>

namespace tarnock::ui {

class CApplication {
public:
    CApplication();
    virtual ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // Runs InitInstance and, when it returns true, a plain message loop; returns the exit code.
    int Run(HINSTANCE instance);

    static CApplication* Current() { return current_; }
    HINSTANCE Instance() const { return instance_; }
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }
    const std::wstring& AppName() const { return appName_; }
    void SetAppName(std::wstring name) { appName_ = std::move(name); }

protected:
    virtual bool InitInstance() = 0;

private:
    static CApplication* current_;
    HINSTANCE instance_ = nullptr;
    HWND mainWindow_ = nullptr;
    std::wstring appName_ = L"Tarnock";
};

// The application's message box: caption the application's name, owned by the main window.
int AppMessageBox(const std::wstring& text, UINT flags = MB_OK | MB_ICONEXCLAMATION);

// Loads a string resource of the program as UTF-16 / as 8-bit code-page text.
std::wstring LoadResourceStringW(UINT id);
std::string LoadResourceStringA(UINT id);

}  // namespace tarnock::ui
