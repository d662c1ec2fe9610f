// Questions about one entry of the uninstall registry, asked by every scan and removal:
// display name and link, publisher, uninstall command, hidden system entry, and the file
// that represents the entry (the icon source of its row).
#pragma once

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "base/RegistryManager.h"
#include "base/RegistryPlace.h"
#include "base/ScopedHandles.h"
#include "scan/InstallerProduct.h"

namespace tarnock {

inline constexpr char kUninstallRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
inline constexpr char kArpCacheRoot[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Management\\ARPCache\\";
inline constexpr char kInstallerProductsRoot[] = "SOFTWARE\\Classes\\Installer\\Products\\";

// Where uninstall entries (and Run values) live: each view of HKEY_LOCAL_MACHINE, then
// the current user's hive, which has one view for both kinds of program.
std::vector<RegistryPlace> UninstallPlaces();

// Display name and link of an entry.
struct NameAndLink {
    std::string name;
    std::string link;
};

enum PathResult : int {
    kPathFound = 0,
    kPathNotFound = -1,
};

// Cleans a registry command or icon reference into the path of an existing file or
// folder: kPathFound and `path` set, or kPathNotFound with `path` unchanged.
PathResult ResolveExistingPath(const std::string& text, std::string& path);

enum UninstallCommandResult : int {
    kHasUninstallCommand = 1,
    kNoUninstallCommand = -1,
};

class CKelvoEngine {
public:
    // Takes its own copy of the installer product cache for the length of one operation.
    explicit CKelvoEngine(const InstallerProductList& products) : installerProducts(products) {}
    ~CKelvoEngine() = default;
    CKelvoEngine(const CKelvoEngine&) = delete;
    CKelvoEngine& operator=(const CKelvoEngine&) = delete;

    // Entry readers; all take the uninstall key name and the place of the entry (by
    // default HKEY_LOCAL_MACHINE in the program's own view). A value that cannot be read
    // gives "".
    std::string ReadDisplayName(const std::string& key, const RegistryPlace& place = {}) const;
    NameAndLink ReadDisplayNameAndLink(const std::string& key, const RegistryPlace& place = {}) const;
    std::string ReadPublisher(const std::string& key, const std::string& fileText,
                              const RegistryPlace& place = {}) const;
    std::string ReadUninstallString(const std::string& key, const RegistryPlace& place = {}) const;
    std::string ReadInstallLocation(const std::string& key, const RegistryPlace& place = {}) const;
    std::string ReadInstallerProductValue(const std::string& productKey, const std::string& valueName) const;
    // kHasUninstallCommand when "UninstallString" is not empty (HKEY_CURRENT_USER is asked
    // only when the key cannot be opened under HKEY_LOCAL_MACHINE), else kNoUninstallCommand.
    UninstallCommandResult HasUninstallString(const std::string& key) const;
    // The same in exactly one place.
    UninstallCommandResult HasUninstallString(const std::string& key, const RegistryPlace& place) const;
    // The registry result of reading the entry's default value, HKEY_LOCAL_MACHINE first and
    // HKEY_CURRENT_USER when the key is missing there: kRegOpenFailed means no such entry.
    RegistryResult ProbeUninstallKey(const std::string& key) const;
    // The same in exactly one place.
    RegistryResult ProbeUninstallKey(const std::string& key, const RegistryPlace& place) const;
    bool IsHiddenEntry(const std::string& key, const RegistryPlace& place = {}) const;
    bool IsMicrosoftPublished(const std::string& key, const RegistryPlace& place = {}) const;
    // The path of the file that represents the entry, or the (possibly stale) program path
    // of the ARP cache when nothing exists.
    std::string ResolveIconFile(const std::string& key, const std::string& displayName,
                                const RegistryPlace& place = {}) const;

    // Keeps one uninstall entry open while a listing reads several of its values, so each
    // value costs one query instead of an open, a query and a close. Only reads of that
    // entry in that place use it; outside such a scope every value is read afresh.
    // `parent`, when given, is the uninstall root of that place, already open: the entry is
    // opened below it instead of by its whole path from the hive.
    class HeldEntry {
    public:
        HeldEntry(const CKelvoEngine& engine, const RegistryPlace& place, const std::string& key,
                  HKEY parent = nullptr);
        ~HeldEntry();
        HeldEntry(const HeldEntry&) = delete;
        HeldEntry& operator=(const HeldEntry&) = delete;

    private:
        const CKelvoEngine& engine_;
    };

    // Lets a listing look entries up in the ARP cache by a snapshot of its key names, taken
    // once per view: an entry the cache does not know (nearly all of them) then costs no
    // registry open. Outside such a scope every lookup opens the cache afresh.
    class ArpCacheSnapshot {
    public:
        explicit ArpCacheSnapshot(const CKelvoEngine& engine);
        ~ArpCacheSnapshot();
        ArpCacheSnapshot(const ArpCacheSnapshot&) = delete;
        ArpCacheSnapshot& operator=(const ArpCacheSnapshot&) = delete;

    private:
        const CKelvoEngine& engine_;
    };

    const InstallerProductList& InstallerProducts() const { return installerProducts; }

private:
    std::string ReadEntryValue(const RegistryPlace& place, const std::string& key, const char* valueName,
                               int* code = nullptr) const;
    std::string ReadArpCachePath(const std::string& key, REGSAM view) const;

    InstallerProductList installerProducts;
    // The entry a HeldEntry keeps open (held: in scope; the handle is empty when the key
    // could not be opened). One engine serves one thread.
    struct Held {
        bool held = false;
        RegistryPlace place;
        std::string key;
        ScopedKey handle;
    };
    mutable Held held_;
    // The ARP cache's key names per view, lower-cased, while an ArpCacheSnapshot is in scope;
    // a view is read on its first lookup.
    struct ArpNames {
        bool active = false;
        std::map<REGSAM, std::set<std::string>> byView;
    };
    mutable ArpNames arpNames_;
    bool ArpCacheMayHold(const std::string& key, REGSAM view) const;
};

// Reads one text value through the registry manager, counted for the scan statistics.
// `code` receives the manager's result; a failed read gives "".
std::string ReadRegistryText(HKEY root, const std::string& keyPath, const std::string& valueName,
                             int* code = nullptr);
std::string ReadRegistryText(const RegistryPlace& place, const std::string& keyPath, const std::string& valueName,
                             int* code = nullptr);

}  // namespace tarnock
