// Building blocks of the product install-location rules: where a product
// leaves traces in the registry, how a trace is read and cleaned, and the
// searches over the shell's caches and the Autodesk UPI list. The rules of
// the knowledge base are rows made of these parts.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "access/string_types.h"
#include "platform/os.h"

namespace vorlix::knowledge {

// The argument placeholders an open command writes, quoted.
inline constexpr std::u16string_view quoted_placeholder = u"\"%1\"";
inline constexpr std::u16string_view quoted_l_placeholder = u"\"%L\"";

// The rule's own check of the display name.
struct NameTest {
    std::u16string_view word;  // empty: every name passes
    bool whole_name = false;   // the name must equal the word rather than contain it
    bool passes(const std::u16string& name) const;
};
NameTest contains(std::u16string_view word);
NameTest equals(std::u16string_view word);

// One registry value; `fallback_path` is read when `path` gives an empty trimmed text.
struct ValueSource {
    os::Hkey root = 0;
    std::u16string path;
    std::u16string value_name;  // empty: the key's default value
    std::u16string fallback_path;
};

enum class ClassRoot { machine, user, classes_root };
// HKLM App Paths entry of an executable, value "Path".
ValueSource app_path(std::u16string_view exe_name);
// Default value of <class>\shell\open\command below SOFTWARE\Classes of HKLM or
// HKCU, or directly below HKEY_CLASSES_ROOT.
ValueSource open_command(ClassRoot root, std::u16string_view class_name);
// ImagePath of a service.
ValueSource service_image(std::u16string_view service_name);

// Cleaning of a trace, in this fixed order: quotes stripped, each part removed
// (every occurrence, ignoring case, then trimmed), trailing backslash ensured.
struct Processing {
    bool strip_quotes = false;
    std::array<std::u16string_view, 3> removes{};
    bool ensure_backslash = false;
    std::u16string apply(std::u16string text) const;
};

// The source's text, trimmed and, when not empty, processed.
std::u16string read_value(const ValueSource& source, const Processing& processing, bool view64);

enum class Cache { compatibility_store, shell_name_cache };
// The first executable path in the cache that holds `exe_word` (and
// `also_required`, when given) and does not lie in a Common Files folder,
// with `exe_word` removed; empty when none qualifies.
std::u16string cache_search(Cache cache, std::u16string_view exe_word, std::u16string_view also_required,
                            bool view64);

// The UPI.dll paths of installed Autodesk products, in registry order.
StringList upi_texts(bool view64);
// The first text holding both words and, when `version` is not empty, the
// version; null when none qualifies.
const std::u16string* find_upi_text(const StringList& texts, std::u16string_view first_word,
                                    std::u16string_view second_word, const std::u16string& version);
// find_upi_text over the UPI list, with `second_word` removed from the hit.
std::u16string upi_search(std::u16string_view first_word, std::u16string_view second_word,
                          const std::u16string& version, bool view64);

// Value names of the Windows Installer folder list.
StringList installer_folders(bool view64);
// Value data of the Explorer address-bar history.
StringList typed_paths(bool view64);

// The text of `group` in the first of `texts` that `pattern` matches; empty otherwise.
std::u16string named_group(const StringList& texts, std::u16string_view pattern, std::u16string_view group);

// ---- rule rows

struct ValueRule {
    NameTest name_test;
    ValueSource source;
    Processing processing;
    std::u16string run(const std::u16string& name, bool view64) const;
};

struct CacheRule {
    NameTest name_test;
    Cache cache;
    std::u16string_view exe_word;
    std::u16string_view also_required;
    std::u16string run(const std::u16string& name, bool view64) const;
};

struct UpiRule {
    NameTest name_test;
    std::u16string_view first_word;
    std::u16string_view second_word;
    std::u16string run(const std::u16string& name, bool view64) const;
};

}  // namespace vorlix::knowledge
