#include "app/registry_entry.h"

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

std::u16string without_edge_backslashes(const std::u16string& path) {
    const auto first = path.find_first_not_of(u'\\');
    if (first == std::u16string::npos) return {};
    return path.substr(first, path.find_last_not_of(u'\\') - first + 1);
}

}  // namespace

std::optional<RegistryEntry> parse_registry_entry(const std::u16string& text) {
    const auto first_bar = text.find(u'|');
    if (first_bar == std::u16string::npos) return std::nullopt;
    const auto second_bar = text.find(u'|', first_bar + 1);
    if (second_bar != std::u16string::npos && text.find(u'|', second_bar + 1) != std::u16string::npos)
        return std::nullopt;
    RegistryEntry entry;
    entry.root_name = text.substr(0, first_bar);
    entry.root = Reg_RootFromName(entry.root_name);
    const auto path_end = second_bar == std::u16string::npos ? text.size() : second_bar;
    entry.path = without_edge_backslashes(Str_Trim(text.substr(first_bar + 1, path_end - first_bar - 1)));
    if (entry.root == 0 || entry.path.empty()) return std::nullopt;
    if (second_bar != std::u16string::npos) {
        entry.is_value = true;
        entry.value_name = text.substr(second_bar + 1);
    }
    return entry;
}

bool registry_entry_exists(const RegistryEntry& entry, bool view64) {
    os::Hkey key = 0;
    const auto access = os::key_read | (view64 ? os::key_wow64_64key : 0);
    // A link is there when the link is, whatever it leads to.
    if (os::reg_open_key_ex(entry.root, entry.path, access, key, os::reg_option_open_link) != os::error_success)
        return false;
    bool exists = true;
    if (entry.is_value) {
        std::uint32_t size = 0;
        exists = os::reg_query_value_ex(key, entry.value_name, nullptr, nullptr, &size) == os::error_success;
    }
    os::reg_close_key(key);
    return exists;
}

bool delete_registry_entry(const RegistryEntry& entry, bool view64) {
    return entry.is_value ? Reg_DeleteValue(entry.root, entry.path, entry.value_name, view64)
                          : Reg_DeleteKeyTree(entry.root, entry.path, view64);
}

}  // namespace vorlix
