#include "leftovers/settings_places.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>
#include <unordered_set>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"
#include "leftovers/leftover_scans.h"
#include "leftovers/settings_names.h"
#include "platform/os.h"

namespace vorlix {

namespace {

using UpperSet = std::unordered_set<std::u16string>;

bool holds_upper(const UpperSet& set, const std::u16string& name) { return set.count(Str_UpperFull(name)) != 0; }

// Whether the text is `held`, or lies below it.
bool at_or_below(const std::u16string& upper, const std::u16string& held) {
    const auto held_upper = Str_UpperFull(held);
    return upper == held_upper || (upper.starts_with(held_upper) && upper.size() > held_upper.size() &&
                                   (upper[held_upper.size()] == u'\\' || held_upper.ends_with(u'\\')));
}

bool at_or_below_any(const std::u16string& text, const StringList& held) {
    const auto upper = Str_UpperFull(text);
    const auto covers = [&upper](const std::u16string& one) { return at_or_below(upper, one); };
    return std::any_of(held.begin(), held.end(), covers);
}

// What the search looks for: the program's telling names that are nobody
// else's, and its telling vendor names.
struct Wanted {
    StringList names;
    StringList vendors;
    UpperSet vendors_upper;
    // Vendors whose folder or key may go when emptied: no other program has them.
    UpperSet free_vendors;
};

Wanted wanted_names(const ZRB_InstalledSoftware& record, const ZRB_InstalledSoftwareList& list,
                    const LocationGuard& guard, const NameRules& rules) {
    // Every name another program of the list may be known by.
    UpperSet taken;
    for (const auto& other : list.mpu_SDLarry_InstalledSoftware) {
        if (other.get() == &record) continue;
        for (const auto& name : rules.names_held_by(*other)) taken.insert(Str_UpperFull(name));
    }
    // Its folder names it only when it is the program's own: registered,
    // claimed by the analysis (a shared folder, refused, names others too),
    // and holding no other program (such a folder, and its name, is the
    // vendor's or the suite's).
    const auto own = rules.names_of(record, !record.location_from_command && !record.mpu_SDLarry_Folders.empty() &&
                                                !guard.holds_others(expand_placeholders(record.mpu_str_InstallLocation)));
    Wanted wanted;
    for (const auto& vendor : own.vendors) {
        if (!rules.is_telling(vendor)) continue;
        wanted.vendors.push_back(vendor);
        wanted.vendors_upper.insert(Str_UpperFull(vendor));
        if (!holds_upper(taken, vendor)) wanted.free_vendors.insert(Str_UpperFull(vendor));
    }
    for (const auto& name : own.names)
        if (rules.is_telling(name) && !holds_upper(taken, name)) wanted.names.push_back(name);
    return wanted;
}

// The name the file system gives `folder\name` when that is a folder of
// exactly this name (a short name that only resembles it does not count).
std::optional<std::u16string> folder_named(const std::u16string& folder, const std::u16string& name) {
    os::FindData data;
    const auto find = os::find_first_file(folder + name, data);
    if (find == os::invalid_handle_value) return std::nullopt;
    os::find_close(find);
    if ((data.attributes & os::file_attribute_directory) == 0 || Str_UpperFull(data.name) != Str_UpperFull(name))
        return std::nullopt;
    return data.name;
}

// Whether the folder holds nothing but entries of these names.
bool holds_only(const std::u16string& folder, const UpperSet& names) {
    os::FindData data;
    const auto find = os::find_first_file(folder + u"*", data);
    if (find == os::invalid_handle_value) return false;
    bool only = true;
    do {
        if (data.name != u"." && data.name != u".." && !holds_upper(names, data.name)) only = false;
    } while (only && os::find_next_file(find, data));
    os::find_close(find);
    return only;
}

class SettingsSearch {
public:
    SettingsSearch(const ZRB_InstalledSoftware& record, const LocationGuard& guard, bool view64, Wanted wanted)
        : record_(record), guard_(guard), view64_(view64), wanted_(std::move(wanted)) {}

    void search_folders() {
        const auto& known = guard_.known_folders();
        UpperSet seen;
        for (const auto* root :
             {&known.app_data_dir, &known.local_app_data_dir, &known.program_data_dir, &known.local_low_dir})
            if (!is_blank(*root) && seen.insert(Str_UpperFull(Str_EnsureTrailingBackslash(*root))).second)
                search_folder_root(Str_EnsureTrailingBackslash(Str_Trim(*root)));
    }

    void search_keys() {
        for (const auto& [root, root_name, base] :
             {std::tuple{os::hkey_current_user, u"HKCU", u"Software\\"},
              std::tuple{os::hkey_local_machine, u"HKLM", u"SOFTWARE\\"},
              std::tuple{os::hkey_local_machine, u"HKLM", u"SOFTWARE\\Wow6432Node\\"}})
            search_key_root(root, root_name, base);
    }

    SettingsFindings take() {
        // Vendors' folders and keys after what lies in them.
        for (auto [list, emptied] :
             {std::pair{&findings_.folders, &vendor_folders_}, std::pair{&findings_.registry, &vendor_keys_}}) {
            list->insert(list->end(), emptied->begin(), emptied->end());
            findings_.only_when_empty.insert(findings_.only_when_empty.end(), emptied->begin(), emptied->end());
        }
        return std::move(findings_);
    }

private:
    const ZRB_InstalledSoftware& record_;
    const LocationGuard& guard_;
    bool view64_;
    Wanted wanted_;
    SettingsFindings findings_;
    // Listed to go only when empty.
    StringList vendor_folders_;
    StringList vendor_keys_;

    // A name that is also the program's vendor names the vendor's folder, not the program's.
    bool is_vendor(const std::u16string& name) const { return holds_upper(wanted_.vendors_upper, name); }

    bool claimable_folder(const std::u16string& folder) const {
        return !guard_.claimable(folder).empty() && !guard_.holds_others(folder) &&
               !at_or_below_any(folder, record_.mpu_SDLarry_Folders) && !at_or_below_any(folder, findings_.folders);
    }

    void search_folder_root(const std::u16string& root) {
        for (const auto& vendor : wanted_.vendors) {
            const auto vendor_name = folder_named(root, vendor);
            if (!vendor_name) continue;
            const auto vendor_folder = root + *vendor_name;
            UpperSet claimed;
            for (const auto& name : wanted_.names) {
                const auto found = folder_named(vendor_folder + u"\\", name);
                if (found && claim_folder(vendor_folder + u"\\" + *found)) claimed.insert(Str_UpperFull(*found));
            }
            if (!claimed.empty() && holds_upper(wanted_.free_vendors, vendor) &&
                !at_or_below_any(vendor_folder, vendor_folders_) && holds_only(vendor_folder + u"\\", claimed) &&
                !guard_.claimable(vendor_folder).empty() && !guard_.holds_others(vendor_folder))
                vendor_folders_.push_back(vendor_folder);
        }
        for (const auto& name : wanted_.names)
            if (const auto found = folder_named(root, name); found && !is_vendor(name)) claim_folder(root + *found);
    }

    bool claim_folder(const std::u16string& folder) {
        if (!claimable_folder(folder)) return false;
        findings_.folders.push_back(folder);
        for (const auto& entry : ListFolderTree(folder))
            (IsDirectory(entry) ? findings_.folders : findings_.files).push_back(entry);
        return true;
    }

    bool key_there(os::Hkey root, const std::u16string& path) const {
        const RegistryKey key(root, path, view64_, true);
        return key.is_open() && !key.is_link();
    }

    bool claim_key(os::Hkey root, const std::u16string& root_name, const std::u16string& path) {
        const auto finding = registry_finding(root_name, path);
        if (!key_there(root, path) || at_or_below_any(finding, record_.mpu_SDLarry_Registry) ||
            at_or_below_any(finding, findings_.registry))
            return false;
        findings_.registry.push_back(finding);
        return true;
    }

    // Whether the key holds no value and no subkey but those of these names.
    bool holds_only_keys(os::Hkey root, const std::u16string& path, const UpperSet& names) const {
        const RegistryKey key(root, path, view64_, true);
        if (!key.is_open() || key.is_link()) return false;
        const auto info = key.info();
        if (info.values != 0) return false;
        for (std::uint32_t index = 0; index < info.sub_keys; ++index)
            if (!holds_upper(names, key.sub_key_name(index, info.max_sub_key_len + 1))) return false;
        return true;
    }

    void search_key_root(os::Hkey root, const std::u16string& root_name, const std::u16string& base) {
        for (const auto& vendor : wanted_.vendors) {
            const auto vendor_key = base + vendor;
            if (!key_there(root, vendor_key)) continue;
            UpperSet claimed;
            for (const auto& name : wanted_.names)
                if (claim_key(root, root_name, vendor_key + u"\\" + name)) claimed.insert(Str_UpperFull(name));
            const auto finding = registry_finding(root_name, vendor_key);
            if (!claimed.empty() && holds_upper(wanted_.free_vendors, vendor) &&
                !at_or_below_any(finding, vendor_keys_) && holds_only_keys(root, vendor_key, claimed))
                vendor_keys_.push_back(finding);
        }
        for (const auto& name : wanted_.names)
            if (!is_vendor(name)) claim_key(root, root_name, base + name);
    }
};

}  // namespace

SettingsFindings find_settings(const ZRB_InstalledSoftware& record, const ZRB_InstalledSoftwareList& list,
                               const LocationGuard& guard, bool view64) {
    const NameRules rules(guard.known_folders());
    SettingsSearch search(record, guard, view64, wanted_names(record, list, guard, rules));
    search.search_folders();
    search.search_keys();
    return search.take();
}

}  // namespace vorlix
