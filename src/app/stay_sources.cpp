// The sources of the index of what stays, read from the live registry in one
// pass: each key opened once, each value read once.
#include <algorithm>
#include <memory>
#include <unordered_set>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"
#include "access/wow64.h"
#include "app/stay_index.h"
#include "inventory/folder_forms.h"
#include "leftovers/location_guard.h"

namespace vorlix {

namespace {

using Reach = StayIndex::Reach;
using Source = StayIndex::Source;

const std::u16string current_version = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
const std::u16string profile_list = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

const std::u16string reason_windows = u"a folder Windows keeps";
const std::u16string reason_profile = u"a user profile";

// A registry place the index reads: the key's root for the comparison with
// what the deletion takes ("HKLM", "HKCU" or "HKU"), where it really is, the
// prefix of its paths (another user's hive) and the part of that prefix the
// comparison uses.
struct Hive {
    std::u16string name;
    os::Hkey root;
    std::u16string prefix;
    std::u16string compared;
};

const Hive machine_hive{u"HKLM", os::hkey_local_machine, {}, {}};

// The view the scan reads in: the 64-bit one, where the 32-bit branches are
// paths of their own, except on 32-bit Windows.
bool scan_view() {
    try {
        return Sys_GetBitness() != bitness_windows32;
    } catch (const std::exception&) {
        return true;
    }
}

// The path and its 32-bit branches, as the scan reads them.
StringList variants(const std::u16string& path) {
    StringList list;
    Reg_PathVariants(path, true, list);
    return list;
}

// Registry paths as the scan records them, for the comparison with the program's own entries.
std::u16string entry_text(const std::u16string& text) {
    auto upper = Str_UpperAscii(text);
    for (auto at = upper.find(u"\\\\"); at != std::u16string::npos; at = upper.find(u"\\\\")) upper.erase(at, 1);
    return upper;
}

// The words of a program's or publisher's name that can name a file or
// folder of the program: upper-cased runs of letters and digits, four long
// at least and not a number ("x64", "2024" and "Inc" say nothing of whose
// a file is).
StringList name_words(const std::u16string& name) {
    StringList words;
    std::u16string word;
    const auto upper = Str_UpperFull(name) + u' ';
    for (const auto unit : upper) {
        if ((unit >= u'A' && unit <= u'Z') || (unit >= u'0' && unit <= u'9') || unit >= 0x80) {
            word += unit;
            continue;
        }
        if (word.size() >= 4 && word.find_first_not_of(u"0123456789") != std::u16string::npos) words.push_back(word);
        word.clear();
    }
    return words;
}

class Collector {
public:
    Collector(const StayInputs& inputs, StayIndex& index) : inputs_(inputs), index_(index), going_(inputs.going) {
        for (const auto& entry : inputs.own_entries) {
            own_.push_back(entry_text(entry));
            const auto key = entry.substr(entry.rfind(u'\\') + 1);
            if (auto packed = packed_product_code(key); !packed.empty()) own_products_.push_back(std::move(packed));
        }
    }

    void run() {
        read_profiles();
        if (!own_sid_.empty()) going_.alias_user(own_sid_);
        // Before the entries: a location that is one of these is no program's own.
        for (const auto& folder : inputs_.known->shared_upper) index_.add(folder, Reach::itself, reason_windows);
        if (const auto source = named_path(inputs_.own_source); !source.empty())
            add_folder(source, u"where the program's setup ran from", Source::place);
        if (!inputs_.own_folder.empty()) {
            index_.add(inputs_.own_folder + u"Backups", Reach::tree, u"Vorlix's backups");
            index_.add(inputs_.own_folder, Reach::tree, u"Vorlix's own folder");
        }
        std::vector<Hive> hives{machine_hive, {u"HKCU", os::hkey_current_user, {}, {}}};
        // Other users' hives, as far as they are loaded; the user's own is HKCU.
        // Without a profile of the user, which of them is the user's own is not
        // known: they are compared as the user's, which keeps less.
        for (const auto& user : subkeys({u"HKU", os::hkey_users, {}, {}}, {}))
            if (!Str_UpperAscii(user).ends_with(u"_CLASSES") && !Str_SameText(user, own_sid_))
                hives.push_back(own_sid_.empty() ? Hive{u"HKCU", os::hkey_users, user + u"\\", {}}
                                                 : Hive{u"HKU", os::hkey_users, user + u"\\", user + u"\\"});
        // The same paths in every hive.
        const auto uninstall = variants(current_version + u"Uninstall\\");
        const auto app_paths = variants(current_version + u"App Paths\\");
        auto runs = variants(current_version + u"Run");
        for (auto& path : variants(current_version + u"RunOnce")) runs.push_back(std::move(path));
        for (const auto& hive : hives) {
            for (const auto& base : uninstall)
                for (const auto& name : subkeys(hive, base)) read_uninstall_entry(hive, base + name, name);
            for (const auto& base : app_paths)
                for (const auto& name : subkeys(hive, base)) read_app_path(hive, base + name, name);
            for (const auto& path : runs) read_run_values(hive, path);
        }
        read_services();
        for (const auto& hive : {hives[0], hives[1]}) read_classes(hive);
        read_installer_components();
        add_unplaced_names();
    }

private:
    const StayInputs& inputs_;
    StayIndex& index_;
    // What goes, with the current user's rows under both of its names.
    RegistryGoing going_;
    StringList own_;
    StringList own_products_;
    // The key last opened, read value by value: an entry holds many values
    // the index does not need, and each read is a round trip under Wine.
    std::unique_ptr<RegistryKey> key_;
    std::u16string values_root_, values_path_;
    std::u16string own_sid_;
    const bool view64_ = scan_view();
    // The deleted program's names, and the programs that name no folder of their own.
    StringList own_names_;
    struct Unplaced {
        std::u16string name, publisher, reason;
    };
    std::vector<Unplaced> unplaced_;
    // The folders' names are looked up once each, however many entries share them.
    FolderForms forms_;

    StringList subkeys(const Hive& hive, const std::u16string& path) const {
        StringList names;
        Reg_EnumSubKeys(hive.root, hive.prefix + path, names, view64_);
        return names;
    }

    // Opens the key; false when it is missing or goes with the deletion.
    bool read_values(const Hive& hive, const std::u16string& path) {
        key_.reset();
        if (going_.covers(hive.name, hive.compared + path)) return false;
        key_ = std::make_unique<RegistryKey>(hive.root, hive.prefix + path, view64_);
        values_root_ = hive.name;
        values_path_ = hive.compared + path;
        return key_->is_open();
    }
    // A value of the key last read; empty when it is missing or goes with the deletion.
    std::u16string text(const std::u16string& name) const {
        std::u16string value;
        if (key_ && key_->is_open() && !going_.takes_value(values_root_, values_path_, name))
            key_->read_text(name, value);
        return value;
    }

    // A program's folder stays with everything in it; a shared folder is only
    // kept itself. True when the folder is the program's own: no profile,
    // folder of Windows or of Vorlix, and no shared folder.
    bool add_folder(const std::u16string& folder, const std::u16string& reason, Source source) {
        const auto& known = *inputs_.known;
        const auto forms =
            forms_.of(folder, [&known](const std::u16string& form) { return known.is_shared_or_above_form(form); });
        const bool own = !known.is_any_shared_or_above(forms) && !index_.kept(folder);
        index_.add(folder, own ? Reach::tree : Reach::itself, reason, own ? source : Source::program);
        return own;
    }
    void add_command(const std::u16string& command, const std::u16string& reason) {
        for (const auto& path : command_paths(command)) index_.add(path, Reach::itself, reason);
    }

    // An entry in the user's hive is also seen under HKEY_USERS.
    bool is_own_entry(const Hive& hive, const std::u16string& path) const {
        return std::find(own_.begin(), own_.end(), entry_text(hive.name + u"|" + hive.compared + path)) != own_.end();
    }

    void read_uninstall_entry(const Hive& hive, const std::u16string& path, const std::u16string& name) {
        if (is_own_entry(hive, path)) {
            if (read_values(hive, path)) own_names_.push_back(text(u"DisplayName"));
            return;
        }
        if (!read_values(hive, path)) return;
        const auto display = Str_Trim(text(u"DisplayName"));
        const auto reason = u"used by " + (display.empty() ? name : display);
        const auto location = named_path(text(u"InstallLocation"));
        const bool placed = !location.empty() && add_folder(location, reason, Source::place);
        if (!placed && !display.empty()) unplaced_.push_back({display, text(u"Publisher"), reason});
        // Where setup ran from is no location of the program, but its repair
        // and change may need it: it stays as much as the location does.
        if (const auto folder = named_path(text(u"InstallSource")); !folder.empty()) add_folder(folder, reason, Source::place);
        // An uninstaller needs what lies beside it.
        for (const auto* value : {u"UninstallString", u"QuietUninstallString", u"ModifyPath"})
            for (const auto& file : command_paths(text(value))) {
                index_.add(file, Reach::itself, reason, Source::program);
                // Not as the program's place: an add-on's uninstaller may lie in its host's folder.
                if (const auto slash = file.rfind(u'\\'); slash > 2) add_folder(file.substr(0, slash), reason, Source::program);
            }
        if (const auto icon = icon_path(text(u"DisplayIcon")); !icon.empty())
            index_.add(icon, Reach::itself, reason, Source::program);
    }

    // The programs whose registration names no folder of their own may lie in
    // any folder, the deleted program's too: what is named after them stays.
    // The name is what is left of the program's name without its publisher's
    // words and the deleted program's own, whole ("Plug Host Extra" names no
    // "host.exe").
    void add_unplaced_names() {
        std::unordered_set<std::u16string> common;
        for (const auto& own : own_names_)
            for (auto& word : name_words(own)) common.insert(std::move(word));
        for (const auto& program : unplaced_) {
            auto excluded = common;
            for (auto& word : name_words(program.publisher)) excluded.insert(std::move(word));
            std::u16string spaced, joined;
            for (const auto& word : name_words(program.name)) {
                if (excluded.count(word)) continue;
                spaced += (spaced.empty() ? u"" : u" ") + word;
                joined += word;
            }
            if (spaced.empty()) continue;
            index_.add_name(spaced, program.reason);
            index_.add_name(joined, program.reason);
        }
    }

    void read_app_path(const Hive& hive, const std::u16string& path, const std::u16string& name) {
        if (!read_values(hive, path)) return;
        const auto reason = u"used by " + name;
        add_command(text(u""), reason);
        for_each_piece(text(u"Path"), u';', [&](std::u16string_view folder) {
            if (const auto local = named_path(std::u16string(folder)); !local.empty())
                index_.add(local, Reach::itself, reason);
            return true;
        });
    }

    void read_run_values(const Hive& hive, const std::u16string& path) {
        StringList names, data;
        if (!Reg_EnumValues(hive.root, hive.prefix + path, names, &data, view64_)) return;
        for (std::size_t at = 0; at < names.size() && at < data.size(); ++at)
            if (!going_.covers(hive.name, hive.compared + path, &names[at]))
                add_command(data[at], u"started at logon by " + names[at]);
    }

    void read_services() {
        const Hive& hklm = machine_hive;
        const std::u16string base = u"SYSTEM\\CurrentControlSet\\Services\\";
        for (const auto& name : subkeys(hklm, base)) {
            if (read_values(hklm, base + name)) add_command(text(u"ImagePath"), u"used by the service " + name);
        }
    }

    // Each class's icon and verbs, and each COM class's icon and servers: in both
    // views, where 32-bit programs register theirs apart.
    void read_classes(const Hive& hive) {
        const std::u16string base = hive.name == u"HKLM" ? u"SOFTWARE\\Classes\\" : u"Software\\Classes\\";
        for (const auto& name : subkeys(hive, base))
            if (Str_UpperAscii(name) != u"CLSID") read_class(hive, base + name, u"used by the class " + name);
        // 32-bit COM classes live below Wow6432Node of the classes; the
        // other spellings of that branch are links to it.
        for (const auto& clsids : {base + u"CLSID\\", base + u"Wow6432Node\\CLSID\\"})
            for (const auto& clsid : subkeys(hive, clsids)) {
                const auto path = clsids + clsid;
                const auto reason = u"used by the COM class " + clsid;
                read_icon(hive, path, reason);
                if (read_values(hive, path + u"\\InprocServer32"))
                    if (const auto file = named_path(text(u"")); !file.empty()) index_.add(file, Reach::itself, reason);
                if (read_values(hive, path + u"\\LocalServer32")) add_command(text(u""), reason);
            }
    }

    void read_icon(const Hive& hive, const std::u16string& path, const std::u16string& reason) {
        if (read_values(hive, path + u"\\DefaultIcon"))
            if (const auto file = icon_path(text(u"")); !file.empty()) index_.add(file, Reach::itself, reason);
    }

    void read_class(const Hive& hive, const std::u16string& path, const std::u16string& reason) {
        read_icon(hive, path, reason);
        for (const auto& verb : subkeys(hive, path + u"\\shell\\"))
            if (read_values(hive, path + u"\\shell\\" + verb + u"\\command")) add_command(text(u""), reason);
    }

    void read_installer_components() {
        const Hive& hklm = machine_hive;
        const auto base = current_version + u"Installer\\UserData\\";
        StringList products, data;
        for (const auto& user : subkeys(hklm, base)) {
            const auto components = base + user + u"\\Components\\";
            for (const auto& component : subkeys(hklm, components)) {
                // The data list is added to, not replaced: it starts empty for each key.
                data.clear();
                if (!Reg_EnumValues(hklm.root, components + component, products, &data, view64_)) continue;
                for (std::size_t at = 0; at < products.size() && at < data.size(); ++at) {
                    const auto product = Str_UpperAscii(products[at]);
                    if (std::find(own_products_.begin(), own_products_.end(), product) != own_products_.end() ||
                        going_.covers(hklm.name, components + component, &products[at]))
                        continue;
                    if (const auto file = named_path(data[at]); !file.empty())
                        index_.add(file, Reach::itself, u"used by the Windows Installer product " + products[at],
                                   Source::place);
                }
            }
        }
    }

    // Every profile, the Default and Public ones too. The user's own profile
    // holds the program's settings, so only it is kept; another user's and
    // the Default profile keep everything in them.
    void read_profiles() {
        const Hive& hklm = machine_hive;
        const auto own_profile = Str_UpperFull(named_path(special_folder_path(os::csidl_profile)));
        // True when the folder is the user's own profile.
        const auto add_profile = [&](const std::u16string& folder, bool whole) {
            const auto local = named_path(folder);
            if (local.empty()) return false;
            const bool own = Str_UpperFull(Str_EnsureTrailingBackslash(local)) ==
                             Str_EnsureTrailingBackslash(own_profile);
            index_.add(local, whole && !own ? Reach::tree : Reach::itself, reason_profile);
            return own;
        };
        for (const auto& sid : subkeys(hklm, profile_list + u"\\"))
            if (read_values(hklm, profile_list + u"\\" + sid) && add_profile(text(u"ProfileImagePath"), true))
                own_sid_ = sid;
        if (!read_values(hklm, profile_list)) return;
        const auto directory = text(u"ProfilesDirectory");
        for (const auto* name : {u"Default", u"Public"}) {
            auto folder = text(name);
            // Older systems name the folders only, below the profiles' folder.
            if (!folder.empty() && folder.find(u'\\') == std::u16string::npos && !directory.empty())
                folder = Str_EnsureTrailingBackslash(directory) + folder;
            add_profile(folder, name == std::u16string_view(u"Default"));
        }
        add_profile(directory, false);
    }
};

}  // namespace

StayIndex build_stay_index(const StayInputs& inputs) {
    StayIndex index;
    Collector(inputs, index).run();
    return index;
}

}  // namespace vorlix
