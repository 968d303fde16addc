// Test control of the model's registry: .reg fixtures, direct setters,
// access denial and enumeration hooks. Paths here are literal (64-bit view).
#include <algorithm>
#include <fstream>

#include "platform/portable/reg_file.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim_registry.h"

namespace vorlix::sim {

using namespace detail;

namespace {

// Refuses what the registry itself would refuse, before anything changes.
bool check_import(const regfile::Document& document, std::string* error) {
    for (std::size_t i = 0; i < document.keys.size(); ++i) {
        const regfile::Key& key = document.keys[i];
        std::string problem;
        const auto names = split(key.path, u'\\');
        if (root_from_long_name(key.root) == 0)
            problem = "the root " + to_utf8(key.root) + " is not modelled";
        else if (std::any_of(names.begin(), names.end(), [](const auto& n) { return n.size() > max_key_name; }))
            problem = "a key name is longer than 255 characters";
        else if (std::any_of(key.values.begin(), key.values.end(),
                             [](const auto& v) { return v.name.size() > max_value_name; }))
            problem = "a value name is longer than 16383 characters";
        if (!problem.empty()) {
            if (error) *error = "key " + std::to_string(i + 1) + " (" + to_utf8(key.path) + "): " + problem;
            return false;
        }
    }
    return true;
}

void apply_key(Machine& m, const regfile::Key& entry) {
    const KeyPath path = literal_path(m, root_from_long_name(entry.root), entry.path);
    if (entry.remove) {
        // As regedit, a hive itself is never removed.
        const auto key = find_key(m, path);
        if (key && path.names.size() >= 2) delete_key_tree(*key);
        return;
    }
    const auto key = create_key(m, path);
    for (const auto& value : entry.values) {
        if (!value.remove) {
            detail::set_value(*key, value.name, value.type, value.data);
            continue;
        }
        const auto at = std::find_if(key->values.begin(), key->values.end(),
                                     [&](const RegValue& v) { return same_name(v.name, value.name); });
        if (at != key->values.end()) key->values.erase(at);
    }
}

void export_key(const RegKey& key, const std::u16string& root, const std::u16string& path, regfile::Document& document) {
    regfile::Key entry;
    entry.root = root;
    entry.path = path;
    for (const auto& value : key.values) entry.values.push_back({value.name, false, value.type, value.data});
    document.keys.push_back(std::move(entry));
    for (const auto& sub : key.subkeys) export_key(*sub, root, path.empty() ? sub->name : path + u"\\" + sub->name, document);
}

void add_denial(os::Hkey root, const std::u16string& path, bool deny_open) {
    auto lock = lock_machine();
    Machine& m = machine();
    m.denials.push_back({folded(literal_path(m, root, path)), deny_open});
}

}  // namespace

bool import_reg(const std::string& text, std::string* error) {
    regfile::ParseError parse_error;
    const auto document = regfile::parse(text, &parse_error);
    if (!document) {
        if (error) *error = "line " + std::to_string(parse_error.line) + ": " + parse_error.message;
        return false;
    }
    if (!check_import(*document, error)) return false;
    auto lock = lock_machine();
    Machine& m = machine();
    for (const auto& key : document->keys) apply_key(m, key);
    return true;
}

bool import_reg_file(const std::string& host_path, std::string* error) {
    std::ifstream file(host_path, std::ios::binary | std::ios::ate);
    std::string text(file ? static_cast<std::size_t>(file.tellg()) : 0, '\0');
    if (!file || !file.seekg(0).read(text.data(), static_cast<std::streamsize>(text.size()))) {
        if (error) *error = "cannot read " + host_path;
        return false;
    }
    return import_reg(text, error);
}

std::string export_reg(os::Hkey root, const std::u16string& path) {
    auto lock = lock_machine();
    Machine& m = machine();
    regfile::Document document;
    const KeyPath literal = literal_path(m, root, path);
    if (const auto key = find_key(m, literal)) {
        std::u16string text;
        for (const auto& name : split(path, u'\\'))
            if (!name.empty()) text += (text.empty() ? u"" : u"\\") + name;
        export_key(*key, root_long_name(root), text, document);
    }
    return regfile::write(document);
}

void set_value(os::Hkey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
               const std::string& bytes) {
    auto lock = lock_machine();
    Machine& m = machine();
    detail::set_value(*create_key(m, literal_path(m, root, path)), name, type, bytes);
}

void set_string(os::Hkey root, const std::u16string& path, const std::u16string& name, const std::u16string& text,
                std::uint32_t type) {
    set_value(root, path, name, type, to_utf16le_bytes(text) + std::string(2, '\0'));
}

void set_dword(os::Hkey root, const std::u16string& path, const std::u16string& name, std::uint32_t value) {
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>((value >> shift) & 0xFF));
    set_value(root, path, name, os::reg_dword, bytes);
}

void create_key(os::Hkey root, const std::u16string& path) {
    auto lock = lock_machine();
    Machine& m = machine();
    detail::create_key(m, literal_path(m, root, path));
}

bool key_exists(os::Hkey root, const std::u16string& path) {
    auto lock = lock_machine();
    Machine& m = machine();
    return find_key(m, literal_path(m, root, path)) != nullptr;
}

bool value_exists(os::Hkey root, const std::u16string& path, const std::u16string& name) {
    auto lock = lock_machine();
    Machine& m = machine();
    const auto key = find_key(m, literal_path(m, root, path));
    return key && detail::find_value(*key, name) != nullptr;
}

void create_link(os::Hkey root, const std::u16string& path, const std::u16string& target) {
    auto lock = lock_machine();
    Machine& m = machine();
    const auto key = detail::create_key(m, literal_path(m, root, path));
    key->link = true;
    detail::set_value(*key, u"SymbolicLinkValue", os::reg_link, to_utf16le_bytes(target));
}

void deny_write(os::Hkey root, const std::u16string& path) { add_denial(root, path, false); }

void deny_open(os::Hkey root, const std::u16string& path) { add_denial(root, path, true); }

void on_enum_key(os::Hkey root, const std::u16string& path, std::uint32_t index, std::function<void()> hook) {
    auto lock = lock_machine();
    Machine& m = machine();
    m.enum_hooks.push_back({folded(literal_path(m, root, path)), index, false, std::move(hook)});
}

void on_enum_value(os::Hkey root, const std::u16string& path, std::uint32_t index, std::function<void()> hook) {
    auto lock = lock_machine();
    Machine& m = machine();
    m.enum_hooks.push_back({folded(literal_path(m, root, path)), index, true, std::move(hook)});
}

}  // namespace vorlix::sim
