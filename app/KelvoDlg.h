// The main window of Tarnock: the category buttons, the result list, the row buttons,
// the menus, the worker threads of the long scans and of the removals.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "scan/InstallerProduct.h"
#include "base/ScopedHandles.h"
#include "removal/RemovalHost.h"
#include "scan/ScanView.h"
#include "ui/ListTestCtrl.h"
#include "ui/Loading.h"
#include "ui/Picture.h"
#include "ui/framework/Dialog.h"

namespace tarnock {

// Event handles shared by the user-interface thread and the workers; every operation
// takes the list's lock.
class CEventList {
public:
    CEventList() { events_.reserve(10); }
    void Add(HANDLE event);
    // Removes the first entry equal to `event`; the handle itself stays open.
    void Remove(HANDLE event);
    void SignalAll() const;
    // Own copies of the handles, valid even after their owners close the originals.
    std::vector<ScopedHandle> DuplicateAll() const;
    std::size_t Count() const;

private:
    mutable std::mutex lock_;
    std::vector<HANDLE> events_;
};

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
    const std::atomic<bool>& RemovalsShuttingDown() const { return removalsShuttingDown_; }

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

    // Events on which removals wait for an uninstall key to change; all set at shutdown.
    CEventList changeWaitEvents;
    // One manual-reset event per running removal worker; waited for at shutdown.
    CEventList removalThreadEvents;
    // Filled once at initialisation, before any worker starts; read-only afterwards.
    InstallerProductList installerProducts;
    std::atomic<int> rankConsent{0};
    // Written by the user-interface thread only; removal workers read it.
    std::atomic<int> scanType{1};

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
    // Waits for the handles until all are signalled or the time is up, dispatching this
    // thread's messages meanwhile so that a worker waiting for the window is served.
    static void WaitPumpingMessages(std::vector<ScopedHandle> handles, DWORD timeoutMs);
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
    void EndRemovals();
    void DropPendingRemovalMessages();
    ui::ListTestCtrl& ListCtrl() const;

    std::unique_ptr<Controls> controls_;
    std::atomic<bool> removalsShuttingDown_{false};
    // Shown during the threaded scans; user-interface thread only.
    std::unique_ptr<ui::CLoading> loadingWindow;
    // The generation of the newest scan; a worker's rows of an older one are dropped, and
    // the worker reads it to stop early. Shared with the workers, hence its own lifetime.
    std::shared_ptr<std::atomic<int>> scanGeneration_ = std::make_shared<std::atomic<int>>(0);
    bool destroying_ = false;
    mutable std::mutex foldersLock_;
    std::vector<std::string> commandFolders;
    ScopedIcon windowIcon_;   // icon 130, the window's big and small icon
    ScopedIcon dragIcon_;     // icon 161, painted when minimised
    ScopedIcon buttonIcons_[5];
    ui::CPicture background_;
    HWND listWindow_ = nullptr;  // set once at initialisation, before any worker starts
};

}  // namespace tarnock
