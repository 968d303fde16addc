// The registry of the model: key tree, views and access rules.
#pragma once

#include <optional>

#include "platform/sim/sim_state.h"

namespace vorlix::sim::detail {

inline constexpr std::size_t max_key_name = 255;
inline constexpr std::size_t max_value_name = 16383;

// The key a predefined root or an open handle stands for, and what the
// handle may do with it.
struct KeyBase {
    KeyPath path;
    std::shared_ptr<RegKey> key;
    std::uint32_t access = 0;
    bool classes_view = false;  // opened through HKEY_CLASSES_ROOT: never redirected
};
std::optional<KeyBase> key_base(Machine& m, os::Hkey key, std::uint32_t& error);

// Key names of a path relative to an open key. One trailing backslash is
// allowed; an empty name anywhere else makes the path invalid.
std::optional<std::vector<std::u16string>> split_key_path(std::u16string_view path);
// A path below a predefined root, taken literally (64-bit view) as the
// control surface does; empty names are skipped.
KeyPath literal_path(Machine& m, os::Hkey root, std::u16string_view path);
std::u16string root_long_name(os::Hkey root);
os::Hkey root_from_long_name(std::u16string_view name);  // 0 when unknown

KeyPath path_of(const RegKey& key);
KeyPath folded(KeyPath path);
bool has_prefix(const KeyPath& folded_path, const KeyPath& folded_prefix);

// The 32/64-bit views: adds Wow6432Node after HKLM\SOFTWARE when `sam`
// (or the process's own view) asks for the 32-bit view of 64-bit Windows.
void apply_view(const Machine& m, KeyPath& path, std::uint32_t sam, bool classes_view);

std::shared_ptr<RegKey> find_key(Machine& m, const KeyPath& path);
// The path with every link on the way replaced by its target, and the last
// name too unless `open_link` asks for the link key itself. A link whose
// value names no key of the model, or a chain that does not end, gives
// error_file_not_found. Names past a missing key stay as they are.
std::optional<KeyPath> follow_links(Machine& m, KeyPath path, bool open_link, std::uint32_t& error);
std::shared_ptr<RegKey> create_key(Machine& m, const KeyPath& path);  // creates what is missing
// Detaches the key and marks it and everything below it deleted, so open
// handles to any of them answer error_key_deleted.
void delete_key_tree(RegKey& key);
bool is_denied(const Machine& m, const KeyPath& path, bool for_writing);

RegValue* find_value(RegKey& key, std::u16string_view name);
void set_value(RegKey& key, std::u16string_view name, std::uint32_t type, std::string data);

}  // namespace vorlix::sim::detail
