// The removal workers of the main window: one thread per removal, started only after its
// done event is registered, so a close right after the click still waits for it; the
// events on which removals wait, all signalled at shutdown; the shutdown wait itself.
// Touches no window: the caller waits for the workers with its own message pump.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

#include "base/EventList.h"
#include "base/ScopedHandles.h"

namespace tarnock {

class CRemovalWorkers : public std::enable_shared_from_this<CRemovalWorkers> {
public:
    // Made only as a shared object: each worker keeps it alive while it runs.
    static std::shared_ptr<CRemovalWorkers> Create();
    CRemovalWorkers(const CRemovalWorkers&) = delete;
    CRemovalWorkers& operator=(const CRemovalWorkers&) = delete;

    // Starts `work` on a thread of its own (user-interface thread). The worker's done event
    // is created and listed in DoneEvents() before the thread exists; false when the thread
    // could not be started (then nothing stays listed and `work` never runs).
    bool Start(std::function<void()> work);
    // At shutdown (user-interface thread): later questions are answered No, every change
    // wait ends, and the result holds own copies of the done events of the workers still
    // running, for the caller to wait on.
    std::vector<ScopedHandle> BeginShutdown();
    bool ShuttingDown() const { return shuttingDown_.load(); }

    // Events on which removals wait for an entry to go; workers add and remove their own.
    CEventList& ChangeWaitEvents() { return changeWaitEvents_; }
    // One event per worker that has not been seen to end, set by the worker as it ends.
    const CEventList& DoneEvents() const { return doneEvents_; }

private:
    CRemovalWorkers() = default;
    // Forgets the workers that have ended (user-interface thread).
    void Prune();

    std::atomic<bool> shuttingDown_{false};
    CEventList changeWaitEvents_;
    CEventList doneEvents_;
    std::vector<ScopedHandle> owned_;  // the done events listed in doneEvents_; user-interface thread only
};

}  // namespace tarnock
