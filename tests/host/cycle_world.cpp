#include "cycle_world.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <utility>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "cli/cmd_uninstall.h"
#include "inventory/pacing.h"
#include "machine_snapshot.h"
#include "platform/os.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"

namespace vorlix::test {

int Choices::pick(int count) {
    if (count <= 1 || at_ >= size_) return 0;
    return data_[at_++] % count;
}

namespace {

constexpr int max_programs = 5;
constexpr const char16_t* vendors[] = {u"Acme", u"Borel", u"Cyan"};
constexpr const char16_t* words[] = {u"Paint", u"Mail", u"Sync", u"View", u"Tune"};

template <typename Enum>
Enum pick_enum(Choices& choices, Enum last) {
    return static_cast<Enum>(choices.pick(static_cast<int>(last) + 1));
}

}  // namespace

WorldPlan plan_world(Choices& choices) {
    WorldPlan plan;
    const int count = 2 + choices.pick(max_programs - 1);
    for (int index = 0; index < count; ++index) {
        ProgramPlan program;
        program.vendor = choices.pick(3);
        program.home = pick_enum(choices, Home::apps);
        if (program.home == Home::inside_other) {
            if (index == 0) program.home = Home::own_folder;
            else program.host = choices.pick(index);
        }
        // Most programs say where they are; the odd forms are the exception.
        program.location = choices.chance(2) ? pick_enum(choices, Location::vorlix_folder) : Location::plain;
        program.uninstaller = choices.chance(3) ? Uninstaller::vendor_shared : Uninstaller::own;
        program.icon = choices.chance(2);
        program.run = pick_enum(choices, RunAt::user);
        program.run_name = choices.chance(3) ? RunName::vendor : RunName::word;
        program.approved = choices.chance(2);
        program.app_path = choices.chance(3);
        program.service = choices.chance(4);
        program.extension = pick_enum(choices, Extension::txt);
        program.com = pick_enum(choices, ComClass::bare_name);
        program.takeover = choices.chance(2) ? pick_enum(choices, Takeover::extra_verb) : Takeover::none;
        program.shared_dlls = choices.chance(2);
        program.vendor_components = choices.chance(3);
        program.msi = choices.chance(3);
        if (program.msi && index > 0 && choices.chance(2)) program.plugin_of = choices.pick(index);
        program.user_data = choices.chance(2);
        plan.programs.push_back(program);
    }
    plan.target = choices.pick(count);
    return plan;
}

WorldPlan plan_from_seed(std::uint64_t seed) {
    std::mt19937_64 generator(seed);
    std::vector<std::uint8_t> bytes(512);
    for (auto& byte : bytes) byte = static_cast<std::uint8_t>(generator());
    Choices choices(bytes.data(), bytes.size());
    return plan_world(choices);
}

namespace {

const char* home_names[] = {"own_folder", "vendor_folder", "inside_other", "common_files", "apps"};
const char* location_names[] = {"plain",         "none",          "relative",        "rooted",
                                "unc",           "install_source", "other_profile",  "default_profile",
                                "public_profile", "vorlix_folder"};
const char* run_names[] = {"none", "machine", "user"};
const char* extension_names[] = {"none", "own", "vendor_shared", "txt"};
const char* com_names[] = {"none", "full_path", "bare_name"};
const char* takeover_names[] = {"none", "txtfile_open", "http_open", "extra_verb"};

std::string flag(const char* name, bool on) { return on ? std::string(", .") + name + " = true" : ""; }
template <typename Enum>
std::string field(const char* name, const char* type, const char* const* names, Enum value) {
    const auto index = static_cast<int>(value);
    return index == 0 ? "" : std::string(", .") + name + " = " + type + "::" + names[index];
}

}  // namespace

std::string describe(const WorldPlan& plan) {
    std::string text = "{{";
    for (const auto& p : plan.programs) {
        text += "\n  {.vendor = " + std::to_string(p.vendor) + field("home", "Home", home_names, p.home);
        if (p.host >= 0) text += ", .host = " + std::to_string(p.host);
        text += field("location", "Location", location_names, p.location);
        if (p.uninstaller == Uninstaller::vendor_shared) text += ", .uninstaller = Uninstaller::vendor_shared";
        text += flag("icon", p.icon) + field("run", "RunAt", run_names, p.run);
        if (p.run_name == RunName::vendor) text += ", .run_name = RunName::vendor";
        text += flag("approved", p.approved) + flag("app_path", p.app_path) + flag("service", p.service) +
                field("extension", "Extension", extension_names, p.extension) +
                field("com", "ComClass", com_names, p.com) + field("takeover", "Takeover", takeover_names, p.takeover) +
                flag("shared_dlls", p.shared_dlls) + flag("vendor_components", p.vendor_components) +
                flag("msi", p.msi);
        if (p.plugin_of >= 0) text += ", .plugin_of = " + std::to_string(p.plugin_of);
        text += flag("user_data", p.user_data) + "},";
    }
    return text + "},\n  " + std::to_string(plan.target) + "}";
}

namespace {

using Owners = std::set<int>;
constexpr int windows = 100, profiles = 101, vorlix = 102, redistributables = 103;

constexpr auto hklm = os::hkey_local_machine;
constexpr auto hkcu = os::hkey_current_user;
const std::u16string uninstall_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::u16string classes = u"SOFTWARE\\Classes\\";
const std::u16string run_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::u16string approved_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const std::u16string shared_dlls_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const std::u16string app_paths = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
const std::u16string installer_data = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\";
const std::u16string profile_list = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const std::u16string common_files = u"C:\\Program Files\\Common Files\\";

bool at_or_below(const std::u16string& path, const std::u16string& folder) {
    const auto p = Str_UpperAscii(path), f = Str_UpperAscii(folder);
    return p == f || (p.size() > f.size() && p.starts_with(f) && p[f.size()] == u'\\');
}

std::string sz(const std::u16string& text) { return to_utf16le_bytes(text) + std::string(2, '\0'); }
std::string dword(std::uint32_t value) {
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
            static_cast<char>((value >> 16) & 0xFF), static_cast<char>(value >> 24)};
}

std::u16string guid(char16_t group, int index) {
    return std::u16string(u"{") + group + u"A000000-0000-0000-0000-00000000000" + static_cast<char16_t>(u'1' + index) +
           u"}";
}

struct Claim {
    Owners owners;
    std::string kind;
};

// The machine as it is built, with who owns each of its items.
class World {
public:
    explicit World(int target) : target_(target) {}

    void file(const std::u16string& path, const Owners& owners, const char* kind) {
        std::vector<std::u16string> folders;
        for (auto slash = path.find(u'\\', 3); slash != std::u16string::npos; slash = path.find(u'\\', slash + 1))
            folders.push_back(path.substr(0, slash));
        for (const auto& folder : folders) claim_if_new_or_claimed(u"file " + folder, sim::path_exists(folder), owners, kind);
        // The file itself is whoever names it, even one the machine already had.
        if (!sim::path_exists(path)) sim::add_file(path);
        add(claims_[Str_UpperAscii(u"file " + path)], owners, kind);
    }

    void value(os::Hkey root, const std::u16string& key, const std::u16string& name, std::uint32_t type,
               const std::string& bytes, const Owners& owners, const char* kind) {
        claim_key(root, key, owners, kind);
        sim::set_value(root, key, name, type, bytes);
        const auto slot = Str_UpperAscii(key_item(root, key) + u" | " + name);
        const auto item = Str_UpperAscii(value_item(key_item(root, key), name, type, bytes));
        // A value written again with other data is no longer the earlier writer's.
        auto& current = value_items_[slot];
        if (!current.empty() && current != item) claims_.erase(current);
        current = item;
        add(claims_[item], owners, kind);
    }
    void text(os::Hkey root, const std::u16string& key, const std::u16string& name, const std::u16string& data,
              const Owners& owners, const char* kind) {
        value(root, key, name, os::reg_sz, sz(data), owners, kind);
    }
    // The value, if there is one, is from now on the owners' alone.
    void hand_over(os::Hkey root, const std::u16string& key, const std::u16string& name, const Owners& owners) {
        const auto found = value_items_.find(Str_UpperAscii(key_item(root, key) + u" | " + name));
        if (found != value_items_.end()) claims_[found->second].owners = owners;
    }

    const Claim* claim(const std::u16string& item) const {
        const auto found = claims_.find(Str_UpperAscii(item));
        return found == claims_.end() ? nullptr : &found->second;
    }
    bool only_target(const Claim& claim) const { return claim.owners == Owners{target_}; }
    const std::map<std::u16string, Claim>& claims() const { return claims_; }

private:
    static std::u16string key_item(os::Hkey root, const std::u16string& key) {
        return root == hklm ? u"key HKEY_LOCAL_MACHINE\\" + key
                            : u"key HKEY_USERS\\" + sim::config().user_sid + u"\\" + key;
    }

    void add(Claim& claim, const Owners& owners, const char* kind) {
        const bool had_others = std::any_of(claim.owners.begin(), claim.owners.end(),
                                            [this](int owner) { return owner != target_; });
        claim.owners.insert(owners.begin(), owners.end());
        if (claim.kind.empty() || (!had_others && !only_target(claim))) claim.kind = kind;
    }

    // An item that was there before and nobody claimed is the machine's own
    // and stays unclaimed (so it is kept whatever happens).
    void claim_if_new_or_claimed(const std::u16string& item, bool existed, const Owners& owners, const char* kind) {
        const auto folded = Str_UpperAscii(item);
        if (existed && !claims_.count(folded)) return;
        add(claims_[folded], owners, kind);
    }

    void claim_key(os::Hkey root, const std::u16string& key, const Owners& owners, const char* kind) {
        for (auto slash = key.find(u'\\'); ; slash = key.find(u'\\', slash + 1)) {
            const auto path = key.substr(0, slash);
            claim_if_new_or_claimed(key_item(root, path), sim::key_exists(root, path), owners, kind);
            if (slash == std::u16string::npos) break;
        }
        sim::create_key(root, key);
    }

    int target_;
    // Upper-cased: the machine keeps the first spelling of a key or folder, whoever wrote it.
    std::map<std::u16string, Claim> claims_;
    std::map<std::u16string, std::u16string> value_items_;
};

// Windows' own files and classes, the user profiles and Vorlix's folder.
void furnish(World& world) {
    const Owners os_owner{windows}, user{profiles}, own{vorlix};
    for (const auto* file : {u"C:\\Windows\\System32\\mscoree.dll", u"C:\\Windows\\System32\\notepad.exe",
                             u"C:\\Windows\\System32\\svchost.exe", u"C:\\Windows\\System32\\ole32.dll",
                             u"C:\\Program Files\\Internet Explorer\\iexplore.exe"})
        world.file(file, os_owner, "windows");
    const auto text = [&world, &os_owner](const std::u16string& key, const std::u16string& name,
                                          const std::u16string& data) {
        world.text(hklm, key, name, data, os_owner, "windows");
    };
    text(classes + u"txtfile", u"", u"Text Document");
    text(classes + u"txtfile\\DefaultIcon", u"", u"%SystemRoot%\\system32\\imageres.dll,-102");
    text(classes + u"txtfile\\shell\\open\\command", u"", u"C:\\Windows\\System32\\notepad.exe %1");
    text(classes + u"txtfile\\shell\\print\\command", u"", u"C:\\Windows\\System32\\notepad.exe /p %1");
    text(classes + u".txt", u"", u"txtfile");
    text(classes + u".txt\\OpenWithProgids", u"txtfile", u"");
    text(classes + u"http", u"URL Protocol", u"");
    text(classes + u"http\\shell\\open\\command", u"", u"\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" %1");
    text(classes + u"exefile\\shell\\open\\command", u"", u"\"%1\" %*");
    // A class of Windows that names its server by bare file name, as .NET registers them.
    text(classes + u"CLSID\\{0E5CB7A3-0000-0000-0000-000000000001}\\InprocServer32", u"", u"mscoree.dll");
    text(classes + u"CLSID\\{0E5CB7A3-0000-0000-0000-000000000002}\\InprocServer32", u"",
         u"C:\\Windows\\System32\\ole32.dll");
    text(run_path, u"Health", u"C:\\Windows\\System32\\svchost.exe -k health");
    world.value(hklm, approved_path, u"Health", os::reg_binary, std::string(12, '\x02'), os_owner, "windows");
    // The user's own startup entry, so that the user's Run keys are not the program's.
    world.file(u"C:\\Users\\user\\AppData\\Local\\Cloud\\cloud.exe", user, "profile");
    world.text(hkcu, run_path, u"CloudDrive", u"C:\\Users\\user\\AppData\\Local\\Cloud\\cloud.exe", user, "profile");
    world.value(hkcu, approved_path, u"CloudDrive", os::reg_binary, std::string(12, '\x02'), user, "profile");
    text(u"SYSTEM\\CurrentControlSet\\Services\\EventLog", u"ImagePath", u"C:\\Windows\\System32\\svchost.exe");
    text(app_paths + u"notepad.exe", u"", u"C:\\Windows\\System32\\notepad.exe");
    world.value(hklm, shared_dlls_path, u"C:\\Windows\\System32\\mscoree.dll", os::reg_dword, dword(1), os_owner,
                "windows");
    sim::create_key(hklm, uninstall_path.substr(0, uninstall_path.size() - 1));

    const auto profile = [&world, &user](const std::u16string& sid, const std::u16string& folder) {
        world.text(hklm, profile_list + u"\\" + sid, u"ProfileImagePath", folder, user, "profile");
        world.file(folder + u"\\NTUSER.DAT", user, "profile");
    };
    profile(u"S-1-5-21-0-0-0-1000", u"C:\\Users\\user");
    profile(u"S-1-5-21-0-0-0-1001", u"C:\\Users\\other");
    world.text(hklm, profile_list, u"ProfilesDirectory", u"C:\\Users", user, "profile");
    world.text(hklm, profile_list, u"Default", u"C:\\Users\\Default", user, "profile");
    world.text(hklm, profile_list, u"Public", u"C:\\Users\\Public", user, "profile");
    for (const auto* file : {u"C:\\Users\\other\\Documents\\mail.pst", u"C:\\Users\\Default\\NTUSER.DAT",
                             u"C:\\Users\\Default\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Notepad.lnk",
                             u"C:\\Users\\Public\\Documents\\shared.txt", u"C:\\Users\\user\\Documents\\letter.txt"})
        world.file(file, user, "profile");

    world.file(os::get_module_file_name(), own, "vorlix");
    world.file(u"C:\\Vorlix\\Backups\\Earlier 2026-12-01 10-00-00.reg", own, "vorlix");
}

// What the building knows of one program.
struct Installed {
    std::u16string name, key, home, uninstaller;
};

std::u16string home_of(const WorldPlan& plan, int index) {
    const auto& p = plan.programs[index];
    const std::u16string vendor = vendors[p.vendor], word = words[index];
    switch (p.home) {
        case Home::vendor_folder: return u"C:\\Program Files\\" + vendor;
        case Home::inside_other: return home_of(plan, p.host) + u"\\" + word;
        case Home::common_files: return common_files + vendor + u"\\" + word;
        case Home::apps: return u"C:\\Apps\\" + word;
        case Home::own_folder: break;
    }
    return u"C:\\Program Files\\" + vendor + u"\\" + word;
}

std::u16string location_value(const ProgramPlan& p, const std::u16string& home, const std::u16string& word) {
    switch (p.location) {
        case Location::plain: return home + u"\\";
        case Location::relative: return std::u16string(vendors[p.vendor]) + u"\\" + word;
        case Location::rooted: return home.substr(2) + u"\\";
        case Location::unc: return u"\\\\localhost\\C$\\" + home.substr(3) + u"\\";
        case Location::other_profile: return u"C:\\Users\\other\\";
        case Location::default_profile: return u"C:\\Users\\Default\\";
        case Location::public_profile: return u"C:\\Users\\Public\\";
        case Location::vorlix_folder: return u"C:\\Vorlix\\";
        case Location::none:
        case Location::install_source: break;
    }
    return {};
}

Installed install(World& world, const WorldPlan& plan, int index) {
    const auto& p = plan.programs[index];
    const Owners me{index};
    const std::u16string vendor = vendors[p.vendor], word = words[index];
    Installed program{vendor + u" " + word, vendor + u" " + word, home_of(plan, index), {}};
    const auto& home = program.home;
    const auto exe = home + u"\\" + word + u".exe", dll = home + u"\\" + word + u".dll";
    for (const auto& file : {exe, dll, home + u"\\data\\" + word + u".dat"}) world.file(file, me, "program_file");
    const auto product = guid(u'7', index);
    if (p.msi) program.key = product;
    // The command names the uninstaller; Windows Installer's names no folder at all.
    std::u16string command = u"MsiExec.exe /X" + product;
    if (p.uninstaller == Uninstaller::vendor_shared) {
        program.uninstaller = common_files + vendor + u"\\Shared\\uninstall.exe";
        world.file(program.uninstaller, me, "shared_file");
    } else if (!p.msi) {
        program.uninstaller = home + u"\\uninst.exe";
        world.file(program.uninstaller, me, "program_file");
    }
    if (!program.uninstaller.empty()) command = u"\"" + program.uninstaller + u"\" /uninstall " + word;

    const auto entry = uninstall_path + program.key;
    const auto text = [&world, &me](os::Hkey root, const std::u16string& key, const std::u16string& name,
                                    const std::u16string& data, const char* kind = "program_key") {
        world.text(root, key, name, data, me, kind);
    };
    text(hklm, entry, u"DisplayName", program.name);
    text(hklm, entry, u"Publisher", vendor + u" Software");
    text(hklm, entry, u"UninstallString", command);
    if (const auto location = location_value(p, home, word); !location.empty())
        text(hklm, entry, u"InstallLocation", location);
    if (p.location == Location::install_source) {
        const auto redist = u"C:\\Program Files\\" + vendor + u"\\Redist";
        world.file(redist + u"\\vcredist_x64.exe", {redistributables}, "shared_file");
        text(hklm, entry, u"InstallSource", redist + u"\\");
    }
    if (p.icon) text(hklm, entry, u"DisplayIcon", exe + u",0");

    if (p.run != RunAt::none) {
        const auto root = p.run == RunAt::machine ? hklm : hkcu;
        const auto name = p.run_name == RunName::vendor ? vendor : word;
        text(root, run_path, name, u"\"" + exe + u"\" /background");
        if (p.approved)
            world.value(root, approved_path, name, os::reg_binary, std::string(12, '\x02'), me, "startup_approval");
        // One value name holds one command: an approval of that name, whoever
        // wrote it, now governs this program's start.
        world.hand_over(root, approved_path, name, me);
    }
    if (p.app_path) {
        text(hklm, app_paths + word + u".exe", u"", exe);
        text(hklm, app_paths + word + u".exe", u"Path", home);
    }
    if (p.service) {
        world.file(home + u"\\" + word + u"svc.exe", me, "program_file");
        text(hklm, u"SYSTEM\\CurrentControlSet\\Services\\" + vendor + word, u"ImagePath",
             u"\"" + home + u"\\" + word + u"svc.exe\"");
    }
    if (p.extension != Extension::none) {
        const auto prog_id = vendor + u"." + word;
        text(hklm, classes + prog_id, u"", program.name + u" Document");
        text(hklm, classes + prog_id + u"\\DefaultIcon", u"", exe + u",1");
        text(hklm, classes + prog_id + u"\\shell\\open\\command", u"", u"\"" + exe + u"\" \"%1\"");
        const auto extension = p.extension == Extension::own             ? u"." + word
                               : p.extension == Extension::vendor_shared ? u"." + vendor + u"doc"
                                                                         : std::u16string(u".txt");
        text(hklm, classes + extension, u"", prog_id);
        text(hklm, classes + extension + u"\\OpenWithProgids", prog_id, u"");
    }
    if (p.com != ComClass::none) {
        const auto class_id = guid(u'C', index), prog_id = vendor + u"." + word + u"Com.1";
        const auto server = p.com == ComClass::full_path ? dll : std::u16string(u"mscoree.dll");
        if (p.com == ComClass::bare_name) world.file(home + u"\\mscoree.dll", me, "program_file");
        text(hklm, classes + u"CLSID\\" + class_id + u"\\InprocServer32", u"", server, "com_class");
        text(hklm, classes + u"CLSID\\" + class_id + u"\\InprocServer32", u"ThreadingModel", u"Both", "com_class");
        text(hklm, classes + u"CLSID\\" + class_id + u"\\ProgID", u"", prog_id, "com_class");
        text(hklm, classes + prog_id + u"\\CLSID", u"", class_id, "com_class");
    }
    switch (p.takeover) {
        case Takeover::txtfile_open:
            text(hklm, classes + u"txtfile\\shell\\open\\command", u"", u"\"" + exe + u"\" \"%1\"");
            break;
        case Takeover::http_open:
            text(hklm, classes + u"http\\shell\\open\\command", u"", u"\"" + exe + u"\" -url \"%1\"");
            break;
        case Takeover::extra_verb:
            text(hklm, classes + u"txtfile\\shell\\" + word + u"\\command", u"", u"\"" + exe + u"\" /edit \"%1\"");
            break;
        case Takeover::none: break;
    }
    if (p.shared_dlls) world.value(hklm, shared_dlls_path, dll, os::reg_dword, dword(1), me, "shared_values");
    if (p.vendor_components) {
        const auto shared = u"SOFTWARE\\" + vendor + u"\\Shared Components";
        text(hklm, shared, word, home + u"\\", "shared_values");
        text(hklm, shared + u"\\" + word, u"Path", dll, "shared_values");
    }
    if (p.msi) {
        const auto packed = packed_product_code(product);
        const auto properties = installer_data + u"Products\\" + packed + u"\\InstallProperties";
        text(hklm, properties, u"DisplayName", program.name, "installer");
        text(hklm, properties, u"InstallLocation", home + u"\\", "installer");
        text(hklm, properties, u"UninstallString", u"MsiExec.exe /X" + product, "installer");
        text(hklm, installer_data + u"Components\\" + packed_product_code(guid(u'5', index)), packed, exe, "installer");
        if (p.plugin_of >= 0) {
            const auto plugin = home_of(plan, p.plugin_of) + u"\\Plugins\\" + word + u".plg";
            world.file(plugin, me, "program_file");
            text(hklm, installer_data + u"Components\\" + packed_product_code(guid(u'6', index)), packed, plugin,
                 "installer");
        }
    }
    if (p.user_data)
        world.file(u"C:\\Users\\user\\AppData\\Roaming\\" + vendor + u"\\" + word + u"\\settings.ini", me,
                   "program_file");
    return program;
}

// Files and values several programs of one vendor share: written once, owned by all of them.
void install_vendor_shares(World& world, const WorldPlan& plan) {
    for (int vendor = 0; vendor < 3; ++vendor) {
        Owners users;
        for (int index = 0; index < static_cast<int>(plan.programs.size()); ++index)
            if (plan.programs[index].vendor == vendor && plan.programs[index].shared_dlls) users.insert(index);
        if (users.empty()) continue;
        const auto core = common_files + vendors[vendor] + u"\\Shared\\core.dll";
        world.file(core, users, "shared_file");
        world.value(hklm, shared_dlls_path, core, os::reg_dword, dword(static_cast<std::uint32_t>(users.size())),
                    users, "shared_values");
        for (const auto index : users)
            if (plan.programs[index].msi)
                world.text(hklm, installer_data + u"Components\\" + packed_product_code(guid(u'4', vendor)),
                           packed_product_code(guid(u'7', index)), core, {index}, "installer");
    }
}

// The program's own uninstaller, as the cycle starts it: it removes its
// Uninstall entry, its service, its App Paths entry and its main program,
// then exits. (No scan claims an App Paths entry by its data alone: it may
// be another program's that names a file in the folder.)
class UninstallerScript final : public Pacing {
public:
    UninstallerScript(std::vector<std::u16string> keys, std::vector<std::u16string> files)
        : keys_(std::move(keys)), files_(std::move(files)) {
        for (const auto& process : sim::processes()) known_.insert(process.pid);
    }

    void pause(std::uint32_t) override {
        for (const auto& process : sim::processes()) {
            if (!known_.insert(process.pid).second) continue;
            if (!done_) {
                for (const auto& key : keys_) Reg_DeleteKeyTree(hklm, key, true);
                for (const auto& file : files_) os::delete_file(file);
                done_ = true;
            }
            sim::end_process(process.pid);
        }
    }

private:
    std::vector<std::u16string> keys_;
    std::vector<std::u16string> files_;
    std::set<std::uint32_t> known_;
    bool done_ = false;
};

std::string owner_names(const WorldPlan& plan, const Owners& owners) {
    std::string names;
    for (const auto owner : owners) {
        if (!names.empty()) names += ", ";
        names += owner == windows            ? "Windows"
                 : owner == profiles         ? "the profiles"
                 : owner == vorlix           ? "Vorlix"
                 : owner == redistributables ? "the redistributables"
                                             : to_utf8(std::u16string(vendors[plan.programs[owner].vendor]) + u" " +
                                                       words[owner]);
    }
    return names;
}

// The program's folder must go when nothing of anyone else is at, in or above
// it. A folder named after the vendor may be taken as the vendor's, shared.
bool own_folder_must_go(const World& world, const WorldPlan& plan, const std::u16string& home) {
    const auto& target = plan.programs[plan.target];
    if (target.location != Location::plain || target.home == Home::vendor_folder) return false;
    for (int index = 0; index < static_cast<int>(plan.programs.size()); ++index)
        if (index != plan.target && at_or_below(home, home_of(plan, index))) return false;
    return std::all_of(world.claims().begin(), world.claims().end(), [&](const auto& item) {
        return !item.first.starts_with(u"FILE ") || !at_or_below(item.first.substr(5), home) ||
               world.only_target(item.second);
    });
}

}  // namespace

std::vector<Breach> run_world(const WorldPlan& plan) {
    sim::reset();
    World world(plan.target);
    furnish(world);
    std::vector<Installed> programs;
    for (int index = 0; index < static_cast<int>(plan.programs.size()); ++index)
        programs.push_back(install(world, plan, index));
    install_vendor_shares(world, plan);
    const auto& target = programs[plan.target];
    const auto before = MachineSnapshot::take();

    std::vector<Breach> breaches;
    std::set<std::u16string> present;
    for (const auto& item : before.all()) present.insert(Str_UpperAscii(item));
    for (const auto& [item, claim] : world.claims())
        if (!present.count(item)) breaches.push_back({"generator", "not on the machine: " + to_utf8(item)});

    const auto word = words[plan.target];
    auto script = std::make_shared<UninstallerScript>(
        std::vector<std::u16string>{uninstall_path + target.key,
                                    u"SYSTEM\\CurrentControlSet\\Services\\" + std::u16string(vendors[plan.programs[plan.target].vendor]) + word,
                                    app_paths + word + u".exe"},
        std::vector<std::u16string>{target.home + u"\\" + word + u".exe"});
    const cli::UninstallTerminal terminal{[](const std::u16string&) {}, [](const std::u16string&) { return true; },
                                          script, {}};
    cli::cmd_uninstall({u"HKLM|" + uninstall_path + target.key, u"--yes"}, terminal);

    const auto after = MachineSnapshot::take();
    for (const auto& item : before.all()) {
        if (after.holds(item)) continue;
        const auto* claim = world.claim(item);
        if (claim && world.only_target(*claim)) continue;
        breaches.push_back({claim ? claim->kind : "windows",
                            to_utf8(item) + " (of " + (claim ? owner_names(plan, claim->owners) : "the machine") + ")"});
    }
    if (own_folder_must_go(world, plan, target.home) && sim::path_exists(target.home))
        breaches.push_back({"own_folder_kept", to_utf8(target.home)});
    return breaches;
}

namespace {

bool breaks(const WorldPlan& plan, const std::string& kind) {
    const auto breaches = run_world(plan);
    return std::any_of(breaches.begin(), breaches.end(), [&kind](const Breach& b) { return b.kind == kind; });
}

// The plan without program `gone`; references to it fall back to defaults.
WorldPlan without(WorldPlan plan, int gone) {
    plan.programs.erase(plan.programs.begin() + gone);
    if (plan.target > gone) --plan.target;
    for (auto& p : plan.programs) {
        if (p.host == gone) {
            p.host = -1;
            p.home = Home::own_folder;
        } else if (p.host > gone) {
            --p.host;
        }
        if (p.plugin_of == gone) p.plugin_of = -1;
        else if (p.plugin_of > gone) --p.plugin_of;
    }
    return plan;
}

// Each field of a program back to its default, one at a time.
std::vector<std::function<void(ProgramPlan&)>> simplifications() {
    return {[](ProgramPlan& p) { p.vendor = 0; },
            [](ProgramPlan& p) { p.home = Home::own_folder, p.host = -1; },
            [](ProgramPlan& p) { p.location = Location::plain; },
            [](ProgramPlan& p) { p.uninstaller = Uninstaller::own; },
            [](ProgramPlan& p) { p.icon = false; },
            [](ProgramPlan& p) { p.run = RunAt::none, p.run_name = RunName::word, p.approved = false; },
            [](ProgramPlan& p) { p.run_name = RunName::word; },
            [](ProgramPlan& p) { p.approved = false; },
            [](ProgramPlan& p) { p.app_path = false; },
            [](ProgramPlan& p) { p.service = false; },
            [](ProgramPlan& p) { p.extension = Extension::none; },
            [](ProgramPlan& p) { p.com = ComClass::none; },
            [](ProgramPlan& p) { p.takeover = Takeover::none; },
            [](ProgramPlan& p) { p.shared_dlls = false; },
            [](ProgramPlan& p) { p.vendor_components = false; },
            [](ProgramPlan& p) { p.msi = false, p.plugin_of = -1; },
            [](ProgramPlan& p) { p.plugin_of = -1; },
            [](ProgramPlan& p) { p.user_data = false; }};
}

bool same(const ProgramPlan& a, const ProgramPlan& b) { return describe({{a}, 0}) == describe({{b}, 0}); }

}  // namespace

WorldPlan shrink(WorldPlan plan, const std::string& kind) {
    const auto steps = simplifications();
    for (bool smaller = true; smaller;) {
        smaller = false;
        for (int gone = static_cast<int>(plan.programs.size()) - 1; gone >= 0; --gone) {
            if (gone == plan.target || plan.programs.size() <= 1) continue;
            if (auto fewer = without(plan, gone); breaks(fewer, kind)) plan = std::move(fewer), smaller = true;
        }
        for (auto& program : plan.programs)
            for (const auto& simplify : steps) {
                auto simpler = program;
                simplify(simpler);
                if (same(simpler, program)) continue;
                const auto kept = program;
                program = simpler;
                if (breaks(plan, kind)) smaller = true;
                else program = kept;
            }
    }
    return plan;
}

}  // namespace vorlix::test
