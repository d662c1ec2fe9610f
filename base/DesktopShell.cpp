#include "base/DesktopShell.h"

#include <windows.h>
#include <exdisp.h>
#include <servprov.h>
#include <shldisp.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"

namespace tarnock {

namespace {

// The shell's automation object of the desktop window. The desktop's shell runs in the
// user's session with the user's own token; whatever it starts gets that token too.
bool DesktopShellDispatch(ComPtr<IShellDispatch2>& out) {
    ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                                windows.PutVoid())))
        return false;
    ScopedVariant location(static_cast<long>(CSIDL_DESKTOP));
    ScopedVariant root;
    long window = 0;
    ComPtr<IDispatch> desktop;
    if (windows->FindWindowSW(location.Get(), root.Get(), SWC_DESKTOP, &window, SWFO_NEEDDISPATCH, desktop.Put()) !=
            S_OK ||
        !desktop)
        return false;
    ComPtr<IServiceProvider> services;
    if (FAILED(desktop.As(services))) return false;
    ComPtr<IShellBrowser> browser;
    if (FAILED(services->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, browser.PutVoid())) || !browser)
        return false;
    ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Put())) || !view) return false;
    ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, background.PutVoid())) || !background)
        return false;
    ComPtr<IShellFolderViewDual> folderView;
    if (FAILED(background.As(folderView))) return false;
    ComPtr<IDispatch> application;
    if (FAILED(folderView->get_Application(application.Put())) || !application) return false;
    ComPtr<IShellDispatch2> shell;
    if (FAILED(application.As(shell))) return false;
    out = std::move(shell);
    return true;
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

}  // namespace

ShellStart StartThroughDesktopShell(const std::wstring& file, const std::wstring& arguments,
                                    const std::wstring& directory, const wchar_t* verb) {
    if (file.empty()) return ShellStart::Refused;
    // The caller's thread may already be in an apartment; the calls below work in either.
    const ScopedComInit com(COINIT_APARTMENTTHREADED);
    ComPtr<IShellDispatch2> shell;
    if (!DesktopShellDispatch(shell)) return ShellStart::NoDesktopShell;
    ScopedBstr fileText(file.c_str());
    ScopedVariant argumentText(arguments.c_str());
    ScopedVariant directoryText(directory.c_str());
    ScopedVariant verbText(verb ? verb : L"open");
    ScopedVariant show(static_cast<long>(SW_SHOWNORMAL));
    if (!fileText) return ShellStart::Refused;
    const HRESULT result = shell->ShellExecute(fileText.Get(), argumentText.Value(), directoryText.Value(),
                                               verbText.Value(), show.Value());
    return SUCCEEDED(result) ? ShellStart::Started : ShellStart::Refused;
}

bool IsExistingLocalFolder(const std::wstring& folder) {
    // "X:\" and more: a drive letter, never "\\server\share", "\\?\..." or "proto://...".
    if (folder.size() < 3 || !IsAsciiLetter(folder[0]) || folder[1] != L':' || folder[2] != L'\\') return false;
    if (folder.find(L'/') != std::wstring::npos || folder.find(L'"') != std::wstring::npos) return false;
    const std::wstring root = folder.substr(0, 3);
    const UINT drive = GetDriveTypeW(root.c_str());
    if (drive == DRIVE_REMOTE || drive == DRIVE_NO_ROOT_DIR || drive == DRIVE_UNKNOWN) return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsWebAddress(std::string_view address) {
    const std::string lower = ToLowerAnsi(address);
    std::size_t hostStart = 0;
    if (StartsWith(lower, "http://")) hostStart = 7;
    else if (StartsWith(lower, "https://")) hostStart = 8;
    else return false;
    if (hostStart >= lower.size()) return false;
    const char first = lower[hostStart];
    return first != '/' && first != '\\' && first != '?' && first != '#';
}

bool OpenFolderAsUser(const std::wstring& folder) {
    if (!IsExistingLocalFolder(folder)) return false;
    return StartThroughDesktopShell(folder, L"", L"", L"open") == ShellStart::Started;
}

bool OpenWebAddressAsUser(const std::string& address) {
    if (!IsWebAddress(address)) return false;
    return StartThroughDesktopShell(WideFromAnsi(address), L"", L"", L"open") == ShellStart::Started;
}

}  // namespace tarnock
