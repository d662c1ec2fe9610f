// Pacing and counters shared by the scanners. A scan pauses 1 ms at fixed points so
// that a long inventory leaves the machine responsive; the counters let a benchmark see
// how much of a scan is registry work and how much is pausing.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>

#include "base/ScopedHandles.h"

namespace tarnock {

struct ScanCounters {
    std::atomic<std::int64_t> registryReads{0};      // value reads and enumeration steps
    std::atomic<std::int64_t> pauses{0};
    std::atomic<std::int64_t> pauseMicroseconds{0};  // wall time spent in the pauses
};

// Process-wide counters; only ever incremented, so threads need no further locking.
ScanCounters& GlobalScanCounters();
void ResetScanCounters();
inline void CountRegistryRead() { GlobalScanCounters().registryReads.fetch_add(1, std::memory_order_relaxed); }

// The scanners' 1 ms pause (a 1 ms sleep), timed into the counters.
void ScanPause();

// Raises the system timer resolution to 1 ms for one scope, so that a 1 ms sleep lasts
// about 1 ms instead of a whole default timer tick (15.6 ms on Windows). winmm is bound
// at run time, so programs need no extra import; without it the pauses merely last longer.
class ScopedTimerResolution {
public:
    ScopedTimerResolution() noexcept;
    ~ScopedTimerResolution();
    ScopedTimerResolution(const ScopedTimerResolution&) = delete;
    ScopedTimerResolution& operator=(const ScopedTimerResolution&) = delete;
    bool Active() const noexcept { return active_; }

private:
    ScopedModule winmm_;
    bool active_ = false;
};

}  // namespace tarnock
