#include "scan/Bho.h"

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <array>
#include <cstring>
#include <vector>

#include "base/FileVersionInfo.h"
#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/KelvoEngine.h"
#include "scan/RegistryEnum.h"
#include "scan/ShellFolders.h"

namespace tarnock {

namespace {

constexpr char kSystemRootMacro[] = "%systemroot%";

// The labels are Hangul; the list rows hold code-page text.
std::string KindLabel(int kind) {
    switch (kind) {
        case kAddonHelperObject: return "=>BHO";
        case kAddonToolbar: return AnsiFromWide(L"=>툴바");
        case kAddonExtensionButton: return AnsiFromWide(L"=>확장버튼");
        default: return AnsiFromWide(L"=>확장메뉴");
    }
}

std::string ClassValue(const std::string& clsid, const char* subkey) {
    return ReadRegistryText(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + subkey, "");
}

// A name that does not fit its field whole cannot be removed by that field again.
bool FitsField(const std::string& name) { return name.size() < kAddonFieldSize; }

using UnregisterFunction = HRESULT(STDAPICALLTYPE*)();


}  // namespace

CBho::CBho() {
    ScanHelperObjects();
    ScanToolbars();
    ScanExtensionButtons();
    ScanMenuExtensions();
}

std::string CBho::ReadVersionString(const std::string& path, int index) {
    std::string file = ToLowerAnsi(path);
    if (StartsWith(file, kSystemRootMacro)) {
        const std::string windows = SpecialFolderPath(CSIDL_WINDOWS);
        if (!windows.empty()) file = windows + file.substr(std::strlen(kSystemRootMacro));
    }
    CFileVersionInfo version;
    if (!version.Open(file.c_str())) return {};
    std::array<char, kAddonFieldSize> text{};
    if (!version.GetStringByIndex(index, text.data(), static_cast<int>(text.size()))) return {};
    return text.data();
}

void CBho::AppendEntry(int kind, const std::string& name, const std::string& title, const std::string& filePath,
                       const std::string& versionFile, const std::string* description) {
    AddonEntry& entry = entries_.Append();
    entry.kind = kind;
    CopyBounded(entry.registryName, sizeof(entry.registryName), name);
    CopyBounded(entry.title, sizeof(entry.title), title);
    CopyBounded(entry.filePath, sizeof(entry.filePath), filePath);
    CopyBounded(entry.description, sizeof(entry.description),
                description ? *description : ReadVersionString(versionFile, 2));
    // The label always fits whole: a long company name gives way to it.
    const std::string label = KindLabel(kind);
    const std::size_t room = sizeof(entry.company) - label.size();
    CopyBounded(entry.company, room, ReadVersionString(versionFile, 1));
    CopyBounded(entry.company + std::strlen(entry.company), sizeof(entry.company) - std::strlen(entry.company), label);
}

void CBho::ScanHelperObjects() {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kHelperObjectsKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
    ForEachSubkey(key.Get(), [&](int, const std::string& name) {
        if (!FitsField(name)) return;
        std::string title = ClassValue(name, "");
        if (title.empty()) title = name;
        const std::string server = ClassValue(name, "\\InprocServer32");
        AppendEntry(kAddonHelperObject, name, title, server, server, nullptr);
    });
}

void CBho::ScanToolbars() {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kToolbarKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
    // Longer value names are no class identifiers and are skipped, never cut.
    std::array<char, kAddonFieldSize> name{};
    for (DWORD index = 0;; ++index) {
        name.fill('\0');
        DWORD length = static_cast<DWORD>(name.size());
        CountRegistryRead();
        const LONG result = RegEnumValueA(key.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;
        const std::string clsid(name.data());
        if (clsid.empty()) continue;  // the key's default value names no toolbar
        const std::string server = ClassValue(clsid, "\\InprocServer32");
        AppendEntry(kAddonToolbar, clsid, ClassValue(clsid, ""), server, server, nullptr);
    }
}

void CBho::ScanExtensionButtons() {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
    ForEachSubkey(key.Get(), [&](int, const std::string& name) {
        if (!FitsField(name)) return;
        const std::string path = kExtensionsKey + name;
        std::string title = ReadRegistryText(HKEY_LOCAL_MACHINE, path, "MenuText");
        if (title.empty()) title = ReadRegistryText(HKEY_LOCAL_MACHINE, path, "ButtonText");
        if (title.empty()) title = name;
        AppendEntry(kAddonExtensionButton, name, title, ReadRegistryText(HKEY_LOCAL_MACHINE, path, "Icon"),
                    ReadRegistryText(HKEY_LOCAL_MACHINE, path, "Exec"), nullptr);
    });
}

void CBho::ScanMenuExtensions() {
    ScopedKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMenuExtKey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return;
    ForEachSubkey(key.Get(), [&](int, const std::string& name) {
        if (!FitsField(name)) return;
        std::string script = ReadRegistryText(HKEY_CURRENT_USER, kMenuExtKey + name, "");
        if (script.empty()) script = name;
        AppendEntry(kAddonMenuExtension, name, name, "", script, &name);
    });
}

int CBho::UnregisterServer(const std::string& path) {
    const ScopedOleInit ole;
    if (!ole.Succeeded()) return 2;
    SetErrorMode(SEM_FAILCRITICALERRORS);  // a missing drive raises no dialog
    // Servers are often registered as "%SystemRoot%\..." (REG_EXPAND_SZ).
    std::string file = path;
    std::array<char, 1024> expanded{};
    const DWORD length = ExpandEnvironmentStringsA(path.c_str(), expanded.data(), static_cast<DWORD>(expanded.size()));
    if (length > 0 && length <= expanded.size()) file = expanded.data();
    if (file.empty()) return 3;

    const ScopedModule server(LoadLibraryExA(file.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!server) return 3;
    const auto unregister =
        reinterpret_cast<UnregisterFunction>(GetProcAddress(server.Get(), "DllUnregisterServer"));
    if (!unregister) return 4;
    return SUCCEEDED(unregister()) ? 0 : 5;
}

int CBho::Remove(const std::string& registryName) {
    // No entry has an empty name (the scan skips the toolbar key's default value), and an
    // empty name would make the paths below name the whole registration key.
    if (registryName.empty()) return 1;
    for (const AddonEntry* entry = entries_.Head(); entry; entry = entry->next) {
        if (registryName != entry->registryName) continue;
        UnregisterServer(entry->filePath);
        CRegistryManager registry;
        switch (entry->kind) {
            case kAddonHelperObject:
                registry = CRegistryManager(HKEY_LOCAL_MACHINE, std::string(kHelperObjectsKey) + "\\" + registryName);
                registry.DeleteKeyTree();
                break;
            case kAddonToolbar:
                registry = CRegistryManager(HKEY_LOCAL_MACHINE, kToolbarKey, registryName);
                registry.DeleteValue();
                break;
            case kAddonExtensionButton:
                registry = CRegistryManager(HKEY_LOCAL_MACHINE, kExtensionsKey + registryName);
                registry.DeleteKeyTree();
                break;
            case kAddonMenuExtension:
                registry = CRegistryManager(HKEY_CURRENT_USER, kMenuExtKey + registryName);
                registry.DeleteKeyTree();
                break;
            default: break;
        }
    }
    return 1;
}

}  // namespace tarnock
