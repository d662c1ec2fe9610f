#include "base/EventList.h"

#include <algorithm>

namespace tarnock {

void CEventList::Add(HANDLE event) {
    std::lock_guard lock(lock_);
    events_.push_back(event);
}

void CEventList::Remove(HANDLE event) {
    std::lock_guard lock(lock_);
    const auto it = std::find(events_.begin(), events_.end(), event);
    if (it != events_.end()) events_.erase(it);
}

void CEventList::SignalAll() const {
    std::lock_guard lock(lock_);
    for (HANDLE event : events_) SetEvent(event);
}

std::vector<ScopedHandle> CEventList::DuplicateAll() const {
    std::lock_guard lock(lock_);
    std::vector<ScopedHandle> copies;
    copies.reserve(events_.size());
    for (HANDLE event : events_) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), event, GetCurrentProcess(), &copy, SYNCHRONIZE | EVENT_MODIFY_STATE,
                            FALSE, 0))
            copies.emplace_back(copy);
    }
    return copies;
}

std::size_t CEventList::Count() const {
    std::lock_guard lock(lock_);
    return events_.size();
}

}  // namespace tarnock
