#include "scan/FragmentMatcher.h"

#include <algorithm>
#include <queue>

#include "base/DeletionRule.h"
#include "base/TextUtil.h"

namespace tarnock {

bool IsFragmentMode(const std::string& matchMode) { return matchMode == "%"; }

std::string FragmentText(const std::string& text) { return ToLowerAnsi(text); }

namespace {

std::vector<std::string> DistinctFragments(const std::vector<CSignatureMatcher::Row>& rows) {
    std::vector<std::string> fragments;
    for (const CSignatureMatcher::Row& row : rows) {
        if (!row.fragment || row.keyName.empty()) continue;
        const std::string fragment = FragmentText(row.keyName);
        if (std::find(fragments.begin(), fragments.end(), fragment) == fragments.end()) fragments.push_back(fragment);
    }
    return fragments;
}

}  // namespace

CSignatureMatcher::CSignatureMatcher(std::vector<Row> rows)
    : rows_(std::move(rows)), fragments_(DistinctFragments(rows_)), matcher_(fragments_) {
    rowsOfFragment_.resize(fragments_.size());
    for (std::size_t r = 0; r < rows_.size(); ++r) {
        if (!rows_[r].fragment || rows_[r].keyName.empty()) continue;
        const auto f = std::find(fragments_.begin(), fragments_.end(), FragmentText(rows_[r].keyName));
        rowsOfFragment_[static_cast<std::size_t>(f - fragments_.begin())].push_back(static_cast<int>(r));
    }
}

std::vector<int> CSignatureMatcher::MatchFragments(const std::string& text) const {
    std::vector<int> found;
    for (const int f : matcher_.Find(FragmentText(text)))
        for (const int r : rowsOfFragment_[static_cast<std::size_t>(f)]) found.push_back(r);
    std::sort(found.begin(), found.end());
    return found;
}

std::vector<int> CSignatureMatcher::MatchKeyName(const std::string& keyName) const {
    std::vector<int> found = MatchFragments(keyName);
    for (std::size_t r = 0; r < rows_.size(); ++r)
        if (!rows_[r].fragment && SameRegistryName(rows_[r].keyName, keyName)) found.push_back(static_cast<int>(r));
    std::sort(found.begin(), found.end());
    return found;
}

int CFragmentMatcher::Child(int node, unsigned char c) const {
    for (const auto& [byte, target] : nodes_[static_cast<std::size_t>(node)].next)
        if (byte == c) return target;
    return -1;
}

CFragmentMatcher::CFragmentMatcher(const std::vector<std::string>& fragments)
    : nodes_(1) {
    for (std::size_t f = 0; f < fragments.size(); ++f) {
        int node = 0;
        for (const char ch : fragments[f]) {
            const unsigned char c = static_cast<unsigned char>(ch);
            int child = Child(node, c);
            if (child < 0) {
                child = static_cast<int>(nodes_.size());
                nodes_.push_back({});
                nodes_[static_cast<std::size_t>(node)].next.emplace_back(c, child);
            }
            node = child;
        }
        nodes_[static_cast<std::size_t>(node)].fragment = static_cast<int>(f);
    }
    // Fail links breadth first: the longest proper suffix that is also a prefix.
    std::queue<int> pending;
    for (const auto& [c, child] : nodes_[0].next) pending.push(child);
    while (!pending.empty()) {
        const int node = pending.front();
        pending.pop();
        for (const auto& [c, child] : nodes_[static_cast<std::size_t>(node)].next) {
            int fail = nodes_[static_cast<std::size_t>(node)].fail;
            while (fail != 0 && Child(fail, c) < 0) fail = nodes_[static_cast<std::size_t>(fail)].fail;
            const int target = Child(fail, c);
            Node& n = nodes_[static_cast<std::size_t>(child)];
            n.fail = (target >= 0 && target != child) ? target : 0;
            const Node& f = nodes_[static_cast<std::size_t>(n.fail)];
            n.outputLink = f.fragment >= 0 ? n.fail : f.outputLink;
            pending.push(child);
        }
    }
}

std::vector<int> CFragmentMatcher::Find(const std::string& text) const {
    std::vector<int> found;
    int state = 0;
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        while (state != 0 && Child(state, c) < 0) state = nodes_[static_cast<std::size_t>(state)].fail;
        const int next = Child(state, c);
        if (next >= 0) state = next;
        const Node& here = nodes_[static_cast<std::size_t>(state)];
        for (int n = here.fragment >= 0 ? state : here.outputLink; n >= 0;
             n = nodes_[static_cast<std::size_t>(n)].outputLink) {
            found.push_back(nodes_[static_cast<std::size_t>(n)].fragment);
        }
    }
    // A fragment that occurs several times is reported once.
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

}  // namespace tarnock
