// The session every end-to-end test of Tarnock.exe starts from: the staged program (with
// kelvo.dat, the reporting library and a recording updater stand-in), its settings in the
// registry, and one running instance driven as a user would: launched and waited for,
// buttons clicked, its main menu opened, its list read.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "support/UiDriver.h"

namespace tarnock::testing {

inline constexpr char kTarnockTitle[] = "Tarnock (Tarnock) ";
inline constexpr char kTarnockSettingsKey[] = "Software\\Olmatic\\Tarnock";

// The staged program's folder and file.
std::string StageDir();
std::string TarnockExe();

// Tarnock's settings under HKEY_CURRENT_USER.
void ResetSettings();
bool WriteSetting(const char* name, DWORD value);
std::optional<DWORD> ReadSetting(const char* name);

// Clicks a button and waits until the click has been handled (a sent BM_CLICK): the
// command's synchronous part has run when it returns true.
bool ClickAndWait(HWND button, DWORD timeoutMs = 60000);

// One running Tarnock.exe; killed when the session ends.
class TarnockSession {
public:
    TarnockSession() = default;
    ~TarnockSession() { Kill(); }
    TarnockSession(const TarnockSession&) = delete;
    TarnockSession& operator=(const TarnockSession&) = delete;

    // Starts the program (`arguments` after its quoted path, `exe` the staged one by default)
    // and waits until its initialised main window is on the screen; nullptr when it is not
    // within timeoutMs.
    HWND Launch(const std::string& arguments = "", DWORD timeoutMs = 20000, const std::string& exe = "");
    void Kill();

    HWND Main() const { return main_; }
    HWND Item(int id) const { return GetDlgItem(main_, id); }
    HWND List() const;
    DWORD Id() const { return process_.Id(); }
    ProgramProcess& Process() { return process_; }

    // A sent click on the main window's button `id`.
    bool Click(int id, DWORD timeoutMs = 60000) const { return ClickAndWait(Item(id), timeoutMs); }
    // The rows of the result list (its first `columns` texts).
    std::vector<RemoteRow> Rows(int columns = 4) const;
    // Opens the main menu and reads its items; CloseMenus closes it again.
    std::vector<MenuEntry> OpenMainMenu() const;
    void CloseMenus() const;
    // Hands `data` to the window as a second start does (WM_COPYDATA of `kind`, 1 for the
    // command line); true when the message was delivered.
    bool HandOver(const std::string& data, ULONG_PTR kind = 1, DWORD timeoutMs = 60000) const;

private:
    ProgramProcess process_;
    HWND main_ = nullptr;
};

}  // namespace tarnock::testing
