#include "base/RegistryBackup.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

#include "base/RegistryBackupFile.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"

namespace tarnock {

namespace registry_backup {

namespace {

// Deeper than the registry allows; a link loop must not recurse for ever.
constexpr int kMaxDepth = 512;
// A value that keeps growing while it is read is given up after this many tries.
constexpr int kMaxRetries = 8;

constexpr LONG kStatusBufferOverflow = static_cast<LONG>(0x80000005L);
constexpr LONG kStatusBufferTooSmall = static_cast<LONG>(0xC0000023L);
constexpr int kKeyNameInformation = 3;

using NtQueryKeyFunction = LONG(NTAPI*)(HANDLE, int, void*, ULONG, ULONG*);

// The key's name in the kernel's namespace ("\REGISTRY\MACHINE\SOFTWARE\WOW6432Node\..."):
// the real place of the key whatever view or link it was opened through.
bool KernelKeyName(HKEY key, std::wstring& name) {
    static const auto query = reinterpret_cast<NtQueryKeyFunction>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryKey"));
    if (query == nullptr) return false;
    std::vector<BYTE> buffer(1024);
    for (int attempt = 0; attempt < kMaxRetries; ++attempt) {
        ULONG needed = 0;
        const LONG status = query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == 0) {
            ULONG length = 0;
            memcpy(&length, buffer.data(), sizeof(length));
            if (length > buffer.size() - sizeof(length) || length % sizeof(wchar_t) != 0) return false;
            name.assign(reinterpret_cast<const wchar_t*>(buffer.data() + sizeof(length)), length / sizeof(wchar_t));
            return true;
        }
        if (status != kStatusBufferOverflow && status != kStatusBufferTooSmall) return false;
        buffer.resize(std::max<std::size_t>(needed + sizeof(ULONG), buffer.size() * 2));
    }
    return false;
}

// True when text begins with prefix (case-insensitive) followed by a backslash or its end.
bool StartsWithComponent(std::wstring_view text, std::wstring_view prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    if (CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                             static_cast<int>(prefix.size()), TRUE) != CSTR_EQUAL)
        return false;
    return text.size() == prefix.size() || text[prefix.size()] == L'\\';
}

// "\REGISTRY\USER\S-1-5-21-..." of the current user; empty when it cannot be found.
std::wstring CurrentUserKernelName() {
    ScopedKey user;
    std::wstring name;
    if (RegOpenCurrentUser(KEY_READ, user.Put()) == ERROR_SUCCESS && KernelKeyName(user.Get(), name)) return name;
    return {};
}

bool RegeditNameFromKernelName(const std::wstring& kernelName, std::wstring& name) {
    const std::wstring user = CurrentUserKernelName();
    struct Root {
        std::wstring kernel;
        const wchar_t* regedit;
    };
    const Root roots[] = {
        {user.empty() ? std::wstring() : user + L"_Classes", L"HKEY_CURRENT_USER\\Software\\Classes"},
        {user, L"HKEY_CURRENT_USER"},
        {L"\\REGISTRY\\USER", L"HKEY_USERS"},
        {L"\\REGISTRY\\MACHINE", L"HKEY_LOCAL_MACHINE"},
    };
    for (const Root& root : roots) {
        if (!StartsWithComponent(kernelName, root.kernel)) continue;
        name = root.regedit + kernelName.substr(root.kernel.size());
        return true;
    }
    return false;
}

// A key path as the caller wrote it ("Software\Vendor\" or "Software\Vendor") without the
// separators at its ends; empty when it names no key below the root.
std::wstring KeyPathText(const std::string& keyPath) {
    std::wstring path = WideFromAnsi(keyPath);
    const std::size_t first = path.find_first_not_of(L'\\');
    if (first == std::wstring::npos) return {};
    const std::size_t last = path.find_last_not_of(L'\\');
    return path.substr(first, last - first + 1);
}

bool HasLineBreakOrNul(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
}

void AppendEscaped(std::wstring& out, std::wstring_view text) {
    for (wchar_t c : text) {
        if (c == L'\\' || c == L'"') out += L'\\';
        out += c;
    }
}

std::wstring HexDigits(unsigned long long value, int width) {
    static const wchar_t kDigits[] = L"0123456789abcdef";
    std::wstring text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), L'0');
    return text;
}

std::wstring Decimal(unsigned long long value, int width = 0) {
    std::wstring text = std::to_wstring(value);
    if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<std::size_t>(width) - text.size(), L'0');
    return text;
}

// Bytes as regedit writes them: "xx,xx,..." with lines of at most 80 characters that end
// in ",\" and continue after two blanks.
void AppendHexBytes(std::wstring& out, const BYTE* data, std::size_t size) {
    const std::size_t lineStart = out.rfind(L'\n');
    std::size_t column = out.size() - (lineStart == std::wstring::npos ? 0 : lineStart + 1);
    for (std::size_t i = 0; i < size; ++i) {
        if (i > 0 && column + 3 > 79) {
            out += L"\\\r\n  ";
            column = 2;
        }
        out += HexDigits(data[i], 2);
        column += 2;
        if (i + 1 < size) {
            out += L',';
            ++column;
        }
    }
}

// A REG_SZ that regedit's quoted form gives back byte for byte: one terminator at the end
// and no other zero, no line break.
bool IsPlainText(const BYTE* data, std::size_t size, std::wstring& text) {
    if (size < sizeof(wchar_t) || size % sizeof(wchar_t) != 0) return false;
    std::wstring all(size / sizeof(wchar_t), L'\0');
    memcpy(all.data(), data, size);
    if (all.back() != L'\0') return false;
    all.pop_back();
    if (HasLineBreakOrNul(all)) return false;
    text = std::move(all);
    return true;
}

// One value line. False for a name that regedit's format cannot hold (a line break or a
// zero inside it).
bool AppendValue(std::wstring& out, std::wstring_view name, DWORD type, const BYTE* data, std::size_t size) {
    if (HasLineBreakOrNul(name)) return false;
    if (name.empty()) {
        out += L"@=";
    } else {
        out += L'"';
        AppendEscaped(out, name);
        out += L"\"=";
    }
    std::wstring text;
    if (type == REG_SZ && IsPlainText(data, size, text)) {
        out += L'"';
        AppendEscaped(out, text);
        out += L'"';
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, data, sizeof(value));
        out += L"dword:" + HexDigits(value, 8);
    } else {
        out += type == REG_BINARY ? std::wstring(L"hex:") : L"hex(" + HexDigits(type, 1) + L"):";
        AppendHexBytes(out, data, size);
    }
    out += L"\r\n";
    return true;
}

bool AppendKeyHeader(std::wstring& out, const std::wstring& name) {
    if (HasLineBreakOrNul(name)) return false;
    out += L"\r\n[" + name + L"]\r\n";
    return true;
}

bool AppendValues(std::wstring& out, HKEY key) {
    DWORD maxName = 0;
    DWORD maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> name(maxName + 2);
    std::vector<BYTE> data(maxData + 2);
    int retries = 0;
    for (DWORD index = 0;;) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD dataSize = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type, data.data(), &dataSize);
        if (result == ERROR_NO_MORE_ITEMS) return true;
        if (result == ERROR_MORE_DATA) {  // a value grew while it was read
            if (++retries > kMaxRetries) return false;
            name.resize(std::min<std::size_t>(name.size() * 2, 32768));
            data.resize(std::max<std::size_t>(data.size() * 2, dataSize + 2));
            continue;
        }
        if (result != ERROR_SUCCESS || nameLength >= name.size() || dataSize > data.size()) return false;
        if (!AppendValue(out, std::wstring_view(name.data(), nameLength), type, data.data(), dataSize)) return false;
        retries = 0;
        ++index;
    }
}

bool SubkeyNames(HKEY key, std::vector<std::wstring>& names) {
    DWORD maxSubkey = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, &maxSubkey, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    std::vector<wchar_t> name(std::max<DWORD>(maxSubkey, 256) + 2);
    int retries = 0;
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) return true;
        if (result == ERROR_MORE_DATA) {
            if (++retries > kMaxRetries) return false;
            name.resize(std::min<std::size_t>(name.size() * 2, 32768));
            continue;
        }
        if (result != ERROR_SUCCESS || length >= name.size()) return false;
        names.emplace_back(name.data(), length);
        retries = 0;
        ++index;
    }
}

// The key, its values and all its subkeys, as regedit exports them.
bool AppendTree(std::wstring& out, HKEY key, REGSAM view, const std::wstring& name, int depth) {
    if (depth > kMaxDepth) return false;
    if (!AppendKeyHeader(out, name) || !AppendValues(out, key)) return false;
    std::vector<std::wstring> subkeys;
    if (!SubkeyNames(key, subkeys)) return false;
    for (const std::wstring& subkeyName : subkeys) {
        ScopedKey subkey;
        const LONG result = RegOpenKeyExW(key, subkeyName.c_str(), 0, KEY_READ | view, subkey.Put());
        if (result == ERROR_FILE_NOT_FOUND) continue;  // deleted meanwhile: nothing to keep
        if (result != ERROR_SUCCESS) return false;
        if (!AppendTree(out, subkey.Get(), view, name + L"\\" + subkeyName, depth + 1)) return false;
    }
    return true;
}

enum class Export { kNothing, kDone, kFailed };

Export OpenForBackup(const RegistryPlace& place, const std::string& keyPath, ScopedKey& key, std::wstring& name) {
    const std::wstring path = KeyPathText(keyPath);
    if (path.empty()) return Export::kFailed;  // a whole hive is never a backup's subject
    const LONG result = RegOpenKeyExW(place.root, path.c_str(), 0, KEY_READ | place.view, key.Put());
    if (result == ERROR_FILE_NOT_FOUND) return Export::kNothing;
    if (result != ERROR_SUCCESS) return Export::kFailed;
    std::wstring kernelName;
    if (!KernelKeyName(key.Get(), kernelName) || !RegeditNameFromKernelName(kernelName, name)) return Export::kFailed;
    return Export::kDone;
}

constexpr wchar_t kFileHeader[] = L"Windows Registry Editor Version 5.00\r\n";

Export ExportKey(const RegistryPlace& place, const std::string& keyPath, std::wstring& text) {
    ScopedKey key;
    std::wstring name;
    const Export opened = OpenForBackup(place, keyPath, key, name);
    if (opened != Export::kDone) return opened;
    std::wstring out = kFileHeader;
    if (!AppendTree(out, key.Get(), place.view, name, 0)) return Export::kFailed;
    text = std::move(out) + L"\r\n";
    return Export::kDone;
}

Export ExportValue(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName,
                   std::wstring& text) {
    ScopedKey key;
    std::wstring name;
    const Export opened = OpenForBackup(place, keyPath, key, name);
    if (opened != Export::kDone) return opened;
    const std::wstring value = WideFromAnsi(valueName);
    std::vector<BYTE> data(256);
    for (int attempt = 0;; ++attempt) {
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        const LONG result = RegQueryValueExW(key.Get(), value.c_str(), nullptr, &type, data.data(), &size);
        if (result == ERROR_FILE_NOT_FOUND) return Export::kNothing;
        if (result == ERROR_MORE_DATA && attempt < kMaxRetries) {
            data.resize(std::max<std::size_t>(size + 2, data.size() * 2));
            continue;
        }
        if (result != ERROR_SUCCESS || size > data.size()) return Export::kFailed;
        std::wstring out = kFileHeader;
        if (!AppendKeyHeader(out, name) || !AppendValue(out, value, type, data.data(), size)) return Export::kFailed;
        text = std::move(out) + L"\r\n";
        return Export::kDone;
    }
}

std::atomic<unsigned> g_temporaryCounter{0};

// Writes the text as a UTF-16LE file with byte order mark under a temporary name and
// renames it to "Tarnock-YYYYMMDD-HHMMSS-mmm-N.reg" with the first N not taken, so that a
// backup file is either complete or absent and no two backups share a name.
bool WriteBackupFile(const std::wstring& folder, const std::wstring& text) {
    if (folder.empty()) return false;
    std::wstring directory = folder;
    if (directory.back() != L'\\') directory += L'\\';
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::wstring stamp = L"Tarnock-" + Decimal(now.wYear, 4) + Decimal(now.wMonth, 2) + Decimal(now.wDay, 2) +
                               L"-" + Decimal(now.wHour, 2) + Decimal(now.wMinute, 2) + Decimal(now.wSecond, 2) +
                               L"-" + Decimal(now.wMilliseconds, 3);
    const std::wstring temporary = directory + stamp + L"-" + Decimal(GetCurrentProcessId()) + L"-" +
                                   Decimal(++g_temporaryCounter) + L".partial";

    std::wstring content;
    content.reserve(text.size() + 1);
    content += static_cast<wchar_t>(0xFEFF);
    content += text;
    const BYTE* bytes = reinterpret_cast<const BYTE*>(content.data());
    std::size_t remaining = content.size() * sizeof(wchar_t);
    {
        ScopedHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        bool written = true;
        while (written && remaining > 0) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(remaining, 1u << 20));
            DWORD done = 0;
            written = WriteFile(file.Get(), bytes, chunk, &done, nullptr) && done == chunk;
            bytes += done;
            remaining -= done;
        }
        if (written) written = FlushFileBuffers(file.Get()) != FALSE;
        if (!written) {
            file.Reset();
            DeleteFileW(temporary.c_str());
            return false;
        }
    }
    for (unsigned number = 1; number < 10000; ++number) {
        const std::wstring final = directory + stamp + L"-" + Decimal(number) + L".reg";
        if (MoveFileExW(temporary.c_str(), final.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
        const DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
    }
    DeleteFileW(temporary.c_str());
    return false;
}

bool Finish(Export exported, const std::wstring& text, const std::wstring& folder) {
    if (exported == Export::kNothing) return true;
    if (exported == Export::kFailed) return false;
    return WriteBackupFile(folder, text);
}

struct CoTaskMemDeleter {
    void operator()(wchar_t* p) const noexcept { CoTaskMemFree(p); }
};

bool EnsureFolder(const std::wstring& folder) {
    if (CreateDirectoryW(folder.c_str(), nullptr)) return true;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool BackupKeyInto(const std::wstring& folder, const RegistryPlace& place, const std::string& keyPath) {
    std::wstring text;
    const Export exported = ExportKey(place, keyPath, text);
    return Finish(exported, text, folder);
}

bool BackupValueInto(const std::wstring& folder, const RegistryPlace& place, const std::string& keyPath,
                     const std::string& valueName) {
    std::wstring text;
    const Export exported = ExportValue(place, keyPath, valueName, text);
    return Finish(exported, text, folder);
}

bool RegeditKeyName(const RegistryPlace& place, const std::string& keyPath, std::wstring& name) {
    ScopedKey key;
    std::wstring found;
    if (OpenForBackup(place, keyPath, key, found) != Export::kDone) return false;
    name = std::move(found);
    return true;
}

}  // namespace registry_backup

bool BackupRegistryKey(const RegistryPlace& place, const std::string& keyPath) {
    std::wstring text;
    const registry_backup::Export exported = registry_backup::ExportKey(place, keyPath, text);
    if (exported != registry_backup::Export::kDone) return exported == registry_backup::Export::kNothing;
    return registry_backup::WriteBackupFile(RegistryBackupFolder(), text);
}

bool BackupRegistryValue(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName) {
    std::wstring text;
    const registry_backup::Export exported = registry_backup::ExportValue(place, keyPath, valueName, text);
    if (exported != registry_backup::Export::kDone) return exported == registry_backup::Export::kNothing;
    return registry_backup::WriteBackupFile(RegistryBackupFolder(), text);
}

std::wstring RegistryBackupFolder() {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &raw);
    const std::unique_ptr<wchar_t, registry_backup::CoTaskMemDeleter> localAppData(raw);
    if (FAILED(result) || raw == nullptr || raw[0] == L'\0') return {};
    std::wstring folder = localAppData.get();
    if (folder.back() == L'\\') folder.pop_back();
    folder += L"\\Tarnock";
    if (!registry_backup::EnsureFolder(folder)) return {};
    folder += L"\\Backup";
    if (!registry_backup::EnsureFolder(folder)) return {};
    return folder;
}

}  // namespace tarnock
