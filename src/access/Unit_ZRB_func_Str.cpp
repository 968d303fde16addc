#include "access/Unit_ZRB_func_Str.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "access/pattern_cache.h"
#include "access/upper_case_map.h"

namespace vorlix {

namespace {

constexpr std::size_t npos = std::u16string::npos;

bool is_trimmed_unit(char16_t unit) {
    return unit <= u' ';
}

char16_t lower_ascii_unit(char16_t unit) {
    return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + (u'a' - u'A')) : unit;
}

// First occurrence of `part` in `text` at or after `from`, comparing the
// upper-case forms unit by unit. Upper-casing keeps every unit in place, so
// the position is valid in the original text. Allocates nothing.
std::size_t find_ignoring_case(std::u16string_view text, std::u16string_view part, std::size_t from) {
    for (std::size_t start = from; start + part.size() <= text.size(); ++start) {
        std::size_t matched = 0;
        while (matched < part.size() && upper_case_unit(text[start + matched]) == upper_case_unit(part[matched])) {
            ++matched;
        }
        if (matched == part.size()) {
            return start;
        }
    }
    return npos;
}

template <typename Map>
std::u16string map_units(const std::u16string& text, Map map) {
    std::u16string result(text.size(), u'\0');
    std::transform(text.begin(), text.end(), result.begin(), map);
    return result;
}

}  // namespace

std::u16string Str_Trim(const std::u16string& str_param_Text) {
    const auto first = std::find_if_not(str_param_Text.begin(), str_param_Text.end(), is_trimmed_unit);
    const auto last = std::find_if_not(str_param_Text.rbegin(), std::make_reverse_iterator(first), is_trimmed_unit);
    return std::u16string(first, last.base());
}

std::u16string Str_Trim(std::u16string&& str_param_Text) {
    auto& text = str_param_Text;
    text.erase(std::find_if_not(text.rbegin(), text.rend(), is_trimmed_unit).base(), text.end());
    text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), is_trimmed_unit));
    return std::move(text);
}

bool is_blank(std::u16string_view text) { return std::all_of(text.begin(), text.end(), is_trimmed_unit); }

bool Str_ContainsText(std::u16string_view str_param_Text, std::u16string_view str_param_Part) {
    return !str_param_Text.empty() && !str_param_Part.empty() &&
           find_ignoring_case(str_param_Text, str_param_Part, 0) != npos;
}

bool Str_SameText(std::u16string_view str_param_A, std::u16string_view str_param_B) {
    return std::equal(str_param_A.begin(), str_param_A.end(), str_param_B.begin(), str_param_B.end(),
                      [](char16_t a, char16_t b) { return upper_ascii_unit(a) == upper_ascii_unit(b); });
}

std::u16string Str_ReplaceText(const std::u16string& str_param_Text, std::u16string_view str_param_Old,
                               std::u16string_view str_param_New, bool bool_param_Every) {
    if (str_param_Old.empty()) {
        return str_param_Text;
    }
    std::u16string result;
    std::size_t copied = 0;
    std::size_t found = find_ignoring_case(str_param_Text, str_param_Old, 0);
    while (found != npos) {
        result.append(str_param_Text, copied, found - copied).append(str_param_New);
        copied = found + str_param_Old.size();
        if (!bool_param_Every) {
            break;
        }
        // Searching on behind the occurrence: a replacement is never searched again.
        found = find_ignoring_case(str_param_Text, str_param_Old, copied);
    }
    result.append(str_param_Text, copied);
    return result;
}

std::u16string Str_RemoveText(const std::u16string& str_param_Text, const std::u16string& str_param_Part) {
    return Str_ReplaceText(str_param_Text, str_param_Part, u"", true);
}

std::u16string Str_EnsureTrailingBackslash(const std::u16string& str_param_Text) {
    if (str_param_Text.empty() || str_param_Text.back() == u'\\') {
        return str_param_Text;
    }
    return str_param_Text + u'\\';
}

std::u16string Str_ExcludeTrailingBackslashes(std::u16string str_param_Text) {
    while (!str_param_Text.empty() && str_param_Text.back() == u'\\') str_param_Text.pop_back();
    return str_param_Text;
}

std::u16string Str_StripQuotes(const std::u16string& str_param_Text) { return Str_StripQuotes(std::u16string(str_param_Text)); }

std::u16string Str_StripQuotes(std::u16string&& str_param_Text) {
    auto& text = str_param_Text;
    if (!text.empty() && text.front() == u'"') {
        text.front() = u' ';
    }
    if (!text.empty() && text.back() == u'"') {
        text.back() = u' ';
    }
    return Str_Trim(std::move(text));
}

bool RegEx_IsMatch(const std::u16string& str_param_Input, const std::u16string& str_param_Pattern) {
    return pattern_search(str_param_Input, str_param_Pattern, PatternOptions::standard);
}

bool RegEx_IsMatchText(const std::u16string& str_param_Input, const std::u16string& str_param_Pattern) {
    return pattern_search(str_param_Input, str_param_Pattern, PatternOptions::ignore_case);
}

bool RegEx_GetNamedGroups(const StringList& strlist_param_Texts, const std::u16string& str_param_Pattern,
                          const StringList& strlist_param_Names, StringMap& dic_param_Values) {
    dic_param_Values.clear();
    for (const std::u16string& text : strlist_param_Texts) {
        // Only the first text that matches is looked at.
        if (pattern_capture_named(text, str_param_Pattern, strlist_param_Names, dic_param_Values)) {
            break;
        }
    }
    return !dic_param_Values.empty();
}

bool contains_upper_ascii(std::u16string_view text, std::u16string_view upper_part) {
    const auto equal = [](char16_t unit, char16_t upper) { return upper_ascii_unit(unit) == upper; };
    return std::search(text.begin(), text.end(), upper_part.begin(), upper_part.end(), equal) != text.end();
}

std::u16string Str_UpperAscii(const std::u16string& str_param_Text) {
    return map_units(str_param_Text, upper_ascii_unit);
}

std::u16string Str_UpperAscii(std::u16string&& str_param_Text) {
    std::transform(str_param_Text.begin(), str_param_Text.end(), str_param_Text.begin(), upper_ascii_unit);
    return std::move(str_param_Text);
}

std::u16string Str_LowerAscii(const std::u16string& str_param_Text) {
    return map_units(str_param_Text, lower_ascii_unit);
}

std::u16string Str_UpperFull(const std::u16string& str_param_Text) {
    return map_units(str_param_Text, upper_case_unit);
}

}  // namespace vorlix
