// TarnockSetup.exe: carries the Windows Installer package of Tarnock as a resource, writes
// it to a private temporary folder and hands it to msiexec, whose exit code it returns.
// "/S" installs without a question or window; "/uninstall" removes the installed Tarnock,
// whichever version it is (found by the package family's upgrade code).
#include <windows.h>
#include <msi.h>

#include <cstdio>
#include <string>

#include "base/ScopedHandles.h"
#include "setup/SetupOptions.h"
#include "setup/SetupResources.h"

namespace tarnock::setup {
namespace {

constexpr wchar_t kTitle[] = L"Tarnock 설치";
constexpr wchar_t kUsage[] =
    L"TarnockSetup.exe [/S] [/uninstall] [/log 파일]\r\n\r\n"
    L"/S\t묻지 않고 창 없이 설치하거나 제거합니다.\r\n"
    L"/uninstall\t설치된 Tarnock를 제거합니다.\r\n"
    L"/log 파일\tWindows Installer 기록을 파일에 남깁니다.";

int Ask(const std::wstring& text, UINT buttons) {
    return MessageBoxW(nullptr, text.c_str(), kTitle, buttons | MB_SETFOREGROUND);
}

std::wstring ErrorText(const wchar_t* what, DWORD code) {
    wchar_t text[256] = {};
    std::swprintf(text, std::size(text), L"%ls (오류 코드 %lu)", what, static_cast<unsigned long>(code));
    return text;
}

// The package file in a folder of its own below the temporary folder; both are deleted
// when the object goes away.
class ExtractedPackage {
public:
    ExtractedPackage() = default;
    ~ExtractedPackage() {
        if (!file_.empty()) DeleteFileW(file_.c_str());
        if (!folder_.empty()) RemoveDirectoryW(folder_.c_str());
    }
    ExtractedPackage(const ExtractedPackage&) = delete;
    ExtractedPackage& operator=(const ExtractedPackage&) = delete;

    // Error code of the first failing step, or ERROR_SUCCESS.
    DWORD Extract() {
        HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_PACKAGE), MAKEINTRESOURCEW(10));  // RT_RCDATA
        HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        const DWORD size = found ? SizeofResource(nullptr, found) : 0;
        if (!data || size == 0) return ERROR_RESOURCE_DATA_NOT_FOUND;

        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD length = GetTempPathW(MAX_PATH + 1, temp);
        if (length == 0 || length > MAX_PATH) return ERROR_PATH_NOT_FOUND;
        // A new folder only this run uses: nothing planted beside the package is picked up.
        std::wstring folder;
        for (unsigned attempt = 0;; ++attempt) {
            wchar_t name[64] = {};
            std::swprintf(name, std::size(name), L"TarnockSetup-%lu-%lu-%u", GetCurrentProcessId(),
                          GetTickCount(), attempt);
            folder = std::wstring(temp) + name;
            if (CreateDirectoryW(folder.c_str(), nullptr)) break;
            if (GetLastError() != ERROR_ALREADY_EXISTS || attempt >= 100) return GetLastError();
        }
        folder_ = folder;
        const std::wstring file = folder + L"\\Tarnock.msi";
        ScopedHandle out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!out) return GetLastError();
        file_ = file;
        DWORD written = 0;
        if (!WriteFile(out.Get(), data, size, &written, nullptr)) return GetLastError();
        if (written != size) return ERROR_WRITE_FAULT;
        return ERROR_SUCCESS;
    }
    const std::wstring& File() const { return file_; }

private:
    std::wstring folder_;
    std::wstring file_;
};

// Runs a command line and waits for it; its exit code, or the error that kept it from running.
DWORD RunAndWait(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return GetLastError();
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = ERROR_INSTALL_FAILURE;
    if (!GetExitCodeProcess(process.Get(), &code)) code = GetLastError();
    return code;
}

std::wstring MsiexecPath() {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"msiexec.exe";
    return std::wstring(system) + L"\\msiexec.exe";
}

std::wstring ProductInfo(const wchar_t* product, const wchar_t* property) {
    wchar_t value[256] = {};
    DWORD length = std::size(value);
    if (MsiGetProductInfoW(product, property, value, &length) != ERROR_SUCCESS) return {};
    return value;
}

// The product code of the installed Tarnock of any version, or empty text: found by the
// package family's upgrade code, or else by its name and publisher (Wine's installer drops
// the upgrade-code registration when an upgrade removes the old version).
std::wstring InstalledProduct() {
    wchar_t product[39] = {};
    if (MsiEnumRelatedProductsW(TARNOCK_UPGRADE_CODE, 0, 0, product) == ERROR_SUCCESS) return product;
    for (DWORD i = 0; MsiEnumProductsW(i, product) == ERROR_SUCCESS; ++i) {
        if (ProductInfo(product, L"ProductName") == L"Tarnock" && ProductInfo(product, L"Publisher") == L"Olmatic")
            return product;
    }
    return {};
}

bool Succeeded(DWORD code) { return code == ERROR_SUCCESS || code == ERROR_SUCCESS_REBOOT_REQUIRED; }

DWORD Install(const SetupOptions& options) {
    if (!options.silent &&
        Ask(L"Tarnock " TARNOCK_SETUP_VERSION L" 버전을 설치합니다. 계속하시겠습니까?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return ERROR_INSTALL_USEREXIT;
    ExtractedPackage package;
    DWORD code = package.Extract();
    if (code == ERROR_SUCCESS) code = RunAndWait(MsiexecCommandLine(MsiexecPath(), options, package.File()));
    if (!options.silent && code != ERROR_INSTALL_USEREXIT) {
        if (Succeeded(code))
            Ask(L"Tarnock 설치를 마쳤습니다.", MB_OK | MB_ICONINFORMATION);
        else
            Ask(ErrorText(L"Tarnock를 설치하지 못했습니다.", code), MB_OK | MB_ICONERROR);
    }
    return code;
}

DWORD Uninstall(const SetupOptions& options) {
    const std::wstring product = InstalledProduct();
    if (product.empty()) {
        if (!options.silent) Ask(L"설치된 Tarnock가 없습니다.", MB_OK | MB_ICONINFORMATION);
        return ERROR_UNKNOWN_PRODUCT;
    }
    if (!options.silent && Ask(L"Tarnock를 제거하시겠습니까?", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return ERROR_INSTALL_USEREXIT;
    const DWORD code = RunAndWait(MsiexecCommandLine(MsiexecPath(), options, product));
    if (!options.silent && code != ERROR_INSTALL_USEREXIT) {
        if (Succeeded(code))
            Ask(L"Tarnock를 제거했습니다.", MB_OK | MB_ICONINFORMATION);
        else
            Ask(ErrorText(L"Tarnock를 제거하지 못했습니다.", code), MB_OK | MB_ICONERROR);
    }
    return code;
}

}  // namespace
}  // namespace tarnock::setup

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    using namespace tarnock::setup;
    const std::optional<SetupOptions> options = ParseSetupOptions(ArgumentsOf(GetCommandLineW()));
    if (!options) {
        Ask(std::wstring(L"알 수 없는 옵션입니다.\r\n\r\n") + kUsage, MB_OK | MB_ICONWARNING);
        return ERROR_INVALID_PARAMETER;
    }
    switch (options->action) {
    case SetupAction::Help:
        Ask(kUsage, MB_OK | MB_ICONINFORMATION);
        return ERROR_SUCCESS;
    case SetupAction::Uninstall:
        return static_cast<int>(Uninstall(*options));
    case SetupAction::Install:
        break;
    }
    return static_cast<int>(Install(*options));
}
