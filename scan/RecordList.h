// The scanners keep their results as a singly linked list of fixed-size records in scan
// order, addressed by position. The list owns the records and frees them, also when a
// scan is cut short by an exception.
#pragma once

#include <memory>
#include <utility>

namespace tarnock {

template <typename Record>  // Record has a `Record* next` link
class RecordList {
public:
    RecordList() = default;
    ~RecordList() { Clear(); }
    RecordList(const RecordList&) = delete;
    RecordList& operator=(const RecordList&) = delete;

    // A zeroed record linked at the tail.
    Record& Append() {
        auto record = std::make_unique<Record>();
        record->next = nullptr;
        Record* raw = record.release();
        if (tail_) tail_->next = raw;
        else head_ = raw;
        tail_ = raw;
        ++count_;
        return *raw;
    }
    int Count() const { return count_; }
    const Record* At(int index) const {
        if (index < 0 || index >= count_) return nullptr;
        const Record* record = head_;
        for (int i = 0; i < index && record; ++i) record = record->next;
        return record;
    }
    const Record* Head() const { return head_; }
    void Clear() {
        while (head_) delete std::exchange(head_, head_->next);
        tail_ = nullptr;
        count_ = 0;
    }

private:
    Record* head_ = nullptr;
    Record* tail_ = nullptr;
    int count_ = 0;
};

}  // namespace tarnock
