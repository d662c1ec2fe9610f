#include "support/ScanFixture.h"

#include <algorithm>
#include <array>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"

namespace tarnock::testing {

std::wstring WideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

RegistryFixture::~RegistryFixture() {
    for (auto it = foreignValues_.rbegin(); it != foreignValues_.rend(); ++it) {
        ScopedKey key;
        if (RegOpenKeyExA(it->place.root, it->path.c_str(), 0, KEY_SET_VALUE | it->place.view, key.Put()) ==
            ERROR_SUCCESS)
            RegDeleteValueA(key.Get(), it->name.c_str());
    }
    for (auto it = keys_.rbegin(); it != keys_.rend(); ++it) DeleteTree(it->first, it->second);
    for (auto it = wideKeys_.rbegin(); it != wideKeys_.rend(); ++it) {
        RegDeleteTreeW(it->first, it->second.c_str());
        RegDeleteKeyW(it->first, it->second.c_str());
    }
}

void RegistryFixture::CreateKeyWide(HKEY root, const std::wstring& path, const std::wstring& valueName,
                                    const std::wstring& value) {
    ScopedKey key;
    if (RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    wideKeys_.emplace_back(root, path);
    if (!valueName.empty())
        RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegistryFixture::DeleteTree(const RegistryPlace& place, const std::string& path) {
    if (path.empty()) return;
    {
        ScopedKey key;
        if (RegOpenKeyExA(place.root, path.c_str(), 0, KEY_ALL_ACCESS | place.view, key.Put()) != ERROR_SUCCESS)
            return;
        RegDeleteTreeA(key.Get(), nullptr);
    }
    RegDeleteKeyExA(place.root, path.c_str(), place.view, 0);
}

void RegistryFixture::CreateKey(const RegistryPlace& place, const std::string& path) {
    DeleteTree(place, path);
    ScopedKey key;
    RegCreateKeyExA(place.root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | place.view, nullptr, key.Put(),
                    nullptr);
    keys_.emplace_back(place, path);
}


namespace {
void Write(const RegistryPlace& place, const std::string& path, const std::string& name, DWORD type,
           const void* data, DWORD size) {
    ScopedKey key;
    if (RegCreateKeyExA(place.root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | place.view, nullptr, key.Put(),
                        nullptr) == ERROR_SUCCESS)
        RegSetValueExA(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
}
}  // namespace

void RegistryFixture::Track(const RegistryPlace& place, const std::string& path, const std::string& name) {
    const bool owned = std::any_of(keys_.begin(), keys_.end(), [&](const auto& k) {
        return k.first == place && (path == k.second || StartsWith(path, k.second + "\\"));
    });
    if (owned) return;
    if (KeyExists(place, path))
        foreignValues_.push_back({place, path, name});
    else
        CreateKey(place, path);
}

void RegistryFixture::SetText(const RegistryPlace& place, const std::string& path, const std::string& name,
                              const std::string& value, DWORD type) {
    Track(place, path, name);
    Write(place, path, name, type, value.c_str(), static_cast<DWORD>(value.size() + 1));
}

void RegistryFixture::SetTextUtf8(HKEY root, const std::string& path, const std::string& nameUtf8,
                                  const std::string& valueUtf8) {
    Track(RegistryPlace{root, 0}, path, AnsiFromUtf8(nameUtf8));
    ScopedKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, key.Put()) != ERROR_SUCCESS) return;
    const std::wstring name = WideFromUtf8(nameUtf8);
    const std::wstring value = WideFromUtf8(valueUtf8);
    RegSetValueExW(key.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

void RegistryFixture::SetDword(const RegistryPlace& place, const std::string& path, const std::string& name,
                               DWORD value) {
    Track(place, path, name);
    Write(place, path, name, REG_DWORD, &value, sizeof(value));
}

void RegistryFixture::SetBinary(HKEY root, const std::string& path, const std::string& name, const void* data,
                                DWORD size) {
    Track(RegistryPlace{root, 0}, path, name);
    Write(RegistryPlace{root, 0}, path, name, REG_BINARY, data, size);
}

namespace {
void RemoveFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA found{};
    ScopedFind search(FindFirstFileA((folder + "\\*").c_str(), &found));
    if (search) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveFolderTree(path);
            else DeleteFileA(path.c_str());
        } while (FindNextFileA(search.Get(), &found));
    }
    search.Reset();
    RemoveDirectoryA(folder.c_str());
}

void MakeFolders(const std::string& path) {
    for (std::size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\') CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}
}  // namespace

FileFixture::FileFixture(std::string folder) : folder_(std::move(folder)) {
    RemoveFolderTree(folder_);
    MakeFolders(folder_);
}

FileFixture::~FileFixture() {
    for (const std::string& file : adopted_) DeleteFileA(file.c_str());
    RemoveFolderTree(folder_);
}

std::string FileFixture::MakeFolder(const std::string& relative) {
    const std::string path = folder_ + "\\" + relative;
    MakeFolders(path);
    return path;
}

std::string FileFixture::AddFile(const std::string& relative, const std::string& content) {
    const std::string path = folder_ + "\\" + relative;
    const std::size_t slash = path.find_last_of('\\');
    MakeFolders(path.substr(0, slash));
    ScopedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    DWORD written = 0;
    if (file) WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    return path;
}

std::string FileFixture::CopyIn(const std::string& source, const std::string& relative) {
    const std::string path = folder_ + "\\" + relative;
    MakeFolders(path.substr(0, path.find_last_of('\\')));
    ::CopyFileA(source.c_str(), path.c_str(), FALSE);
    return path;
}

std::string FileFixture::AdoptFile(const std::string& fullPath, const std::string& source) {
    if (source.empty()) {
        ScopedHandle file(CreateFileA(fullPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (file) WriteFile(file.Get(), "x", 1, &written, nullptr);
    } else {
        ::CopyFileA(source.c_str(), fullPath.c_str(), FALSE);
    }
    adopted_.push_back(fullPath);
    return fullPath;
}

std::vector<std::string> EnumerateSubkeys(HKEY root, const std::string& path) {
    return EnumerateSubkeys(RegistryPlace{root, 0}, path);
}

std::vector<std::string> EnumerateSubkeys(const RegistryPlace& place, const std::string& path) {
    std::vector<std::string> names;
    ScopedKey key;
    if (RegOpenKeyExA(place.root, path.c_str(), 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return names;
    std::array<char, 1024> name{};
    for (DWORD index = 0;; ++index) {
        name.fill('\0');
        const LONG result = RegEnumKeyA(key.Get(), index, name.data(), static_cast<DWORD>(name.size()));
        if (result != ERROR_SUCCESS) break;
        names.emplace_back(name.data());
    }
    return names;
}

int SubkeyIndex(HKEY root, const std::string& path, const std::string& name) {
    return SubkeyIndex(RegistryPlace{root, 0}, path, name);
}

int SubkeyIndex(const RegistryPlace& place, const std::string& path, const std::string& name) {
    const std::vector<std::string> names = EnumerateSubkeys(place, path);
    const auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? -1 : static_cast<int>(it - names.begin());
}

bool KeyExists(const RegistryPlace& place, const std::string& path) {
    ScopedKey key;
    return RegOpenKeyExA(place.root, path.c_str(), 0, KEY_READ | place.view, key.Put()) == ERROR_SUCCESS;
}

bool ValueExists(const RegistryPlace& place, const std::string& path, const std::string& name) {
    ScopedKey key;
    if (RegOpenKeyExA(place.root, path.c_str(), 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

std::string ScanFixtureDll(const std::string& name) { return ModuleFolder() + "scan_fixtures\\" + name + ".dll"; }

}  // namespace tarnock::testing
