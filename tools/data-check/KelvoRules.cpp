// kelvo_rules DATABASE CORPUS: applies the product's own rules to a signature database and
// a corpus of uninstall entries, for tools/check-data.py. Prints JSON lines (UTF-8):
//   {"kind":"row","type":T,"index":I,"key":K,"fragment":B}        every row, in load order
//   {"kind":"match","type":T,"index":I,"line":L,"where":"key"}    a row finds a corpus entry
//        ("display": a fragment occurs in the entry's display name)
//   {"kind":"path","type":T,"index":I,"path":P,"verdict":V}       the deletion rule on a path row
// Rows are read through the program's database class, matched with the scan's matcher and
// judged by the deletion rule with the row's key name and product name as the product's own
// names, as the removal gives them; corpus
// fields are converted to the code page as the program reads registry names.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "base/DeletionRule.h"
#include "base/TextUtil.h"
#include "db/DbCtrl.h"
#include "scan/CategoryScan.h"
#include "scan/FragmentMatcher.h"

using namespace tarnock;

namespace {

constexpr int kCategories[] = {kScanSpyware, kScanToolbars, kScanMessengers, kScanFileSharing, kScanCommercial};

struct CorpusEntry {
    int line;
    std::string key;
    std::string display;
};

bool ReadCorpus(const std::wstring& path, std::vector<CorpusEntry>& entries) {
    std::ifstream in(path.c_str(), std::ios::binary);
    if (!in) return false;
    std::vector<CorpusEntry> read;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#' || line == "key\tdisplay name\tproduct\tsource") continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::size_t second = line.find('\t', tab + 1);
        read.push_back({number, AnsiFromUtf8(line.substr(0, tab)),
                        AnsiFromUtf8(line.substr(tab + 1, second == std::string::npos ? second : second - tab - 1))});
    }
    entries = std::move(read);
    return true;
}

void Print(const nlohmann::json& record) { std::printf("%s\n", record.dump().c_str()); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: kelvo_rules DATABASE CORPUS\n");
        return 2;
    }
    std::vector<CorpusEntry> corpus;
    if (!ReadCorpus(argv[2], corpus)) {
        std::fprintf(stderr, "cannot read the corpus\n");
        return 2;
    }
    const std::string database = AnsiFromWide(argv[1]);
    if (!PathExists(database)) {
        std::fprintf(stderr, "no database\n");
        return 2;
    }
    for (const int type : kCategories) {
        CDbCtrl db(database);
        db.LoadCategory(type);
        std::vector<CSignatureMatcher::Row> rows;
        for (int i = 0; i < db.GetCount(); ++i) {
            rows.push_back({db.GetKeyName(i), IsFragmentMode(db.GetMatchMode(i))});
            Print({{"kind", "row"}, {"type", type}, {"index", i}, {"key", Utf8FromAnsi(rows.back().keyName)},
                   {"fragment", rows.back().fragment}});
            for (const std::string& path : SplitList(db.GetRegistryKeys(i))) {
                const DeletionVerdict verdict = CheckDeletionPath(path, {rows.back().keyName, db.GetName(i)});
                Print({{"kind", "path"}, {"type", type}, {"index", i}, {"path", Utf8FromAnsi(path)},
                       {"verdict", DeletionVerdictText(verdict)}});
            }
        }
        const CSignatureMatcher matcher(rows);
        for (const CorpusEntry& entry : corpus) {
            std::vector<int> byKey;
            if (!entry.key.empty()) byKey = matcher.MatchKeyName(entry.key);
            for (const int i : byKey)
                Print({{"kind", "match"}, {"type", type}, {"index", i}, {"line", entry.line}, {"where", "key"}});
            if (entry.display.empty()) continue;
            for (const int i : matcher.MatchFragments(entry.display)) {
                if (std::find(byKey.begin(), byKey.end(), i) != byKey.end()) continue;
                Print({{"kind", "match"}, {"type", type}, {"index", i}, {"line", entry.line}, {"where", "display"}});
            }
        }
    }
    return 0;
}
