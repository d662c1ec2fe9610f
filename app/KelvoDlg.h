// The main window of Tarnock: the category buttons, the result list, the row buttons,
// the menus, the worker threads of the long scans and of the removals.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "scan/InstallerProduct.h"
#include "base/ScopedHandles.h"
#include "removal/RemovalWorkers.h"
#include "removal/RemovalHost.h"
#include "scan/ScanView.h"
#include "scan/ScanWorker.h"
#include "ui/ListTestCtrl.h"
#include "ui/Loading.h"
#include "ui/Picture.h"
#include "ui/framework/Dialog.h"

namespace tarnock {

class CkelvoDlg : public ui::CDialog, public IScanView, public std::enable_shared_from_this<CkelvoDlg> {
public:
    CkelvoDlg();
    ~CkelvoDlg() override;

    // Rows of the result list; user-interface thread only (workers post batches of rows).
    using IScanView::AddListRow;
    void AddListRow(const std::string& name, const std::string& info, const std::string& key,
                    const std::string& iconFile, int itemValue, const std::string& place) override;
    void BeginScan() override;
    void EndScan(int scanType) override;

    // Fills the result list for the current scanType; returns 0. Any scan started before
    // is superseded: its rows never reach the list.
    int RunScan();
    int RunScan(int type);
    // Rebuilds the folder list from a command line; 1 when it named arguments after the first token.
    int ParseCommandLine(const std::string& text);
    // Reads the Windows Installer product cache; -1 when the key cannot be opened, else the
    // number of subkeys enumerated.
    int LoadInstallerProducts(HKEY root, const char* path);
    void ResetImageLists();
    // Removes what the selected row stands for: takes a snapshot of the row here, on the
    // user-interface thread, and hands it to a removal worker (KelvoDlgRemoval.cpp).
    void RemoveSelected();

    // Worker threads: the threaded scan (types 5 and 8) behind the loading window, and a removal.
    // The scan worker gets a snapshot of what it reads and hands its rows back in batches.
    void StartThreadedScan(int type);
    void StartRemovalWorker();

    virtual LRESULT OnListAction(int action, int row);
    // The users' opinions about `name` in the browser dialog, modal over this window.
    void ShowOpinionPage(const std::string& name);
    virtual LRESULT OnListSelection(int selected, int row);

    std::vector<std::string> CommandFolders() const;
    HWND ResultListWindow() const { return listWindow_; }

    // The removal workers, their change-wait events and done events.
    CRemovalWorkers& Removals() const { return *removals_; }
    // Filled once at initialisation, before any worker starts; shared read-only with the
    // workers afterwards.
    const InstallerProductList& InstallerProducts() const { return *installerProducts_; }
    // User-interface thread only: workers get what they need in their start records.
    int rankConsent = 0;
    int scanType = 1;

protected:
    BOOL OnInitDialog() override;

private:
    struct Controls;  // the bound controls, KelvoDlg.cpp

    void SetupControls();
    void SetRowButtonsActive(bool active);
    void ShowMainMenu();
    void ShowStyleMenu();
    void StartUpdater();
    void ShowAbout();
    void OnRankConsent();
    void SetAutoUpdate(int value);
    std::string SelectedRowText(int column) const;
    std::optional<LRESULT> OnCopyData(const COPYDATASTRUCT* data);
    void OnDestroy();
    std::optional<LRESULT> OnScanRows(LPARAM batch);
    void ShowLoadingWindow();
    void HideLoadingWindow();

    // Removals (KelvoDlgRemoval.cpp).
    void RegisterRemovalHandlers();
    RemovalRow TakeRemovalSnapshot() const;
    int RowItemValue(int row) const;
    void DeleteRemovedRow(const RemovalRow& removed);
    void OpenRowFolder(int row);
    void DeleteListEntryOnly(int row);
    void DropPendingRemovalMessages();
    // The names of the removals whose uninstallers run, shown below the list.
    void ShowUnderWay(const std::string& name, bool underWay);
    std::vector<std::string> underWay_;
    ui::ListTestCtrl& ListCtrl() const;

    std::unique_ptr<Controls> controls_;
    std::shared_ptr<CRemovalWorkers> removals_ = CRemovalWorkers::Create();
    std::shared_ptr<InstallerProductList> installerProducts_ = std::make_shared<InstallerProductList>();
    // Shown during the threaded scans; user-interface thread only.
    std::unique_ptr<ui::CLoading> loadingWindow;
    // The generation of the newest scan; a worker's rows of an older one are dropped, and
    // the worker reads it to stop early.
    std::shared_ptr<CScanGenerations> scanGenerations_ = CScanGenerations::Create();
    bool destroying_ = false;
    std::vector<std::string> commandFolders;  // user-interface thread only; workers get a copy
    ScopedIcon windowIcon_;   // icon 130, the window's big and small icon
    ScopedIcon dragIcon_;     // icon 161, painted when minimised
    ScopedIcon buttonIcons_[5];
    ui::CPicture background_;
    HWND listWindow_ = nullptr;  // set once at initialisation, before any worker starts
};

}  // namespace tarnock
