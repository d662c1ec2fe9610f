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

bool SameName(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() && CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                                        static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
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

std::vector<std::wstring_view> NameComponents(std::wstring_view text) {
    std::vector<std::wstring_view> parts;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t slash = text.find(L'\\', start);
        const std::wstring_view part = text.substr(start, slash == std::wstring_view::npos ? slash : slash - start);
        if (!part.empty()) parts.push_back(part);
        if (slash == std::wstring_view::npos) break;
        start = slash + 1;
    }
    return parts;
}

// The kernel's names of the roots a key of `root` may really live under.
std::vector<std::wstring> KernelRoots(HKEY root) {
    if (root == HKEY_LOCAL_MACHINE) return {L"\\REGISTRY\\MACHINE"};
    if (root == HKEY_USERS) return {L"\\REGISTRY\\USER"};
    const std::wstring user = CurrentUserKernelName();
    if (user.empty()) return {};
    if (root == HKEY_CURRENT_USER) return {user};
    // The merged class view: the user's own registrations or the machine's.
    if (root == HKEY_CLASSES_ROOT) return {user + L"_Classes", L"\\REGISTRY\\MACHINE\\SOFTWARE\\Classes"};
    return {};
}

// True when the real name of an opened key is root\path: the same components, ignoring case,
// where the real name may hold one "WOW6432Node" after a "SOFTWARE" or "Classes" component
// (the 32-bit view the program asked for or was redirected to). Anything else means that a
// link on the way was followed.
bool IsExpectedName(const std::wstring& kernelName, HKEY root, const std::wstring& path) {
    for (const std::wstring& prefix : KernelRoots(root)) {
        if (!StartsWithComponent(kernelName, prefix)) continue;
        const std::vector<std::wstring_view> real = NameComponents(std::wstring_view(kernelName).substr(prefix.size()));
        const std::vector<std::wstring_view> wanted = NameComponents(path);
        std::size_t r = 0;
        std::size_t w = 0;
        bool skipped = false;
        while (r < real.size() && w < wanted.size()) {
            if (SameName(real[r], wanted[w])) {
                ++r;
                ++w;
                continue;
            }
            const bool afterViewRoot = r > 0 && (SameName(real[r - 1], L"SOFTWARE") || SameName(real[r - 1], L"Classes"));
            if (!skipped && afterViewRoot && SameName(real[r], L"WOW6432Node")) {
                skipped = true;
                ++r;
                continue;
            }
            break;
        }
        if (r == real.size() && w == wanted.size()) return true;
    }
    return false;
}

// True when the key opened (without following links) is itself a registry link.
bool IsLinkKey(HKEY key) {
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, L"SymbolicLinkValue", nullptr, &type, nullptr, nullptr);
    return result == ERROR_SUCCESS && type == REG_LINK;
}

using NtDeleteKeyFunction = LONG(NTAPI*)(HANDLE);

bool DeleteKeyByHandle(HKEY key) {
    // ntdll is in every process and always the system's own.
    static const auto remove = reinterpret_cast<NtDeleteKeyFunction>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey"));
    return remove != nullptr && remove(key) == 0;
}

bool HasLineBreakOrNul(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
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

std::atomic<unsigned> g_temporaryCounter{0};

// A new file in the backup folder, written under a temporary name through a bounded buffer
// and renamed to "Tarnock-YYYYMMDD-HHMMSS-mmm-N<suffix>" with the first N not taken, so that
// a backup file is either complete or absent and no two backups share a name. Past its
// limit, or after any failed write, nothing is kept.
class BackupWriter {
public:
    BackupWriter(const std::wstring& folder, unsigned long long limitBytes) : limit_(limitBytes) {
        if (folder.empty()) return;
        directory_ = folder;
        if (directory_.back() != L'\\') directory_ += L'\\';
        SYSTEMTIME now{};
        GetLocalTime(&now);
        stamp_ = L"Tarnock-" + Decimal(now.wYear, 4) + Decimal(now.wMonth, 2) + Decimal(now.wDay, 2) + L"-" +
                 Decimal(now.wHour, 2) + Decimal(now.wMinute, 2) + Decimal(now.wSecond, 2) + L"-" +
                 Decimal(now.wMilliseconds, 3);
        temporary_ = directory_ + stamp_ + L"-" + Decimal(GetCurrentProcessId()) + L"-" +
                     Decimal(++g_temporaryCounter) + L".partial";
        file_.Reset(CreateFileW(temporary_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                nullptr));
        failed_ = !file_;
    }
    ~BackupWriter() {
        if (committed_) return;
        const bool created = static_cast<bool>(file_);
        file_.Reset();
        if (created) DeleteFileW(temporary_.c_str());
    }
    BackupWriter(const BackupWriter&) = delete;
    BackupWriter& operator=(const BackupWriter&) = delete;

    bool Ok() const { return !failed_; }
    // Characters since the last line break, for the line breaking of hex data.
    std::size_t Column() const { return column_; }

    void Append(std::wstring_view text) {
        for (const wchar_t c : text) column_ = c == L'\n' ? 0 : column_ + 1;
        AppendBytes(reinterpret_cast<const BYTE*>(text.data()), text.size() * sizeof(wchar_t));
    }
    void Append(wchar_t c) { Append(std::wstring_view(&c, 1)); }

    void AppendBytes(const BYTE* data, std::size_t size) {
        if (failed_) return;
        if (size > limit_ - total_) {
            failed_ = true;
            return;
        }
        total_ += size;
        while (size > 0 && !failed_) {
            const std::size_t room = kBufferBytes - buffer_.size();
            const std::size_t take = std::min(room, size);
            buffer_.insert(buffer_.end(), data, data + take);
            data += take;
            size -= take;
            if (buffer_.size() == kBufferBytes) Flush();
        }
    }

    // Renames the complete file to its final name with `suffix` (".reg", "-Name.lnk").
    bool Commit(const std::wstring& suffix, std::wstring* finalName = nullptr) {
        Flush();
        if (failed_ || !FlushFileBuffers(file_.Get())) return false;
        file_.Reset();
        for (unsigned number = 1; number < 10000; ++number) {
            const std::wstring name = stamp_ + L"-" + Decimal(number) + suffix;
            if (MoveFileExW(temporary_.c_str(), (directory_ + name).c_str(), MOVEFILE_WRITE_THROUGH)) {
                committed_ = true;
                if (finalName) *finalName = name;
                return true;
            }
            const DWORD error = GetLastError();
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) break;
        }
        DeleteFileW(temporary_.c_str());
        committed_ = true;  // nothing left to clean up
        return false;
    }

private:
    static constexpr std::size_t kBufferBytes = 64 * 1024;

    void Flush() {
        if (failed_ || buffer_.empty()) return;
        DWORD done = 0;
        failed_ = !WriteFile(file_.Get(), buffer_.data(), static_cast<DWORD>(buffer_.size()), &done, nullptr) ||
                  done != buffer_.size();
        buffer_.clear();
    }

    unsigned long long limit_;
    unsigned long long total_ = 0;
    std::wstring directory_;
    std::wstring stamp_;
    std::wstring temporary_;
    ScopedHandle file_;
    std::vector<BYTE> buffer_;
    std::size_t column_ = 0;
    bool failed_ = true;
    bool committed_ = false;
};

void AppendEscaped(BackupWriter& out, std::wstring_view text) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != L'\\' && text[i] != L'"') continue;
        out.Append(text.substr(start, i - start));
        out.Append(L'\\');
        start = i;
    }
    out.Append(text.substr(start));
}

// Bytes as regedit writes them: "xx,xx,..." with lines of at most 80 characters that end
// in ",\" and continue after two blanks.
void AppendHexBytes(BackupWriter& out, const BYTE* data, std::size_t size) {
    std::size_t column = out.Column();
    for (std::size_t i = 0; i < size && out.Ok(); ++i) {
        if (i > 0 && column + 3 > 79) {
            out.Append(L"\\\r\n  ");
            column = 2;
        }
        out.Append(HexDigits(data[i], 2));
        column += 2;
        if (i + 1 < size) {
            out.Append(L',');
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
bool AppendValue(BackupWriter& out, std::wstring_view name, DWORD type, const BYTE* data, std::size_t size) {
    if (HasLineBreakOrNul(name)) return false;
    if (name.empty()) {
        out.Append(L"@=");
    } else {
        out.Append(L'"');
        AppendEscaped(out, name);
        out.Append(L"\"=");
    }
    std::wstring text;
    if (type == REG_SZ && IsPlainText(data, size, text)) {
        out.Append(L'"');
        AppendEscaped(out, text);
        out.Append(L'"');
    } else if (type == REG_DWORD && size == sizeof(DWORD)) {
        DWORD value = 0;
        memcpy(&value, data, sizeof(value));
        out.Append(L"dword:" + HexDigits(value, 8));
    } else {
        out.Append(type == REG_BINARY ? std::wstring(L"hex:") : L"hex(" + HexDigits(type, 1) + L"):");
        AppendHexBytes(out, data, size);
    }
    out.Append(L"\r\n");
    return out.Ok();
}

bool AppendKeyHeader(BackupWriter& out, const std::wstring& name) {
    if (HasLineBreakOrNul(name)) return false;
    out.Append(L"\r\n[");
    out.Append(name);
    out.Append(L"]\r\n");
    return out.Ok();
}

// Every value of the key. A value larger than the whole backup may be is refused before
// any buffer is made for it.
bool AppendValues(BackupWriter& out, HKEY key, unsigned long long limitBytes) {
    DWORD maxName = 0;
    DWORD maxData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &maxName, &maxData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return false;
    if (maxData > limitBytes) return false;
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
            if (++retries > kMaxRetries || dataSize > limitBytes) return false;
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
    std::vector<std::wstring> found;
    int retries = 0;
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG result = RegEnumKeyExW(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {
            if (++retries > kMaxRetries) return false;
            name.resize(std::min<std::size_t>(name.size() * 2, 32768));
            continue;
        }
        if (result != ERROR_SUCCESS || length >= name.size()) return false;
        found.emplace_back(name.data(), length);
        retries = 0;
        ++index;
    }
    names = std::move(found);
    return true;
}

constexpr wchar_t kFileHeader[] = L"Windows Registry Editor Version 5.00\r\n";

void AppendFileStart(BackupWriter& out) {
    out.Append(static_cast<wchar_t>(0xFEFF));
    out.Append(kFileHeader);
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

HeldKeyOpen CHeldRegistryKey::OpenChildren(Node& node, REGSAM access, int depth) {
    if (depth > kMaxDepth) return HeldKeyOpen::Failed;
    std::vector<std::wstring> names;
    if (!SubkeyNames(node.key.Get(), names)) return HeldKeyOpen::Failed;
    for (const std::wstring& name : names) {
        Node child;
        const LONG result = RegOpenKeyExW(node.key.Get(), name.c_str(), REG_OPTION_OPEN_LINK, access, child.key.Put());
        if (result == ERROR_FILE_NOT_FOUND) continue;  // deleted meanwhile: nothing to keep
        if (result != ERROR_SUCCESS) return HeldKeyOpen::Failed;
        if (IsLinkKey(child.key.Get())) return HeldKeyOpen::Link;
        child.name = node.name + L"\\" + name;
        const HeldKeyOpen opened = OpenChildren(child, access, depth + 1);
        if (opened != HeldKeyOpen::Opened) return opened;
        node.children.push_back(std::move(child));
    }
    return HeldKeyOpen::Opened;
}

HeldKeyOpen CHeldRegistryKey::Open(const RegistryPlace& place, const std::string& keyPath, bool withSubkeys) {
    const std::wstring path = KeyPathText(keyPath);
    if (path.empty()) return HeldKeyOpen::Failed;  // a whole hive is never a backup's subject
    const REGSAM access = (withSubkeys ? KEY_READ | DELETE : KEY_READ | KEY_SET_VALUE) | place.view;
    Node top;
    const LONG result = RegOpenKeyExW(place.root, path.c_str(), REG_OPTION_OPEN_LINK, access, top.key.Put());
    if (result == ERROR_FILE_NOT_FOUND) return HeldKeyOpen::Missing;
    if (result != ERROR_SUCCESS) return HeldKeyOpen::Failed;
    if (IsLinkKey(top.key.Get())) return HeldKeyOpen::Link;
    std::wstring kernelName;
    if (!KernelKeyName(top.key.Get(), kernelName)) return HeldKeyOpen::Failed;
    if (!IsExpectedName(kernelName, place.root, path)) return HeldKeyOpen::Moved;
    if (!RegeditNameFromKernelName(kernelName, top.name)) return HeldKeyOpen::Failed;
    if (withSubkeys) {
        const HeldKeyOpen children = OpenChildren(top, access, 0);
        if (children != HeldKeyOpen::Opened) return children;
    }
    top_ = std::move(top);
    return HeldKeyOpen::Opened;
}

bool CHeldRegistryKey::BackupTree(const std::wstring& folder, unsigned long long limitBytes) const {
    if (!top_.key) return false;
    BackupWriter out(folder, limitBytes);
    AppendFileStart(out);
    // Depth first in the order the keys were opened, as regedit exports them.
    std::vector<const Node*> pending{&top_};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        if (!AppendKeyHeader(out, node->name) || !AppendValues(out, node->key.Get(), limitBytes)) return false;
        for (auto child = node->children.rbegin(); child != node->children.rend(); ++child) pending.push_back(&*child);
    }
    out.Append(L"\r\n");
    return out.Commit(L".reg");
}

bool CHeldRegistryKey::BackupValue(const std::wstring& folder, const std::string& valueName,
                                   unsigned long long limitBytes) const {
    if (!top_.key) return false;
    const std::wstring value = WideFromAnsi(valueName);
    std::vector<BYTE> data(256);
    DWORD type = 0;
    DWORD size = 0;
    for (int attempt = 0;; ++attempt) {
        size = static_cast<DWORD>(data.size());
        const LONG result = RegQueryValueExW(top_.key.Get(), value.c_str(), nullptr, &type, data.data(), &size);
        if (result == ERROR_FILE_NOT_FOUND) return true;
        if (result == ERROR_MORE_DATA && attempt < kMaxRetries && size <= limitBytes) {
            data.resize(std::max<std::size_t>(std::size_t{size} + 2, data.size() * 2));
            continue;
        }
        if (result != ERROR_SUCCESS || size > data.size()) return false;
        break;
    }
    BackupWriter out(folder, limitBytes);
    AppendFileStart(out);
    if (!AppendKeyHeader(out, top_.name) || !AppendValue(out, value, type, data.data(), size)) return false;
    out.Append(L"\r\n");
    return out.Commit(L".reg");
}

bool CHeldRegistryKey::DeleteNode(Node& node) {
    for (Node& child : node.children)
        if (!DeleteNode(child)) return false;
    return DeleteKeyByHandle(node.key.Get());
}

bool CHeldRegistryKey::DeleteTree() {
    if (!top_.key) return false;
    const bool deleted = DeleteNode(top_);
    top_ = Node{};
    return deleted;
}

namespace registry_backup {

namespace {

bool IsNothingOrFailure(HeldKeyOpen opened, bool& result) {
    if (opened == HeldKeyOpen::Opened) return false;
    result = opened == HeldKeyOpen::Missing;
    return true;
}

}  // namespace

bool BackupKeyInto(const std::wstring& folder, const RegistryPlace& place, const std::string& keyPath,
                   unsigned long long limitBytes) {
    CHeldRegistryKey key;
    bool result = false;
    if (IsNothingOrFailure(key.Open(place, keyPath, true), result)) return result;
    return key.BackupTree(folder, limitBytes);
}

bool BackupValueInto(const std::wstring& folder, const RegistryPlace& place, const std::string& keyPath,
                     const std::string& valueName, unsigned long long limitBytes) {
    CHeldRegistryKey key;
    bool result = false;
    if (IsNothingOrFailure(key.Open(place, keyPath, false), result)) return result;
    return key.BackupValue(folder, valueName, limitBytes);
}

bool DeleteFileWithBackupInto(const std::wstring& folder, const std::string& path, unsigned long long limitBytes) {
    const std::wstring source = WideFromAnsi(path);
    // The link itself, never what it points to: a reparse point is refused below.
    ScopedHandle file(CreateFileW(source.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    const unsigned long long size = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    if (size > limitBytes) return false;
    std::wstring name = source.substr(source.find_last_of(L"\\/") == std::wstring::npos ? 0
                                                                                          : source.find_last_of(L"\\/") + 1);
    if (name.empty()) return false;

    std::wstring copyName;
    {
        BackupWriter copy(folder, limitBytes);
        std::vector<BYTE> chunk(64 * 1024);
        for (;;) {
            DWORD read = 0;
            if (!ReadFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr)) return false;
            if (read == 0) break;
            copy.AppendBytes(chunk.data(), read);
            if (!copy.Ok()) return false;
        }
        if (!copy.Commit(L"-" + name, &copyName)) return false;
    }
    std::wstring directory = folder;
    if (directory.back() != L'\\') directory += L'\\';
    {
        // Where it came from, beside the copy; without the note the copy is no backup.
        BackupWriter note(folder, limitBytes);
        note.Append(static_cast<wchar_t>(0xFEFF));
        note.Append(L"Tarnock deleted this file; copy " + copyName + L" back to restore it:\r\n" + source + L"\r\n");
        std::wstring noteName;
        if (!note.Commit(L"-" + name + L".txt", &noteName)) {
            DeleteFileW((directory + copyName).c_str());
            return false;
        }
        if (noteName.substr(0, noteName.size() - 4) != copyName) {
            // Another backup took the copy's number meanwhile: name the note after the copy.
            const std::wstring wanted = directory + copyName + L".txt";
            if (!MoveFileExW((directory + noteName).c_str(), wanted.c_str(), MOVEFILE_WRITE_THROUGH)) {
                DeleteFileW((directory + noteName).c_str());
                DeleteFileW((directory + copyName).c_str());
                return false;
            }
        }
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file.Get(), FileDispositionInfo, &disposition, sizeof(disposition)) != FALSE;
}

bool RegeditKeyName(const RegistryPlace& place, const std::string& keyPath, std::wstring& name) {
    CHeldRegistryKey key;
    if (key.Open(place, keyPath, false) != HeldKeyOpen::Opened) return false;
    name = key.RegeditName();
    return true;
}

}  // namespace registry_backup

bool BackupRegistryKey(const RegistryPlace& place, const std::string& keyPath) {
    return registry_backup::BackupKeyInto(RegistryBackupFolder(), place, keyPath);
}

bool BackupRegistryValue(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName) {
    return registry_backup::BackupValueInto(RegistryBackupFolder(), place, keyPath, valueName);
}

bool DeleteFileWithBackup(const std::string& path) {
    return registry_backup::DeleteFileWithBackupInto(RegistryBackupFolder(), path);
}

std::wstring RegistryBackupFolder() {
    wchar_t* raw = nullptr;
    const HRESULT result = SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_CREATE, nullptr, &raw);
    const std::unique_ptr<wchar_t, CoTaskMemDeleter> localAppData(raw);
    if (FAILED(result) || raw == nullptr || raw[0] == L'\0') return {};
    std::wstring folder = localAppData.get();
    if (folder.back() == L'\\') folder.pop_back();
    folder += L"\\Tarnock";
    if (!EnsureFolder(folder)) return {};
    folder += L"\\Backup";
    if (!EnsureFolder(folder)) return {};
    return folder;
}

}  // namespace tarnock
