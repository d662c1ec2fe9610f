#include "base/TrustedFiles.h"

#include <sddl.h>
#include <shlobj.h>

#include <cwchar>
#include <iterator>

namespace tarnock {

namespace {

// Full control for the system and the administrators, for the folder and everything made in
// it; "P" protects the list from what the parent folder would pass on.
constexpr wchar_t kPrivateFolderSddl[] = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);

bool HasSearchFlags() {
    // LOAD_LIBRARY_SEARCH_* flags exist exactly where SetDefaultDllDirectories does.
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    return kernel != nullptr && GetProcAddress(kernel, "SetDefaultDllDirectories") != nullptr;
}

// A fresh directory with the private access list; ERROR_ALREADY_EXISTS is reported as such.
DWORD MakeDirectory(const std::wstring& path) {
    PSECURITY_DESCRIPTOR raw = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(kPrivateFolderSddl, SDDL_REVISION_1, &raw, nullptr))
        return GetLastError();
    const ScopedLocalMemory descriptor(raw);
    SECURITY_ATTRIBUTES attributes{sizeof(attributes), raw, FALSE};
    return CreateDirectoryW(path.c_str(), &attributes) ? ERROR_SUCCESS : GetLastError();
}

bool IsPlainDirectory(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes `folder` and its missing parents; an existing one must be a plain directory.
bool EnsureFolder(const std::wstring& folder) {
    if (folder.size() < 3) return IsPlainDirectory(folder + L"\\");
    if (IsPlainDirectory(folder)) return true;
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES) return false;  // a file or a link
    const size_t slash = folder.find_last_of(L'\\');
    if (slash != std::wstring::npos && slash > 2 && !EnsureFolder(folder.substr(0, slash))) return false;
    const DWORD made = MakeDirectory(folder);
    return made == ERROR_SUCCESS || (made == ERROR_ALREADY_EXISTS && IsPlainDirectory(folder));
}

// 122 random bits of a version-4 GUID: through ole32, a library every Windows loads from its
// own list of known system libraries.
std::wstring RandomName() {
    GUID guid{};
    if (FAILED(CoCreateGuid(&guid))) return {};
    wchar_t text[40] = {};
    std::swprintf(text, std::size(text), L"%08lx%04x%04x%02x%02x%02x%02x%02x%02x%02x%02x",
                  static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
                  guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return text;
}

}  // namespace

bool UseSystemLibrarySearchOrder() {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    const auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                         GetProcAddress(kernel, "SetDefaultDllDirectories"))
                                   : nullptr;
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) return true;
    // Older systems: at least the current folder is no longer searched.
    SetDllDirectoryW(L"");
    return false;
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
    if (name == nullptr || std::wcschr(name, L'\\') != nullptr || std::wcschr(name, L'/') != nullptr) return nullptr;
    if (HasSearchFlags()) return LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Without the search flags: the full path into the system folder.
    wchar_t system[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(system, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    const std::wstring path = std::wstring(system, length) + L"\\" + name;
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

std::wstring MachineDataFolder(const wchar_t* purpose) {
    PWSTR raw = nullptr;
    const HRESULT found = SHGetKnownFolderPath(FOLDERID_ProgramData, KF_FLAG_DONT_VERIFY, nullptr, &raw);
    std::wstring folder = SUCCEEDED(found) && raw ? raw : L"";
    CoTaskMemFree(raw);
    if (folder.empty()) return {};
    if (folder.back() == L'\\') folder.pop_back();
    return folder + L"\\Tarnock\\" + purpose;
}

std::optional<std::wstring> CreatePrivateFolder(const std::wstring& parent) {
    std::wstring base = parent;
    while (base.size() > 3 && base.back() == L'\\') base.pop_back();
    if (base.empty() || !EnsureFolder(base)) return std::nullopt;
    for (int attempt = 0; attempt < 8; ++attempt) {
        const std::wstring name = RandomName();
        if (name.empty()) return std::nullopt;
        const std::wstring folder = base + L"\\" + name;
        const DWORD made = MakeDirectory(folder);
        if (made == ERROR_SUCCESS) return folder;
        if (made != ERROR_ALREADY_EXISTS) return std::nullopt;
    }
    return std::nullopt;
}

void RemovePrivateFolder(const std::wstring& folder) {
    if (folder.empty()) return;
    WIN32_FIND_DATAW found{};
    {
        ScopedFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
        if (search) {
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
                DeleteFileW((folder + L"\\" + found.cFileName).c_str());
            } while (FindNextFileW(search.Get(), &found));
        }
    }
    RemoveDirectoryW(folder.c_str());
}

bool IsReparsePoint(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

ScopedHandle OpenHeldFile(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return {};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info)) return {};
    if (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) return {};
    return file;
}

}  // namespace tarnock
