// The registry calls of the seam, answered from the model's key tree with the
// error codes and buffer behaviour of the Win32 calls.
#include <algorithm>

#include "platform/sim/sim_registry.h"

namespace vorlix::os {

using namespace sim::detail;

namespace {

bool is_predefined(Hkey key) {
    return key == hkey_local_machine || key == hkey_users || key == hkey_current_user || key == hkey_classes_root;
}

// The key behind `key` when its handle grants `access`.
std::shared_ptr<RegKey> usable_key(Machine& m, Hkey key, std::uint32_t access, std::uint32_t& error) {
    auto base = key_base(m, key, error);
    if (!base) return nullptr;
    if ((base->access & access) != access) {
        error = error_access_denied;
        return nullptr;
    }
    return base->key;
}

constexpr std::uint32_t delete_access = 0x10000;

bool asks_for_writing(std::uint32_t sam) { return (sam & ~(key_read | key_wow64_64key | key_wow64_32key)) != 0; }

// Where `path` below `root` leads in the view `sam` selects, links followed
// (the last name's only without `open_link`).
std::optional<KeyBase> resolve(Machine& m, Hkey root, const std::u16string& path, std::uint32_t sam, bool open_link,
                               std::uint32_t& error) {
    auto base = key_base(m, root, error);
    if (!base) return std::nullopt;
    const auto names = split_key_path(path);
    if (!names) {
        error = error_bad_pathname;
        return std::nullopt;
    }
    // An empty path names the key the handle stands for, link or not.
    if (names->empty()) return base;
    base->path.names.insert(base->path.names.end(), names->begin(), names->end());
    apply_view(m, base->path, sam, base->classes_view);
    auto followed = follow_links(m, std::move(base->path), open_link, error);
    if (!followed) return std::nullopt;
    base->path = std::move(*followed);
    return base;
}

std::uint32_t open_key(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out, bool create,
                       std::uint32_t options) {
    out = 0;
    auto lock = lock_machine();
    Machine& m = machine();
    std::uint32_t error = error_success;
    const bool make_link = create && (options & reg_option_create_link) != 0;
    const auto target = resolve(m, root, path, sam, make_link || (options & reg_option_open_link) != 0, error);
    if (!target) return error;
    auto key = find_key(m, target->path);
    if (key) {
        if (is_denied(m, target->path, asks_for_writing(sam))) return error_access_denied;
    } else {
        if (!create) return error_file_not_found;
        const auto& names = target->path.names;
        if (std::any_of(names.begin(), names.end(), [](const std::u16string& n) { return n.size() > max_key_name; }))
            return error_invalid_parameter;
        if (is_denied(m, target->path, true) || (target->access & key_create_sub_key) == 0) return error_access_denied;
        key = create_key(m, target->path);
        key->link = make_link;
    }
    out = add_handle(m, KeyHandle{key, sam, target->classes_view});
    return error_success;
}

std::uint32_t delete_key(Hkey root, const std::u16string& path, std::uint32_t sam) {
    auto lock = lock_machine();
    Machine& m = machine();
    std::uint32_t error = error_success;
    const auto target = resolve(m, root, path, sam, false, error);
    if (!target) return error;
    const auto key = find_key(m, target->path);
    if (!key) return error_file_not_found;
    // Keys right below HKLM and HKU are hives of their own and cannot be deleted.
    if (target->path.names.size() <= 1 || is_denied(m, target->path, true) || !key->subkeys.empty())
        return error_access_denied;
    delete_key_tree(*key);
    return error_success;
}

// Data part of RegQueryValueExW and RegEnumValueW.
std::uint32_t give_data(const RegValue& value, std::uint8_t* data, std::uint32_t* data_len) {
    const auto size = static_cast<std::uint32_t>(value.data.size());
    if (!data) {
        if (data_len) *data_len = size;
        return error_success;
    }
    if (*data_len < size) {
        *data_len = size;
        return error_more_data;
    }
    std::copy(value.data.begin(), value.data.end(), data);
    *data_len = size;
    return error_success;
}

// Runs the test hooks due before enumerating subkey or value `index` of
// `key`, outside the lock.
void run_enum_hooks(Hkey key, std::uint32_t index, bool values) {
    std::vector<std::function<void()>> due;
    {
        auto lock = lock_machine();
        Machine& m = machine();
        if (m.enum_hooks.empty()) return;
        std::uint32_t error = error_success;
        const auto base = key_base(m, key, error);
        if (!base) return;
        const KeyPath path = folded(base->path);
        for (auto hook = m.enum_hooks.begin(); hook != m.enum_hooks.end();) {
            if (hook->index == index && hook->values == values && hook->folded_path.hive == path.hive &&
                hook->folded_path.names == path.names) {
                due.push_back(std::move(hook->hook));
                hook = m.enum_hooks.erase(hook);
            } else {
                ++hook;
            }
        }
    }
    for (auto& hook : due) hook();
}

}  // namespace

std::uint32_t reg_open_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                              std::uint32_t options) {
    count_registry_call();
    return open_key(root, path, sam, out, false, options);
}

std::uint32_t reg_create_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                                std::uint32_t options) {
    count_registry_call();
    return open_key(root, path, sam, out, true, options);
}

std::uint32_t reg_close_key(Hkey key) {
    count_registry_call();
    if (is_predefined(key)) return error_success;
    auto lock = lock_machine();
    Machine& m = machine();
    if (!find_handle<KeyHandle>(m, key)) return error_invalid_handle;
    m.handles.erase(key);
    return error_success;
}

std::uint32_t reg_query_info_key(Hkey key, std::uint32_t* sub_keys, std::uint32_t* max_sub_key_len,
                                 std::uint32_t* values, std::uint32_t* max_value_name_len,
                                 std::uint32_t* max_value_len) {
    count_registry_call();
    auto lock = lock_machine();
    std::uint32_t error = error_success;
    const auto k = usable_key(machine(), key, key_query_value, error);
    if (!k) return error;
    std::size_t longest_key = 0, longest_name = 0, longest_data = 0;
    for (const auto& sub : k->subkeys) longest_key = std::max(longest_key, sub->name.size());
    for (const auto& value : k->values) {
        longest_name = std::max(longest_name, value.name.size());
        longest_data = std::max(longest_data, value.data.size());
    }
    if (sub_keys) *sub_keys = static_cast<std::uint32_t>(k->subkeys.size());
    if (max_sub_key_len) *max_sub_key_len = static_cast<std::uint32_t>(longest_key);
    if (values) *values = static_cast<std::uint32_t>(k->values.size());
    if (max_value_name_len) *max_value_name_len = static_cast<std::uint32_t>(longest_name);
    if (max_value_len) *max_value_len = static_cast<std::uint32_t>(longest_data);
    return error_success;
}

std::uint32_t reg_enum_key_ex(Hkey key, std::uint32_t index, char16_t* name, std::uint32_t& name_len) {
    count_registry_call();
    run_enum_hooks(key, index, false);
    auto lock = lock_machine();
    std::uint32_t error = error_success;
    const auto k = usable_key(machine(), key, key_enumerate_sub_keys, error);
    if (!k) return error;
    if (index >= k->subkeys.size()) return error_no_more_items;
    const std::u16string& text = k->subkeys[index]->name;
    if (!name || text.size() >= name_len) return error_more_data;
    name_len = copy_to_buffer(text, name, name_len);
    return error_success;
}

std::uint32_t reg_enum_value(Hkey key, std::uint32_t index, char16_t* name, std::uint32_t& name_len,
                             std::uint32_t* type, std::uint8_t* data, std::uint32_t* data_len) {
    count_registry_call();
    run_enum_hooks(key, index, true);
    auto lock = lock_machine();
    std::uint32_t error = error_success;
    const auto k = usable_key(machine(), key, key_query_value, error);
    if (!k) return error;
    if (index >= k->values.size()) return error_no_more_items;
    const RegValue& value = k->values[index];
    if (!name || value.name.size() >= name_len) return error_more_data;
    if (data && !data_len) return error_invalid_parameter;
    name_len = copy_to_buffer(value.name, name, name_len);
    if (type) *type = value.type;
    return give_data(value, data, data_len);
}

std::uint32_t reg_query_value_ex(Hkey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* data_len) {
    count_registry_call();
    auto lock = lock_machine();
    std::uint32_t error = error_success;
    const auto k = usable_key(machine(), key, key_query_value, error);
    if (!k) return error;
    const RegValue* value = find_value(*k, name);
    if (!value) return error_file_not_found;
    if (data && !data_len) return error_invalid_parameter;
    if (type) *type = value->type;
    return give_data(*value, data, data_len);
}

std::uint32_t reg_set_value_ex(Hkey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t data_len) {
    count_registry_call();
    auto lock = lock_machine();
    std::uint32_t error = error_success;
    const auto k = usable_key(machine(), key, key_set_value, error);
    if (!k) return error;
    if (name.size() > max_value_name || (!data && data_len != 0)) return error_invalid_parameter;
    set_value(*k, name, type, data ? std::string(data, data + data_len) : std::string());
    return error_success;
}

std::uint32_t reg_delete_key(Hkey root, const std::u16string& path) {
    count_registry_call();
    return delete_key(root, path, 0);
}

std::uint32_t reg_delete_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, std::uint32_t /*reserved*/) {
    count_registry_call();
    if (!sim::config().has_reg_delete_key_ex) return error_proc_not_found;
    return delete_key(root, path, sam);
}

std::uint32_t nt_delete_key(Hkey key) {
    count_registry_call();
    auto lock = lock_machine();
    Machine& m = machine();
    std::uint32_t error = error_success;
    auto base = key_base(m, key, error);
    if (!base) return error;
    if ((base->access & delete_access) == 0 || base->path.names.size() <= 1 || is_denied(m, base->path, true) ||
        !base->key->subkeys.empty())
        return error_access_denied;
    delete_key_tree(*base->key);
    return error_success;
}

std::uint32_t reg_delete_value(Hkey key, const std::u16string& name) {
    count_registry_call();
    auto lock = lock_machine();
    std::uint32_t error = error_success;
    const auto k = usable_key(machine(), key, key_set_value, error);
    if (!k) return error;
    const auto at = std::find_if(k->values.begin(), k->values.end(),
                                 [&](const RegValue& value) { return same_name(value.name, name); });
    if (at == k->values.end()) return error_file_not_found;
    k->values.erase(at);
    return error_success;
}

}  // namespace vorlix::os
