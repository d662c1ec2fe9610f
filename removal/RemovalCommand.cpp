#include "removal/RemovalCommand.h"

#include <array>
#include <memory>

#include "base/RegistryBackup.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalMessages.h"
#include "scan/Bho.h"
#include "scan/CategoryScan.h"
#include "scan/StartUp.h"

namespace tarnock {

namespace {

using RemoveControlFunction = HRESULT(WINAPI*)(LPCSTR, LPCSTR, LPCSTR, BOOL, DWORD);

bool StopsBrowser(int category) {
    return category == kScanToolbars || category == kScanBrowserAddons || category == kScanActiveX;
}

// The system's own downloaded-program cache library, from the system folder only.
ScopedModule LoadControlCache() {
    std::array<char, MAX_PATH + 1> folder{};
    const UINT length = GetSystemDirectoryA(folder.data(), MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    const std::string path = std::string(folder.data()) + "\\OCCACHE.DLL";
    return ScopedModule(LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace

std::unique_ptr<ProcessControl> CRemovalCommand::MakeProcessControl() const {
    return std::make_unique<ProcessControl>();
}

RemovalOutcome CRemovalCommand::Run(const RemovalRow& row) {
    if (row.row < 0) {
        host_.Tell(messages::kSelectRow);
        return RemovalOutcome::NoSelection;
    }
    const int category = row.category;
    if (category != kScanAllPrograms && category != kScanBrowserAddons && category != kScanStartup)
        records_.LoadCategory(category);
    if (!StopProcesses(row)) return RemovalOutcome::Cancelled;

    switch (category) {
        case kScanBrowserAddons: return RemoveAddon(row);
        case kScanStartup: return RemoveStartupEntry(row);
        case kScanActiveX: return RemoveActiveX(row);
        default: return RemoveProgram(row);
    }
}

bool CRemovalCommand::StopOne(ProcessControl& processes, const std::string& name) {
    const StopResult result = processes.StopProcess(name, [this](const std::string& fileName) {
        return host_.AskYesNo(FillMessage(messages::kStillOpenFormat, fileName));
    });
    return result != StopResult::Cancelled;
}

bool CRemovalCommand::StopProcesses(const RemovalRow& row) {
    const int category = row.category;
    if (category == kScanAllPrograms) return true;
    std::unique_ptr<ProcessControl> processes = MakeProcessControl();
    processes->Load();
    processes->SetGracePeriod(gracePeriodMs_);
    if (StopsBrowser(category)) {
        if (!processes->IsProcessRunning(kBrowserProcess)) return true;
        if (!host_.AskYesNo(messages::kCloseBrowsers)) return false;
        return StopOne(*processes, kBrowserProcess);
    }
    if (!IsSignatureCategory(category)) return true;
    for (const std::string& piece : SplitList(records_.GetProcessNames(row.itemValue))) {
        const std::string name = TrimWhitespace(piece);
        if (!name.empty() && !StopOne(*processes, name)) return false;
    }
    return true;
}

void CRemovalCommand::Report(const RemovalRow& row, const std::string& key, const std::string& command) const {
    if (row.rankConsent == 0 || report_ == nullptr) return;
    const CKelvoEngine engine(products_);
    const std::string name = UrlEncode(row.Name());
    const std::string publisher = UrlEncode(engine.ReadPublisher(key, command));
    const std::string encodedKey = UrlEncode(key);
    const std::string iconFile = row.IconFile();
    report_(row.category, name.c_str(), iconFile.c_str(), publisher.c_str(), encodedKey.c_str());
}

RemovalOutcome CRemovalCommand::RemoveProgram(const RemovalRow& row) {
    CRemovalEngine engine(host_, products_);
    RegistryPlace place;
    if (!row.PlaceText().empty() && !ParsePlaceText(row.PlaceText(), place)) return RemovalOutcome::Cancelled;
    const std::string& key = row.Key();
    const UninstallResult result = engine.RunUninstaller(key, place);
    if (result.outcome == UninstallOutcome::Refused) {
        host_.Tell(messages::kBadEntryName);
        return RemovalOutcome::Cancelled;
    }
    if (result.outcome == UninstallOutcome::Declined) return RemovalOutcome::Cancelled;
    Report(row, key, result.command);

    bool gone = false;
    switch (result.outcome) {
        case UninstallOutcome::Started: gone = engine.WaitForKeyChange(key, result.entryPlace, waitLimitMs_); break;
        case UninstallOutcome::EntryMissing:
        case UninstallOutcome::EntryDeleted: gone = true; break;
        default: break;
    }
    if (!gone) return RemovalOutcome::RowKept;
    // Only now: a cancelled uninstaller leaves the program installed, and its settings with it.
    if (IsSignatureCategory(row.category)) {
        std::vector<std::string> ownNames = records_.GetOwnNames(row.itemValue);
        ownNames.push_back(key);
        engine.DeleteRegistryPaths(records_.GetRegistryKeys(row.itemValue), ownNames, place.view);
    }
    host_.DeleteRow(row);
    return RemovalOutcome::RowRemoved;
}

RemovalOutcome CRemovalCommand::RemoveAddon(const RemovalRow& row) {
    const std::string& key = row.Key();
    if (!CRemovalEngine::IsUsableEntryName(key)) {
        host_.Tell(messages::kBadEntryName);
        return RemovalOutcome::Cancelled;
    }
    // The scanner backs each registration up itself and keeps it when that fails.
    if (CBho().RemoveRow(key, row.PlaceText()) != 1) {
        host_.Tell(messages::kBackupFailed);
        return RemovalOutcome::Cancelled;
    }
    Report(row, key, {});
    host_.Rescan(kScanBrowserAddons);
    return RemovalOutcome::RowRemoved;
}

RemovalOutcome CRemovalCommand::RemoveStartupEntry(const RemovalRow& row) {
    const std::string& key = row.Key();
    if (key.empty()) return RemovalOutcome::Cancelled;
    if (CStartUp().RemoveRow(key, row.PlaceText()) != 1) {
        host_.Tell(messages::kBackupFailed);
        return RemovalOutcome::Cancelled;
    }
    Report(row, key, {});
    const CStartUp after;
    for (int i = 0; i < after.GetCount(); ++i) {
        const StartupEntry* entry = after.GetEntry(i);
        const std::string place = entry->kind == kStartupRunValue ? PlaceText(entry->place) : std::string();
        if (key == entry->entryName && place == row.PlaceText()) return RemovalOutcome::RowKept;
    }
    host_.DeleteRow(row);
    return RemovalOutcome::RowRemoved;
}

RemovalOutcome CRemovalCommand::RemoveActiveX(const RemovalRow& row) {
    const std::string& classText = row.Info();
    const std::string& fileText = row.Key();
    if (!CRemovalEngine::IsUsableEntryName(classText)) {
        host_.Tell(messages::kBadEntryName);
        return RemovalOutcome::Cancelled;
    }
    const std::string key = "CLSID\\" + classText;
    const RegistryPlace classes{HKEY_CLASSES_ROOT, 0};
    const RegistryPlace machine{HKEY_LOCAL_MACHINE, 0};
    const ScopedModule cache = LoadControlCache();
    const auto removeControl =
        cache ? reinterpret_cast<RemoveControlFunction>(GetProcAddress(cache.Get(), "RemoveControlByName")) : nullptr;
    if (removeControl == nullptr) {
        host_.Tell(messages::kNoControlCache);
        Report(row, key, {});
        return RemovalOutcome::RowKept;
    }
    if (!BackupRegistryKey(classes, key) || !BackupRegistryKey(machine, kDistributionUnitsKey + classText)) {
        host_.Tell(messages::kBackupFailed);
        return RemovalOutcome::Cancelled;
    }
    removeControl(fileText.c_str(), classText.c_str(), nullptr, TRUE, TRUE);
    Report(row, key, {});
    if (CRemovalEngine::KeyExists(classes, key)) {
        host_.Tell(messages::kControlStays);
        return RemovalOutcome::RowKept;
    }
    host_.DeleteRow(row);
    return RemovalOutcome::RowRemoved;
}

}  // namespace tarnock
