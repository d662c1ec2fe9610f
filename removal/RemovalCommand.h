// The removal of one result row, run on a removal worker thread: stops the product's
// processes (or the browser), runs its uninstaller, removes an add-on, start-up entry or
// ActiveX control, deletes the registry entries the signature database lists for the
// product once its uninstaller has finished, reports the removal to the deletion ranking
// when the user agreed, and has the row taken out of the list once the entry is gone.
#pragma once

#include <string>
#include <vector>

#include "db/DbCtrl.h"
#include "removal/ProcessControl.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalHost.h"
#include "scan/InstallerProduct.h"

namespace tarnock {

// What the removal needs of the signature database, by the product's database key (the
// item value of a signature row).
class IProductRecords {
public:
    virtual ~IProductRecords() = default;
    // The product `key` of category `type` as the database holds it now; false when there
    // is none. Leaves `product` untouched on failure.
    virtual bool FindProduct(int type, int key, SignatureRow& product) const = 0;
    virtual std::string GetProcessNames(int key) const = 0;
    virtual std::string GetRegistryKeys(int key) const = 0;
};

class CDbProductRecords final : public IProductRecords {
public:
    explicit CDbProductRecords(CDbCtrl& database) : database_(database) {}
    bool FindProduct(int type, int key, SignatureRow& product) const override {
        return database_.FindProduct(type, key, product);
    }
    std::string GetProcessNames(int key) const override { return database_.GetProcessNamesOfKey(key); }
    std::string GetRegistryKeys(int key) const override { return database_.GetRegistryKeysOfKey(key); }

private:
    CDbCtrl& database_;
};

// Whether the uninstall entry `entryName` is one of `product`'s, by the scan's own rule:
// exact rows name it ignoring case, fragment rows are contained in its lower-cased name.
bool ProductOwnsEntry(const SignatureRow& product, const std::string& entryName);

// The deletion-rank report (OlmaticPost, ordinal 101): category, encoded name, icon file,
// encoded publisher, encoded key.
using RankReportFunction = int(__stdcall*)(int, const char*, const char*, const char*, const char*);

enum class RemovalOutcome {
    NoSelection,
    Cancelled,   // the user stopped it, or something it needs failed before anything was removed
    RowRemoved,  // the entry is gone; the row was handed to the host for deletion (or a rescan)
    RowKept,     // the removal ran but the entry is still there
};

class CRemovalCommand {
public:
    CRemovalCommand(IRemovalHost& host, const InstallerProductList& products, IProductRecords& records,
                    RankReportFunction report)
        : host_(host), products_(products), records_(records), report_(report) {}

    RemovalOutcome Run(const RemovalRow& row);

    // How long the entry may stay once the uninstaller's process tree has ended, how long
    // an uninstaller Tarnock has no handle of may take, and the grace period of the polite
    // close of a process.
    void SetWaitLimit(DWORD milliseconds) { limits_.afterTreeMs = milliseconds; }
    void SetWaitLimits(const WaitLimits& limits) { limits_ = limits; }
    void SetGracePeriod(DWORD milliseconds) { gracePeriodMs_ = milliseconds; }

    static constexpr char kBrowserProcess[] = "iexplore.exe";

protected:
    // The process control of one removal; tests give one that uses the native process list.
    virtual std::unique_ptr<ProcessControl> MakeProcessControl() const;

private:
    bool StopProcesses(const RemovalRow& row, const SignatureRow* product);
    bool StopOne(ProcessControl& processes, const std::string& name);
    RemovalOutcome RemoveAddon(const RemovalRow& row);
    RemovalOutcome RemoveStartupEntry(const RemovalRow& row);
    RemovalOutcome RemoveActiveX(const RemovalRow& row);
    RemovalOutcome RemoveProgram(const RemovalRow& row, const SignatureRow* product);
    // Whether an uninstall entry of `product` is still registered in any place.
    static bool AnyEntryRemains(const SignatureRow& product);
    void Report(const RemovalRow& row, const std::string& key, const std::string& command,
                const RegistryPlace& place = {}) const;

    IRemovalHost& host_;
    const InstallerProductList& products_;
    IProductRecords& records_;
    RankReportFunction report_;
    WaitLimits limits_;
    DWORD gracePeriodMs_ = 5000;
};

// The registration of an ActiveX control that its removal deletes: HKEY_CLASSES_ROOT
// "CLSID\<class>" and the downloaded-program entry.
inline constexpr char kDistributionUnitsKey[] = "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\";

}  // namespace tarnock
