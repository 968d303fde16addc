// The upper-cased names of the program rows in one buffer: a search runs
// through contiguous memory instead of visiting every row's own text, so its
// cost per row stays flat however many programs are listed.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorlix {

class NameIndex {
public:
    void append(const std::u16string& name);
    void clear();
    // Room for this many names of this many units in all.
    void reserve(std::size_t count, std::size_t units);
    // Positions (in append order) of the names that contain `part`, compared
    // as Str_ContainsText compares; none for an empty part.
    std::vector<std::size_t> containing(const std::u16string& part) const;

private:
    // Each name upper-cased unit by unit and followed by a zero unit, which no
    // reported name contains.
    std::u16string names;
    // Offset of each name's terminating zero.
    std::vector<std::size_t> ends;
};

}  // namespace vorlix
