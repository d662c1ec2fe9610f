#include "scan/ProgramListing.h"

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

namespace tarnock {

namespace {

// Uninstallers that are shared programs: their command tells nothing about the folder.
constexpr const char* kSharedUninstallers[] = {"RunDll32", "MsiExec.exe", "InstallShield Installation Information"};

NameAndLink NameOrKey(const CKelvoEngine& engine, const std::string& key) {
    NameAndLink entry = engine.ReadDisplayNameAndLink(key);
    if (entry.name.empty()) entry.name = key;
    return entry;
}

}  // namespace

int ListAllPrograms(IResultRows& rows, const InstallerProductList& installerProducts, HKEY root, const char* path) {
    ScopedKey uninstall;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, uninstall.Put()) != ERROR_SUCCESS) return -1;
    const CKelvoEngine engine(installerProducts);
    const ScopedTimerResolution timerResolution;

    ForEachSubkey(uninstall.Get(), [&](int index, const std::string& key) {
        if (rows.StopRequested()) return;
        if (StartsWith(key, "KB")) {
            if (engine.IsMicrosoftPublished(key)) return;
        } else if (engine.IsHiddenEntry(key)) {
            return;
        }
        const NameAndLink entry = NameOrKey(engine, key);
        const std::string iconFile = engine.ResolveIconFile(key, entry.name);
        ScanPause();
        if (engine.HasUninstallString(key) != 1) return;
        ScanPause();
        rows.AddListRow(entry.name, entry.link, key, iconFile, index);
    });
    return 0;
}

int ListProgramsInFolder(IResultRows& rows, const InstallerProductList& installerProducts, const std::string& folder,
                         HKEY root, const char* path) {
    ScopedKey uninstall;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, uninstall.Put()) != ERROR_SUCCESS) return -1;
    const CKelvoEngine engine(installerProducts);

    ForEachSubkey(uninstall.Get(), [&](int index, const std::string& key) {
        std::string match = engine.ReadUninstallString(key);
        for (const char* shared : kSharedUninstallers) {
            if (!Contains(match, shared)) continue;
            const std::string location = engine.ReadInstallLocation(key);
            if (!location.empty()) match = location + "\\";
            break;
        }
        if (match.empty() || !Contains(ToLowerAnsi(match), folder)) return;
        const NameAndLink entry = NameOrKey(engine, key);
        const std::string iconFile = engine.ResolveIconFile(key, entry.name);
        if (engine.HasUninstallString(key) == 1) rows.AddListRow(entry.name, entry.link, key, iconFile, index);
    });
    return 0;
}

}  // namespace tarnock
