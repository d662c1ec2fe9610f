#include "removal/RemovalWorkers.h"

#include <utility>

namespace tarnock {

namespace {

struct WorkerStart {
    std::shared_ptr<CRemovalWorkers> keepAlive;
    std::function<void()> work;
    ScopedHandle done;  // the worker's own copy of its done event
};

DWORD WINAPI WorkerThreadProc(void* parameter) {
    if (parameter == nullptr) return 1;
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    start->work();
    SetEvent(start->done.Get());
    return 0;
}

}  // namespace

std::shared_ptr<CRemovalWorkers> CRemovalWorkers::Create() {
    return std::shared_ptr<CRemovalWorkers>(new CRemovalWorkers());
}

bool CRemovalWorkers::Start(std::function<void()> work) {
    Prune();
    ScopedHandle done(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!done) return false;
    HANDLE copy = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), done.Get(), GetCurrentProcess(), &copy, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return false;
    auto start = std::make_unique<WorkerStart>(WorkerStart{shared_from_this(), std::move(work), ScopedHandle(copy)});
    doneEvents_.Add(done.Get());
    const ScopedHandle thread(CreateThread(nullptr, 0, &WorkerThreadProc, start.get(), 0, nullptr));
    if (!thread) {
        doneEvents_.Remove(done.Get());
        return false;
    }
    start.release();  // the worker owns it now
    owned_.push_back(std::move(done));
    return true;
}

void CRemovalWorkers::Prune() {
    for (auto it = owned_.begin(); it != owned_.end();) {
        if (WaitForSingleObject(it->Get(), 0) == WAIT_OBJECT_0) {
            doneEvents_.Remove(it->Get());
            it = owned_.erase(it);
        } else {
            ++it;
        }
    }
}

std::vector<ScopedHandle> CRemovalWorkers::BeginShutdown() {
    shuttingDown_ = true;
    changeWaitEvents_.SignalAll();
    Prune();
    return doneEvents_.DuplicateAll();
}

}  // namespace tarnock
