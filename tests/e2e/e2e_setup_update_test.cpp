// TarnockSetup.exe end to end, in the test prefix as on a user's machine: version N is
// installed silently, Tarnock finds itself among all programs, the updater finds N+1 on a
// local update server, downloads and verifies it and starts its setup, which upgrades in
// place; a silent removal then leaves nothing behind.
#include <gtest/gtest.h>

#include <windows.h>
#include <msi.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "base/ScopedHandles.h"
#include "resource.h"
#include "base/TextUtil.h"
#include "support/TestMachine.h"
#include "support/E2eFixtures.h"
#include "support/UiDriver.h"
#include "support/UpdateServer.h"

using namespace tarnock;
using namespace tarnock::testing;

namespace {

constexpr char kUninstallRoot[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kSetupTitle[] = L"Tarnock 설치";
constexpr wchar_t kUpdaterTitle[] = L"Tarnock 업데이트";
constexpr int kUpdaterUpdateButton = 1000;
constexpr DWORD kMsiTimeoutMs = 180000;

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}
std::string InstallFolder() { return SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Tarnock"; }
bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Whether a process of that file name runs (the installer the setup starts).
bool ProcessRuns(const char* fileName) {
    ScopedHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return false;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot.Get(), &entry); more; more = Process32Next(snapshot.Get(), &entry))
        if (lstrcmpiA(entry.szExeFile, fileName) == 0) return true;
    return false;
}

std::string FileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size ? size : 1);
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (size == 0 || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()) ||
        !VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &length))
        return {};
    char text[64];
    snprintf(text, sizeof(text), "%u.%u.%u.%u", HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
             HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS));
    return text;
}

std::string ReadText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

// The setup's private package folders (%ProgramData%\Tarnock\Setup\<random>).
std::vector<std::string> SetupPackageFolders() {
    char data[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("ProgramData", data, MAX_PATH);
    std::vector<std::string> folders;
    if (length == 0 || length >= MAX_PATH) return folders;
    const std::string parent = std::string(data) + "\\Tarnock\\Setup\\";
    WIN32_FIND_DATAA found{};
    ScopedFind search(FindFirstFileA((parent + "*").c_str(), &found));
    if (!search) return folders;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != ".." && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            folders.push_back(parent + name);
    } while (FindNextFileA(search.Get(), &found));
    return folders;
}

// Installed products of the Tarnock package family, any version.
std::vector<std::wstring> InstalledProducts() {
    std::vector<std::wstring> products;
    wchar_t product[39] = {};
    for (DWORD i = 0; MsiEnumRelatedProductsW(SETUP_UPGRADE_CODE, 0, i, product) == ERROR_SUCCESS; ++i)
        products.emplace_back(product);
    return products;
}

// Every installed product named "Tarnock", whatever registered it.
std::vector<std::wstring> ProductsNamedTarnock() {
    std::vector<std::wstring> products;
    wchar_t product[39] = {};
    for (DWORD i = 0; MsiEnumProductsW(i, product) == ERROR_SUCCESS; ++i) {
        wchar_t name[64] = {};
        DWORD length = std::size(name);
        if (MsiGetProductInfoW(product, L"ProductName", name, &length) == ERROR_SUCCESS && std::wstring(name) == L"Tarnock")
            products.emplace_back(product);
    }
    return products;
}

struct UninstallEntry {
    std::string key;
    std::string version;
    std::string publisher;
    std::string uninstallString;
    std::string displayIcon;
};

std::string ReadValue(HKEY key, const char* name) {
    char value[1024] = {};
    DWORD size = sizeof(value) - 1;
    if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) return {};
    return value;
}

// The uninstall entries named "Tarnock", in the machine's own (64-bit) view.
std::vector<UninstallEntry> TarnockUninstallEntries() {
    std::vector<UninstallEntry> entries;
    ScopedKey root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot, 0, KEY_READ | KEY_WOW64_64KEY, root.Put()) != ERROR_SUCCESS)
        return entries;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (RegEnumKeyExA(root.Get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ScopedKey entry;
        if (RegOpenKeyExA(root.Get(), name, 0, KEY_READ | KEY_WOW64_64KEY, entry.Put()) != ERROR_SUCCESS) continue;
        if (ReadValue(entry.Get(), "DisplayName") != "Tarnock") continue;
        entries.push_back({name, ReadValue(entry.Get(), "DisplayVersion"), ReadValue(entry.Get(), "Publisher"),
                           ReadValue(entry.Get(), "UninstallString"), ReadValue(entry.Get(), "DisplayIcon")});
    }
    return entries;
}

// The Start-menu shortcut: for all users on Windows; Wine's installer puts it in the
// installing user's menu.
std::vector<std::string> MenuShortcuts() {
    std::vector<std::string> found;
    for (int csidl : {CSIDL_COMMON_PROGRAMS, CSIDL_PROGRAMS}) {
        const std::string path = SpecialFolder(csidl) + "\\Tarnock.lnk";
        if (Exists(path)) found.push_back(path);
    }
    return found;
}

std::string ShortcutTarget(const std::string& path) {
    ScopedComInit com;
    ComPtr<IShellLinkA> link;
    ComPtr<IPersistFile> persist;
    char target[MAX_PATH] = {};
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.PutVoid())) ||
        FAILED(link.As(persist)) || FAILED(persist->Load(Wide(path).c_str(), STGM_READ)) ||
        FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)))
        return {};
    return target;
}

// Runs a program to its end; its exit code, or -1 when it did not start or end in time.
long long RunToEnd(const std::string& exe, const std::string& arguments, DWORD timeoutMs) {
    ProgramProcess process;
    if (!process.Start(exe, "\"" + exe + "\" " + arguments)) return -1;
    DWORD code = 0;
    if (!process.WaitForExit(timeoutMs, &code)) return -1;
    return code;
}

// A top-level dialog window with this title, of any process, waited for.
HWND WaitForDialog(const wchar_t* title, DWORD timeoutMs) {
    HWND window = nullptr;
    WaitUntil([&] { return (window = FindWindowW(L"#32770", title)) != nullptr && IsWindowVisible(window); },
              timeoutMs, 50);
    return window;
}

void RemoveEveryTarnock() {
    // The setup removes whichever version is installed.
    for (int attempt = 0; attempt < 3 && !TarnockUninstallEntries().empty(); ++attempt)
        RunToEnd(WindowsPath(SETUP_NEXT_EXE), "/uninstall /S", kMsiTimeoutMs);
}

class SetupEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // Wine's menu builder would copy the Start-menu shortcut into the host's desktop menu.
        ScopedKey overrides;
        if (RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", overrides.Put()) == ERROR_SUCCESS)
            RegSetValueExA(overrides.Get(), "winemenubuilder.exe", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    }
    void SetUp() override { RemoveEveryTarnock(); }
    void TearDown() override {
        updaterOrSetup_.Kill();
        tarnock_.Kill();
        RemoveEveryTarnock();
    }

    // The update server offers N+1: its version page and its setup as the download.
    void OfferNextVersion() {
        const std::string setup = ReadWholeFile(WindowsPath(SETUP_NEXT_EXE));
        // Version, Arch, FileSize, SHA256 and Signature, as the release tool prints them.
        const std::string offer = ReadText(WindowsPath(SETUP_NEXT_SIGNATURE));
        ASSERT_FALSE(setup.empty());
        ASSERT_NE(offer.find("\nSignature="), std::string::npos) << "no signed offer of the N+1 setup";
        server_.DownloadBody(setup);
        server_.VersionPage(offer + "UpdateDate=2026-12-10\r\nFileName=TarnockSetup.exe\r\nUpdateDesc=Tarnock " +
                            SETUP_NEXT_VERSION + "\r\n");
    }

    UpdateScenario server_{"setup-update"};
    ProgramProcess tarnock_;
    ProgramProcess updaterOrSetup_;
};

TEST_F(SetupEndToEnd, InstallsListsItselfUpdatesInPlaceAndUninstallsWithoutLeftovers) {
    const std::string folder = InstallFolder();
    ASSERT_FALSE(Exists(folder)) << "an earlier Tarnock is still installed";

    // Version N, silently.
    ULONGLONG start = GetTickCount64();
    ASSERT_EQ(RunToEnd(WindowsPath(SETUP_N_EXE), "/S", kMsiTimeoutMs), 0);
    printf("[ figures  ] silent install of %s: %llu ms\n", SETUP_VERSION, GetTickCount64() - start);
    EXPECT_EQ(FolderEntries(folder), tarnock::SplitList(SETUP_FILES));
    EXPECT_EQ(FileVersion(folder + "\\Tarnock.exe"), SETUP_VERSION);
    const std::vector<std::string> shortcuts = MenuShortcuts();
    ASSERT_EQ(shortcuts.size(), 1u);
    EXPECT_EQ(lstrcmpiA(ShortcutTarget(shortcuts[0]).c_str(), (folder + "\\Tarnock.exe").c_str()), 0)
        << ShortcutTarget(shortcuts[0]);

    std::vector<UninstallEntry> entries = TarnockUninstallEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, SETUP_VERSION);
    EXPECT_EQ(entries[0].publisher, "Olmatic");
    EXPECT_EQ(entries[0].uninstallString, "MsiExec.exe /X" + entries[0].key);
    ASSERT_EQ(InstalledProducts().size(), 1u);
    // The entry's icon: Windows writes it as DisplayIcon, Wine only keeps it with the product.
    wchar_t icon[MAX_PATH] = {};
    DWORD iconLength = MAX_PATH;
    ASSERT_EQ(MsiGetProductInfoW(InstalledProducts()[0].c_str(), L"ProductIcon", icon, &iconLength),
              static_cast<UINT>(ERROR_SUCCESS));
    EXPECT_NE(GetFileAttributesW(icon), INVALID_FILE_ATTRIBUTES) << Utf8(icon);
    if (!entries[0].displayIcon.empty()) {
        EXPECT_TRUE(Exists(entries[0].displayIcon.substr(0, entries[0].displayIcon.find(','))));
    }

    // The administrator's configuration beside the program.
    const std::string ini = folder + "\\Tarnock.ini";
    ASSERT_NE(UpdateServerPort(), 0) << "the update server is not running";
    ASSERT_TRUE(WritePrivateProfileStringA("Update", "Base", server_.Base().c_str(), ini.c_str()));
    OfferNextVersion();

    // Tarnock lists itself among all programs.
    const std::string tarnockExe = folder + "\\Tarnock.exe";
    ASSERT_TRUE(WaitUntil([] { return FindWindowA(nullptr, kTarnockTitle) == nullptr; }, 5000))
        << "another Tarnock is running and would take the start over";
    ASSERT_TRUE(tarnock_.Start(tarnockExe, "\"" + tarnockExe + "\"", folder));
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(tarnock_.Id(), L"#32770"))
                if (Utf8(WindowTextW(window)) == kTarnockTitle) main = window;
            return main != nullptr;
        },
        30000));
    ClickButton(main, IDC_ALLPROGRAMS);
    HWND list = GetDlgItem(main, IDC_RESULT_LIST);
    bool listed = WaitUntil(
        [&] {
            RemoteListView view(list);
            for (int row = 0; row < view.Count(); ++row)
                if (view.Text(row, 0) == "Tarnock") return true;
            return false;
        },
        60000, 200);
    SaveScreenshot(main, ScreenshotPath("setup-installed-all-programs"));
    EXPECT_TRUE(listed);

    // Its update button starts the installed updater, which finds N+1.
    ClickButton(main, IDC_UPDATE);
    HWND updater = WaitForDialog(kUpdaterTitle, 30000);
    ASSERT_TRUE(updater);
    HWND updateButton = GetDlgItem(updater, kUpdaterUpdateButton);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(updateButton) != FALSE; }, 30000, 50)) << "no update offered";
    SaveScreenshot(updater, ScreenshotPath("setup-update-offered"));
    ClickButton(updater, kUpdaterUpdateButton);

    // The verified N+1 setup is started from the program folder and asks first.
    start = GetTickCount64();
    HWND question = WaitForDialog(kSetupTitle, 60000);
    ASSERT_TRUE(question) << "the setup of N+1 did not start";
    DWORD setupPid = 0;
    GetWindowThreadProcessId(question, &setupPid);
    ScopedHandle setupProcess(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, setupPid));
    // The updater has ended; nothing covers the question.
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(updater); }, 10000));
    SaveScreenshot(question, ScreenshotPath("setup-question"));
    EXPECT_TRUE(Exists(folder + "\\TarnockSetup.exe"));
    // The updater stopped the Tarnock of its folder before the setup ran.
    EXPECT_TRUE(tarnock_.WaitForExit(30000));
    AnswerDialog(question, IDYES);

    // The package goes into a private folder below %ProgramData%\Tarnock\Setup and stays
    // held against writers while the installer reads it. Only administrators can open that
    // folder on Windows; Wine, which enforces no access lists, lets this test in while the
    // package is still being written, so the write is tried once the installer runs.
    std::string package;
    ASSERT_TRUE(WaitUntil(
        [&] {
            const std::vector<std::string> folders = SetupPackageFolders();
            if (folders.size() == 1 && Exists(folders[0] + "\\Tarnock.msi") && ProcessRuns("msiexec.exe"))
                package = folders[0] + "\\Tarnock.msi";
            return !package.empty();
        },
        kMsiTimeoutMs, 20))
        << "no package in the setup's private folder while the installer runs";
    {
        ScopedHandle writer(CreateFileA(package.c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        0, nullptr));
        EXPECT_FALSE(writer) << "the package could be opened for writing";
        EXPECT_FALSE(DeleteFileA(package.c_str()));
        EXPECT_FALSE(MoveFileExA(package.c_str(), (package + ".moved").c_str(), 0));
    }

    HWND done = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            done = FindWindowW(L"#32770", kSetupTitle);
            return done && done != question && IsWindowVisible(done);
        },
        kMsiTimeoutMs, 100));
    const std::wstring doneText = MessageBoxText(done);
    SaveScreenshot(done, ScreenshotPath("setup-upgraded"));
    AnswerDialog(done, IDOK);
    ASSERT_TRUE(setupProcess);
    ASSERT_EQ(WaitForSingleObject(setupProcess.Get(), 30000), WAIT_OBJECT_0);
    DWORD setupExit = 1;
    GetExitCodeProcess(setupProcess.Get(), &setupExit);
    printf("[ figures  ] upgrade to %s through the updater: %llu ms\n", SETUP_NEXT_VERSION, GetTickCount64() - start);
    EXPECT_EQ(setupExit, 0u) << Utf8(doneText);
    EXPECT_EQ(doneText, L"Tarnock 설치를 마쳤습니다.");
    EXPECT_TRUE(SetupPackageFolders().empty()) << "the package and its folder are removed";

    // N+1 in place of N: one product, the new version resource, the configuration kept.
    // (Not counted by upgrade code: Wine's installer loses that registration when an
    // upgrade removes the old version; Windows keeps it.)
    EXPECT_EQ(FileVersion(folder + "\\Tarnock.exe"), SETUP_NEXT_VERSION);
    EXPECT_EQ(ProductsNamedTarnock().size(), 1u);
    entries = TarnockUninstallEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, SETUP_NEXT_VERSION);
    char base[256] = {};
    GetPrivateProfileStringA("Update", "Base", "", base, sizeof(base), ini.c_str());
    EXPECT_EQ(std::string(base), server_.Base());
    // What the updater fetched: the page, then the download, as the updater.
    EXPECT_EQ(server_.Requests(), (std::vector<std::string>{"TarnockVersion.php\tAutoUpdateAgent",
                                                            "download2.php\tAutoUpdateAgent"}));
    EXPECT_EQ(MenuShortcuts().size(), 1u);

    // Removed silently: nothing left.
    start = GetTickCount64();
    EXPECT_EQ(RunToEnd(WindowsPath(SETUP_NEXT_EXE), "/uninstall /S", kMsiTimeoutMs), 0);
    printf("[ figures  ] silent removal: %llu ms\n", GetTickCount64() - start);
    EXPECT_FALSE(Exists(folder)) << ::testing::PrintToString(FolderEntries(folder));
    EXPECT_TRUE(MenuShortcuts().empty());
    EXPECT_TRUE(TarnockUninstallEntries().empty());
    EXPECT_TRUE(InstalledProducts().empty());
    EXPECT_TRUE(ProductsNamedTarnock().empty());
}

TEST_F(SetupEndToEnd, SilentRemovalWithNothingInstalledSaysSo) {
    EXPECT_EQ(RunToEnd(WindowsPath(SETUP_N_EXE), "/uninstall /S", 60000), ERROR_UNKNOWN_PRODUCT);
    EXPECT_FALSE(Exists(InstallFolder()));
}

}  // namespace
