// Finds which of many fragments occur in a text in one pass over the text (an
// Aho-Corasick automaton over bytes), so that matching every uninstall key name against
// every fragment row costs the length of the names plus the fragments, not their product.
// Matching is byte-wise, exactly like a substring search.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace tarnock {

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

}  // namespace tarnock
