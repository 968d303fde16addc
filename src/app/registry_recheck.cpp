#include "app/registry_recheck.h"

#include <optional>
#include <unordered_set>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"
#include "app/registry_entry.h"

namespace vorlix {

namespace {

using UpperSet = std::unordered_set<std::u16string>;

const std::u16string open_with = u"OpenWithProgids";

std::u16string last_component(const std::u16string& path) { return path.substr(path.rfind(u'\\') + 1); }

std::u16string parent_path(const std::u16string& path) {
    const auto slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash);
}

bool is_extension_key(const RegistryEntry& entry) {
    return !entry.is_value && last_component(entry.path).starts_with(u".") &&
           Str_UpperAscii(last_component(parent_path(entry.path))) == u"CLASSES";
}

// The classes the findings take whole beside the extension: the program's.
UpperSet classes_beside(const std::vector<std::optional<RegistryEntry>>& findings, const RegistryEntry& extension) {
    UpperSet classes;
    const auto folder = Str_UpperAscii(parent_path(extension.path));
    for (const auto& entry : findings) {
        if (entry && !entry->is_value && entry->root == extension.root &&
            Str_UpperAscii(parent_path(entry->path)) == folder && !last_component(entry->path).starts_with(u"."))
            classes.insert(Str_UpperAscii(last_component(entry->path)));
    }
    return classes;
}

StringList value_names(const RegistryKey& key) {
    StringList names;
    for (std::uint32_t index = 0, count = key.info().values; index < count; ++index)
        if (auto name = key.value_name(index); !name.empty()) names.push_back(std::move(name));
    return names;
}

StringList sub_key_names(const RegistryKey& key) {
    StringList names;
    const auto info = key.info();
    for (std::uint32_t index = 0; index < info.sub_keys; ++index)
        names.push_back(key.sub_key_name(index, info.max_sub_key_len + 1));
    return names;
}

// The extension's own findings: the whole key, or the program's values in it.
StringList narrowed(const RegistryEntry& extension, const UpperSet& classes, bool view64) {
    const auto whole = extension.root_name + u"|" + extension.path;
    // A key that cannot be read stays as it is: its deletion fails the same way and is reported.
    const RegistryKey key(extension.root, extension.path, view64);
    if (!key.is_open()) return {whole};
    const auto ours = [&classes](const std::u16string& name) { return classes.contains(Str_UpperAscii(Str_Trim(name))); };
    std::u16string owner;
    key.read_text(u"", owner);
    bool foreign = !Str_Trim(owner).empty() && !ours(owner);
    foreign = foreign || !value_names(key).empty();

    StringList listed;
    for (const auto& sub_key : sub_key_names(key)) {
        if (!Str_SameText(sub_key, open_with)) {
            foreign = true;
            continue;
        }
        const RegistryKey list(extension.root, extension.path + u"\\" + sub_key, view64);
        std::u16string list_default;
        if (!list.is_open() || list.info().sub_keys > 0 || (list.read_text(u"", list_default) && !list_default.empty()))
            foreign = true;
        if (!list.is_open()) continue;
        for (const auto& name : value_names(list)) {
            if (ours(name))
                listed.push_back(extension.root_name + u"|" + extension.path + u"\\" + sub_key + u"|" + name);
            else
                foreign = true;
        }
    }
    if (!foreign) return {whole};
    if (!Str_Trim(owner).empty() && ours(owner)) listed.insert(listed.begin(), whole + u"|");
    return listed;
}

}  // namespace

void recheck_registry_findings(TextSet& findings, bool view64) {
    const auto& texts = findings.keys();
    // Parsed once: every extension key looks through all the findings.
    std::vector<std::optional<RegistryEntry>> entries;
    entries.reserve(texts.size());
    for (const auto& text : texts) entries.push_back(parse_registry_entry(text));
    TextSet checked;
    for (std::size_t index = 0; index < texts.size(); ++index) {
        const auto& entry = entries[index];
        if (!entry || !is_extension_key(*entry)) {
            checked.add(texts[index]);
            continue;
        }
        for (const auto& own : narrowed(*entry, classes_beside(entries, *entry), view64)) checked.add(own);
    }
    findings = std::move(checked);
}

}  // namespace vorlix
