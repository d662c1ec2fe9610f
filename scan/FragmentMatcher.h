// Finds which of many fragments occur in a text in one pass over the text (an
// Aho-Corasick automaton over bytes), so that matching every uninstall key name against
// every fragment row costs the length of the names plus the fragments, not their product.
// Matching is byte-wise, exactly like a substring search.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnock {

// The scan's rules for a signature row against an uninstall key name. A row whose match
// mode is "%" names a fragment, found in the key name lower-cased (ASCII letters only, so a
// double-byte character is never changed); any other mode names the key exactly, compared as
// the registry compares names (ignoring case).
bool IsFragmentMode(const std::string& matchMode);
std::string FragmentText(const std::string& text);

class CFragmentMatcher {
public:
    // Fragments must be distinct and not empty.
    explicit CFragmentMatcher(const std::vector<std::string>& fragments);

    // The indexes of the fragments that occur in `text`, each once, in ascending order.
    std::vector<int> Find(const std::string& text) const;

private:
    struct Node {
        std::vector<std::pair<unsigned char, int>> next;
        int fail = 0;
        int fragment = -1;  // the fragment ending here
        int outputLink = -1;  // the nearest node on the fail chain where a fragment ends
    };
    int Child(int node, unsigned char c) const;

    std::vector<Node> nodes_;
};

// Every row of a signature category at once: which rows find an uninstall key name, and
// which fragments occur in a display name.
class CSignatureMatcher {
public:
    struct Row {
        std::string keyName;
        bool fragment = false;
    };
    explicit CSignatureMatcher(std::vector<Row> rows);

    // The rows (by index, ascending) that find the entry `keyName`.
    std::vector<int> MatchKeyName(const std::string& keyName) const;
    // The fragment rows whose fragment occurs in `text`.
    std::vector<int> MatchFragments(const std::string& text) const;

private:
    std::vector<Row> rows_;
    std::vector<std::string> fragments_;                 // distinct, lower-cased
    std::vector<std::vector<int>> rowsOfFragment_;       // per fragment, its rows
    CFragmentMatcher matcher_;
};

}  // namespace tarnock
