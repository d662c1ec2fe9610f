// The main dialog's part of removals: the snapshot of the selected row, the removal worker,
// the questions and row changes it asks for, and the list actions that change the system
// (open folder, delete the list entry only).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <memory>

#include "app/KelvoDlg.h"
#include "app/RemovalHost.h"
#include "base/TextUtil.h"
#include "db/DbCtrl.h"
#include "olmaticpost/OlmaticPost.h"
#include "removal/RemovalCommand.h"
#include "removal/RemovalEngine.h"
#include "removal/RemovalMessages.h"
#include "resource.h"
#include "scan/CategoryScan.h"
#include "ui/framework/Application.h"

namespace tarnock {

namespace {

// Everything one removal worker needs, taken on the user-interface thread.
struct RemovalStart {
    HWND window = nullptr;
    RemovalRow row;
    std::shared_ptr<const InstallerProductList> installerProducts;
    std::shared_ptr<CRemovalWorkers> workers;
};

void RunRemoval(const RemovalStart& start) {
    CDialogRemovalHost host(start.window, *start.workers);
    CDbCtrl database;
    CDbProductRecords records(database);
    CRemovalCommand command(host, *start.installerProducts, records, &OlmaticPost);
    command.Run(start.row);
}

RegistryPlace RowPlace(const std::string& text) {
    RegistryPlace place;
    if (!text.empty()) ParsePlaceText(text, place);
    return place;
}

bool NamesUninstallEntry(int category) {
    return category != kScanBrowserAddons && category != kScanStartup && category != kScanActiveX;
}

}  // namespace

void CkelvoDlg::RegisterRemovalHandlers() {
    OnMessage(UM_REMOVAL_QUESTION, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const auto* question = reinterpret_cast<const RemovalQuestion*>(lParam);
        // At shutdown the answer is No without asking: the dialog is going away.
        if (question == nullptr || removals_->ShuttingDown()) return IDNO;
        return ui::AppMessageBox(question->text, question->flags);
    });
    OnMessage(UM_REMOVAL_DELETEROW, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const std::unique_ptr<RemovalRow> row(reinterpret_cast<RemovalRow*>(lParam));
        if (row && !removals_->ShuttingDown()) DeleteRemovedRow(*row);
        return 0;
    });
    OnMessage(UM_REMOVAL_UNDERWAY, [this](WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        const std::unique_ptr<RemovalRow> row(reinterpret_cast<RemovalRow*>(lParam));
        if (row && !removals_->ShuttingDown()) ShowUnderWay(row->Name(), wParam != 0);
        return 0;
    });
    OnMessage(UM_REMOVAL_RESCAN, [this](WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (!removals_->ShuttingDown() && scanType == static_cast<int>(wParam)) RunScan();
        return 0;
    });
}

RemovalRow CkelvoDlg::TakeRemovalSnapshot() const {
    RemovalRow snapshot;
    snapshot.category = scanType;
    snapshot.rankConsent = rankConsent;
    const int row = ListCtrl().FirstSelectedRow();
    if (row < 0) return snapshot;
    snapshot.row = row;
    for (int column = 0; column < RemovalRow::kColumns; ++column) snapshot.texts[column] = ListCtrl().ItemText(row, column);
    snapshot.itemValue = RowItemValue(row);
    return snapshot;
}

int CkelvoDlg::RowItemValue(int row) const {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(listWindow_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return static_cast<int>(item.lParam);
}

void CkelvoDlg::RemoveSelected() {
    auto start = std::make_shared<RemovalStart>();
    start->window = Hwnd();
    start->row = TakeRemovalSnapshot();
    start->installerProducts = installerProducts_;
    start->workers = removals_;
    removals_->Start([start] { RunRemoval(*start); });
}

void CkelvoDlg::DeleteRemovedRow(const RemovalRow& removed) {
    // Only in the list the removal started in; a rescan or another removal may have moved
    // the rows, so the row is found again by its texts and item value.
    if (scanType != removed.category || ListCtrl().LastScanType() != removed.category) return;
    const auto matches = [&](int row) {
        for (int column = 0; column < RemovalRow::kColumns; ++column)
            if (ListCtrl().ItemText(row, column) != removed.texts[column]) return false;
        return RowItemValue(row) == removed.itemValue;
    };
    int found = -1;
    const int count = ListCtrl().ItemCount();
    if (removed.row < count && matches(removed.row)) found = removed.row;
    for (int row = 0; found < 0 && row < count; ++row)
        if (matches(row)) found = row;
    if (found >= 0) SendMessageA(listWindow_, LVM_DELETEITEM, found, 0);
}

void CkelvoDlg::OpenRowFolder(int row) {
    if (row < 0) return;
    std::string path;
    if (scanType == kScanBrowserAddons) return;  // add-ons have no folder of their own here
    if (scanType == kScanStartup) {
        path = ListCtrl().ItemText(row, 1);
    } else if (scanType == kScanActiveX) {
        path = ListCtrl().ItemText(row, 2);  // the control's file
    } else {
        const std::string key = ListCtrl().ItemText(row, 2);
        if (!CRemovalEngine::IsUsableEntryName(key)) return;
        path = CRemovalEngine::ReadUninstallCommand(key, RowPlace(ListCtrl().ItemText(row, 4)));
    }
    CRemovalEngine::OpenContainingFolder(path);
}

void CkelvoDlg::DeleteListEntryOnly(int row) {
    if (row < 0 || !NamesUninstallEntry(scanType)) return;
    const std::string key = ListCtrl().ItemText(row, 2);
    if (!CRemovalEngine::IsUsableEntryName(key)) {
        ui::AppMessageBox(messages::kBadEntryName);
        return;
    }
    if (ui::AppMessageBox(FillMessage(messages::kDeleteListEntryFormat, key), MB_YESNO | MB_ICONQUESTION) != IDYES) {
        ui::AppMessageBox(messages::kCancelled);
        return;
    }
    // Deleting one key asks nothing further: the engine's questions are never reached here.
    class NoQuestions final : public IRemovalHost {
    public:
        bool AskYesNo(const std::wstring&) override { return false; }
        void Tell(const std::wstring&) override {}
        void DeleteRow(const RemovalRow&) override {}
        void Rescan(int) override {}
        void AddChangeWaitEvent(HANDLE) override {}
        void RemoveChangeWaitEvent(HANDLE) override {}
        bool IsShuttingDown() const override { return false; }
    } quiet;
    CRemovalEngine engine(quiet, InstallerProducts());
    const RegistryResult deleted = engine.DeleteUninstallEntry(key, RowPlace(ListCtrl().ItemText(row, 4)));
    if (deleted == kRegSuccess || deleted == kRegNothingToDelete) {
        // An entry that is already gone leaves a stale row: the list is rebuilt either way.
        ui::AppMessageBox(deleted == kRegSuccess ? messages::kDeleted : messages::kEntryMissing);
        RunScan();
    } else {
        ui::AppMessageBox(messages::kDeleteFailed);
    }
}

void CkelvoDlg::ShowUnderWay(const std::string& name, bool underWay) {
    if (underWay) {
        underWay_.push_back(name);
    } else {
        const auto it = std::find(underWay_.begin(), underWay_.end(), name);
        if (it != underWay_.end()) underWay_.erase(it);
    }
    std::wstring text;
    if (!underWay_.empty()) {
        text = messages::kUnderWay;
        for (std::size_t i = 0; i < underWay_.size(); ++i) text += (i == 0 ? L"" : L", ") + WideFromAnsi(underWay_[i]);
    }
    SetDlgItemTextW(Hwnd(), IDC_REMOVAL_STATUS, text.c_str());
}

void CkelvoDlg::DropPendingRemovalMessages() {
    MSG pending;
    while (PeekMessageW(&pending, Hwnd(), UM_REMOVAL_DELETEROW, UM_REMOVAL_UNDERWAY, PM_REMOVE))
        if (pending.message != UM_REMOVAL_RESCAN) delete reinterpret_cast<RemovalRow*>(pending.lParam);
}

}  // namespace tarnock
