// A set of texts that remembers the order in which they were added: the
// registry entries of the leftover screen, each once, in the order reported.
#pragma once

#include <string>
#include <unordered_set>

#include "access/string_types.h"

namespace vorlix {

class TextSet {
public:
    // False when the text is already held (exact, case-sensitive comparison).
    bool add(const std::u16string& text) {
        if (!index.insert(text).second) return false;
        items.push_back(text);
        return true;
    }
    bool contains(const std::u16string& text) const { return index.count(text) != 0; }
    bool empty() const { return items.empty(); }
    std::size_t size() const { return items.size(); }
    void clear() {
        items.clear();
        index.clear();
    }
    const StringList& keys() const { return items; }

private:
    StringList items;
    std::unordered_set<std::u16string> index;
};

}  // namespace vorlix
