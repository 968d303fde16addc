// Searching folders and converting between long and 8.3 path names.
#include "platform/sim/sim_files.h"

namespace vorlix::os {

using namespace sim::detail;

namespace {

bool has_wildcards(std::u16string_view name) { return name.find_first_of(u"*?") != std::u16string_view::npos; }

// * and ? on folded texts, backtracking to the last star.
bool glob(std::u16string_view pattern, std::u16string_view name) {
    std::size_t p = 0, n = 0, star = std::u16string_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            star = p++;
            resume = n;
        } else if (star != std::u16string_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

// The DOS rules Windows keeps: "*.*" is everything, and "name.*" also finds
// "name" without an extension.
bool wildcard_match(std::u16string_view pattern, std::u16string_view name) {
    const std::u16string p = fold(pattern), n = fold(name);
    if (p == u"*.*" || glob(p, n)) return true;
    return p.size() >= 2 && p.substr(p.size() - 2) == u".*" && n.find(u'.') == std::u16string::npos &&
           glob(std::u16string_view(p).substr(0, p.size() - 2), n);
}

bool entry_matches(std::u16string_view pattern, const FsNode& node) {
    return wildcard_match(pattern, node.name) || (!node.short_name.empty() && wildcard_match(pattern, node.short_name));
}

Handle fail_find(std::uint32_t error) {
    set_last_error(error);
    return invalid_handle_value;
}

std::vector<FindData> search(const FsNode& folder, std::u16string_view pattern) {
    std::vector<FindData> entries;
    if (!has_wildcards(pattern)) {
        if (const FsNode* node = child(folder, pattern)) entries.push_back(find_data(*node, node->name));
        return entries;
    }
    if (folder.parent) {
        if (wildcard_match(pattern, u".")) entries.push_back(find_data(folder, u"."));
        if (wildcard_match(pattern, u"..")) entries.push_back(find_data(*folder.parent, u".."));
    }
    for (const auto& [key, node] : folder.children)
        if (entry_matches(pattern, *node)) entries.push_back(find_data(*node, node->name));
    return entries;
}

// GetLongPathNameW and GetShortPathNameW: the caller's spelling stays (prefix,
// drive, names that need no change); only the names are swapped. Each name
// costs a folder search and its close, as FindFirstFileW and FindClose would.
std::uint32_t convert_path(const std::u16string& path, char16_t* buffer, std::uint32_t size, bool to_short) {
    auto lock = lock_machine();
    Machine& m = machine();
    std::uint32_t error = error_success;
    const auto spelled = parse_path(m, path, Redirection::literal, error);
    const auto actual = spelled ? parse_path(m, path, Redirection::caller, error) : std::nullopt;
    const auto drive = actual ? m.drives.find(actual->drive) : m.drives.end();
    if (!actual || drive == m.drives.end()) {
        set_last_error(actual ? error_file_not_found : error);
        return 0;
    }
    std::u16string result = spelled->prefix + std::u16string{path[spelled->prefix.size()], u':'};
    FsNode* folder = drive->second.get();
    for (std::size_t i = 0; i < actual->names.size(); ++i) {
        const std::u16string& name = spelled->names[i];
        count_file_call(2);
        FsNode* node = folder ? child(*folder, actual->names[i]) : nullptr;
        if (!node) {
            set_last_error(folder ? error_file_not_found : error_path_not_found);
            return 0;
        }
        const std::u16string& replaced = to_short ? node->short_name : node->name;
        result += u"\\" + ((replaced.empty() || same_name(replaced, name)) ? name : replaced);
        folder = follow(m, node);
        if (folder && !is_folder(*folder)) folder = nullptr;
    }
    if (actual->names.empty() || spelled->trailing_separator) result += u"\\";
    return copy_to_buffer(result, buffer, size);
}

}  // namespace

Handle find_first_file(const std::u16string& pattern, FindData& data) {
    count_file_call();
    auto lock = lock_machine();
    Machine& m = machine();
    std::uint32_t error = error_success;
    auto parsed = parse_path(m, pattern, Redirection::caller, error, true);
    if (!parsed) return fail_find(error);
    if (parsed->names.empty() || parsed->trailing_separator) return fail_find(error_file_not_found);
    const std::u16string name_pattern = parsed->names.back();
    parsed->names.pop_back();
    FsNode* folder = follow(m, look_up(m, *parsed).node);
    if (!folder || !is_folder(*folder)) return fail_find(error_path_not_found);
    auto entries = search(*folder, name_pattern);
    if (entries.empty()) return fail_find(error_file_not_found);
    data = entries.front();
    return add_handle(m, FindHandle{std::move(entries), 1});
}

bool find_next_file(Handle find, FindData& data) {
    count_file_call();
    auto lock = lock_machine();
    FindHandle* handle = find_handle<FindHandle>(machine(), find);
    if (!handle) {
        set_last_error(error_invalid_handle);
        return false;
    }
    if (handle->next >= handle->entries.size()) {
        set_last_error(error_no_more_files);
        return false;
    }
    data = handle->entries[handle->next++];
    return true;
}

bool find_close(Handle find) {
    count_file_call();
    auto lock = lock_machine();
    Machine& m = machine();
    if (!find_handle<FindHandle>(m, find)) {
        set_last_error(error_invalid_handle);
        return false;
    }
    m.handles.erase(find);
    return true;
}

std::uint32_t get_long_path_name(const std::u16string& path, char16_t* buffer, std::uint32_t size) {
    return convert_path(path, buffer, size, false);
}

std::uint32_t get_short_path_name(const std::u16string& path, char16_t* buffer, std::uint32_t size) {
    return convert_path(path, buffer, size, true);
}

}  // namespace vorlix::os
