#include "app/name_index.h"

#include <algorithm>

#include "access/Unit_ZRB_func_Str.h"
#include "access/upper_case_map.h"

namespace vorlix {

void NameIndex::append(const std::u16string& name) {
    const std::size_t start = names.size();
    names.resize(start + name.size());
    std::transform(name.begin(), name.end(), names.begin() + static_cast<std::ptrdiff_t>(start), upper_case_unit);
    ends.push_back(names.size());
    names += u'\0';
}

void NameIndex::clear() {
    names.clear();
    ends.clear();
}

void NameIndex::reserve(std::size_t count, std::size_t units) {
    ends.reserve(count);
    names.reserve(units + count);
}

std::vector<std::size_t> NameIndex::containing(const std::u16string& part) const {
    std::vector<std::size_t> found;
    if (part.empty()) return found;
    const std::u16string upper = Str_UpperFull(part);
    std::size_t name = 0;
    for (std::size_t at = names.find(upper); at != std::u16string::npos; at = names.find(upper, at)) {
        while (ends[name] < at) ++name;
        // A part with a zero unit could reach into the next name: it counts for neither.
        if (at + upper.size() <= ends[name]) found.push_back(name);
        at = ends[name] + 1;
        ++name;
        if (name == ends.size()) break;
    }
    return found;
}

}  // namespace vorlix
