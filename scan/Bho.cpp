#include "scan/Bho.h"

#include <windows.h>
#include <shlobj.h>

#include <array>
#include <cctype>
#include <cstring>
#include <vector>

#include "base/FileVersionInfo.h"
#include "base/RegistryBackup.h"
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

// The class registration of the machine in the registration's own view (a 32-bit add-on's
// class lives in the 32-bit view). Never the merged classes: the user's own classes come
// first there, and any program of the user can write them.
std::string ClassValue(const RegistryPlace& place, const std::string& clsid, const char* subkey) {
    return ReadRegistryText(RegistryPlace{HKEY_LOCAL_MACHINE, place.view}, kMachineClassesKey + clsid + subkey, "");
}

// "{" 8-4-4-4-12 hexadecimal digits "}": only such a name is appended to the class root.
bool IsClassIdentifier(const std::string& name) {
    static constexpr char kShape[] = "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}";
    if (name.size() != sizeof(kShape) - 1) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        if (kShape[i] != 'x') {
            if (c != kShape[i]) return false;
        } else if (!std::isxdigit(static_cast<unsigned char>(c))) {
            return false;
        }
    }
    return true;
}

// Deletes a key tree after its backup, through the handles that were backed up and without
// following registry links (a per-user key may be one); false when the key is kept: the
// backup failed, or the key is a link or no longer the one asked for.
bool DeleteKeyBackedUp(const RegistryPlace& place, const std::string& keyPath) {
    CHeldRegistryKey key;
    switch (key.Open(place, keyPath, true)) {
        case HeldKeyOpen::Opened: break;
        case HeldKeyOpen::Missing: return true;
        case HeldKeyOpen::Link:
        case HeldKeyOpen::Moved:
        case HeldKeyOpen::Failed: return false;
    }
    if (!key.BackupTree(RegistryBackupFolder(), kBackupLimitBytes)) return false;
    key.DeleteTree();
    return true;
}

// A name that does not fit its field whole cannot be removed by that field again.
bool FitsField(const std::string& name) { return name.size() < kAddonFieldSize; }

}  // namespace

CBho::CBho() {
    const std::vector<RegistryPlace> machine = MachinePlaces();
    for (const RegistryPlace& place : machine) ScanHelperObjects(place);
    for (const RegistryPlace& place : machine) ScanToolbars(place);
    for (const RegistryPlace& place : machine) ScanExtensionButtons(place);
    ScanMenuExtensions({HKEY_CURRENT_USER, 0});
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

void CBho::AppendEntry(int kind, const RegistryPlace& place, const std::string& name, const std::string& title,
                       const std::string& filePath, const std::string& versionFile, const std::string* description) {
    AddonEntry& entry = entries_.Append();
    entry.kind = kind;
    entry.place = place;
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

void CBho::ScanHelperObjects(const RegistryPlace& place) {
    ScopedKey key;
    if (RegOpenKeyExA(place.root, kHelperObjectsKey, 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return;
    ForEachSubkey(key.Get(), [&](int, const std::string& name) {
        if (!FitsField(name)) return;
        std::string title = ClassValue(place, name, "");
        if (title.empty()) title = name;
        const std::string server = ClassValue(place, name, "\\InprocServer32");
        AppendEntry(kAddonHelperObject, place, name, title, server, server, nullptr);
    });
}

void CBho::ScanToolbars(const RegistryPlace& place) {
    ScopedKey key;
    if (RegOpenKeyExA(place.root, kToolbarKey, 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return;
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
        const std::string server = ClassValue(place, clsid, "\\InprocServer32");
        AppendEntry(kAddonToolbar, place, clsid, ClassValue(place, clsid, ""), server, server, nullptr);
    }
}

void CBho::ScanExtensionButtons(const RegistryPlace& place) {
    ScopedKey key;
    if (RegOpenKeyExA(place.root, kExtensionsKey, 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return;
    ForEachSubkey(key.Get(), [&](int, const std::string& name) {
        if (!FitsField(name)) return;
        const std::string path = kExtensionsKey + name;
        std::string title = ReadRegistryText(place, path, "MenuText");
        if (title.empty()) title = ReadRegistryText(place, path, "ButtonText");
        if (title.empty()) title = name;
        AppendEntry(kAddonExtensionButton, place, name, title, ReadRegistryText(place, path, "Icon"),
                    ReadRegistryText(place, path, "Exec"), nullptr);
    });
}

void CBho::ScanMenuExtensions(const RegistryPlace& place) {
    ScopedKey key;
    if (RegOpenKeyExA(place.root, kMenuExtKey, 0, KEY_READ | place.view, key.Put()) != ERROR_SUCCESS) return;
    ForEachSubkey(key.Get(), [&](int, const std::string& name) {
        if (!FitsField(name)) return;
        std::string script = ReadRegistryText(place, kMenuExtKey + name, "");
        if (script.empty()) script = name;
        AppendEntry(kAddonMenuExtension, place, name, name, "", script, &name);
    });
}

int CBho::Remove(const std::string& registryName, const RegistryPlace& place) {
    // No entry has an empty name (the scan skips the toolbar key's default value), and an
    // empty name would make the paths below name the whole registration key.
    if (registryName.empty()) return 1;
    int result = 1;
    for (const AddonEntry* entry = entries_.Head(); entry; entry = entry->next) {
        if (registryName != entry->registryName || !(entry->place == place)) continue;
        // What is deleted: a key tree, or the toolbar's value.
        std::string keyPath;
        bool wholeKey = true;
        switch (entry->kind) {
            case kAddonHelperObject: keyPath = std::string(kHelperObjectsKey) + "\\" + registryName; break;
            case kAddonToolbar:
                keyPath = kToolbarKey;
                wholeKey = false;
                break;
            case kAddonExtensionButton: keyPath = kExtensionsKey + registryName; break;
            case kAddonMenuExtension: keyPath = kMenuExtKey + registryName; break;
            default: continue;
        }
        if (wholeKey) {
            if (!DeleteKeyBackedUp(place, keyPath)) {
                result = 0;
                continue;
            }
        } else {
            if (!BackupRegistryValue(place, keyPath, registryName)) {
                result = 0;
                continue;
            }
            CRegistryManager(place, keyPath, registryName).DeleteValue();
        }
        // The class of a helper object or toolbar goes with it, from the machine's classes
        // of the same view; the add-on's own unregistration would mean running its code.
        const bool hasClass = entry->kind == kAddonHelperObject || entry->kind == kAddonToolbar;
        if (hasClass && place.root == HKEY_LOCAL_MACHINE && IsClassIdentifier(registryName) &&
            !DeleteKeyBackedUp(place, kMachineClassesKey + registryName))
            result = 0;
    }
    return result;
}

int CBho::RemoveRow(const std::string& registryName, const std::string& placeText) {
    RegistryPlace place;
    if (!ParsePlaceText(placeText, place)) return 0;
    return Remove(registryName, place);
}

}  // namespace tarnock
