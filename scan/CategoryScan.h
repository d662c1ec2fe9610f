// The category scan: fills the result list for one category. Signature categories match
// the rows of the signature database against the uninstall registry; the others delegate
// to the inventory listings and the add-on, start-up and ActiveX scanners.
//
// Runs on whichever thread calls it (the user-interface thread, or a worker for the
// all-programs and ActiveX categories) and reaches the window only through IScanView.
#pragma once

#include <string>
#include <vector>

#include "scan/InstallerProduct.h"
#include "db/DbCtrl.h"
#include "scan/ScanView.h"

namespace tarnock {

// Category numbers.
enum ScanCategory : int {
    kScanSpyware = 1,
    kScanToolbars = 2,
    kScanMessengers = 3,
    kScanFileSharing = 4,
    kScanAllPrograms = 5,
    kScanBrowserAddons = 6,
    kScanStartup = 7,
    kScanActiveX = 8,
    kScanCommercial = 9,
    kScanCommandFolders = 10,
};

// The categories the signature database lists: spyware, toolbars, messengers, file sharing
// and commercial software.
inline bool IsSignatureCategory(int category) {
    return category == kScanSpyware || category == kScanToolbars || category == kScanMessengers ||
           category == kScanFileSharing || category == kScanCommercial;
}

// The categories the scan lists from the machine itself; every other number is scanned like
// a signature category, with that number as the database's Type.
inline bool IsListingCategory(int category) {
    return category == kScanAllPrograms || category == kScanBrowserAddons || category == kScanStartup ||
           category == kScanActiveX || category == kScanCommandFolders;
}

// What the scan needs of the signature database.
class ISignatureRows {
public:
    virtual ~ISignatureRows() = default;
    virtual bool LoadCategory(int type) = 0;
    virtual int GetCount() const = 0;
    virtual std::string GetName(int index) const = 0;
    virtual std::string GetInfo(int index) const = 0;
    virtual std::string GetKeyName(int index) const = 0;
    virtual std::string GetMatchMode(int index) const = 0;
    // The product's database key, which its rows carry as their item value; a source
    // without keys numbers its rows.
    virtual int GetKey(int index) const { return index; }
};

// Any database class with these operations (CDbCtrl) seen through ISignatureRows.
template <typename Database>
class SignatureRowsOf final : public ISignatureRows {
public:
    explicit SignatureRowsOf(Database& database) : database_(database) {}
    bool LoadCategory(int type) override { return database_.LoadCategory(type); }
    int GetCount() const override { return database_.GetCount(); }
    std::string GetName(int index) const override { return database_.GetName(index); }
    std::string GetInfo(int index) const override { return database_.GetInfo(index); }
    std::string GetKeyName(int index) const override { return database_.GetKeyName(index); }
    std::string GetMatchMode(int index) const override { return database_.GetMatchMode(index); }
    int GetKey(int index) const override { return database_.GetKey(index); }

private:
    Database& database_;
};

class CCategoryScan {
public:
    // Both are only read during a scan; the products are copied into the scan's engine.
    CCategoryScan(const InstallerProductList& installerProducts, IScanView& view)
        : installerProducts_(installerProducts), view_(view) {}

    // BeginScan, the category's rows, EndScan(scanType). Returns 0.
    int Run(int scanType, const std::vector<std::string>& commandFolders, ISignatureRows& signatures);
    int Run(int scanType, const std::vector<std::string>& commandFolders, CDbCtrl& database) {
        SignatureRowsOf<CDbCtrl> signatures(database);
        return Run(scanType, commandFolders, signatures);
    }

private:
    void ListSignatureCategory(int type, ISignatureRows& signatures);

    const InstallerProductList& installerProducts_;
    IScanView& view_;
};

// The main window's RunScan in one call.
inline int RunCategoryScan(int scanType, const std::vector<std::string>& commandFolders,
                           const InstallerProductList& installerProducts, CDbCtrl& database, IScanView& view) {
    return CCategoryScan(installerProducts, view).Run(scanType, commandFolders, database);
}

}  // namespace tarnock
