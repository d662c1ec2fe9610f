#include "updater/TarnockStopper.h"

#include <tlhelp32.h>

#include <iterator>
#include <vector>

#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "ui/framework/MessageLoop.h"
#include "updater/AutoUpdater.h"

namespace tarnock::updater {

namespace {

bool EqualNoCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(), static_cast<int>(b.size()),
                                TRUE) == CSTR_EQUAL;
}

std::wstring FullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 2] = {};
    const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    return length > 0 && length < std::size(buffer) ? std::wstring(buffer, length) : path;
}

bool FileIdentity(const std::wstring& path, BY_HANDLE_FILE_INFORMATION& info) {
    ScopedHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && GetFileInformationByHandle(file.Get(), &info);
}

std::wstring ImagePath(HANDLE process) {
    wchar_t buffer[MAX_PATH * 2] = {};
    DWORD length = static_cast<DWORD>(std::size(buffer));
    if (!QueryFullProcessImageNameW(process, 0, buffer, &length)) return {};
    return std::wstring(buffer, length);
}

BOOL CALLBACK CloseWindowsOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageW(window, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

bool IsSameFile(const std::wstring& a, const std::wstring& b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    if (FileIdentity(a, first) && FileIdentity(b, second)) {
        return first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
               first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
    }
    return EqualNoCase(FullPath(a), FullPath(b));
}

int StopTarnockIn(const std::string& folder, DWORD politeMs) {
    const std::wstring mainName = WideFromAnsi(kMainProgramName);
    const std::wstring ours = WideFromAnsi(folder + kMainProgramName);

    std::vector<ScopedHandle> running;
    std::vector<DWORD> ids;
    {
        ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) return 0;
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
            if (entry.th32ProcessID == GetCurrentProcessId() || !EqualNoCase(entry.szExeFile, mainName)) continue;
            ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                                             FALSE, entry.th32ProcessID));
            if (!process) continue;
            const std::wstring image = ImagePath(process.Get());
            if (image.empty() || !IsSameFile(image, ours)) continue;
            ids.push_back(entry.th32ProcessID);
            running.push_back(std::move(process));
        }
    }

    for (DWORD id : ids) EnumWindows(CloseWindowsOf, static_cast<LPARAM>(id));
    // The updater's own window stays served while Tarnock closes (a Tarnock that asks
    // something on its way out may be waiting for it).
    std::vector<ScopedHandle> waits;
    for (const ScopedHandle& process : running) {
        HANDLE copy = nullptr;
        if (DuplicateHandle(GetCurrentProcess(), process.Get(), GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0))
            waits.emplace_back(copy);
    }
    ui::loop::WaitDispatching(std::move(waits), politeMs);
    for (ScopedHandle& process : running) {
        if (WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0) continue;
        TerminateProcess(process.Get(), 1);
        WaitForSingleObject(process.Get(), 2000);
    }
    return static_cast<int>(running.size());
}

}  // namespace tarnock::updater
