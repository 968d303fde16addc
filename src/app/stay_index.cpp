#include "app/stay_index.h"

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/Unit_ZRB_func_Uninstall.h"
#include "app/registry_entry.h"
#include "leftovers/location_guard.h"

namespace vorlix {

namespace {

// The first word of the file part the command planner split off: a quoted
// run, or the text up to the end of its ".exe".
std::u16string first_file(const std::u16string& file) {
    const auto text = Str_Trim(file);
    if (text.starts_with(u'"')) {
        const auto close = text.find(u'"', 1);
        return text.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1);
    }
    const auto exe = Str_UpperAscii(text).find(u".EXE ");
    return exe == std::u16string::npos ? text : text.substr(0, exe + 4);
}

// Calls `visit(folder)` for each folder above the key, the nearest first, up
// to the drive ("C:"), until it returns false.
template <typename Visit>
void for_each_folder_above(const std::u16string& key, Visit visit) {
    for (auto slash = key.rfind(u'\\'); slash != std::u16string::npos && slash >= 2;
         slash = key.rfind(u'\\', slash - 1))
        if (!visit(key.substr(0, slash))) return;
}

bool is_rundll(const std::u16string& file) {
    const auto upper = Str_UpperAscii(file);
    return upper.ends_with(u"RUNDLL32.EXE") || upper.ends_with(u"RUNDLL32");
}

// Registry paths upper-cased, without the 32-bit branch: data is compared
// with the rows whichever view it was read in.
std::u16string registry_key_text(std::u16string root, const std::u16string& key) {
    auto path = Str_UpperAscii(key);
    for (auto at = path.find(u"\\WOW6432NODE"); at != std::u16string::npos; at = path.find(u"\\WOW6432NODE"))
        path.erase(at, 12);
    if (path.starts_with(u"WOW6432NODE\\")) path.erase(0, 12);
    return root + u"|" + Str_ExcludeTrailingBackslashes(std::move(path));
}

// A path that reaches a local drive by another way: "\\folder" on the
// system's drive, and a local drive's administrative share (\\localhost\C$\).
std::u16string local_form(std::u16string path) {
    if (path.starts_with(u"\\") && !path.starts_with(u"\\\\")) return expand_placeholders(u"%SystemDrive%") + path;
    for (const auto* host : {u"\\\\LOCALHOST\\", u"\\\\127.0.0.1\\"}) {
        const auto length = std::char_traits<char16_t>::length(host);
        if (Str_UpperAscii(path.substr(0, length)) == host && path.size() >= length + 2 && path[length + 1] == u'$' &&
            (path.size() == length + 2 || path[length + 2] == u'\\'))
            return path.substr(length, 1) + u":" + path.substr(length + 2);
    }
    return path;
}

}  // namespace

std::u16string named_path(const std::u16string& text) {
    auto path = Str_StripQuotes(Str_Trim(expand_placeholders(Str_Trim(text))));
    // Drivers and services name their files in the kernel's form.
    for (const auto* prefix : {u"\\??\\", u"\\\\?\\"})
        if (path.starts_with(prefix)) path.erase(0, std::char_traits<char16_t>::length(prefix));
    path = local_form(std::move(path));
    return is_local_drive_path(path) ? path : std::u16string();
}

StringList command_paths(const std::u16string& command) {
    const auto expanded = expand_placeholders(command);
    const auto plan = PlanUninstallCommand(expanded);
    // Windows Installer keeps what it uninstalls elsewhere.
    if (plan.form == 0 || plan.form == 1) return {};
    StringList paths;
    const auto file = first_file(plan.file);
    if (auto path = named_path(file); !path.empty()) paths.push_back(std::move(path));
    if (is_rundll(file)) {
        // rundll32 loads the library named first in its parameters.
        const auto at = expanded.find(file);
        const auto rest = at == std::u16string::npos ? plan.parameters : expanded.substr(at + file.size() + 1);
        for_each_piece(rest, u',', [&paths](std::u16string_view piece) {
            if (auto path = named_path(std::u16string(piece)); !path.empty()) paths.push_back(std::move(path));
            return false;
        });
    }
    return paths;
}

std::u16string icon_path(const std::u16string& icon) {
    std::u16string path;
    for_each_piece(expand_placeholders(icon), u',', [&path](std::u16string_view piece) {
        path = named_path(std::u16string(piece));
        return false;
    });
    return path;
}

StringList StayIndex::keys(const std::u16string& path) {
    StringList keys{Str_UpperFull(Str_ExcludeTrailingBackslashes(path))};
    // Only a spelling Windows rewrites (an 8.3 name, "." or "..") needs the file system.
    if (path.find(u'~') == std::u16string::npos && path.find(u"\\.") == std::u16string::npos) return keys;
    for (const auto& form : forms_.of(path)) {
        auto key = Str_UpperFull(Str_ExcludeTrailingBackslashes(form));
        if (key != keys.front()) keys.push_back(std::move(key));
    }
    return keys;
}

void StayIndex::add(const std::u16string& path, Reach reach, const std::u16string& reason, Source source) {
    for (const auto& key : keys(path)) {
        // A drive root would keep the whole drive.
        if (key.size() <= 2) continue;
        const auto [found, added] = named_.try_emplace(key, Named{reach, {reason, source}});
        if (!added && reach == Reach::tree && found->second.reach != Reach::tree)
            found->second = {reach, {reason, source}};
        else if (!added && source > found->second.keep.source)
            found->second.keep = {reason, source};
        // Another product's file lies in its own folder: nothing there is the deleted program's by being there.
        if (source == Source::place && reach == Reach::itself && key.rfind(u'\\') > 2)
            roots_.try_emplace(key.substr(0, key.rfind(u'\\')), reason);
        // A folder already held (and shared) has its own folders above it held (and shared) too.
        for_each_folder_above(key, [&](const std::u16string& folder) {
            const bool new_holder = holders_.insert(folder).second;
            const bool new_share = source == Source::place && shared_.try_emplace(folder, reason).second;
            return new_holder || new_share;
        });
    }
}

void StayIndex::add_name(const std::u16string& word, const std::u16string& reason) {
    names_.try_emplace(Str_UpperFull(word), reason);
}

// The first reason found by path, unless it is only a start or class entry's
// and a program claims the path too: whose it is matters to the rows naming it.
std::optional<StayIndex::Keep> StayIndex::kept(const std::u16string& path) {
    const auto all = keys(path);
    std::optional<Keep> keep;
    for (const auto& key : all)
        if (const auto found = named_.find(key); !keep && found != named_.end()) keep = found->second.keep;
    if (keep && keep->source != Source::other) return keep;
    std::optional<Keep> above;
    for (const auto& key : all)
        if (!above) for_each_folder_above(key, [this, &above](const std::u16string& folder) {
            const auto found = named_.find(folder);
            if (found != named_.end() && found->second.reach == Reach::tree) above = found->second.keep;
            else if (const auto root = roots_.find(folder); root != roots_.end()) above = Keep{root->second, Source::place};
            return !above;
        });
    if (above && (!keep || above->source != Source::other)) keep = above;
    if ((keep && keep->source != Source::other) || names_.empty()) return keep;
    for (const auto& key : all)
        for (auto start = key.find(u'\\'); start != std::u16string::npos; start = key.find(u'\\', start + 1)) {
            const auto name = key.substr(start + 1, key.find_first_of(u"\\.", start + 1) - start - 1);
            if (const auto found = names_.find(name); found != names_.end()) return Keep{found->second, Source::named};
        }
    return keep;
}

bool StayIndex::holds(const std::u16string& folder) {
    for (const auto& key : keys(folder))
        if (holders_.count(key)) return true;
    return false;
}

void StayIndex::hold(const std::u16string& folder, const std::u16string& reason) {
    for (const auto& key : keys(folder)) roots_.try_emplace(key, reason);
}

std::optional<std::u16string> StayIndex::shared_with(const std::u16string& folder) {
    for (const auto& key : keys(folder))
        if (const auto found = shared_.find(key); found != shared_.end()) return found->second;
    return std::nullopt;
}

void RegistryGoing::add(const std::u16string& row) {
    const auto entry = parse_registry_entry(row);
    if (!entry) return;
    std::u16string root = entry->root_name, path = entry->path;
    if (root == u"HKCR") {
        root = u"HKLM";
        path = u"SOFTWARE\\Classes\\" + path;
    }
    auto key = registry_key_text(root, path);
    if (entry->is_value)
        values_.insert(key + u"|" + Str_UpperAscii(entry->value_name));
    else
        keys_.insert(std::move(key));
}

void RegistryGoing::alias_user(const std::u16string& sid) {
    const auto prefix = u"HKU|" + Str_UpperAscii(sid) + u"\\";
    for (auto* rows : {&keys_, &values_}) {
        StringList aliases;
        for (const auto& row : *rows)
            if (row.starts_with(prefix)) aliases.push_back(u"HKCU|" + row.substr(prefix.size()));
        rows->insert(aliases.begin(), aliases.end());
    }
}

bool RegistryGoing::takes_value(const std::u16string& root, const std::u16string& key,
                                const std::u16string& value) const {
    return !values_.empty() && values_.count(registry_key_text(root, key) + u"|" + Str_UpperAscii(value));
}

bool RegistryGoing::covers(const std::u16string& root, const std::u16string& key, const std::u16string* value) const {
    if (value && takes_value(root, key, *value)) return true;
    auto text = registry_key_text(root, key);
    for (;;) {
        if (keys_.count(text)) return true;
        const auto slash = text.rfind(u'\\');
        if (slash == std::u16string::npos) return false;
        text.resize(slash);
    }
}

}  // namespace vorlix
