// Starting programs, folders and web addresses as the signed-in user rather than with
// Tarnock's administrator token: the request goes to the desktop's own shell (the shell
// window of the desktop, which runs unelevated in the user's session), which starts it as
// if the user had double-clicked it. Nothing here ever starts a process itself.
#pragma once

#include <string>
#include <string_view>

namespace tarnock {

enum class ShellStart {
    Started,         // the desktop shell accepted the request
    NoDesktopShell,  // no desktop shell window, or one of its automation steps is missing
    Refused,         // the shell was reached and refused the request
};

// Asks the desktop shell to start `file` with `arguments` in `directory` (may be empty)
// with `verb` ("open"). The started process is the shell's child, not Tarnock's: it can
// be neither waited for nor tracked.
ShellStart StartThroughDesktopShell(const std::wstring& file, const std::wstring& arguments,
                                    const std::wstring& directory, const wchar_t* verb = L"open");
// The form of StartThroughDesktopShell that callers hold, so that tests can stand in for
// a session without a desktop shell.
using ShellStarter = ShellStart (*)(const std::wstring& file, const std::wstring& arguments,
                                    const std::wstring& directory, const wchar_t* verb);

// A folder on a local drive ("C:\..."), no network path, device path or address, that
// exists as a folder now.
bool IsExistingLocalFolder(const std::wstring& folder);
// An address that starts with "http://" or "https://" (any letter case) and has a host.
bool IsWebAddress(std::string_view address);

// Opens an existing local folder through the desktop shell; false when the folder is not
// one or the shell did not take it. Nothing is opened with Tarnock's rights.
bool OpenFolderAsUser(const std::wstring& folder);
// Opens an http or https address in the user's default browser through the desktop shell;
// false for any other address or when the shell did not take it.
bool OpenWebAddressAsUser(const std::string& address);

}  // namespace tarnock
