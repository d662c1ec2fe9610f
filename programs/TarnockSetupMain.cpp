// TarnockSetup.exe: carries the Windows Installer package of Tarnock as a resource, writes
// it into a folder only administrators can write and hands it to msiexec, whose exit code it
// returns. It often runs from a download folder that other programs can write: it links only
// libraries the system loads from its own folder, and loads msi.dll from there by itself.
// "/S" installs without a question or window; "/uninstall" removes the installed Tarnock,
// whichever version it is (found by the package family's upgrade code).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "base/ScopedHandles.h"
#include "base/TrustedFiles.h"
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

std::wstring SystemFolder() {
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? std::wstring() : std::wstring(system, length);
}

// The package file in a private folder of its own below %ProgramData%\Tarnock\Setup, held
// open against writers from the check of its bytes until msiexec has finished with it; the
// file and the folder are deleted when the object goes away.
class ExtractedPackage {
public:
    ExtractedPackage() = default;
    ~ExtractedPackage() {
        held_.Reset();
        if (!folder_.empty()) RemovePrivateFolder(folder_);
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

        // Not the user's temporary folder: any program of the user could change the package
        // there between writing and installing.
        const std::wstring parent = MachineDataFolder(L"Setup");
        if (parent.empty()) return ERROR_PATH_NOT_FOUND;
        const std::optional<std::wstring> folder = CreatePrivateFolder(parent);
        if (!folder) return ERROR_ACCESS_DENIED;
        folder_ = *folder;
        const std::wstring file = folder_ + L"\\Tarnock.msi";
        {
            ScopedHandle out(CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
            if (!out) return GetLastError();
            file_ = file;
            DWORD written = 0;
            if (!WriteFile(out.Get(), data, size, &written, nullptr)) return GetLastError();
            if (written != size) return ERROR_WRITE_FAULT;
        }
        // Reopened without write access, so that msiexec can read it, and compared with the
        // carried package through the handle that now keeps writers out.
        held_ = OpenHeldFile(file);
        if (!held_) return GetLastError() != ERROR_SUCCESS ? GetLastError() : ERROR_ACCESS_DENIED;
        if (!SameBytes(held_.Get(), static_cast<const char*>(data), size)) return ERROR_FILE_CORRUPT;
        return ERROR_SUCCESS;
    }
    const std::wstring& File() const { return file_; }

private:
    static bool SameBytes(HANDLE file, const char* data, DWORD size) {
        char buffer[64 * 1024];
        DWORD offset = 0;
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file, buffer, sizeof(buffer), &read, nullptr)) return false;
            if (read == 0) return offset == size;
            if (read > size - offset || std::memcmp(buffer, data + offset, read) != 0) return false;
            offset += read;
        }
    }

    std::wstring folder_;
    std::wstring file_;
    ScopedHandle held_;
};

// The three installer functions the setup needs, from the system's msi.dll: linking it would
// let the loader take an msi.dll from the folder the setup was started from.
class InstallerLibrary {
public:
    InstallerLibrary() : module_(LoadSystemLibrary(L"msi.dll")) {
        if (!module_) return;
        enumRelated_ = reinterpret_cast<EnumRelatedFn>(GetProcAddress(module_.Get(), "MsiEnumRelatedProductsW"));
        enumProducts_ = reinterpret_cast<EnumProductsFn>(GetProcAddress(module_.Get(), "MsiEnumProductsW"));
        productInfo_ = reinterpret_cast<ProductInfoFn>(GetProcAddress(module_.Get(), "MsiGetProductInfoW"));
    }
    bool Loaded() const { return enumRelated_ && enumProducts_ && productInfo_; }
    UINT EnumRelatedProducts(LPCWSTR upgradeCode, DWORD index, LPWSTR product) const {
        return enumRelated_(upgradeCode, 0, index, product);
    }
    UINT EnumProducts(DWORD index, LPWSTR product) const { return enumProducts_(index, product); }
    UINT GetProductInfo(LPCWSTR product, LPCWSTR property, LPWSTR value, LPDWORD length) const {
        return productInfo_(product, property, value, length);
    }

private:
    using EnumRelatedFn = UINT(WINAPI*)(LPCWSTR, DWORD, DWORD, LPWSTR);
    using EnumProductsFn = UINT(WINAPI*)(DWORD, LPWSTR);
    using ProductInfoFn = UINT(WINAPI*)(LPCWSTR, LPCWSTR, LPWSTR, LPDWORD);
    ScopedModule module_;
    EnumRelatedFn enumRelated_ = nullptr;
    EnumProductsFn enumProducts_ = nullptr;
    ProductInfoFn productInfo_ = nullptr;
};

// Runs a command line and waits for it; its exit code, or the error that kept it from running.
DWORD RunAndWait(std::wstring commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Started in the system folder, not in the folder the setup was downloaded to.
    const std::wstring folder = SystemFolder();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return GetLastError();
    ScopedHandle process(info.hProcess);
    ScopedHandle thread(info.hThread);
    WaitForSingleObject(process.Get(), INFINITE);
    DWORD code = ERROR_INSTALL_FAILURE;
    if (!GetExitCodeProcess(process.Get(), &code)) code = GetLastError();
    return code;
}

// Empty when the system folder is unknown: then nothing is started at all.
std::wstring MsiexecPath() {
    const std::wstring system = SystemFolder();
    return system.empty() ? std::wstring() : system + L"\\msiexec.exe";
}

std::wstring ProductInfo(const InstallerLibrary& msi, const wchar_t* product, const wchar_t* property) {
    wchar_t value[256] = {};
    DWORD length = std::size(value);
    if (msi.GetProductInfo(product, property, value, &length) != ERROR_SUCCESS) return {};
    return value;
}

// The product code of the installed Tarnock of any version, or empty text: found by the
// package family's upgrade code, or else by its name and publisher (Wine's installer drops
// the upgrade-code registration when an upgrade removes the old version).
std::wstring InstalledProduct() {
    const InstallerLibrary msi;
    if (!msi.Loaded()) return {};
    wchar_t product[39] = {};
    if (msi.EnumRelatedProducts(TARNOCK_UPGRADE_CODE, 0, product) == ERROR_SUCCESS) return product;
    for (DWORD i = 0; msi.EnumProducts(i, product) == ERROR_SUCCESS; ++i) {
        if (ProductInfo(msi, product, L"ProductName") == L"Tarnock" &&
            ProductInfo(msi, product, L"Publisher") == L"Olmatic")
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
    const std::wstring msiexec = MsiexecPath();
    if (code == ERROR_SUCCESS) code = msiexec.empty() ? ERROR_PATH_NOT_FOUND
                                                      : RunAndWait(MsiexecCommandLine(msiexec, options, package.File()));
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
    const std::wstring msiexec = MsiexecPath();
    const DWORD code =
        msiexec.empty() ? ERROR_PATH_NOT_FOUND : RunAndWait(MsiexecCommandLine(msiexec, options, product));
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
    // Before anything loads a library by name: system libraries from the system folder only,
    // never from the folder this setup was downloaded to.
    tarnock::UseSystemLibrarySearchOrder();
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
