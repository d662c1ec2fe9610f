// The application object of Tarnock: single instance, start-up settings, the updater
// started in the background, and the main dialog run modally.
#pragma once

#include <string>

#include "ui/framework/Application.h"

namespace tarnock {

class CkelvoApp : public ui::CApplication {
public:
    CkelvoApp() { SetAppName(L"Tarnock"); }

    static CkelvoApp* Current() { return static_cast<CkelvoApp*>(ui::CApplication::Current()); }

    // which 0: "AutoUpdate", 1: "DisplayStyle"; the stored 32-bit value or 0.
    static int ReadStartupSetting(int which);
    // Drive and directory of the running program followed by the updater's file name.
    static std::string GetUpdaterPath();

    // Both live for the whole process; the main menu writes autoUpdate back.
    int autoUpdate = 0;
    int displayStyle = 0;

protected:
    // Runs the whole program; always false, so no second message loop follows.
    bool InitInstance() override;
};

// Hands `commandLine` to the running instance's window (WM_COPYDATA, dwData 1, no terminator).
void SendCommandLine(HWND target, const std::string& commandLine);

}  // namespace tarnock
