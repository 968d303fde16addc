// Text and pattern operations. Every Part of the engine that speaks of a
// trimmed text, of containment or equality ignoring case, or of a text
// matching a pattern means exactly these.
#pragma once

#include <string>
#include <string_view>

#include "access/string_types.h"

namespace vorlix {

// Removes every code unit up to U+0020 at both ends; a no-break space stays.
std::u16string Str_Trim(const std::u16string& str_param_Text);
// The same for a text the caller gives up: trimmed in place, never copied.
std::u16string Str_Trim(std::u16string&& str_param_Text);
// Str_Trim(text).empty() without the trimmed copy.
bool is_blank(std::u16string_view text);
// Containment ignoring case (full Unicode upper-case mapping); false when either is empty.
bool Str_ContainsText(std::u16string_view str_param_Text, std::u16string_view str_param_Part);
// Equality ignoring the case of the letters a to z only.
bool Str_SameText(std::u16string_view str_param_A, std::u16string_view str_param_B);
// Replaces the first (or every, without overlap) occurrence of old, found ignoring case.
std::u16string Str_ReplaceText(const std::u16string& str_param_Text, std::u16string_view str_param_Old,
                               std::u16string_view str_param_New, bool bool_param_Every);
std::u16string Str_RemoveText(const std::u16string& str_param_Text, const std::u16string& str_param_Part);
std::u16string Str_EnsureTrailingBackslash(const std::u16string& str_param_Text);
// The text without the backslashes it ends with.
std::u16string Str_ExcludeTrailingBackslashes(std::u16string str_param_Text);
// Blanks one double quote at each end, then trims.
std::u16string Str_StripQuotes(const std::u16string& str_param_Text);
// The same on a text the caller gives up: no copy is made.
std::u16string Str_StripQuotes(std::u16string&& str_param_Text);

// Unanchored search, no compile option; an empty match does not count.
bool RegEx_IsMatch(const std::u16string& str_param_Input, const std::u16string& str_param_Pattern);
// Unanchored search, caseless and dot-all.
bool RegEx_IsMatchText(const std::u16string& str_param_Input, const std::u16string& str_param_Pattern);
// The named groups of the first text that matches (caseless, dot-all, no auto capture).
bool RegEx_GetNamedGroups(const StringList& strlist_param_Texts, const std::u16string& str_param_Pattern,
                          const StringList& strlist_param_Names, StringMap& dic_param_Values);

// Upper-cases the letters a to z only (the registry layer's and the name keys' rule).
std::u16string Str_UpperAscii(const std::u16string& str_param_Text);
// The same for a text the caller gives up: upper-cased in place, never copied.
std::u16string Str_UpperAscii(std::u16string&& str_param_Text);
// Str_UpperAscii(text).find(upper_part) != npos without building the
// upper-cased copy; `upper_part` is given upper-cased.
bool contains_upper_ascii(std::u16string_view text, std::u16string_view upper_part);
std::u16string Str_LowerAscii(const std::u16string& str_param_Text);
// Full Unicode upper-case mapping, code unit by code unit (as the containment test uses it).
std::u16string Str_UpperFull(const std::u16string& str_param_Text);

}  // namespace vorlix
