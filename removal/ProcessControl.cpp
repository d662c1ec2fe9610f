#include "removal/ProcessControl.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace tarnock {

namespace {

constexpr DWORD kProcessRights = SYNCHRONIZE | PROCESS_TERMINATE;
constexpr ULONG kSystemProcessInformation = 5;
constexpr LONG kStatusInfoLengthMismatch = static_cast<LONG>(0xC0000004);
constexpr std::size_t kNativeFirstBuffer = 32768;
constexpr int kNameCapacity = 260;

ScopedHandle OpenFound(DWORD id, DWORD& processId) {
    ScopedHandle process(OpenProcess(kProcessRights, TRUE, id));
    if (process) processId = id;
    return process;
}

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    bool post;
    int found;
};

BOOL CALLBACK VisitWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    ++search->found;
    // Posted: the window's thread may be busy, and this thread must never wait for it.
    if (search->post) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

int VisitWindowsOf(DWORD processId, bool visibleOnly, bool post) {
    WindowSearch search{processId, visibleOnly, post, 0};
    EnumWindows(&VisitWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

bool SameProcessFileName(const std::string& path, const std::string& fileName) {
    if (fileName.empty()) return false;
    const std::size_t slash = path.rfind('\\');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return CompareStringA(LOCALE_SYSTEM_DEFAULT, NORM_IGNORECASE, name.data(), static_cast<int>(name.size()),
                          fileName.data(), static_cast<int>(fileName.size())) == CSTR_EQUAL;
}

bool HasVisibleWindow(DWORD processId) { return VisitWindowsOf(processId, true, false) > 0; }

void ProcessControl::Load() {
    Unload();
    kernel_.Reset(LoadLibraryA("Kernel32"));
    if (!kernel_) return;
    snapshot_ = reinterpret_cast<SnapshotFunction>(GetProcAddress(kernel_.Get(), "CreateToolhelp32Snapshot"));
    firstProcess_ = reinterpret_cast<ProcessWalkFunction>(GetProcAddress(kernel_.Get(), "Process32First"));
    nextProcess_ = reinterpret_cast<ProcessWalkFunction>(GetProcAddress(kernel_.Get(), "Process32Next"));
    if (ToolHelpUsable()) return;
    native_.Reset(LoadLibraryA("ntdll.dll"));
    if (native_)
        querySystemInformation_ =
            reinterpret_cast<QueryFunction>(GetProcAddress(native_.Get(), "ZwQuerySystemInformation"));
}

void ProcessControl::Unload() {
    snapshot_ = nullptr;
    firstProcess_ = nullptr;
    nextProcess_ = nullptr;
    querySystemInformation_ = nullptr;
    kernel_.Reset();
    native_.Reset();
}

void ProcessControl::DropToolHelp() {
    snapshot_ = nullptr;
    firstProcess_ = nullptr;
    nextProcess_ = nullptr;
    if (!native_) native_.Reset(LoadLibraryA("ntdll.dll"));
    if (native_ && !querySystemInformation_)
        querySystemInformation_ =
            reinterpret_cast<QueryFunction>(GetProcAddress(native_.Get(), "ZwQuerySystemInformation"));
}

ScopedHandle ProcessControl::FindProcess(const std::string& fileName, DWORD& processId) const {
    if (!kernel_ || fileName.empty()) return {};
    if (ToolHelpUsable()) return FindWithToolHelp(fileName, processId);
    if (NativeUsable()) return FindWithNativeQuery(fileName, processId);
    return {};
}

ScopedHandle ProcessControl::FindWithToolHelp(const std::string& fileName, DWORD& processId) const {
    ScopedHandle snapshot(snapshot_(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return {};
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = firstProcess_(snapshot.Get(), &entry); more; more = nextProcess_(snapshot.Get(), &entry)) {
        // The name field is fixed-size; never read past it even without a terminator.
        const std::string path(entry.szExeFile, strnlen(entry.szExeFile, sizeof(entry.szExeFile)));
        if (SameProcessFileName(path, fileName)) return OpenFound(entry.th32ProcessID, processId);
        entry.dwSize = sizeof(entry);
    }
    return {};
}

ScopedHandle ProcessControl::FindWithNativeQuery(const std::string& fileName, DWORD& processId) const {
    std::vector<BYTE> buffer;
    std::size_t size = kNativeFirstBuffer;
    ULONG returned = 0;
    for (;;) {
        try {
            buffer.assign(size, 0);
        } catch (const std::bad_alloc&) {
            return {};
        }
        returned = 0;
        const LONG status =
            querySystemInformation_(kSystemProcessInformation, buffer.data(), static_cast<ULONG>(size), &returned);
        if (status == kStatusInfoLengthMismatch) {
            if (size >= kNativeBufferLimit) {
                return {};
            }
            size *= 2;
            continue;
        }
        if (status < 0) {
            return {};
        }
        break;
    }
    // The records and the names they point to must lie inside what the query filled in.
    const std::size_t filled = returned > 0 && returned <= size ? returned : size;
    const BYTE* const begin = buffer.data();
    const BYTE* const end = begin + filled;
    std::size_t offset = 0;
    for (;;) {
        if (offset > filled || filled - offset < sizeof(SYSTEM_PROCESS_INFORMATION)) break;
        SYSTEM_PROCESS_INFORMATION record;
        std::memcpy(&record, begin + offset, sizeof(record));

        std::string name = "Idle";  // the system's idle process has no image name
        const auto* text = reinterpret_cast<const BYTE*>(record.ImageName.Buffer);
        const std::size_t bytes = record.ImageName.Length;
        if (text != nullptr && bytes > 0) {
            name.clear();
            const bool inside = text >= begin && text <= end && bytes <= static_cast<std::size_t>(end - text);
            if (inside && bytes % sizeof(wchar_t) == 0) {
                // Counted, not terminated: convert exactly Length bytes into a bounded buffer.
                std::vector<wchar_t> wide(bytes / sizeof(wchar_t));
                std::memcpy(wide.data(), text, bytes);
                std::array<char, kNameCapacity + 1> ansi{};
                const int written = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                                        ansi.data(), kNameCapacity, nullptr, nullptr);
                if (written > 0) name.assign(ansi.data(), static_cast<std::size_t>(written));
            }
        }
        if (!name.empty() && SameProcessFileName(name, fileName)) {
            const auto id = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(record.UniqueProcessId));
            return OpenFound(id, processId);
        }
        if (record.NextEntryOffset == 0) break;
        offset += record.NextEntryOffset;
    }
    return {};
}

bool ProcessControl::IsProcessRunning(const std::string& fileName) const {
    DWORD id = 0;
    return static_cast<bool>(FindProcess(fileName, id));
}

StopResult ProcessControl::StopProcess(const std::string& fileName, const StillOpenDecision& decide) const {
    if (!kernel_ || (!ToolHelpUsable() && !NativeUsable())) return StopResult::Failed;
    DWORD id = 0;
    ScopedHandle process = FindProcess(fileName, id);
    if (!process) return StopResult::NotRunning;

    VisitWindowsOf(id, false, true);
    const DWORD waited = WaitForSingleObject(process.Get(), gracePeriodMs_);
    if (waited == WAIT_OBJECT_0) return StopResult::Closed;

    // A window still on the screen may be a question about unsaved work: only the user
    // decides whether the program is stopped anyway.
    if (HasVisibleWindow(id) && !(decide && decide(fileName))) return StopResult::Cancelled;
    if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) return StopResult::Closed;  // ended meanwhile
    if (!TerminateProcess(process.Get(), 0)) return StopResult::Failed;
    WaitForSingleObject(process.Get(), 2000);
    return StopResult::Terminated;
}

}  // namespace tarnock
