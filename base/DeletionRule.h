// The one rule that decides which registry keys and values Tarnock may delete for a
// product. It is pure text: the engine applies it before it opens anything, and the data
// check applies it to every path row of the signature database.
//
// Allowed: a key or value at least two levels below SOFTWARE ("SOFTWARE\<vendor>\<product>",
// in HKEY_LOCAL_MACHINE, a user's hive or the 32-bit view below WOW6432Node), a key one level
// below SOFTWARE only when it carries one of the product's own names (its uninstall key name
// or its name in the signature database: "SOFTWARE\WinRAR"), and the product's own uninstall
// entry with what it holds. Refused: anything outside SOFTWARE (SYSTEM above all),
// the class registrations, the roots that many vendors share (Microsoft, Policies, Clients,
// ...), another product's uninstall entry and anything malformed.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace tarnock {

enum class DeletionVerdict {
    Allowed,
    Malformed,           // empty or blank components, "." or "..", no key at all
    UnsupportedRoot,     // not HKEY_LOCAL_MACHINE / HKEY_USERS (or the current user's hive)
    HiveRoot,            // a hive or a user's whole hive
    OutsideSoftware,     // SYSTEM, SAM, HARDWARE, a user's Control Panel, ...
    ClassRoot,           // SOFTWARE\Classes or a user's class hive: CLSID, Interface, TypeLib, file types
    SharedRoot,          // SOFTWARE itself, WOW6432Node, Microsoft, Policies, Clients, the uninstall root
    VendorRoot,          // one level below SOFTWARE, not named after the product
    ForeignUninstallEntry,  // the uninstall entry of another product
};

// A short English reason ("allowed", "outside SOFTWARE", ...), for the data check's report.
const char* DeletionVerdictText(DeletionVerdict verdict);

// A full registry path text as the signature database holds it, split at its first and
// last backslash: "HKEY_LOCAL_MACHINE" or "HKEY_USERS" (exact), the key path, and the value
// name (empty: the whole key).
struct RegistryPathText {
    HKEY root = nullptr;
    std::string keyPath;
    std::string valueName;
    bool IsKey() const;
};
// False (parts untouched) when the text has no root name of those two or no key path.
bool SplitRegistryPathText(std::string_view path, RegistryPathText& parts);

// The rule for root\keyPath, for deleting the key or one of its values: a value is judged by
// the key that holds it (one value in a vendor's root is no more the product's own than the
// root itself). `ownNames` are the product's uninstall key names (its database row's and the entry's
// own); blank names are ignored. Names compare as the registry does, ignoring case.
DeletionVerdict CheckDeletion(HKEY root, std::string_view keyPath, const std::vector<std::string>& ownNames);
// The same for a full path text; a text that does not split is Malformed or UnsupportedRoot.
DeletionVerdict CheckDeletionPath(std::string_view path, const std::vector<std::string>& ownNames);

// Registry names compare like this: the same text ignoring case.
bool SameRegistryName(std::string_view a, std::string_view b);

}  // namespace tarnock
