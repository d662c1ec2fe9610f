#include "support/RowRecorder.h"

#include "base/TextUtil.h"

namespace tarnock::testing {

std::ostream& operator<<(std::ostream& out, const RecordedRow& row) {
    // Code-page text shown as UTF-8 so that Hangul is readable in test logs.
    return out << "{name=\"" << Utf8FromAnsi(row.name) << "\", info=\"" << Utf8FromAnsi(row.info) << "\", key=\""
               << Utf8FromAnsi(row.key) << "\", icon=\"" << Utf8FromAnsi(row.iconFile) << "\", item=" << row.itemValue
               << ", place=\"" << row.place << "\"}";
}

void RowRecorder::AddListRow(const std::string& name, const std::string& info, const std::string& key,
                             const std::string& iconFile, int itemValue, const std::string& place) {
    RecordedRow row{name, info, key, iconFile, itemValue, place};
    NoteCall();
    {
        std::lock_guard<std::mutex> lock(mutex_);
        rows_.push_back(row);
    }
    if (onRow) onRow(row);
}

void RowRecorder::NoteCall() const {
    std::lock_guard<std::mutex> lock(mutex_);
    callThreads_.push_back(std::this_thread::get_id());
}

void RowRecorder::BeginScan() {
    NoteCall();
    std::lock_guard<std::mutex> lock(mutex_);
    ++beginCount_;
    rows_.clear();
}

void RowRecorder::EndScan(int scanType) {
    NoteCall();
    std::lock_guard<std::mutex> lock(mutex_);
    ++endCount_;
    lastScanType_ = scanType;
}

std::vector<RecordedRow> RowRecorder::Rows() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return rows_;
}

std::vector<RecordedRow> RowRecorder::RowsWithKeyPrefix(std::string_view prefix) const {
    std::vector<RecordedRow> result;
    for (const RecordedRow& row : Rows())
        if (StartsWith(row.key, prefix)) result.push_back(row);
    return result;
}

int RowRecorder::BeginCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return beginCount_;
}

int RowRecorder::EndCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return endCount_;
}

int RowRecorder::LastScanType() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lastScanType_;
}

bool RowRecorder::StopRequested() const {
    NoteCall();
    return false;
}

std::vector<std::thread::id> RowRecorder::CallThreads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return callThreads_;
}

}  // namespace tarnock::testing
