#include "support/E2eFixtures.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <fstream>

#include "base/ScopedHandles.h"

namespace tarnock::testing {

namespace {
constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
}

bool MakeShortcut(const std::string& linkPath, const std::string& target) {
    ScopedComInit com;
    ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())))
        return false;
    if (FAILED(link->SetPath(target.c_str()))) return false;
    ComPtr<IPersistFile> persist;
    if (FAILED(link.As(persist))) return false;
    const std::wstring wide = Wide(linkPath);
    return SUCCEEDED(persist->Save(wide.c_str(), TRUE));
}

void MakeFile(const std::string& path) {
    SHCreateDirectoryExA(nullptr, path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    std::ofstream(path, std::ios::binary) << "MZ";
}

const MenuEntry* FindMenuEntry(const std::vector<MenuEntry>& entries, UINT id) {
    for (const MenuEntry& entry : entries)
        if (!entry.separator && entry.id == id) return &entry;
    return nullptr;
}

TestUninstallEntry::TestUninstallEntry(std::string key, const std::vector<std::pair<std::string, std::string>>& values)
    : key_(std::move(key)), path_(std::string(kUninstallRoot) + key_) {
    ScopedKey entry;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, path_.c_str(), entry.Put()) != ERROR_SUCCESS) return;
    for (const auto& [name, value] : values)
        RegSetValueExA(entry.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
}

TestUninstallEntry::~TestUninstallEntry() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, path_.c_str()); }

}  // namespace tarnock::testing
