#include <algorithm>
#include <stdexcept>

#include "platform/portable/utf.h"
#include "platform/sim/sim_registry.h"

namespace vorlix::sim::detail {

namespace {

std::shared_ptr<RegKey> make_key(std::u16string_view name) {
    auto key = std::make_shared<RegKey>();
    key->name = name;
    key->folded = fold(name);
    return key;
}

auto subkey_position(const RegKey& key, const std::u16string& folded_name) {
    return std::lower_bound(key.subkeys.begin(), key.subkeys.end(), folded_name,
                            [](const std::shared_ptr<RegKey>& k, const std::u16string& n) { return k->folded < n; });
}

std::shared_ptr<RegKey> hive_of(Machine& m, const KeyPath& path) { return path.hive == m.hklm.get() ? m.hklm : m.hku; }

constexpr int max_link_hops = 16;

// The key a link's SymbolicLinkValue names: "\Registry\Machine\..." or
// "\Registry\User\...", in any letter case.
std::optional<KeyPath> link_target(Machine& m, RegKey& link) {
    const RegValue* value = find_value(link, u"SymbolicLinkValue");
    if (!value || value->type != os::reg_link) return std::nullopt;
    auto names = split(from_utf16le_bytes(value->data), u'\\');
    if (names.size() < 3 || !names[0].empty() || !same_name(names[1], u"Registry")) return std::nullopt;
    KeyPath target;
    if (same_name(names[2], u"Machine"))
        target.hive = m.hklm.get();
    else if (same_name(names[2], u"User"))
        target.hive = m.hku.get();
    else
        return std::nullopt;
    for (auto at = names.begin() + 3; at != names.end(); ++at) {
        if (at->empty()) return std::nullopt;
        target.names.push_back(std::move(*at));
    }
    return target;
}

void mark_deleted(RegKey& key) {
    key.deleted = true;
    key.parent = nullptr;
    for (auto& child : key.subkeys) mark_deleted(*child);
}

}  // namespace

std::optional<KeyBase> key_base(Machine& m, os::Hkey key, std::uint32_t& error) {
    KeyBase base;
    base.access = os::key_all_access;
    if (key == os::hkey_local_machine || key == os::hkey_users || key == os::hkey_current_user ||
        key == os::hkey_classes_root) {
        base.path = literal_path(m, key, u"");
        base.classes_view = key == os::hkey_classes_root;
        base.key = find_key(m, base.path);
        if (!base.key) {
            error = os::error_file_not_found;
            return std::nullopt;
        }
        return base;
    }
    const KeyHandle* handle = find_handle<KeyHandle>(m, key);
    if (!handle) {
        error = os::error_invalid_handle;
        return std::nullopt;
    }
    if (handle->key->deleted) {
        error = os::error_key_deleted;
        return std::nullopt;
    }
    base.path = path_of(*handle->key);
    base.key = handle->key;
    base.access = handle->access;
    base.classes_view = handle->classes_view;
    return base;
}

std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path) {
    if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
    if (path.empty()) return std::vector<std::u16string>{};
    auto names = split(path, u'\\');
    if (std::any_of(names.begin(), names.end(), [](const std::u16string& n) { return n.empty(); })) return std::nullopt;
    return names;
}

KeyPath literal_path(Machine& m, os::Hkey root, std::u16string_view path) {
    KeyPath result;
    if (root == os::hkey_local_machine) {
        result.hive = m.hklm.get();
    } else if (root == os::hkey_users) {
        result.hive = m.hku.get();
    } else if (root == os::hkey_current_user) {
        result.hive = m.hku.get();
        result.names.push_back(m.config.user_sid);
    } else if (root == os::hkey_classes_root) {
        // HKCR is modelled as HKLM\SOFTWARE\Classes alone: the per-user merge
        // and the per-view redirection of Windows are left out.
        result.hive = m.hklm.get();
        result.names = {u"SOFTWARE", u"Classes"};
    } else {
        throw std::invalid_argument("sim: not a predefined registry root");
    }
    for (auto& name : split(path, u'\\'))
        if (!name.empty()) result.names.push_back(std::move(name));
    return result;
}

std::u16string root_long_name(os::Hkey root) {
    if (root == os::hkey_local_machine) return u"HKEY_LOCAL_MACHINE";
    if (root == os::hkey_users) return u"HKEY_USERS";
    if (root == os::hkey_current_user) return u"HKEY_CURRENT_USER";
    if (root == os::hkey_classes_root) return u"HKEY_CLASSES_ROOT";
    throw std::invalid_argument("sim: not a predefined registry root");
}

os::Hkey root_from_long_name(std::u16string_view name) {
    for (os::Hkey root : {os::hkey_local_machine, os::hkey_users, os::hkey_current_user, os::hkey_classes_root})
        if (root_long_name(root) == name) return root;
    return 0;
}

KeyPath path_of(const RegKey& key) {
    KeyPath path;
    const RegKey* current = &key;
    for (; current->parent != nullptr; current = current->parent) path.names.push_back(current->name);
    path.hive = current;
    std::reverse(path.names.begin(), path.names.end());
    return path;
}

KeyPath folded(KeyPath path) {
    for (auto& name : path.names) name = fold(name);
    return path;
}

bool has_prefix(const KeyPath& folded_path, const KeyPath& folded_prefix) {
    return folded_path.hive == folded_prefix.hive && folded_prefix.names.size() <= folded_path.names.size() &&
           std::equal(folded_prefix.names.begin(), folded_prefix.names.end(), folded_path.names.begin());
}

void apply_view(const Machine& m, KeyPath& path, std::uint32_t sam, bool classes_view) {
    if (!m.config.windows64 || classes_view || path.hive != m.hklm.get()) return;
    if (path.names.empty() || !same_name(path.names[0], u"SOFTWARE")) return;
    bool view32 = !m.config.process64;
    if (sam & os::key_wow64_32key) view32 = true;
    if (sam & os::key_wow64_64key) view32 = false;
    if (!view32 || (path.names.size() >= 2 && same_name(path.names[1], u"Wow6432Node"))) return;
    path.names.insert(path.names.begin() + 1, u"Wow6432Node");
}

std::shared_ptr<RegKey> find_key(Machine& m, const KeyPath& path) {
    std::shared_ptr<RegKey> key = hive_of(m, path);
    for (const auto& name : path.names) {
        const std::u16string folded_name = fold(name);
        const auto at = subkey_position(*key, folded_name);
        if (at == key->subkeys.end() || (*at)->folded != folded_name) return nullptr;
        key = *at;
    }
    return key;
}

std::optional<KeyPath> follow_links(Machine& m, KeyPath path, bool open_link, std::uint32_t& error) {
    for (int hops = 0; hops <= max_link_hops; ++hops) {
        std::shared_ptr<RegKey> key = hive_of(m, path);
        std::size_t at = 0;
        for (; at < path.names.size(); ++at) {
            const std::u16string folded_name = fold(path.names[at]);
            const auto child = subkey_position(*key, folded_name);
            if (child == key->subkeys.end() || (*child)->folded != folded_name) return path;
            key = *child;
            if (key->link && (at + 1 < path.names.size() || !open_link)) break;
        }
        if (at == path.names.size()) return path;
        auto target = link_target(m, *key);
        if (!target) break;
        target->names.insert(target->names.end(), path.names.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                             path.names.end());
        path = std::move(*target);
    }
    error = os::error_file_not_found;
    return std::nullopt;
}

std::shared_ptr<RegKey> create_key(Machine& m, const KeyPath& path) {
    std::shared_ptr<RegKey> key = hive_of(m, path);
    for (const auto& name : path.names) {
        const std::u16string folded_name = fold(name);
        auto at = subkey_position(*key, folded_name);
        if (at == key->subkeys.end() || (*at)->folded != folded_name) {
            auto child = make_key(name);
            child->parent = key.get();
            at = key->subkeys.insert(at, std::move(child));
        }
        key = *at;
    }
    return key;
}

void delete_key_tree(RegKey& key) {
    if (RegKey* parent = key.parent) {
        const auto at = subkey_position(*parent, key.folded);
        if (at != parent->subkeys.end() && at->get() == &key) parent->subkeys.erase(at);
    }
    mark_deleted(key);
}

bool is_denied(const Machine& m, const KeyPath& path, bool for_writing) {
    const KeyPath target = folded(path);
    return std::any_of(m.denials.begin(), m.denials.end(), [&](const DenyRule& rule) {
        return (rule.deny_open || for_writing) && has_prefix(target, rule.folded_path);
    });
}

RegValue* find_value(RegKey& key, std::u16string_view name) {
    for (auto& value : key.values)
        if (same_name(value.name, name)) return &value;
    return nullptr;
}

void set_value(RegKey& key, std::u16string_view name, std::uint32_t type, std::string data) {
    // An existing value keeps its place in the enumeration order.
    RegValue* value = find_value(key, name);
    if (!value) value = &key.values.emplace_back(RegValue{std::u16string(name), 0, {}});
    value->type = type;
    value->data = std::move(data);
}

void build_registry(Machine& m) {
    m.hklm = make_key(u"HKEY_LOCAL_MACHINE");
    m.hku = make_key(u"HKEY_USERS");
    const std::u16string user = u"HKEY_USERS\\" + m.config.user_sid;
    std::vector<std::u16string> keys = {
        u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes",
        u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
        u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        u"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services",
        u"HKEY_USERS\\.DEFAULT\\Software",
        user + u"\\Software\\Classes",
        user + u"\\Software\\Microsoft\\Windows\\CurrentVersion",
    };
    if (m.config.windows64) {
        keys.push_back(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Classes");
        keys.push_back(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    }
    for (const auto& key : keys) {
        const auto slash = key.find(u'\\');
        create_key(m, literal_path(m, root_from_long_name(key.substr(0, slash)), key.substr(slash + 1)));
    }
}

}  // namespace vorlix::sim::detail
