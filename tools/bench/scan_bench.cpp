// Times the category scans on the machine it runs on, or prints one category's rows.
//
//   scan_bench --bench [--db FILE] [--types 1,5,...] [--repeat R] [--rounds N] [--seconds S] [--naive]
//       one line per category: the median of R timed runs (default 5, after one untimed
//       pass over every category) with its interquartile range and range, rows, registry
//       reads per uninstall entry, and the time spent in the scans' 1 ms pauses (of the
//       median run). The all-programs listing is measured against its floor in rounds of
//       floor and listing taken in turn, so that other work on the machine falls on both
//       alike: at least N rounds (default 11) and as many more as fit into S seconds
//       (default 60), so that a small machine's short listing gets enough rounds for a
//       steady median; printed are the medians with their spread, the ratio of the medians
//       and the median of the rounds' own ratios. --naive also times fragment matching
//       with one enumeration of the uninstall root per database row.
//   scan_bench --dump TYPE [--db FILE] [FOLDER...]
//       the rows of one category as UTF-8 lines: name, info, key, icon file, place (the
//       hidden fifth column), item value, separated by tabs (FOLDERs are the command-line folders of category 10).
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scan/InstallerProduct.h"
#include "db/DbCtrl.h"
#include "base/ScopedHandles.h"
#include "base/TextUtil.h"
#include "scan/CategoryScan.h"
#include "scan/KelvoEngine.h"
#include "scan/RegistryEnum.h"
#include "scan/ScanMetrics.h"

using namespace tarnock;

namespace {

class CountingView : public IScanView {
public:
    explicit CountingView(bool print) : print_(print) {}
    using IScanView::AddListRow;
    void AddListRow(const std::string& name, const std::string& info, const std::string& key,
                    const std::string& iconFile, int itemValue, const std::string& place) override {
        ++rows;
        if (print_)
            std::printf("%s\t%s\t%s\t%s\t%s\t%d\n", Utf8FromAnsi(name).c_str(), Utf8FromAnsi(info).c_str(),
                        Utf8FromAnsi(key).c_str(), Utf8FromAnsi(iconFile).c_str(), place.c_str(), itemValue);
    }
    void BeginScan() override { rows = 0; }
    void EndScan(int) override {}
    int rows = 0;

private:
    bool print_;
};

// The product cache as the main window reads it at start-up.
InstallerProductList LoadInstallerProducts() {
    InstallerProductList products;
    ScopedKey root;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInstallerProductsRoot, 0, KEY_READ, root.Put()) != ERROR_SUCCESS)
        return products;
    const CKelvoEngine engine(products);
    ForEachSubkey(root.Get(), [&](int, const std::string& name) {
        if (StartsWith(name, "{")) return;
        products.push_back({name, engine.ReadInstallerProductValue(name, "ProductName"),
                            engine.ReadInstallerProductValue(name, "ProductIcon")});
    });
    return products;
}

// The uninstall entries of every place the scans read.
int CountUninstallEntries() {
    int total = 0;
    for (const RegistryPlace& place : UninstallPlaces()) {
        ScopedKey root;
        if (RegOpenKeyExA(place.root, kUninstallRoot, 0, KEY_READ | place.view, root.Put()) != ERROR_SUCCESS) continue;
        DWORD count = 0;
        RegQueryInfoKeyA(root.Get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr);
        total += static_cast<int>(count);
    }
    return total;
}

double Milliseconds(const LARGE_INTEGER& start, const LARGE_INTEGER& end) {
    LARGE_INTEGER frequency{};
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Fragment rows matched the plain way: the whole uninstall root of every place enumerated
// once per row. Returns -1 when the category has no fragment rows.
int NaiveFragmentRows(CDbCtrl& database, int type, const InstallerProductList& products) {
    database.LoadCategory(type);
    const CKelvoEngine engine(products);
    int rows = 0;
    bool anyFragment = false;
    for (int j = 0; j < database.GetCount(); ++j) {
        if (database.GetMatchMode(j) != "%") continue;
        anyFragment = true;
        const std::string fragment = ToLowerAnsi(database.GetKeyName(j));
        for (const RegistryPlace& place : UninstallPlaces()) {
            ScopedKey root;
            if (RegOpenKeyExA(place.root, kUninstallRoot, 0, KEY_READ | place.view, root.Put()) != ERROR_SUCCESS)
                continue;
            ForEachSubkey(root.Get(), [&](int, const std::string& key) {
                if (!Contains(ToLowerAnsi(key), fragment) || engine.HasUninstallString(key, place) != 1) return;
                engine.ReadDisplayName(key, place);
                engine.ResolveIconFile(key, "", place);
                ++rows;
            });
        }
    }
    return anyFragment ? rows : -1;
}

// The floor under the all-programs listing: one enumeration of the uninstall root of every
// place, and per entry the values that listing reads (hidden-entry marks, name, links, icon, uninstall
// command, publisher, install source), each read once from the entry opened once, with no
// pauses and no rows.
double FloorMilliseconds(int* readsOut) {
    static const char* const kValues[] = {"ParentKeyName", "SystemComponent", "DisplayName", "URLInfoAbout",
                                          "HelpLink",      "DisplayIcon",     "UninstallString", "InstallSource"};
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    int reads = 0;
    for (const RegistryPlace& place : UninstallPlaces()) {
        ScopedKey root;
        if (RegOpenKeyExA(place.root, kUninstallRoot, 0, KEY_READ | place.view, root.Put()) != ERROR_SUCCESS) continue;
        ForEachSubkey(root.Get(), [&](int, const std::string& name) {
            ScopedKey entry;
            if (RegOpenKeyExA(root.Get(), name.c_str(), 0, KEY_READ, entry.Put()) != ERROR_SUCCESS) return;
            for (const char* value : kValues) {
                BYTE buffer[1024];
                DWORD size = sizeof(buffer);
                RegQueryValueExA(entry.Get(), value, nullptr, nullptr, buffer, &size);
                ++reads;
            }
        });
    }
    QueryPerformanceCounter(&end);
    *readsOut = reads;
    return Milliseconds(start, end);
}

// Median and spread of a set of timings.
struct Spread {
    double median = 0, lowerQuartile = 0, upperQuartile = 0, least = 0, most = 0;
};

// Linear interpolation between the closest ranks, so that a few samples still give quartiles.
double Quantile(const std::vector<double>& sorted, double q) {
    const double position = q * static_cast<double>(sorted.size() - 1);
    const std::size_t below = static_cast<std::size_t>(position);
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (position - static_cast<double>(below));
}

Spread SpreadOf(std::vector<double> samples) {
    Spread spread;
    if (samples.empty()) return spread;
    std::sort(samples.begin(), samples.end());
    spread.median = Quantile(samples, 0.5);
    spread.lowerQuartile = Quantile(samples, 0.25);
    spread.upperQuartile = Quantile(samples, 0.75);
    spread.least = samples.front();
    spread.most = samples.back();
    return spread;
}

// "median 12.3 ms (IQR 12.0-12.9, range 11.8-14.0)"
std::string Describe(const Spread& spread, const char* unit) {
    char text[160];
    std::snprintf(text, sizeof(text), "median %9.2f%s (IQR %.2f-%.2f, range %.2f-%.2f)", spread.median, unit,
                  spread.lowerQuartile, spread.upperQuartile, spread.least, spread.most);
    return text;
}

// One timed category scan.
struct ScanRun {
    double milliseconds = 0;
    double pauseMilliseconds = 0;
    std::int64_t pauses = 0;
    std::int64_t reads = 0;
    int rows = 0;
};

ScanRun TimeScan(int type, const std::vector<std::string>& folders, const InstallerProductList& products,
                 CDbCtrl& database) {
    CountingView view(false);
    ResetScanCounters();
    LARGE_INTEGER start{}, end{};
    QueryPerformanceCounter(&start);
    RunCategoryScan(type, folders, products, database, view);
    QueryPerformanceCounter(&end);
    const ScanCounters& c = GlobalScanCounters();
    ScanRun run;
    run.milliseconds = Milliseconds(start, end);
    run.pauseMilliseconds = static_cast<double>(c.pauseMicroseconds.load()) / 1000.0;
    run.pauses = c.pauses.load();
    run.reads = c.registryReads.load();
    run.rows = view.rows;
    return run;
}

std::vector<int> ParseTypes(const char* text) {
    std::vector<int> types;
    for (const char* p = text; *p;) {
        types.push_back(std::atoi(p));
        while (*p && *p != ',') ++p;
        if (*p == ',') ++p;
    }
    return types;
}

int Usage() {
    std::fprintf(stderr, "usage: scan_bench --bench [--db FILE] [--types 1,5,...] [--repeat R] [--rounds N] "
                         "[--seconds S] [--naive]\n"
                         "       scan_bench --dump TYPE [--db FILE] [FOLDER...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    bool bench = false;
    bool naive = false;
    int dumpType = 0;
    int repeat = 5;
    int rounds = 11;
    double roundSeconds = 60;
    std::string database;
    std::vector<int> types = {1, 2, 3, 4, 9, 5, 6, 7, 8, 10};
    std::vector<std::string> folders;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--bench") bench = true;
        else if (arg == "--naive") naive = true;
        else if (arg == "--dump" && i + 1 < argc) dumpType = std::atoi(argv[++i]);
        else if (arg == "--db" && i + 1 < argc) database = argv[++i];
        else if (arg == "--types" && i + 1 < argc) types = ParseTypes(argv[++i]);
        else if (arg == "--repeat" && i + 1 < argc) repeat = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--rounds" && i + 1 < argc) rounds = std::max(1, std::atoi(argv[++i]));
        else if (arg == "--seconds" && i + 1 < argc) roundSeconds = std::max(0.0, std::atof(argv[++i]));
        else if (!arg.empty() && arg[0] != '-') folders.push_back(arg);
        else return Usage();
    }
    if (!bench && dumpType == 0) return Usage();
    auto openDatabase = [&] { return database.empty() ? std::make_unique<CDbCtrl>() : std::make_unique<CDbCtrl>(database); };
    const InstallerProductList products = LoadInstallerProducts();

    if (!bench) {
        CountingView view(true);
        auto db = openDatabase();
        RunCategoryScan(dumpType, folders, products, *db, view);
        return 0;
    }

    const int entries = CountUninstallEntries();
    std::printf("uninstall entries: %d, installer products: %zu\n", entries, products.size());
    // One untimed pass first, so that the figures do not include the registry and file
    // caches warming up.
    for (int type : types) {
        CountingView view(false);
        auto db = openDatabase();
        RunCategoryScan(type, folders, products, *db, view);
    }
    for (int type : types) {
        std::vector<ScanRun> runs;
        if (type == kScanAllPrograms) {
            // Floor and listing in turn, round after round: a stretch of load from the other
            // work on the machine then falls on both, and the medians compare like with like.
            std::vector<double> floors, owns, ratios;
            int floorReads = 0;
            LARGE_INTEGER begin{}, now{};
            QueryPerformanceCounter(&begin);
            for (int round = 0;; ++round) {
                QueryPerformanceCounter(&now);
                if (round >= rounds && Milliseconds(begin, now) >= roundSeconds * 1000.0) break;
                const double floor = FloorMilliseconds(&floorReads);
                auto db = openDatabase();
                runs.push_back(TimeScan(type, folders, products, *db));
                const double own = runs.back().milliseconds - runs.back().pauseMilliseconds;
                floors.push_back(floor);
                owns.push_back(own);
                ratios.push_back(floor > 0 ? own / floor : 0.0);
            }
            const Spread floor = SpreadOf(floors);
            const Spread own = SpreadOf(owns);
            std::printf("floor: one enumeration with %d value reads, %zu rounds in turn with the listing\n", floorReads,
                        floors.size());
            std::printf("floor:   floor                          %s\n", Describe(floor, " ms").c_str());
            std::printf("floor:   all programs without pauses    %s\n", Describe(own, " ms").c_str());
            std::printf("floor:   ratio of the medians %.2f; the rounds' own ratios %s\n",
                        floor.median > 0 ? own.median / floor.median : 0.0, Describe(SpreadOf(ratios), "").c_str());
        } else {
            for (int run = 0; run < repeat; ++run) {
                auto db = openDatabase();
                runs.push_back(TimeScan(type, folders, products, *db));
            }
        }
        std::vector<double> times;
        for (const ScanRun& run : runs) times.push_back(run.milliseconds);
        // The pauses and counts of the run in the middle.
        std::vector<ScanRun> byTime = runs;
        std::sort(byTime.begin(), byTime.end(),
                  [](const ScanRun& a, const ScanRun& b) { return a.milliseconds < b.milliseconds; });
        const ScanRun& middle = byTime[byTime.size() / 2];
        std::printf("category %2d: %s  rows %5d  registry reads %7lld (%5.2f per entry)  pauses %5lld = %8.1f ms\n",
                    type, Describe(SpreadOf(times), " ms").c_str(), middle.rows, static_cast<long long>(middle.reads),
                    entries ? static_cast<double>(middle.reads) / entries : 0.0,
                    static_cast<long long>(middle.pauses), middle.pauseMilliseconds);
        std::fflush(stdout);
    }
    if (naive) {
        for (int type : types) {
            if (type == 5 || type == 6 || type == 7 || type == 8 || type == 10) continue;
            auto db = openDatabase();
            ResetScanCounters();
            LARGE_INTEGER start{}, end{};
            QueryPerformanceCounter(&start);
            const int rows = NaiveFragmentRows(*db, type, products);
            QueryPerformanceCounter(&end);
            if (rows < 0) continue;
            const double reads = static_cast<double>(GlobalScanCounters().registryReads.load());
            std::printf("category %2d, fragment rows with one enumeration per row: %9.1f ms  rows %5d  "
                        "registry reads %8.0f (%6.2f per entry)\n",
                        type, Milliseconds(start, end), rows, reads, entries ? reads / entries : 0.0);
        }
    }
    return 0;
}
