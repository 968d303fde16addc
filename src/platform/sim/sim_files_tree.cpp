#include <algorithm>
#include <array>
#include <stdexcept>

#include "platform/sim/sim_files.h"

namespace vorlix::sim::detail {

namespace {

// Junction chains longer than this count as loops.
constexpr int max_junction_depth = 32;

bool is_ascii_letter(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); }

bool valid_name(std::u16string_view name, bool wildcards) {
    return std::none_of(name.begin(), name.end(), [wildcards](char16_t c) {
        if (c == u'*' || c == u'?') return !wildcards;
        return c < 32 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|';
    });
}

// What a WOW64 process sees below C:\Windows: System32 is SysWOW64 (except
// the folders Windows exempts) and Sysnative is the real System32.
void redirect(const Machine& m, ParsedPath& path) {
    const MachineConfig& c = m.config;
    if (!c.windows64 || c.process64 || fs_redirection_disabled()) return;
    auto& names = path.names;
    if (path.drive != u'C' || names.size() < 2 || !same_name(names[0], u"Windows")) return;
    if (same_name(names[1], u"Sysnative")) {
        names[1] = u"System32";
        return;
    }
    if (!same_name(names[1], u"System32")) return;
    constexpr std::array<std::u16string_view, 5> exempt = {u"catroot", u"catroot2", u"driverstore", u"logfiles", u"spool"};
    if (names.size() >= 3 && std::any_of(exempt.begin(), exempt.end(), [&](auto e) { return same_name(names[2], e); }))
        return;
    if (names.size() >= 4 && same_name(names[2], u"drivers") && same_name(names[3], u"etc")) return;
    names[1] = u"SysWOW64";
}

FsNode* follow_from(Machine& m, FsNode* node, int depth);

Lookup look_up_from(Machine& m, const ParsedPath& path, int depth) {
    Lookup result;
    const auto drive = m.drives.find(path.drive);
    if (drive == m.drives.end()) {
        result.error = os::error_path_not_found;
        return result;
    }
    FsNode* folder = drive->second.get();
    if (path.names.empty()) {
        result.node = folder;
        return result;
    }
    for (std::size_t i = 0; i + 1 < path.names.size(); ++i) {
        FsNode* next = follow_from(m, child(*folder, path.names[i]), depth);
        if (!next || !is_folder(*next)) {
            result.error = os::error_path_not_found;
            return result;
        }
        folder = next;
    }
    result.folder = folder;
    result.name = path.names.back();
    result.node = child(*folder, result.name);
    if (!result.node) {
        result.error = os::error_file_not_found;
    } else if (path.trailing_separator && !is_folder(*result.node)) {
        result.node = nullptr;
        result.error = os::error_invalid_name;
    }
    return result;
}

FsNode* follow_from(Machine& m, FsNode* node, int depth) {
    while (node && is_junction(*node)) {
        std::uint32_t error = os::error_success;
        const auto target = parse_path(m, node->junction_target, Redirection::literal, error);
        if (!target || ++depth > max_junction_depth) return nullptr;
        node = look_up_from(m, *target, depth).node;
    }
    return node;
}

FsNode& make_folders_along(Machine& m, const ParsedPath& path, std::size_t count) {
    auto& root = m.drives[path.drive];
    if (!root) root = make_entry(std::u16string{path.drive, u':'}, os::file_attribute_directory);
    FsNode* folder = root.get();
    for (std::size_t i = 0; i < count; ++i) {
        FsNode* next = child(*folder, path.names[i]);
        if (!next) next = &attach(*folder, make_entry(path.names[i], os::file_attribute_directory));
        next = follow(m, next);
        if (!next || !is_folder(*next)) throw std::invalid_argument("sim: a file or a broken junction is in the way");
        folder = next;
    }
    return *folder;
}

}  // namespace

bool& fs_redirection_disabled() {
    thread_local bool disabled = false;
    return disabled;
}

std::optional<ParsedPath> parse_path(const Machine& m, std::u16string_view path, Redirection redirection,
                                     std::uint32_t& error, bool wildcards) {
    std::u16string text(path);
    std::replace(text.begin(), text.end(), u'/', u'\\');
    std::u16string_view rest = text;
    ParsedPath parsed;
    if (rest.substr(0, 4) == u"\\\\?\\") {
        parsed.prefix = rest.substr(0, 4);
        rest.remove_prefix(4);
    }
    // Only full paths with a drive letter: the model has no current folders or network shares.
    if (rest.size() < 2 || !is_ascii_letter(rest[0]) || rest[1] != u':' || (rest.size() > 2 && rest[2] != u'\\')) {
        error = os::error_path_not_found;
        return std::nullopt;
    }
    parsed.drive = fold_char(rest[0]);
    rest.remove_prefix(2);
    parsed.trailing_separator = rest.size() > 1 && rest.back() == u'\\';
    for (auto& name : split(rest, u'\\')) {
        if (name.empty() || name == u".") continue;
        if (name == u"..") {
            if (!parsed.names.empty()) parsed.names.pop_back();
            continue;
        }
        parsed.names.push_back(std::move(name));
    }
    // Win32 drops the dots and blanks that end a path; only the \\?\ form keeps them.
    if (redirection == Redirection::caller && parsed.prefix.empty() && !parsed.names.empty()) {
        auto& last = parsed.names.back();
        while (!last.empty() && (last.back() == u'.' || last.back() == u' ')) last.pop_back();
        if (last.empty()) parsed.names.pop_back();
    }
    for (std::size_t i = 0; i < parsed.names.size(); ++i) {
        if (!valid_name(parsed.names[i], wildcards && i + 1 == parsed.names.size())) {
            error = os::error_invalid_name;
            return std::nullopt;
        }
    }
    if (redirection == Redirection::caller) redirect(m, parsed);
    return parsed;
}

Lookup look_up(Machine& m, const ParsedPath& path) { return look_up_from(m, path, 0); }

Lookup locate(Machine& m, std::u16string_view path) {
    Lookup result;
    const auto parsed = parse_path(m, path, Redirection::caller, result.error);
    return parsed ? look_up(m, *parsed) : result;
}

FsNode* follow(Machine& m, FsNode* node) { return follow_from(m, node, 0); }

FsNode* child(const FsNode& folder, std::u16string_view name) {
    const auto found = folder.children.find(fold(name));
    if (found != folder.children.end()) {
        if (found->second->name != name) count_folder_read();
        return found->second.get();
    }
    count_folder_read();
    for (const auto& [key, entry] : folder.children)
        if (!entry->short_name.empty() && same_name(entry->short_name, name)) return entry.get();
    return nullptr;
}

FsNode& attach(FsNode& folder, std::shared_ptr<FsNode> node) {
    node->parent = &folder;
    FsNode& result = *node;
    folder.children[fold(node->name)] = std::move(node);
    return result;
}

std::shared_ptr<FsNode> detach(FsNode& node) {
    FsNode* parent = node.parent;
    const auto found = parent->children.find(fold(node.name));
    auto owned = std::move(found->second);
    parent->children.erase(found);
    node.parent = nullptr;
    return owned;
}

std::shared_ptr<FsNode> make_entry(std::u16string_view name, std::uint32_t attributes) {
    auto node = std::make_shared<FsNode>();
    node->name = name;
    node->attributes = attributes;
    return node;
}

bool is_folder(const FsNode& node) { return (node.attributes & os::file_attribute_directory) != 0; }

bool is_junction(const FsNode& node) { return !node.junction_target.empty(); }

bool is_inside(const FsNode& node, const FsNode& folder) {
    for (const FsNode* current = &node; current; current = current->parent)
        if (current == &folder) return true;
    return false;
}

const FsNode& drive_root_of(const FsNode& node) {
    const FsNode* current = &node;
    while (current->parent) current = current->parent;
    return *current;
}

std::u16string full_path(const FsNode& node) {
    if (!node.parent) return node.name + u"\\";
    std::u16string path = node.name;
    for (const FsNode* current = node.parent; current->parent; current = current->parent)
        path = current->name + u"\\" + path;
    return drive_root_of(node).name + u"\\" + path;
}

std::uint32_t reported_attributes(const FsNode& node) {
    return node.attributes == 0 ? os::file_attribute_normal : node.attributes;
}

os::FindData find_data(const FsNode& node, std::u16string_view name) {
    os::FindData data;
    data.attributes = reported_attributes(node);
    data.size = is_folder(node) ? 0 : node.bytes.size();
    data.name = name;
    data.alternate_name = node.short_name;
    return data;
}

ParsedPath parse_literal(const Machine& m, std::u16string_view path) {
    std::uint32_t error = os::error_success;
    auto parsed = parse_path(m, path, Redirection::literal, error);
    if (!parsed) throw std::invalid_argument("sim: not a full path");
    return *parsed;
}

FsNode& make_folders(Machine& m, std::u16string_view path) {
    const ParsedPath parsed = parse_literal(m, path);
    return make_folders_along(m, parsed, parsed.names.size());
}

FsNode& make_parent_folders(Machine& m, const ParsedPath& path) {
    if (path.names.empty()) throw std::invalid_argument("sim: a drive root has no parent");
    return make_folders_along(m, path, path.names.size() - 1);
}

FsNode& make_file(Machine& m, std::u16string_view path, std::string bytes, std::uint32_t extra_attributes) {
    const ParsedPath parsed = parse_literal(m, path);
    FsNode& folder = make_parent_folders(m, parsed);
    FsNode* file = child(folder, parsed.names.back());
    if (file && is_folder(*file)) throw std::invalid_argument("sim: a folder is in the way");
    if (!file) file = &attach(folder, make_entry(parsed.names.back(), 0));
    file->bytes = std::move(bytes);
    file->attributes = os::file_attribute_archive | extra_attributes;
    return *file;
}

}  // namespace vorlix::sim::detail
