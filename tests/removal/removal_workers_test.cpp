// The worker modules without a window: the removal workers' start protocol and shutdown
// wait, and the scan worker's batches and generations.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "removal/RemovalWorkers.h"
#include "scan/CategoryScan.h"
#include "scan/ScanWorker.h"

namespace tarnock {
namespace {

// Waits for the handles without a message pump; true when all were signalled in time.
bool WaitAll(const std::vector<ScopedHandle>& handles, DWORD timeoutMs) {
    std::vector<HANDLE> raw;
    for (const ScopedHandle& handle : handles) raw.push_back(handle.Get());
    if (raw.empty()) return true;
    return WaitForMultipleObjects(static_cast<DWORD>(raw.size()), raw.data(), TRUE, timeoutMs) < WAIT_OBJECT_0 + raw.size();
}

TEST(RemovalWorkersTest, DoneEventIsListedBeforeTheWorkRunsAndSetWhenItEnds) {
    const auto workers = CRemovalWorkers::Create();
    const ScopedHandle ran(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    std::atomic<std::size_t> listedWhileRunning{0};
    ASSERT_TRUE(workers->Start([&] {
        listedWhileRunning = workers->DoneEvents().Count();
        SetEvent(ran.Get());
    }));
    // A shutdown right after the start still sees the worker.
    const std::vector<ScopedHandle> done = workers->BeginShutdown();
    ASSERT_EQ(WaitForSingleObject(ran.Get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(listedWhileRunning.load(), 1u);
    EXPECT_LE(done.size(), 1u);
    EXPECT_TRUE(WaitAll(done, 10000));
}

TEST(RemovalWorkersTest, ShutdownEndsChangeWaitsAndWaitsForEveryWorker) {
    const auto workers = CRemovalWorkers::Create();
    constexpr int kWorkers = 3;
    std::atomic<int> finished{0};
    std::atomic<int> waiting{0};
    for (int i = 0; i < kWorkers; ++i) {
        ASSERT_TRUE(workers->Start([&] {
            // A removal waiting for its entry: only the shutdown ends this wait.
            const ScopedHandle changed(CreateEventW(nullptr, TRUE, FALSE, nullptr));
            workers->ChangeWaitEvents().Add(changed.Get());
            ++waiting;
            while (!workers->ShuttingDown()) WaitForSingleObject(changed.Get(), 250);
            workers->ChangeWaitEvents().Remove(changed.Get());
            Sleep(100);  // some work after the wait, which the shutdown must wait for
            ++finished;
        }));
    }
    for (int poll = 0; poll < 200 && waiting.load() < kWorkers; ++poll) Sleep(50);
    ASSERT_EQ(waiting.load(), kWorkers);
    const std::vector<ScopedHandle> done = workers->BeginShutdown();
    EXPECT_EQ(done.size(), static_cast<std::size_t>(kWorkers));
    ASSERT_TRUE(WaitAll(done, 5000));
    EXPECT_EQ(finished.load(), kWorkers);
}

TEST(RemovalWorkersTest, EndedWorkersAreForgottenAtTheNextStart) {
    const auto workers = CRemovalWorkers::Create();
    ASSERT_TRUE(workers->Start([] {}));
    ASSERT_TRUE(WaitAll(workers->DoneEvents().DuplicateAll(), 10000));
    const ScopedHandle gate(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(workers->Start([&gate] { WaitForSingleObject(gate.Get(), 10000); }));
    EXPECT_EQ(workers->DoneEvents().Count(), 1u);
    SetEvent(gate.Get());
    EXPECT_TRUE(WaitAll(workers->BeginShutdown(), 10000));
}

// The scan worker's batches, collected as the window would take them.
struct Collected {
    std::mutex lock;
    std::vector<std::unique_ptr<ScanRowBatch>> batches;
};

TEST(ScanWorkerTest, BatchesOfAnOlderGenerationAreDroppedAndTheWorkerStops) {
    const auto generations = CScanGenerations::Create();
    ScanRowBatch older;
    older.generation = generations->Begin();
    ScanRowBatch newer;
    newer.generation = generations->Begin();
    EXPECT_FALSE(generations->Accepts(older));
    EXPECT_TRUE(generations->Accepts(newer));

    // A worker whose scan is superseded before it runs delivers nothing at all.
    Collected collected;
    ScanSnapshot snapshot;
    snapshot.scanType = kScanAllPrograms;
    snapshot.generation = older.generation;
    snapshot.generations = generations;
    snapshot.installerProducts = std::make_shared<InstallerProductList>();
    snapshot.deliver = [&collected](ScanRowBatch* batch) {
        std::lock_guard lock(collected.lock);
        collected.batches.emplace_back(batch);
        return true;
    };
    RunScanWorker(snapshot);
    EXPECT_TRUE(collected.batches.empty());

    // The current one ends with exactly one last batch, of its own generation.
    snapshot.generation = newer.generation;
    RunScanWorker(snapshot);
    ASSERT_FALSE(collected.batches.empty());
    for (std::size_t i = 0; i < collected.batches.size(); ++i) {
        EXPECT_EQ(collected.batches[i]->generation, newer.generation);
        EXPECT_EQ(collected.batches[i]->scanType, kScanAllPrograms);
        EXPECT_LE(collected.batches[i]->rows.size(), kScanBatchRows);
        EXPECT_EQ(collected.batches[i]->last, i + 1 == collected.batches.size());
    }
}

TEST(ScanWorkerTest, StartedWorkerOwnsItsSnapshotAndDelivers) {
    const auto generations = CScanGenerations::Create();
    auto collected = std::make_shared<Collected>();
    const ScopedHandle last(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    auto snapshot = std::make_unique<ScanSnapshot>();
    snapshot->scanType = kScanActiveX;
    snapshot->generation = generations->Begin();
    snapshot->generations = generations;
    HANDLE lastEvent = last.Get();
    snapshot->deliver = [collected, lastEvent](ScanRowBatch* batch) {
        std::lock_guard lock(collected->lock);
        collected->batches.emplace_back(batch);
        if (batch->last) SetEvent(lastEvent);
        return true;
    };
    ASSERT_TRUE(StartScanWorker(std::move(snapshot)));
    ASSERT_EQ(WaitForSingleObject(last.Get(), 30000), WAIT_OBJECT_0);
    std::lock_guard lock(collected->lock);
    EXPECT_TRUE(collected->batches.back()->last);
}

}  // namespace
}  // namespace tarnock
