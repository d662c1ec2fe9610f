// Prints Tarnock's CPU time while one removal waits for an interactive uninstaller, and how
// soon after the uninstaller removed its entry and ended the removal finished:
//   removal_wait_bench UNINSTALLER.EXE [SECONDS]
// UNINSTALLER.EXE is the tests' stand-in (tests/removal_fixtures/uninstaller.c); it removes
// its entry after SECONDS (60 by default), as a user finishing a wizard would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "removal/RemovalCommand.h"
#include "removal/RemovalEngine.h"
#include "scan/CategoryScan.h"

namespace {

using namespace tarnock;

class QuietHost final : public IRemovalHost {
public:
    bool AskYesNo(const std::wstring&) override { return false; }
    void Tell(const std::wstring&) override { ++told; }
    void DeleteRow(const RemovalRow&) override { deletedAt = GetTickCount64(); }
    void Rescan(int) override {}
    void AddChangeWaitEvent(HANDLE) override {}
    void RemoveChangeWaitEvent(HANDLE) override {}
    bool IsShuttingDown() const override { return false; }
    int told = 0;
    ULONGLONG deletedAt = 0;
};

class NoRecords final : public IProductRecords {
public:
    bool FindProduct(int, int, SignatureRow&) const override { return false; }
    std::string GetProcessNames(int) const override { return {}; }
    std::string GetRegistryKeys(int) const override { return {}; }
};

double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto value = [](const FILETIME& t) {
        return static_cast<double>((static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: removal_wait_bench UNINSTALLER.EXE [SECONDS]\n");
        return 2;
    }
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 60;
    const std::string key = "TnkBenchWait";
    const std::string path = std::string(kUninstallRoot) + key;
    HKEY entry = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &entry, nullptr) !=
        ERROR_SUCCESS)
        return 1;
    std::string command = "\"";
    command.append(argv[1]);
    command.append("\" later HKLM ");
    command.append(key);
    command.append(" ");
    command.append(std::to_string(seconds * 1000));
    RegSetValueExA(entry, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   static_cast<DWORD>(command.size() + 1));
    RegCloseKey(entry);

    QuietHost host;
    NoRecords records;
    const InstallerProductList products;
    CRemovalCommand removal(host, products, records, nullptr);
    RemovalRow row;
    row.row = 0;
    row.category = kScanAllPrograms;
    row.texts[0] = key;
    row.texts[2] = key;
    const double cpuBefore = CpuSeconds();
    const ULONGLONG start = GetTickCount64();
    const RemovalOutcome outcome = removal.Run(row);
    const ULONGLONG end = GetTickCount64();
    const double cpu = CpuSeconds() - cpuBefore;
    const double waited = static_cast<double>(end - start) / 1000.0;
    std::printf("removal wait: %.1f s, outcome %s\n", waited, outcome == RemovalOutcome::RowRemoved ? "removed" : "kept");
    std::printf("cpu while waiting: %.3f s\n", cpu);
    std::printf("row left %.0f ms after the uninstaller's planned end\n",
                host.deletedAt != 0 ? static_cast<double>(host.deletedAt - start) - seconds * 1000.0 : -1.0);
    return outcome == RemovalOutcome::RowRemoved ? 0 : 1;
}
