#include "scan/ProgramListing.h"

#include <cstring>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

namespace tarnock {

namespace {

// Uninstallers that are shared programs: their command tells nothing about the folder.
constexpr const char* kSharedUninstallers[] = {"RunDll32", "MsiExec.exe", "InstallShield Installation Information"};

NameAndLink NameOrKey(const CKelvoEngine& engine, const std::string& key, const RegistryPlace& place) {
    NameAndLink entry = engine.ReadDisplayNameAndLink(key, place);
    if (entry.name.empty()) entry.name = key;
    return entry;
}

// Calls visit(index, key, place, root) for every subkey of `path` in every place that can
// be opened, one enumeration per place. root is that place's open uninstall root, for
// opening entries below it; null when `path` is another key, whose entries the engine
// does not read. Returns -1 when no place could be opened.
template <typename Visit>
int ForEachEntry(const std::vector<RegistryPlace>& places, const char* path, Visit&& visit) {
    int result = -1;
    const bool uninstallRoot = std::strcmp(path, kUninstallRoot) == 0;
    for (const RegistryPlace& place : places) {
        ScopedKey uninstall;
        if (RegOpenKeyExA(place.root, path, 0, KEY_READ | place.view, uninstall.Put()) != ERROR_SUCCESS) continue;
        result = 0;
        ForEachSubkey(uninstall.Get(),
                      [&](int index, const std::string& key) { visit(index, key, place, uninstallRoot ? uninstall.Get() : nullptr);
                      });
    }
    return result;
}

}  // namespace

int ListAllPrograms(IResultRows& rows, const InstallerProductList& installerProducts,
                    const std::vector<RegistryPlace>& places, const char* path) {
    const CKelvoEngine engine(installerProducts);
    const CKelvoEngine::ArpCacheSnapshot arpCache(engine);
    const ScopedTimerResolution timerResolution;
    return ForEachEntry(places, path, [&](int index, const std::string& key, const RegistryPlace& place, HKEY root) {
        if (rows.StopRequested()) return;
        const CKelvoEngine::HeldEntry held(engine, place, key, root);
        if (StartsWith(key, "KB")) {
            if (engine.IsMicrosoftPublished(key, place)) return;
        } else if (engine.IsHiddenEntry(key, place)) {
            return;
        }
        const NameAndLink entry = NameOrKey(engine, key, place);
        const std::string iconFile = engine.ResolveIconFile(key, entry.name, place);
        ScanPause();
        if (engine.HasUninstallString(key, place) != kHasUninstallCommand) return;
        ScanPause();
        rows.AddListRow(entry.name, entry.link, key, iconFile, index, PlaceText(place));
    });
}

int ListProgramsInFolder(IResultRows& rows, const InstallerProductList& installerProducts, const std::string& folder,
                         const std::vector<RegistryPlace>& places, const char* path) {
    const CKelvoEngine engine(installerProducts);
    const CKelvoEngine::ArpCacheSnapshot arpCache(engine);
    return ForEachEntry(places, path, [&](int index, const std::string& key, const RegistryPlace& place, HKEY root) {
        const CKelvoEngine::HeldEntry held(engine, place, key, root);
        std::string match = engine.ReadUninstallString(key, place);
        for (const char* shared : kSharedUninstallers) {
            if (!Contains(match, shared)) continue;
            const std::string location = engine.ReadInstallLocation(key, place);
            if (!location.empty()) match = location + "\\";
            break;
        }
        if (match.empty() || !Contains(ToLowerAnsi(match), folder)) return;
        const NameAndLink entry = NameOrKey(engine, key, place);
        const std::string iconFile = engine.ResolveIconFile(key, entry.name, place);
        if (engine.HasUninstallString(key, place) == kHasUninstallCommand)
            rows.AddListRow(entry.name, entry.link, key, iconFile, index, PlaceText(place));
    });
}

}  // namespace tarnock
