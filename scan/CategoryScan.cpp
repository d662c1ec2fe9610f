#include "scan/CategoryScan.h"

#include <algorithm>
#include <map>
#include <optional>

#include "base/RegistryManager.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/ActiveXScanner.h"
#include "scan/Bho.h"
#include "scan/FragmentMatcher.h"
#include "scan/KelvoEngine.h"
#include "scan/ProgramListing.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"
#include "scan/StartUp.h"

namespace tarnock {

namespace {

// The uninstall root of every place, each enumerated once per scan for all fragment rows,
// and the entries each fragment occurs in, found in one pass over the names. What an
// entry needs is read on first use and kept, so every entry costs its registry reads once
// however many rows match it; the rows and their order are those of one enumeration per
// row and place.
class UninstallSnapshot {
public:
    UninstallSnapshot(const CKelvoEngine& engine, const std::vector<RegistryPlace>& places,
                      const std::vector<std::string>& fragments)
        : engine_(engine) {
        for (const RegistryPlace& place : places) {
            ScopedKey root;
            if (RegOpenKeyExA(place.root, kUninstallRoot, 0, KEY_READ | place.view, root.Put()) != ERROR_SUCCESS)
                continue;
            const std::string placeText = PlaceText(place);
            ForEachSubkey(root.Get(), [&](int, const std::string& name) {
                Entry entry;
                entry.name = name;
                entry.place = place;
                entry.placeText = placeText;
                entries_.push_back(std::move(entry));
            });
        }

        std::vector<std::string> distinct;
        for (const std::string& fragment : fragments)
            if (!fragment.empty() && std::find(distinct.begin(), distinct.end(), fragment) == distinct.end())
                distinct.push_back(fragment);
        const CFragmentMatcher matcher(distinct);
        std::vector<std::vector<std::size_t>> hits(distinct.size());
        for (std::size_t e = 0; e < entries_.size(); ++e) {
            const std::string lower = FragmentText(entries_[e].name);
            for (const int f : matcher.Find(lower)) hits[static_cast<std::size_t>(f)].push_back(e);
            byLowerName_[lower].push_back(e);
        }
        for (std::size_t f = 0; f < distinct.size(); ++f) matches_.emplace(distinct[f], std::move(hits[f]));
    }

    // The places where the enumeration saw a key of this name, in place order. The registry
    // compares names without regard to case, which a byte-wise lower-casing matches only for
    // ASCII names: for others the answer is every place, to be probed one by one.
    std::vector<RegistryPlace> PlacesOf(const std::string& name, const std::vector<RegistryPlace>& places) const {
        for (const char c : name)
            if (static_cast<unsigned char>(c) >= 0x80) return places;
        std::vector<RegistryPlace> found;
        const auto it = byLowerName_.find(ToLowerAnsi(name));
        if (it == byLowerName_.end()) return found;
        for (const std::size_t e : it->second) found.push_back(entries_[e].place);
        return found;
    }

    // Calls add(key, displayName, iconFile, placeText) for every subkey whose lower-case
    // name contains the fragment (every subkey for an empty one) and that has an uninstall
    // command in its place, place by place in enumeration order.
    template <typename Add>
    void ForEachMatch(const std::string& fragment, Add&& add) {
        if (fragment.empty()) {
            for (Entry& entry : entries_) Offer(entry, add);
            return;
        }
        const auto found = matches_.find(fragment);
        if (found == matches_.end()) return;
        for (const std::size_t e : found->second) Offer(entries_[e], add);
    }

private:
    struct Details {
        std::string displayName;
        std::string iconFile;
    };
    struct Entry {
        std::string name;
        RegistryPlace place;
        std::string placeText;
        std::optional<UninstallCommandResult> hasUninstall;  // asked once
        std::optional<Details> details;
    };

    template <typename Add>
    void Offer(Entry& entry, Add& add) {
        if (!entry.hasUninstall) entry.hasUninstall = engine_.HasUninstallString(entry.name, entry.place);
        if (*entry.hasUninstall != kHasUninstallCommand) return;
        if (!entry.details) {
            Details details;
            details.displayName = engine_.ReadDisplayName(entry.name, entry.place);
            details.iconFile = engine_.ResolveIconFile(entry.name, details.displayName, entry.place);
            entry.details = std::move(details);
        }
        add(entry.name, entry.details->displayName, entry.details->iconFile, entry.placeText);
    }

    const CKelvoEngine& engine_;
    std::vector<Entry> entries_;
    std::map<std::string, std::vector<std::size_t>> matches_;
    std::map<std::string, std::vector<std::size_t>> byLowerName_;  // lower-case name: its entries
};

}  // namespace

void CCategoryScan::ListSignatureCategory(int type, ISignatureRows& signatures) {
    const CKelvoEngine engine(installerProducts_);
    signatures.LoadCategory(type);
    const int count = signatures.GetCount();
    struct Row {
        std::string keyName;
        bool fragment;
    };
    std::vector<Row> rows;
    std::vector<std::string> fragments;
    for (int row = 0; row < count; ++row) {
        rows.push_back({signatures.GetKeyName(row), IsFragmentMode(signatures.GetMatchMode(row))});
        if (rows.back().fragment) fragments.push_back(FragmentText(rows.back().keyName));
    }
    if (count == 0) return;
    // One enumeration per place serves the fragment rows and tells the exact rows where
    // their keys are, so an exact row costs registry reads only where its key exists.
    const std::vector<RegistryPlace> places = UninstallPlaces();
    UninstallSnapshot snapshot(engine, places, fragments);

    for (int row = 0; row < count; ++row) {
        if (view_.StopRequested()) return;  // a newer scan replaced this one
        const std::string& keyName = rows[static_cast<std::size_t>(row)].keyName;
        if (!rows[static_cast<std::size_t>(row)].fragment) {
            // Every place that holds the key gives a row of its own.
            for (const RegistryPlace& place : snapshot.PlacesOf(keyName, places)) {
                if (engine.ProbeUninstallKey(keyName, place) == kRegOpenFailed) continue;
                const std::string displayName = engine.ReadDisplayName(keyName, place);
                view_.AddListRow(displayName.empty() ? signatures.GetName(row) : displayName, signatures.GetInfo(row),
                                 keyName, engine.ResolveIconFile(keyName, displayName, place),
                                 signatures.GetKey(row), PlaceText(place));
            }
            continue;
        }
        const std::string fragment = FragmentText(keyName);
        std::string productName;
        std::string info;
        int productKey = 0;
        bool rowRead = false;
        snapshot.ForEachMatch(fragment, [&](const std::string& key, const std::string& displayName,
                                             const std::string& iconFile, const std::string& placeText) {
            if (!rowRead) {
                productName = signatures.GetName(row);
                info = signatures.GetInfo(row);
                productKey = signatures.GetKey(row);
                rowRead = true;
            }
            view_.AddListRow(displayName.empty() ? productName : displayName, info, key, iconFile, productKey,
                             placeText);
        });
    }
}

int CCategoryScan::Run(int scanType, const std::vector<std::string>& commandFolders, ISignatureRows& signatures) {
    const ScopedTimerResolution timerResolution;
    view_.BeginScan();
    if (!IsListingCategory(scanType)) {
        ListSignatureCategory(scanType, signatures);
    } else if (scanType == kScanAllPrograms) {
        ListAllPrograms(view_, installerProducts_);
    } else if (scanType == kScanBrowserAddons) {
        const CBho addons;
        for (int i = 0; i < addons.GetCount(); ++i) {
            const AddonEntry* entry = addons.GetEntry(i);
            const char* name = entry->description[0] ? entry->description
                               : entry->title[0]     ? entry->title
                                                     : entry->registryName;
            view_.AddListRow(name, entry->company, entry->registryName, entry->filePath, i, PlaceText(entry->place));
        }
    } else if (scanType == kScanStartup) {
        const CStartUp startup;
        for (int i = 0; i < startup.GetCount(); ++i) {
            const StartupEntry* entry = startup.GetEntry(i);
            // A shortcut lives in no registry place: its place text is empty.
            // A Run value's row carries its whole name, which the removal matches.
            const bool runValue = entry->kind == kStartupRunValue;
            view_.AddListRow(entry->title, entry->commandText, runValue ? entry->valueName : entry->entryName,
                             entry->filePath, i,
                             runValue ? PlaceText(entry->place) : std::string());
        }
    } else if (scanType == kScanActiveX) {
        ListActiveXControls(view_);
    } else if (scanType == kScanCommandFolders) {
        for (const std::string& folder : commandFolders)
            ListProgramsInFolder(view_, installerProducts_, ToLowerAnsi(folder));
    }
    view_.EndScan(scanType);
    return 0;
}

}  // namespace tarnock
