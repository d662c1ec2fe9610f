#include "support/TestMachine.h"

#include <algorithm>
#include <fstream>
#include <sstream>

#include "base/ScopedHandles.h"

namespace tarnock::testing {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string TempFolder() {
    char buffer[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH + 1, buffer);
    return length > 0 && length <= MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string ReadBytes(const std::wstring& path) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 256 * 1024 * 1024) return {};
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && !ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))
        return {};
    bytes.resize(read);
    return bytes;
}

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream file(path);
    for (std::string line; std::getline(file, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

std::vector<std::string> FolderEntries(const std::string& folder, bool filesOnly) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry{};
    ScopedFind find(FindFirstFileA((folder + "\\*").c_str(), &entry));
    if (!find) return names;
    do {
        const std::string name = entry.cFileName;
        const bool directory = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (name == "." || name == ".." || (filesOnly && directory)) continue;
        names.push_back(name);
    } while (FindNextFileA(find.Get(), &entry));
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) < 0; });
    return names;
}

namespace {

struct ManifestContext {
    HMODULE module;
    std::vector<std::string>* texts;
};

// A resource enumeration callback: standard-call, so a lambda would not do on x86.
BOOL CALLBACK CollectManifest(HMODULE, LPCSTR type, LPSTR name, LONG_PTR parameter) {
    auto* context = reinterpret_cast<ManifestContext*>(parameter);
    HRSRC found = FindResourceA(context->module, name, type);
    HGLOBAL loaded = found ? LoadResource(context->module, found) : nullptr;
    const char* data = loaded ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    context->texts->push_back(data ? std::string(data, SizeofResource(context->module, found)) : std::string());
    return TRUE;
}

}  // namespace

std::vector<std::string> Manifests(const std::string& path) {
    std::vector<std::string> texts;
    ScopedModule module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!module) return texts;
    ManifestContext context{module.Get(), &texts};
    EnumResourceNamesA(module.Get(), MAKEINTRESOURCEA(24), &CollectManifest, reinterpret_cast<LONG_PTR>(&context));
    return texts;
}

bool KeyExists(HKEY root, const std::string& path, REGSAM view) {
    ScopedKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, key.Put()) == ERROR_SUCCESS;
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name, REGSAM view) {
    ScopedKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE | view, key.Put()) != ERROR_SUCCESS) return false;
    return RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

}  // namespace tarnock::testing
