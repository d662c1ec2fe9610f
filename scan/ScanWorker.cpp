#include "scan/ScanWorker.h"

#include <windows.h>

#include "base/ScopedHandles.h"
#include "db/DbCtrl.h"
#include "scan/CategoryScan.h"

namespace tarnock {

namespace {

// The scan's view on a worker: collects rows and delivers them in batches.
class DeliveredRows final : public IScanView {
public:
    explicit DeliveredRows(const ScanSnapshot& snapshot) : snapshot_(snapshot) { NewBatch(); }
    DeliveredRows(const DeliveredRows&) = delete;
    DeliveredRows& operator=(const DeliveredRows&) = delete;

    using IScanView::AddListRow;
    void AddListRow(const std::string& name, const std::string& info, const std::string& key,
                    const std::string& iconFile, int itemValue, const std::string& place) override {
        if (StopRequested()) return;
        batch_->rows.push_back({name, info, key, iconFile, itemValue, place});
        if (batch_->rows.size() >= kScanBatchRows) Deliver(false);
    }
    bool StopRequested() const override { return !snapshot_.generations->IsCurrent(snapshot_.generation); }
    void BeginScan() override {}  // the window began it before the worker started
    void EndScan(int) override { Deliver(true); }

private:
    void NewBatch() {
        batch_ = std::make_unique<ScanRowBatch>();
        batch_->generation = snapshot_.generation;
        batch_->scanType = snapshot_.scanType;
        batch_->rows.reserve(kScanBatchRows);
    }
    void Deliver(bool last) {
        // A superseded scan's rows would be dropped anyway: the scan that replaced it ends
        // the list's scan state itself.
        if (StopRequested()) {
            batch_->rows.clear();
            return;
        }
        batch_->last = last;
        if (snapshot_.deliver && snapshot_.deliver(batch_.get())) batch_.release();
        NewBatch();
    }

    const ScanSnapshot& snapshot_;
    std::unique_ptr<ScanRowBatch> batch_;
};

DWORD WINAPI ScanThreadProc(void* parameter) {
    if (parameter == nullptr) return 1;
    const std::unique_ptr<ScanSnapshot> snapshot(static_cast<ScanSnapshot*>(parameter));
    RunScanWorker(*snapshot);
    return 0;
}

}  // namespace

void RunScanWorker(const ScanSnapshot& snapshot) {
    static const InstallerProductList kNoProducts;
    DeliveredRows rows(snapshot);
    std::unique_ptr<CDbCtrl> database =
        snapshot.databasePath.empty() ? std::make_unique<CDbCtrl>() : std::make_unique<CDbCtrl>(snapshot.databasePath);
    RunCategoryScan(snapshot.scanType, snapshot.commandFolders,
                    snapshot.installerProducts ? *snapshot.installerProducts : kNoProducts, *database, rows);
}

bool StartScanWorker(std::unique_ptr<ScanSnapshot> snapshot) {
    if (!snapshot || !snapshot->generations) return false;
    const ScopedHandle thread(CreateThread(nullptr, 0, &ScanThreadProc, snapshot.get(), 0, nullptr));
    if (!thread) return false;
    snapshot.release();  // the worker owns it now
    return true;
}

}  // namespace tarnock
