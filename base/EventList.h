// A list of event handles that the user-interface thread and worker threads share: the
// events on which removals wait (signalled together at shutdown) and the events that
// running workers set when they end. Every operation takes the list's lock; the list
// never owns or closes a handle.
#pragma once

#include <windows.h>

#include <mutex>
#include <vector>

#include "base/ScopedHandles.h"

namespace tarnock {

class CEventList {
public:
    CEventList() = default;
    CEventList(const CEventList&) = delete;
    CEventList& operator=(const CEventList&) = delete;

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

}  // namespace tarnock
