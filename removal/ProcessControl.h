// Finds running processes by their executable file name and stops them: first politely,
// by asking their top-level windows to close, then, after a grace period, by terminating
// them. A process that still shows a window after the polite close may hold unsaved work,
// so it is terminated only when the caller's decision says so.
//
// The process list comes from the tool-help snapshot functions of the kernel library, or,
// where those are missing, from the native system-information query; both are bound at
// run time by name.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "base/ScopedHandles.h"

namespace tarnock {

enum class StopResult {
    NotRunning,  // no process of that name
    Closed,      // it ended within the grace period
    Terminated,  // it was terminated after the grace period
    Cancelled,   // it still showed a window and the decision was not to stop it
    Failed,      // no process list, or the termination failed
};

class ProcessControl {
public:
    // Asked when a process still shows a window after the polite close: true terminates it,
    // false leaves it running (and the removal is cancelled). `fileName` is the name looked for.
    using StillOpenDecision = std::function<bool(const std::string& fileName)>;

    ProcessControl() = default;
    virtual ~ProcessControl() = default;
    ProcessControl(const ProcessControl&) = delete;
    ProcessControl& operator=(const ProcessControl&) = delete;

    void Load();
    void Unload();
    bool ToolHelpUsable() const { return snapshot_ && firstProcess_ && nextProcess_; }
    bool NativeUsable() const { return querySystemInformation_ != nullptr; }

    // The first process whose file name (without its folder) equals fileName, compared
    // case-insensitively over the whole name: an open handle with synchronize and terminate
    // rights, and its id; an empty handle (processId untouched) when none runs.
    ScopedHandle FindProcess(const std::string& fileName, DWORD& processId) const;
    bool IsProcessRunning(const std::string& fileName) const;
    // Posts WM_CLOSE to every top-level window of the first such process and waits for it
    // up to the grace period. A process still showing a visible window then is terminated
    // only when `decide` says so (no decision: it is left running); one without windows is
    // terminated.
    StopResult StopProcess(const std::string& fileName, const StillOpenDecision& decide = {}) const;

    void SetGracePeriod(DWORD milliseconds) { gracePeriodMs_ = milliseconds; }

    // Upper bound of the native query's buffer; a process list larger than this is not read.
    static constexpr std::size_t kNativeBufferLimit = 64u << 20;

protected:
    // For the tests: forget the tool-help functions, so the native path is used.
    void DropToolHelp();

private:
    using SnapshotFunction = HANDLE(WINAPI*)(DWORD, DWORD);
    using ProcessWalkFunction = BOOL(WINAPI*)(HANDLE, void*);
    using QueryFunction = LONG(NTAPI*)(ULONG, void*, ULONG, ULONG*);

    ScopedHandle FindWithToolHelp(const std::string& fileName, DWORD& processId) const;
    ScopedHandle FindWithNativeQuery(const std::string& fileName, DWORD& processId) const;

    ScopedModule kernel_;
    ScopedModule native_;
    SnapshotFunction snapshot_ = nullptr;
    ProcessWalkFunction firstProcess_ = nullptr;
    ProcessWalkFunction nextProcess_ = nullptr;
    QueryFunction querySystemInformation_ = nullptr;
    DWORD gracePeriodMs_ = 5000;
};

// True when the text names the same file as `fileName` (the part after the last backslash,
// compared case-insensitively over the whole name).
bool SameProcessFileName(const std::string& path, const std::string& fileName);
// Whether a process has a visible top-level window.
bool HasVisibleWindow(DWORD processId);

}  // namespace tarnock
