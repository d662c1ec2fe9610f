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
#include "removal/RemovalHost.h"
#include "scan/InstallerProduct.h"

namespace tarnock {

// What the removal needs of the signature database.
class IProductRecords {
public:
    virtual ~IProductRecords() = default;
    virtual void LoadCategory(int type) = 0;
    virtual std::string GetProcessNames(int index) const = 0;
    virtual std::string GetRegistryKeys(int index) const = 0;
    // The product's own names for the deletion rule: the row's uninstall key name (or
    // fragment) and its product name.
    virtual std::vector<std::string> GetOwnNames(int) const { return {}; }
};

class CDbProductRecords final : public IProductRecords {
public:
    explicit CDbProductRecords(CDbCtrl& database) : database_(database) {}
    void LoadCategory(int type) override { database_.LoadCategory(type); }
    std::string GetProcessNames(int index) const override { return database_.GetProcessNames(index); }
    std::string GetRegistryKeys(int index) const override { return database_.GetRegistryKeys(index); }
    std::vector<std::string> GetOwnNames(int index) const override {
        return {database_.GetKeyName(index), database_.GetName(index)};
    }

private:
    CDbCtrl& database_;
};

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

    // How long an uninstaller may take to remove its entry, and the grace period of the
    // polite close of a process.
    void SetWaitLimit(DWORD milliseconds) { waitLimitMs_ = milliseconds; }
    void SetGracePeriod(DWORD milliseconds) { gracePeriodMs_ = milliseconds; }

    static constexpr char kBrowserProcess[] = "iexplore.exe";

protected:
    // The process control of one removal; tests give one that uses the native process list.
    virtual std::unique_ptr<ProcessControl> MakeProcessControl() const;

private:
    bool StopProcesses(const RemovalRow& row);
    bool StopOne(ProcessControl& processes, const std::string& name);
    RemovalOutcome RemoveAddon(const RemovalRow& row);
    RemovalOutcome RemoveStartupEntry(const RemovalRow& row);
    RemovalOutcome RemoveActiveX(const RemovalRow& row);
    RemovalOutcome RemoveProgram(const RemovalRow& row);
    void Report(const RemovalRow& row, const std::string& key, const std::string& command) const;

    IRemovalHost& host_;
    const InstallerProductList& products_;
    IProductRecords& records_;
    RankReportFunction report_;
    DWORD waitLimitMs_ = 30000;
    DWORD gracePeriodMs_ = 5000;
};

// The registration of an ActiveX control that its removal deletes: HKEY_CLASSES_ROOT
// "CLSID\<class>" and the downloaded-program entry.
inline constexpr char kDistributionUnitsKey[] = "SOFTWARE\\Microsoft\\Code Store Database\\Distribution Units\\";

}  // namespace tarnock
