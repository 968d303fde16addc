#include "knowledge/rule_kit.h"

#include <utility>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix::knowledge {

namespace {

std::u16string text(std::u16string_view view) { return std::u16string(view); }

constexpr std::u16string_view compatibility_store_key =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Store\\";
constexpr std::u16string_view shell_name_cache_key =
    u"SOFTWARE\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache\\";
constexpr std::u16string_view installer_folders_key =
    u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders";
constexpr std::u16string_view typed_paths_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\TypedPaths\\";
constexpr std::u16string_view upi_key = u"SOFTWARE\\Autodesk\\UPI\\";

StringList value_data(os::Hkey root, std::u16string_view path, bool view64) {
    StringList names;
    StringList data;
    Reg_EnumValues(root, text(path), names, &data, view64);
    return data;
}

}  // namespace

bool NameTest::passes(const std::u16string& name) const {
    if (word.empty()) return true;
    return whole_name ? Str_SameText(name, text(word)) : Str_ContainsText(name, text(word));
}

NameTest contains(std::u16string_view word) { return {word, false}; }
NameTest equals(std::u16string_view word) { return {word, true}; }

ValueSource app_path(std::u16string_view exe_name) {
    const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\" + text(exe_name);
    return {os::hkey_local_machine, key, u"Path", {}};
}

ValueSource open_command(ClassRoot root, std::u16string_view class_name) {
    const std::u16string key = text(class_name) + u"\\shell\\open\\command";
    switch (root) {
        case ClassRoot::machine: return {os::hkey_local_machine, u"SOFTWARE\\Classes\\" + key, {}, {}};
        case ClassRoot::user: return {os::hkey_current_user, u"SOFTWARE\\Classes\\" + key, {}, {}};
        case ClassRoot::classes_root: break;
    }
    return {os::hkey_classes_root, key, {}, {}};
}

ValueSource service_image(std::u16string_view service_name) {
    return {os::hkey_local_machine, u"SYSTEM\\CurrentControlSet\\Services\\" + text(service_name), u"ImagePath", {}};
}

std::u16string Processing::apply(std::u16string value) const {
    if (strip_quotes) value = Str_StripQuotes(std::move(value));
    for (const std::u16string_view part : removes) {
        if (!part.empty()) value = Str_Trim(Str_RemoveText(value, text(part)));
    }
    if (ensure_backslash) value = Str_EnsureTrailingBackslash(value);
    return value;
}

std::u16string read_value(const ValueSource& source, const Processing& processing, bool view64) {
    std::u16string value;
    Reg_ReadString(source.root, source.path, source.value_name, view64, value);
    value = Str_Trim(value);
    if (value.empty() && !source.fallback_path.empty()) {
        Reg_ReadString(source.root, source.fallback_path, source.value_name, view64, value);
        value = Str_Trim(value);
    }
    return value.empty() ? value : processing.apply(std::move(value));
}

std::u16string cache_search(Cache cache, std::u16string_view exe_word, std::u16string_view also_required,
                            bool view64) {
    const std::u16string_view key =
        cache == Cache::compatibility_store ? compatibility_store_key : shell_name_cache_key;
    StringList names;
    Reg_EnumValueNames(os::hkey_current_user, text(key), names, view64);
    const std::u16string word = text(exe_word);
    for (const std::u16string& name : names) {
        // Shared components in Common Files would point the rule at a vendor-wide folder.
        if (Str_Trim(name).empty() || Str_ContainsText(name, u"Common Files") || !Str_ContainsText(name, word)) {
            continue;
        }
        if (!also_required.empty() && !Str_ContainsText(name, text(also_required))) continue;
        return Str_Trim(Str_RemoveText(name, word));
    }
    return {};
}

StringList upi_texts(bool view64) { return value_data(os::hkey_local_machine, upi_key, view64); }

const std::u16string* find_upi_text(const StringList& texts, std::u16string_view first_word,
                                    std::u16string_view second_word, const std::u16string& version) {
    for (const std::u16string& candidate : texts) {
        if (Str_ContainsText(candidate, text(first_word)) && Str_ContainsText(candidate, text(second_word)) &&
            (version.empty() || Str_ContainsText(candidate, version))) {
            return &candidate;
        }
    }
    return nullptr;
}

std::u16string upi_search(std::u16string_view first_word, std::u16string_view second_word,
                          const std::u16string& version, bool view64) {
    const StringList texts = upi_texts(view64);
    const std::u16string* hit = find_upi_text(texts, first_word, second_word, version);
    return hit ? Str_Trim(Str_RemoveText(*hit, text(second_word))) : std::u16string();
}

StringList installer_folders(bool view64) {
    StringList names;
    Reg_EnumValueNames(os::hkey_local_machine, text(installer_folders_key), names, view64);
    return names;
}

StringList typed_paths(bool view64) { return value_data(os::hkey_current_user, typed_paths_key, view64); }

std::u16string named_group(const StringList& texts, std::u16string_view pattern, std::u16string_view group) {
    StringMap values;
    if (!RegEx_GetNamedGroups(texts, text(pattern), {text(group)}, values)) return {};
    const auto found = values.find(text(group));
    return found == values.end() ? std::u16string() : found->second;
}

std::u16string ValueRule::run(const std::u16string& name, bool view64) const {
    return name_test.passes(name) ? read_value(source, processing, view64) : std::u16string();
}

std::u16string CacheRule::run(const std::u16string& name, bool view64) const {
    return name_test.passes(name) ? cache_search(cache, exe_word, also_required, view64) : std::u16string();
}

std::u16string UpiRule::run(const std::u16string& name, bool view64) const {
    return name_test.passes(name) ? upi_search(first_word, second_word, {}, view64) : std::u16string();
}

}  // namespace vorlix::knowledge
