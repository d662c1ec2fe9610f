// Drives a real Windows program from another process, as a user would: starts it, finds
// its windows, clicks buttons, chooses menu commands, answers message boxes, reads its list
// views and its popup menus, and saves screenshots. Every wait is a bounded poll.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace tarnock::testing {

// Polls `condition` every `stepMs` until it holds or `timeoutMs` passed; true when it held.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs = 20);

// A started program; killed by its process id when the object goes away.
class ProgramProcess {
public:
    ProgramProcess() = default;
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    // commandLine is passed unchanged (GetCommandLineA of the child sees exactly it). A
    // program that needs administrator rights the caller lacks is started through the
    // shell's "runas" verb instead (the consent prompt then needs a user).
    bool Start(const std::string& exePath, const std::string& commandLine, const std::string& workingDir = "");
    DWORD Id() const { return id_; }
    HANDLE Handle() const { return process_; }
    bool IsRunning() const;
    // True when the process ended within timeoutMs; its exit code goes to *exitCode.
    bool WaitForExit(DWORD timeoutMs, DWORD* exitCode = nullptr) const;
    void Kill();

private:
    bool StartElevated(const std::string& exePath, const std::string& commandLine, const std::string& workingDir);
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// Top-level windows of process `pid` (visible only when asked), optionally of one class.
std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className = nullptr, bool visibleOnly = true);
// A top-level window with exactly this title (FindWindowA), waited for.
HWND WaitForWindowTitle(const std::string& title, DWORD timeoutMs);
// A visible dialog-class window ("#32770") of `pid` other than `except`, waited for.
HWND WaitForMessageBox(DWORD pid, HWND except, DWORD timeoutMs);

std::wstring WindowTextW(HWND window);
std::string Utf8(const std::wstring& text);
std::wstring Wide(const std::string& utf8);
// The text of a message box: its longest static text.
std::wstring MessageBoxText(HWND box);
// Ends a message box or dialog as if its button `id` (IDOK, IDYES, IDNO...) was clicked.
void AnswerDialog(HWND dialog, int id);

// Posted, so a modal loop started by the click does not block the caller.
void ClickButton(HWND dialog, int id);
void PostCommand(HWND window, UINT id);
void PostKey(HWND window, UINT virtualKey);
// True when the window's thread answers a message within timeoutMs.
bool IsResponsive(HWND window, DWORD timeoutMs);

// A list view of another process, read through memory allocated in that process.
struct RemoteRow {
    std::vector<std::string> texts;  // 8-bit code-page texts as the list holds them
    LPARAM param = 0;
    int image = -1;  // index in the list's image lists
};
class RemoteListView {
public:
    explicit RemoteListView(HWND list);
    ~RemoteListView();
    RemoteListView(const RemoteListView&) = delete;
    RemoteListView& operator=(const RemoteListView&) = delete;

    int Count() const;
    std::string Text(int row, int column) const;
    LPARAM Param(int row) const;
    int Image(int row) const;  // -1 when it cannot be read
    // The row's bounds in the list's client coordinates (empty when it cannot be read).
    RECT ItemRect(int row) const;
    std::vector<RemoteRow> Rows(int columns = 4) const;
    int SelectedRow() const;
    bool Select(int row);
    bool ClearSelection();

private:
    HWND list_;
    HANDLE process_ = nullptr;
    void* remote_ = nullptr;  // LVITEMA followed by a text buffer
};

// A popup menu's items, read from the process that shows it.
struct MenuEntry {
    UINT id = 0;
    std::wstring text;
    bool separator = false;
    bool checked = false;
    bool isDefault = false;
    bool grayed = false;
    int depth = 0;  // 1 for items of a sub-menu
};
// Waits for a popup menu ("#32768") of `pid`, reads all its items (and sub-menus).
// Empty when no menu opened within timeoutMs.
std::vector<MenuEntry> ReadOpenPopupMenu(DWORD pid, DWORD timeoutMs);
// Drops `files` on `target` as Explorer would: a WM_DROPFILES whose HDROP is built inside
// the target's process and posted there. True when it was posted.
bool DropFiles(HWND target, const std::vector<std::string>& files, DWORD timeoutMs = 5000);
// Closes the open popup menus of `pid`.
void CloseMenus(DWORD pid);

// A visible top-level dialog-class window of `pid` whose title is `titleUtf8`, waited for.
HWND WaitForDialogTitle(DWORD pid, const std::string& titleUtf8, DWORD timeoutMs);

// The number of GDI objects that process `process` holds (GetGuiResources; where the
// system does not implement it, as under Wine, the live entries of the process's GDI handle
// table). -1 when it cannot be read.
long GdiObjectCount(HANDLE process);

// Saves what the screen shows of `window` as a PNG file (folders are created).
bool SaveScreenshot(HWND window, const std::string& path);

// A Unix path as Wine shows it (drive Z:), backslashes; other paths only get backslashes.
std::string WindowsPath(const std::string& path);
// Paths of the build tree.
std::string BuildDir();
std::string ScreenshotPath(const std::string& name);

}  // namespace tarnock::testing
