// A set of folder texts searched for all at once (Aho-Corasick): whether any of
// them occurs in a text and ends there at a path boundary. One pass over the
// text, whatever the number of folders, so a program with thousands of
// folders costs no more per registry value than one with ten.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "access/string_types.h"

namespace vorlix {

// True when the folder ends at `end` (one past its last unit) on a path
// boundary of `text`: the end of the text (blanks left by quotation marks do
// not count), a backslash after it, or a backslash as its own last unit.
bool ends_at_path_boundary(const std::u16string& text, std::size_t end);

// Whether `part` occurs in `text` ending at a path boundary (any occurrence
// counts). Both are compared exactly; callers pass them upper-cased. An empty
// part occurs nowhere.
bool claims_at_boundary(const std::u16string& text, const std::u16string& part);

class FolderAutomaton {
public:
    // Empty folders are left out: they claim nothing.
    explicit FolderAutomaton(const StringList& folders);

    // The same answer as claims_at_boundary(text, folder) for any folder of the set.
    bool claims(const std::u16string& text) const;

private:
    struct Node {
        std::int32_t fail = 0;
        // Some folder of the set ends here (itself or through the failure chain).
        bool ends_folder = false;
        std::vector<std::int32_t> children;
    };

    std::vector<Node> nodes;
    // (node << 16 | code unit) -> child node.
    std::unordered_map<std::uint64_t, std::int32_t> edges;

    static std::uint64_t edge_key(std::int32_t node, char16_t unit) {
        return (static_cast<std::uint64_t>(node) << 16) | unit;
    }
    std::int32_t child(std::int32_t node, char16_t unit) const;
    void insert(const std::u16string& folder);
    void link_failures();
};

}  // namespace vorlix
