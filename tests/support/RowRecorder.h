// A result view for tests: records every row a scan appends, the scan's start and end, and
// the thread of every call.
#pragma once

#include <functional>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "scan/ScanView.h"

namespace tarnock::testing {

struct RecordedRow {
    std::string name;
    std::string info;
    std::string key;
    std::string iconFile;
    int itemValue = 0;
    std::string place;  // the hidden fifth column

    bool operator==(const RecordedRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const RecordedRow& row);

class RowRecorder : public IScanView {
public:
    using IScanView::AddListRow;
    void AddListRow(const std::string& name, const std::string& info, const std::string& key,
                    const std::string& iconFile, int itemValue, const std::string& place) override;
    void BeginScan() override;
    void EndScan(int scanType) override;
    bool StopRequested() const override;

    std::vector<RecordedRow> Rows() const;
    // Only the rows whose key column begins with `prefix` (a test's own entries).
    std::vector<RecordedRow> RowsWithKeyPrefix(std::string_view prefix) const;
    int BeginCount() const;
    int EndCount() const;
    int LastScanType() const;
    // The thread of every call the scan made on this view, in order.
    std::vector<std::thread::id> CallThreads() const;

    // Called after each row is recorded, on the scanning thread (e.g. to change the
    // registry in the middle of a scan).
    std::function<void(const RecordedRow&)> onRow;

private:
    void NoteCall() const;

    mutable std::mutex mutex_;
    mutable std::vector<std::thread::id> callThreads_;
    std::vector<RecordedRow> rows_;
    int beginCount_ = 0;
    int endCount_ = 0;
    int lastScanType_ = 0;
};

}  // namespace tarnock::testing
