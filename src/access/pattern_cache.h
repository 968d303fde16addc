// Perl-compatible patterns on PCRE2 (16-bit code units). Patterns are compiled
// once per pattern text and option set and shared by every thread.
//
// PCRE2_UTF is not set: subjects are matched code unit by code unit, so texts
// read from the registry that hold an unpaired surrogate still match instead
// of making the search fail with an encoding error. The program's patterns are
// ASCII, so nothing else changes.
#pragma once

#include <string>

#include "access/string_types.h"

namespace vorlix {

enum class PatternOptions {
    standard,     // no compile option; an empty match does not count
    ignore_case,  // caseless, dot-all
    named_groups  // caseless, dot-all, only named groups capture
};

// Unanchored search. Throws std::invalid_argument when the pattern does not compile.
bool pattern_search(const std::u16string& subject, const std::u16string& pattern, PatternOptions options);

// Unanchored search with the named-groups options. On a match, stores for each
// of `names` the text its group captured (empty when the group took no part
// or the pattern has no such group) and returns true; otherwise leaves
// `values` alone and returns false.
bool pattern_capture_named(const std::u16string& subject, const std::u16string& pattern, const StringList& names,
                           StringMap& values);

}  // namespace vorlix
