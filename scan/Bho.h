// The Internet Explorer add-ons registered on the machine: browser helper objects,
// toolbars, extension buttons and context-menu extensions. Construction scans; removal
// deletes the add-on's registrations itself and never loads or calls the add-on's code.
#pragma once

#include <cstddef>
#include <string>

#include "base/RegistryPlace.h"
#include "scan/RecordList.h"

namespace tarnock {

inline constexpr std::size_t kAddonFieldSize = 512;

enum AddonKind : int {
    kAddonHelperObject = 1,
    kAddonToolbar = 2,
    kAddonExtensionButton = 3,
    kAddonMenuExtension = 4,
};

struct AddonEntry {
    char registryName[kAddonFieldSize];  // CLSID in braces, or the menu entry's name; removal key
    char title[kAddonFieldSize];
    char company[kAddonFieldSize];       // "CompanyName" of the file, then the kind label
    char description[kAddonFieldSize];   // "FileDescription" of the file (menu: its name)
    char filePath[kAddonFieldSize];      // server file or icon path; empty for a menu extension
    int kind;
    RegistryPlace place;                 // where the registration lives (hive and view)
    AddonEntry* next;
};

inline constexpr char kHelperObjectsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";
inline constexpr char kToolbarKey[] = "Software\\Microsoft\\Internet Explorer\\Toolbar";
inline constexpr char kExtensionsKey[] = "Software\\Microsoft\\Internet Explorer\\Extensions\\";
inline constexpr char kMenuExtKey[] = "Software\\Microsoft\\Internet Explorer\\MenuExt\\";
// Where a machine add-on's class is registered, below HKEY_LOCAL_MACHINE in the add-on's view.
inline constexpr char kMachineClassesKey[] = "SOFTWARE\\Classes\\CLSID\\";

class CBho {
public:
    // Scans helper objects, toolbars, extension buttons and menu extensions, in that order;
    // the first three in each view of HKEY_LOCAL_MACHINE (64-bit, then 32-bit), menu
    // extensions in the current user's hive.
    CBho();
    virtual ~CBho() = default;
    CBho(const CBho&) = delete;
    CBho& operator=(const CBho&) = delete;

    int GetCount() const { return entries_.Count(); }
    const AddonEntry* GetEntry(int index) const { return entries_.At(index); }

    // Deletes every entry registered under exactly this name in exactly this place; a
    // same-named registration elsewhere stays. What goes: the helper object's key, the
    // toolbar's value, the button's or menu's key, and for a helper object or toolbar its
    // class key "SOFTWARE\Classes\CLSID\{...}" in that machine view (never the user's
    // classes, never the merged view). No library of the add-on is loaded. Each registration
    // is backed up first and left alone when its backup fails. Returns 1, or 0 when a
    // registration was kept because its backup failed.
    int Remove(const std::string& registryName, const RegistryPlace& place);
    // The removal of a list row, whose hidden fifth column holds the place text; an
    // unknown place removes nothing and gives 0.
    int RemoveRow(const std::string& registryName, const std::string& placeText);

    // Version string `index` (1 "CompanyName", 2 "FileDescription", ...) of a file whose
    // path may begin with "%SystemRoot%" in any letter case; "" without version data.
    static std::string ReadVersionString(const std::string& path, int index);

private:
    void ScanHelperObjects(const RegistryPlace& place);
    void ScanToolbars(const RegistryPlace& place);
    void ScanExtensionButtons(const RegistryPlace& place);
    void ScanMenuExtensions(const RegistryPlace& place);
    void AppendEntry(int kind, const RegistryPlace& place, const std::string& name, const std::string& title,
                     const std::string& filePath, const std::string& versionFile, const std::string* description);

    RecordList<AddonEntry> entries_;
};

}  // namespace tarnock
