// Upper-case mapping of single UTF-16 code units, independent of any C
// locale: the containment test must upper-case accented Latin, Greek,
// Cyrillic, Armenian and other scripts the same way on every machine.
#pragma once

namespace vorlix {

// The letters a to z only.
inline char16_t upper_ascii_unit(char16_t unit) {
    return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - (u'a' - u'A')) : unit;
}

// The table lookup behind upper_case_unit for units from U+0080 on.
char16_t upper_case_non_ascii_unit(char16_t unit);

// Simple (one-to-one) Unicode upper-case mapping of a code unit of the Basic
// Multilingual Plane. Surrogates and characters without an upper-case form
// map to themselves, so an upper-cased text keeps its length and positions.
inline char16_t upper_case_unit(char16_t unit) {
    return unit < 0x80 ? upper_ascii_unit(unit) : upper_case_non_ascii_unit(unit);
}

}  // namespace vorlix
