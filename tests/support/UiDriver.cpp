#include "support/UiDriver.h"

#include <commctrl.h>
#include <shellapi.h>
#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "base/ScopedHandles.h"

// The few GDI+ entry points the screenshots need, declared here: the GDI+ C++ headers do
// not compile with NOMINMAX.
extern "C" {
struct GdiplusStartupInputFlat {
    UINT32 GdiplusVersion;
    void* DebugEventCallback;
    BOOL SuppressBackgroundThread;
    BOOL SuppressExternalCodecs;
};
int WINAPI GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInputFlat* input, void* output);
void WINAPI GdiplusShutdown(ULONG_PTR token);
int WINAPI GdipCreateBitmapFromHBITMAP(HBITMAP bitmap, HPALETTE palette, void** result);
int WINAPI GdipSaveImageToFile(void* image, const WCHAR* file, const CLSID* encoder, const void* parameters);
int WINAPI GdipDisposeImage(void* image);
}

namespace tarnock::testing {

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD stepMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= end) return false;
        Sleep(stepMs);
    }
}

ProgramProcess::~ProgramProcess() { Kill(); }

bool ProgramProcess::Start(const std::string& exePath, const std::string& commandLine, const std::string& workingDir) {
    Kill();
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(exePath.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &info)) {
        // A program that asks for administrator rights, started from a test that has none
        // (Windows with UAC): the shell asks for consent, as it would for a user.
        constexpr DWORD kElevationRequired = 740;  // ERROR_ELEVATION_REQUIRED
        if (GetLastError() != kElevationRequired) return false;
        return StartElevated(exePath, commandLine, workingDir);
    }
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
    return true;
}

bool ProgramProcess::StartElevated(const std::string& exePath, const std::string& commandLine,
                                   const std::string& workingDir) {
    // The shell takes the arguments apart from the program: drop the first token.
    std::string arguments = commandLine;
    std::size_t i = 0;
    while (i < arguments.size() && arguments[i] == ' ') ++i;
    if (i < arguments.size() && arguments[i] == '"') {
        const std::size_t close = arguments.find('"', i + 1);
        i = close == std::string::npos ? arguments.size() : close + 1;
    } else {
        while (i < arguments.size() && arguments[i] != ' ') ++i;
    }
    while (i < arguments.size() && arguments[i] == ' ') ++i;
    arguments.erase(0, i);

    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC;
    info.lpVerb = "runas";
    info.lpFile = exePath.c_str();
    info.lpParameters = arguments.c_str();
    info.lpDirectory = workingDir.empty() ? nullptr : workingDir.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info) || !info.hProcess) return false;
    process_ = info.hProcess;
    id_ = GetProcessId(info.hProcess);
    return true;
}

bool ProgramProcess::IsRunning() const { return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

bool ProgramProcess::WaitForExit(DWORD timeoutMs, DWORD* exitCode) const {
    if (!process_) return true;
    if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode) GetExitCodeProcess(process_, exitCode);
    return true;
}

void ProgramProcess::Kill() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    CloseHandle(process_);
    process_ = nullptr;
    id_ = 0;
}

namespace {

struct WindowSearch {
    DWORD pid;
    const wchar_t* className;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<WindowSearch*>(parameter);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    if (search->className) {
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (lstrcmpiW(name, search->className) != 0) return TRUE;
    }
    search->found.push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectStatic(HWND window, LPARAM parameter) {
    auto* best = reinterpret_cast<std::wstring*>(parameter);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, L"Static") == 0) {
        const std::wstring text = WindowTextW(window);
        if (text.size() > best->size()) *best = text;
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(DWORD pid, const wchar_t* className, bool visibleOnly) {
    WindowSearch search{pid, className, visibleOnly, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND WaitForWindowTitle(const std::string& title, DWORD timeoutMs) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowA(nullptr, title.c_str())) != nullptr; }, timeoutMs);
    return window;
}

HWND WaitForMessageBox(DWORD pid, HWND except, DWORD timeoutMs) {
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid, L"#32770")) {
                if (window != except) {
                    box = window;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return box;
}

std::wstring WindowTextW(HWND window) {
    wchar_t buffer[2048] = {};
    // WM_GETTEXT, not GetWindowText: the latter does not ask windows of other processes.
    SendMessageTimeoutW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000, nullptr);
    buffer[2047] = L'\0';
    return buffer;
}

std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
    return out;
}

std::wstring MessageBoxText(HWND box) {
    std::wstring best;
    EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&best));
    return best;
}

void AnswerDialog(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void ClickButton(HWND dialog, int id) {
    if (HWND button = GetDlgItem(dialog, id)) PostMessageW(button, BM_CLICK, 0, 0);
}

void PostCommand(HWND window, UINT id) { PostMessageW(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PostKey(HWND window, UINT virtualKey) {
    const UINT scan = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageW(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageW(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

bool IsResponsive(HWND window, DWORD timeoutMs) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result) != 0;
}

// ---------------------------------------------------------------------------------------

namespace {
constexpr SIZE_T kRemoteText = 4096;
constexpr SIZE_T kRemoteSize = sizeof(LVITEMA) + kRemoteText;
}  // namespace

RemoteListView::RemoteListView(HWND list) : list_(list) {
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
                           FALSE, pid);
    if (process_) remote_ = VirtualAllocEx(process_, nullptr, kRemoteSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteListView::~RemoteListView() {
    if (remote_) VirtualFreeEx(process_, remote_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
}

namespace {
// A message to the list with a time limit; 0 when it was not answered.
LRESULT SendBounded(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result) ? static_cast<LRESULT>(result) : 0;
}
}  // namespace

int RemoteListView::Count() const { return static_cast<int>(SendBounded(list_, LVM_GETITEMCOUNT, 0, 0)); }

std::string RemoteListView::Text(int row, int column) const {
    if (!remote_) return {};
    auto* remoteText = static_cast<char*>(remote_) + sizeof(LVITEMA);
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = remoteText;
    item.cchTextMax = static_cast<int>(kRemoteText);
    const char zero = 0;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr) ||
        !WriteProcessMemory(process_, remoteText, &zero, 1, nullptr))
        return {};
    SendBounded(list_, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote_));
    std::vector<char> text(kRemoteText + 1, '\0');
    if (!ReadProcessMemory(process_, remoteText, text.data(), kRemoteText, nullptr)) return {};
    return text.data();
}

LPARAM RemoteListView::Param(int row) const {
    if (!remote_) return 0;
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return 0;
    SendBounded(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote_));
    LVITEMA back{};
    if (!ReadProcessMemory(process_, remote_, &back, sizeof(back), nullptr)) return 0;
    return back.lParam;
}

int RemoteListView::Image(int row) const {
    if (!remote_) return -1;
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -1;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return -1;
    if (!SendBounded(list_, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(remote_))) return -1;
    LVITEMA back{};
    if (!ReadProcessMemory(process_, remote_, &back, sizeof(back), nullptr)) return -1;
    return back.iImage;
}

RECT RemoteListView::ItemRect(int row) const {
    RECT rect{};
    if (!remote_) return rect;
    rect.left = LVIR_BOUNDS;
    if (!WriteProcessMemory(process_, remote_, &rect, sizeof(rect), nullptr)) return RECT{};
    if (!SendBounded(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote_))) return RECT{};
    if (!ReadProcessMemory(process_, remote_, &rect, sizeof(rect), nullptr)) return RECT{};
    return rect;
}

std::vector<RemoteRow> RemoteListView::Rows(int columns) const {
    std::vector<RemoteRow> rows;
    const int count = Count();
    for (int row = 0; row < count; ++row) {
        RemoteRow entry;
        for (int column = 0; column < columns; ++column) entry.texts.push_back(Text(row, column));
        entry.param = Param(row);
        entry.image = Image(row);
        rows.push_back(std::move(entry));
    }
    return rows;
}

int RemoteListView::SelectedRow() const {
    const LRESULT row = SendBounded(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
    return static_cast<int>(row);
}

bool RemoteListView::Select(int row) {
    if (!remote_) return false;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return false;
    return SendBounded(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote_)) != 0;
}

bool RemoteListView::ClearSelection() {
    if (!remote_) return false;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    if (!WriteProcessMemory(process_, remote_, &item, sizeof(item), nullptr)) return false;
    return SendBounded(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote_)) != 0;
}

// ---------------------------------------------------------------------------------------

namespace {

// Runs `start(parameter)` on a new thread of `process` and waits for it; its exit code or -1.
// Creating a thread in another process waits for that process to take the request; the
// request is made from a helper thread so that a target that never takes it cannot hold
// the caller beyond timeoutMs.
struct RemoteStart {
    HANDLE process;
    LPTHREAD_START_ROUTINE start;
    void* parameter;
    HANDLE thread = nullptr;
};

DWORD WINAPI CreateRemoteThreadHelper(void* parameter) {
    auto* request = static_cast<RemoteStart*>(parameter);
    request->thread = CreateRemoteThread(request->process, nullptr, 0, request->start, request->parameter, 0, nullptr);
    return 0;
}

// Runs `start(parameter)` on a new thread of `process` and waits for it; its exit code or -1.
long long RunRemoteThread(HANDLE process, const void* start, const void* parameter, DWORD timeoutMs) {
    HANDLE duplicate = nullptr;
    if (!DuplicateHandle(GetCurrentProcess(), process, GetCurrentProcess(), &duplicate, 0, FALSE, DUPLICATE_SAME_ACCESS))
        return -1;
    // Owned by the helper when it outlives the wait (then both are left to the process's end).
    auto* request = new RemoteStart{duplicate, reinterpret_cast<LPTHREAD_START_ROUTINE>(const_cast<void*>(start)),
                                    const_cast<void*>(parameter)};
    ScopedHandle helper(CreateThread(nullptr, 0, CreateRemoteThreadHelper, request, 0, nullptr));
    if (!helper) {
        CloseHandle(duplicate);
        delete request;
        return -1;
    }
    if (WaitForSingleObject(helper.Get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    ScopedHandle thread(request->thread);
    CloseHandle(duplicate);
    delete request;
    if (!thread || WaitForSingleObject(thread.Get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeThread(thread.Get(), &code);
    return code;
}

HMODULE FindRemoteModule(HANDLE process, const std::wstring& path) {
    HMODULE modules[1024] = {};
    DWORD needed = 0;
    if (!EnumProcessModulesEx(process, modules, sizeof(modules), &needed, LIST_MODULES_ALL)) return nullptr;
    const DWORD count = std::min<DWORD>(needed / sizeof(HMODULE), 1024);
    for (DWORD i = 0; i < count; ++i) {
        wchar_t name[MAX_PATH] = {};
        if (GetModuleFileNameExW(process, modules[i], name, MAX_PATH) && lstrcmpiW(name, path.c_str()) == 0)
            return modules[i];
    }
    return nullptr;
}

std::vector<MenuEntry> ParseDump(const std::string& file) {
    std::vector<MenuEntry> entries;
    FILE* in = std::fopen(file.c_str(), "rb");
    if (!in) return entries;
    char line[1024];
    while (std::fgets(line, sizeof(line), in)) {
        std::string text = line;
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        std::vector<std::string> fields;
        std::size_t start = 0;
        for (int i = 0; i < 3; ++i) {
            const std::size_t tab = text.find('\t', start);
            if (tab == std::string::npos) break;
            fields.push_back(text.substr(start, tab - start));
            start = tab + 1;
        }
        if (fields.size() != 3) continue;
        MenuEntry entry;
        entry.depth = std::atoi(fields[0].c_str());
        entry.id = static_cast<UINT>(std::strtoul(fields[1].c_str(), nullptr, 10));
        entry.separator = fields[2].find('S') != std::string::npos;
        entry.checked = fields[2].find('C') != std::string::npos;
        entry.isDefault = fields[2].find('D') != std::string::npos;
        entry.grayed = fields[2].find('G') != std::string::npos;
        entry.text = Wide(text.substr(start));
        entries.push_back(entry);
    }
    std::fclose(in);
    return entries;
}

}  // namespace

namespace {

// Loads the probe library into process `pid`, runs its export `exportName` on a new thread
// there with a copy of `data` (or null) as its parameter, and unloads it again. The export's
// exit code, or -1 when any step failed.
long long CallProbe(DWORD pid, const char* exportName, const void* data, SIZE_T size, DWORD timeoutMs) {
    const std::wstring probe = Wide(BuildDir() + "\\tests\\e2e_menu_probe.dll");
    ScopedModule local(LoadLibraryW(probe.c_str()));
    ScopedHandle process(OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
    if (!local || !process) return -1;
    const FARPROC localExport = GetProcAddress(local.Get(), exportName);
    if (!localExport) return -1;
    const SIZE_T bytes = (probe.size() + 1) * sizeof(wchar_t);
    void* remotePath = VirtualAllocEx(process.Get(), nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remotePath) return -1;
    WriteProcessMemory(process.Get(), remotePath, probe.c_str(), bytes, nullptr);
    // kernel32 sits at the same address in every process of the prefix.
    const void* loadLibrary = reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW"));
    const void* freeLibrary = reinterpret_cast<const void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "FreeLibrary"));
    RunRemoteThread(process.Get(), loadLibrary, remotePath, timeoutMs);
    VirtualFreeEx(process.Get(), remotePath, 0, MEM_RELEASE);
    HMODULE remote = FindRemoteModule(process.Get(), probe);
    if (!remote) return -1;
    void* remoteData = nullptr;
    if (data && size) {
        remoteData = VirtualAllocEx(process.Get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (remoteData) WriteProcessMemory(process.Get(), remoteData, data, size, nullptr);
    }
    long long code = -1;
    if (remoteData || !data || !size) {
        const auto offset = reinterpret_cast<const BYTE*>(localExport) - reinterpret_cast<const BYTE*>(local.Get());
        code = RunRemoteThread(process.Get(), reinterpret_cast<const BYTE*>(remote) + offset, remoteData, timeoutMs);
    }
    RunRemoteThread(process.Get(), freeLibrary, remote, timeoutMs);
    // Left in place when the export may still be running: freeing it could pull the data away.
    if (remoteData && code != -1) VirtualFreeEx(process.Get(), remoteData, 0, MEM_RELEASE);
    return code;
}

}  // namespace

std::vector<MenuEntry> ReadOpenPopupMenu(DWORD pid, DWORD timeoutMs) {
    if (!WaitUntil([&] { return !TopLevelWindows(pid, L"#32768").empty(); }, timeoutMs)) return {};
    const std::string dumpFile = BuildDir() + "\\tests\\menu-dump-" + std::to_string(pid) + ".txt";
    DeleteFileA(dumpFile.c_str());
    CallProbe(pid, "DumpOpenMenu", nullptr, 0, 5000);
    std::vector<MenuEntry> entries = ParseDump(dumpFile);
    DeleteFileA(dumpFile.c_str());
    return entries;
}

bool DropFiles(HWND target, const std::vector<std::string>& files, DWORD timeoutMs) {
    DWORD pid = 0;
    GetWindowThreadProcessId(target, &pid);
    if (pid == 0 || files.empty()) return false;
    // The target window as a 64-bit number, then the names, each ending in a zero, and one more zero.
    std::vector<char> data(sizeof(unsigned long long), '\0');
    const auto handle = static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(target));
    std::memcpy(data.data(), &handle, sizeof(handle));
    for (const std::string& file : files) {
        data.insert(data.end(), file.begin(), file.end());
        data.push_back('\0');
    }
    data.push_back('\0');
    return CallProbe(pid, "DropFilesOnWindow", data.data(), data.size(), timeoutMs) == 0;
}

void CloseMenus(DWORD pid) {
    for (HWND menu : TopLevelWindows(pid, L"#32768")) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
}

// ---------------------------------------------------------------------------------------

HWND WaitForDialogTitle(DWORD pid, const std::string& titleUtf8, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND candidate : TopLevelWindows(pid, L"#32770")) {
                if (Utf8(WindowTextW(candidate)) == titleUtf8) {
                    found = candidate;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return found;
}

long GdiObjectCount(HANDLE process) {
    SetLastError(ERROR_SUCCESS);
    const DWORD count = GetGuiResources(process, GR_GDIOBJECTS);
    if (count != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return static_cast<long>(count);
    // Wine keeps a GDI handle table per process, announced in the PEB as on Windows
    // (GdiSharedHandleTable); an entry with a type is a live object.
    using QueryProcess = NTSTATUS(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) return -1;
#ifdef _WIN64
    constexpr SIZE_T kTableOffset = 0xF8;
#else
    constexpr SIZE_T kTableOffset = 0x94;
#endif
    void* table = nullptr;
    SIZE_T read = 0;
    if (!ReadProcessMemory(process, static_cast<const char*>(static_cast<void*>(basic.PebBaseAddress)) + kTableOffset,
                           &table, sizeof(table), &read) ||
        table == nullptr)
        return -1;
    struct Entry {
        UINT64 object;
        ULONG owner;
        USHORT unique;
        UCHAR type;
        UCHAR flags;
        UINT64 user;
    };
    static_assert(sizeof(Entry) == 24);
    std::vector<Entry> entries(0x10000);
    if (!ReadProcessMemory(process, table, entries.data(), entries.size() * sizeof(Entry), &read)) return -1;
    long live = 0;
    for (const Entry& entry : entries)
        if (entry.type != 0) ++live;
    return live;
}

bool SaveScreenshot(HWND window, const std::string& path) {
    // Let the window and its controls finish painting first.
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    IsResponsive(window, 2000);
    Sleep(400);
    IsResponsive(window, 2000);
    RECT rect{};
    if (!GetWindowRect(window, &rect)) return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    ScopedWindowDc screen(nullptr);
    ScopedMemoryDc memory(CreateCompatibleDC(screen.Get()));
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!memory || !bitmap) return false;
    {
        ScopedSelect select(memory.Get(), bitmap.Get());
        BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), rect.left, rect.top, SRCCOPY);
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);

    GdiplusStartupInputFlat input{1, nullptr, FALSE, FALSE};
    ULONG_PTR token = 0;
    if (GdiplusStartup(&token, &input, nullptr) != 0) return false;
    bool saved = false;
    void* image = nullptr;
    if (GdipCreateBitmapFromHBITMAP(bitmap.Get(), nullptr, &image) == 0 && image) {
        // The PNG encoder of GDI+.
        const CLSID png = {0x557CF406, 0x1A04, 0x11D3, {0x9A, 0x73, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
        saved = GdipSaveImageToFile(image, Wide(path).c_str(), &png, nullptr) == 0;
        GdipDisposeImage(image);
    }
    GdiplusShutdown(token);
    return saved;
}

std::string WindowsPath(const std::string& path) {
    std::string out = path;
    for (char& c : out)
        if (c == '/') c = '\\';
    // Wine shows the Unix root as drive Z:.
    if (!path.empty() && path[0] == '/') out = "Z:" + out;
    return out;
}

std::string BuildDir() { return WindowsPath(TARNOCK_BUILD_DIR); }

std::string ScreenshotPath(const std::string& name) { return BuildDir() + "\\screenshots\\" + name + ".png"; }

}  // namespace tarnock::testing
