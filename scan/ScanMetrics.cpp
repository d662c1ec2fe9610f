#include "scan/ScanMetrics.h"

namespace tarnock {

namespace {

using TimePeriodFunction = UINT(WINAPI*)(UINT);

std::int64_t MicrosecondsNow() {
    static const std::int64_t frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f.QuadPart > 0 ? static_cast<std::int64_t>(f.QuadPart) : std::int64_t{1};
    }();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return static_cast<std::int64_t>(now.QuadPart) * 1000000 / frequency;
}

TimePeriodFunction LookUp(HMODULE module, const char* name) {
    return module ? reinterpret_cast<TimePeriodFunction>(GetProcAddress(module, name)) : nullptr;
}

}  // namespace

ScanCounters& GlobalScanCounters() {
    static ScanCounters counters;
    return counters;
}

void ResetScanCounters() {
    ScanCounters& c = GlobalScanCounters();
    c.registryReads = 0;
    c.pauses = 0;
    c.pauseMicroseconds = 0;
}

void ScanPause() {
    const std::int64_t start = MicrosecondsNow();
    SleepEx(1, FALSE);
    ScanCounters& c = GlobalScanCounters();
    c.pauses.fetch_add(1, std::memory_order_relaxed);
    c.pauseMicroseconds.fetch_add(MicrosecondsNow() - start, std::memory_order_relaxed);
}

ScopedTimerResolution::ScopedTimerResolution() noexcept : winmm_(LoadLibraryA("winmm.dll")) {
    if (const TimePeriodFunction begin = LookUp(winmm_.Get(), "timeBeginPeriod"))
        active_ = begin(1) == 0;  // TIMERR_NOERROR
    if (!active_) winmm_.Reset();
}

ScopedTimerResolution::~ScopedTimerResolution() {
    if (!active_) return;
    if (const TimePeriodFunction end = LookUp(winmm_.Get(), "timeEndPeriod")) end(1);
}

}  // namespace tarnock
