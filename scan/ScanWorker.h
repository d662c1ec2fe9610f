// The worker of the long scans (all programs, ActiveX controls): it lists a category from a
// snapshot taken on the user-interface thread and hands its rows back in batches through
// a delivery function (the main window posts them to itself). Every scan has a generation;
// a batch of an older generation than the newest scan is dropped, and a superseded worker
// stops listing early. Touches no window.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "scan/InstallerProduct.h"

namespace tarnock {

struct ScanRow {
    std::string name, info, key, iconFile;
    int itemValue = 0;
    std::string place;  // the hidden fifth column
};

struct ScanRowBatch {
    int generation = 0;
    int scanType = 0;
    bool last = false;
    std::vector<ScanRow> rows;
};

// Rows of a threaded scan travel in batches of at most this many.
inline constexpr std::size_t kScanBatchRows = 256;

// The generations of one window's scans; shared with its workers, hence its own lifetime.
class CScanGenerations {
public:
    static std::shared_ptr<CScanGenerations> Create() { return std::make_shared<CScanGenerations>(); }
    // A new scan supersedes every earlier one; returns its generation.
    int Begin() { return current_.fetch_add(1) + 1; }
    bool IsCurrent(int generation) const { return current_.load() == generation; }
    // Whether a delivered batch still belongs to the newest scan.
    bool Accepts(const ScanRowBatch& batch) const { return IsCurrent(batch.generation); }

private:
    std::atomic<int> current_{0};
};

// Takes ownership of a batch when it returns true; a false return (the window is gone)
// leaves the batch with the worker, which frees it.
using ScanDelivery = std::function<bool(ScanRowBatch*)>;

// Everything a scan worker reads, taken on the user-interface thread when it starts.
struct ScanSnapshot {
    int scanType = 0;
    int generation = 0;
    std::shared_ptr<const CScanGenerations> generations;
    std::vector<std::string> commandFolders;
    // Shared read-only by the window and its workers.
    std::shared_ptr<const InstallerProductList> installerProducts;
    std::string databasePath;  // empty: kelvo.dat beside the program
    ScanDelivery deliver;
};

// Runs the scan of `snapshot` on the calling thread, delivering its batches.
void RunScanWorker(const ScanSnapshot& snapshot);
// Starts RunScanWorker on a thread of its own, which owns the snapshot; false when the
// thread could not be started.
bool StartScanWorker(std::unique_ptr<ScanSnapshot> snapshot);

}  // namespace tarnock
