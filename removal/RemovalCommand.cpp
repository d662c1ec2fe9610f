#include "removal/RemovalCommand.h"

#include <array>
#include <memory>

#include "base/RegistryBackup.h"
#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "removal/ActiveXRemoval.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalMessages.h"
#include "scan/Bho.h"
#include "scan/CategoryScan.h"
#include "scan/StartUp.h"

namespace tarnock {

namespace {

bool StopsBrowser(int category) {
    return category == kScanToolbars || category == kScanBrowserAddons || category == kScanActiveX;
}

}  // namespace

bool ProductOwnsEntry(const SignatureRow& product, const std::string& entryName) {
    const std::string keyName = product.keyName;
    if (keyName.empty() || entryName.empty()) return false;
    if (std::string(product.matchMode) == "%") return ToLowerAnsi(entryName).find(ToLowerAnsi(keyName)) != std::string::npos;
    return ToLowerAnsi(entryName) == ToLowerAnsi(keyName);
}

bool CRemovalCommand::AnyEntryRemains(const SignatureRow& product) {
    for (const RegistryPlace& place : UninstallPlaces()) {
        ScopedKey root;
        if (RegOpenKeyExA(place.root, kUninstallRoot, 0, KEY_ENUMERATE_SUB_KEYS | place.view, root.Put()) != ERROR_SUCCESS)
            continue;
        std::array<char, 256> name{};
        for (DWORD index = 0;; ++index) {
            DWORD length = static_cast<DWORD>(name.size());
            const LONG result =
                RegEnumKeyExA(root.Get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
            if (result == ERROR_NO_MORE_ITEMS) break;
            if (result == ERROR_SUCCESS && ProductOwnsEntry(product, std::string(name.data(), length))) return true;
        }
    }
    return false;
}

std::unique_ptr<ProcessControl> CRemovalCommand::MakeProcessControl() const {
    return std::make_unique<ProcessControl>();
}

RemovalOutcome CRemovalCommand::Run(const RemovalRow& row) {
    if (row.row < 0) {
        host_.Tell(messages::kSelectRow);
        return RemovalOutcome::NoSelection;
    }
    const int category = row.category;
    // A signature row names its product by its database key; the product must still be the
    // one whose entry the row shows, or nothing of it is stopped or deleted.
    SignatureRow product;
    const bool signature = IsSignatureCategory(category);
    if (signature && (!records_.FindProduct(category, row.itemValue, product) || !ProductOwnsEntry(product, row.Key()))) {
        host_.Tell(messages::kProductChanged);
        host_.Rescan(category);
        return RemovalOutcome::Cancelled;
    }
    if (!StopProcesses(row, signature ? &product : nullptr)) return RemovalOutcome::Cancelled;

    switch (category) {
        case kScanBrowserAddons: return RemoveAddon(row);
        case kScanStartup: return RemoveStartupEntry(row);
        case kScanActiveX: return RemoveActiveX(row);
        default: return RemoveProgram(row, signature ? &product : nullptr);
    }
}

bool CRemovalCommand::StopOne(ProcessControl& processes, const std::string& name) {
    const StopResult result = processes.StopProcess(name, [this](const std::string& fileName) {
        return host_.AskYesNo(FillMessage(messages::kStillOpenFormat, fileName));
    });
    return result != StopResult::Cancelled;
}

bool CRemovalCommand::StopProcesses(const RemovalRow& row, const SignatureRow* product) {
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
    if (product == nullptr) return true;
    for (const std::string& piece : SplitList(records_.GetProcessNames(product->key))) {
        const std::string name = TrimWhitespace(piece);
        if (!name.empty() && !StopOne(*processes, name)) return false;
    }
    return true;
}

void CRemovalCommand::Report(const RemovalRow& row, const std::string& key, const std::string& command,
                             const RegistryPlace& place) const {
    if (row.rankConsent == 0 || report_ == nullptr) return;
    const CKelvoEngine engine(products_);
    const std::string name = UrlEncode(row.Name());
    const std::string publisher = UrlEncode(engine.ReadPublisher(key, command, place));
    const std::string encodedKey = UrlEncode(key);
    const std::string iconFile = row.IconFile();
    report_(row.category, name.c_str(), iconFile.c_str(), publisher.c_str(), encodedKey.c_str());
}

RemovalOutcome CRemovalCommand::RemoveProgram(const RemovalRow& row, const SignatureRow* product) {
    CRemovalEngine engine(host_, products_);
    RegistryPlace place;
    if (!row.PlaceText().empty() && !ParsePlaceText(row.PlaceText(), place)) return RemovalOutcome::Cancelled;
    const std::string& key = row.Key();
    const UninstallResult result = engine.RunUninstaller(key, place);
    // The publisher is read now, from the row's own place, while the entry still exists.
    const std::string publisher = row.rankConsent != 0 ? engine.ReadPublisher(key, result.command, place) : std::string();
    switch (result.outcome) {
        case UninstallOutcome::Refused: host_.Tell(messages::kBadEntryName); return RemovalOutcome::Cancelled;
        case UninstallOutcome::Unrepresentable: host_.Tell(messages::kNameNotInCodePage); return RemovalOutcome::Cancelled;
        case UninstallOutcome::Declined: return RemovalOutcome::Cancelled;
        case UninstallOutcome::EntryMissing:
            // Nothing ran, so nothing counts as removed: the list is out of date.
            host_.Tell(messages::kEntryMissing);
            host_.Rescan(row.category);
            return RemovalOutcome::RowKept;
        case UninstallOutcome::EntryDeleted: break;
        case UninstallOutcome::Started:
        case UninstallOutcome::StartedUntracked: {
            host_.SetUnderWay(row, true);
            const WaitOutcome waited = engine.WaitForRemoval(key, result, limits_);
            host_.SetUnderWay(row, false);
            if (waited == WaitOutcome::Gone) break;
            if (waited != WaitOutcome::ShuttingDown) host_.Tell(messages::kUninstallerEnded);
            return RemovalOutcome::RowKept;
        }
        default: return RemovalOutcome::RowKept;
    }
    if (row.rankConsent != 0 && report_ != nullptr) {
        const std::string name = UrlEncode(row.Name());
        const std::string encodedPublisher = UrlEncode(publisher);
        const std::string encodedKey = UrlEncode(key);
        const std::string iconFile = row.IconFile();
        report_(row.category, name.c_str(), iconFile.c_str(), encodedPublisher.c_str(), encodedKey.c_str());
    }
    // Only now, and only when no entry of the product is left in any place: a cancelled
    // uninstaller leaves the program installed, and a per-user look-alike going says
    // nothing about the machine-wide product. The leftovers are deleted in the view of
    // the place that had the entry; a per-user program may be of either kind.
    if (product != nullptr && !AnyEntryRemains(*product)) {
        const std::string paths = records_.GetRegistryKeys(product->key);
        // The deletion rule knows the product by its own names: its uninstall key name (or
        // fragment), its product name and the entry that was removed.
        const std::vector<std::string> ownNames{product->keyName, product->name, key};
        if (place.root == HKEY_CURRENT_USER) {
            for (const RegistryPlace& machine : MachinePlaces())
                engine.DeleteRegistryPaths(paths, ownNames, machine.view);
        } else {
            engine.DeleteRegistryPaths(paths, ownNames, place.view);
        }
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
        const std::string name = entry->kind == kStartupRunValue ? entry->valueName : std::string(entry->entryName);
        if (key == name && place == row.PlaceText()) return RemovalOutcome::RowKept;
    }
    host_.DeleteRow(row);
    return RemovalOutcome::RowRemoved;
}

RemovalOutcome CRemovalCommand::RemoveActiveX(const RemovalRow& row) {
    if (!CRemovalEngine::IsUsableEntryName(row.Info())) {
        host_.Tell(messages::kBadEntryName);
        return RemovalOutcome::Cancelled;
    }
    // Class and file come from the machine's classes in the view of the row's place.
    return RemoveActiveXFromRow(host_, row, [&](const std::string& key) { Report(row, key, {}); });
}

}  // namespace tarnock
