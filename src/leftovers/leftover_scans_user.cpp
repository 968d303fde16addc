// Scans 7 to 14: caches, usage lists, start-up lists and policies that name
// the program's files, per user and for the machine.
#include <tuple>
#include <unordered_set>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"
#include "leftovers/leftover_scans.h"

namespace vorlix {

namespace {

const std::u16string explorer_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\";

StringList user_keys(bool view64) {
    StringList users;
    Reg_EnumUserKeys(users, view64);
    return users;
}

// Every value name of the location's variants that lies in the program's folders.
void record_value_names(const LeftoverScanContext& context, os::Hkey root, const std::u16string& root_name,
                        const std::u16string& path) {
    for (const auto& line : value_name_lines(root, path, context.view64))
        for (const auto& name : line.names)
            if (context.refers(name)) context.record_value(root_name, line.variant, name);
}

// The same for one key of each user below HKEY_USERS.
void record_user_value_names(const LeftoverScanContext& context, const std::u16string& path_below_user) {
    StringList names;
    for (const auto& user : user_keys(context.view64)) {
        const auto key = user + path_below_user;
        if (!raw_value_names(os::hkey_users, key, context.view64, names)) continue;
        for (const auto& name : names)
            if (context.refers(name)) context.record_value(u"HKU", key, name);
    }
}

std::vector<RunValue> run_values_of(const LeftoverScanContext& context, os::Hkey root) {
    std::vector<RunValue> found;
    StringList variants;
    int count = 0;
    std::u16string data;
    Reg_FindExistingVariants(root, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", context.view64, &variants, count);
    for (const auto& variant : variants) {
        const RegistryKey key(root, variant, context.view64);
        const auto values = key.is_open() ? key.info().values : 0;
        for (std::uint32_t index = 0; index < values; ++index) {
            auto name = key.value_name(index);
            if (!Str_Trim(name).empty() && key.read_text(name, data) && context.refers(data))
                found.push_back({variant, std::move(name)});
        }
    }
    return found;
}

}  // namespace

ProgramRunValues program_run_values(const LeftoverScanContext& context) {
    return {run_values_of(context, os::hkey_local_machine), run_values_of(context, os::hkey_current_user)};
}

void scan_compatibility_layers(const LeftoverScanContext& context) {
    record_user_value_names(context, u"\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Layers");
}

void scan_mui_caches(const LeftoverScanContext& context) {
    const std::u16string path = u"Software\\Classes\\Local Settings\\Software\\Microsoft\\Windows\\Shell\\MuiCache\\";
    record_value_names(context, os::hkey_current_user, u"HKCU", path);
    record_value_names(context, os::hkey_local_machine, u"HKLM", path);
    record_user_value_names(context, u"\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache\\");
}

void scan_shared_components(const LeftoverScanContext& context) {
    StringList keys;
    std::u16string data;
    Reg_CollectKeyTreeAllVariants(os::hkey_current_user, u"Software\\Shared Components", keys, context.view64);
    for (const auto& path : keys) {
        // Programs of a vendor write their values side by side: the key goes
        // whole only when everything in it is the program's.
        const RegistryKey key(os::hkey_current_user, path, context.view64, true);
        if (!key.is_open()) continue;
        const auto info = key.info();
        bool foreign = info.sub_keys > 0;
        StringList own;
        for (std::uint32_t index = 0; index < info.values; ++index) {
            auto name = key.value_name(index);
            if (key.read_text(name, data) && context.refers(data))
                own.push_back(std::move(name));
            else
                foreign = true;
        }
        if (own.empty()) continue;
        if (!foreign) {
            context.record_key(u"HKCU", path);
            continue;
        }
        for (const auto& name : own) context.record_value(u"HKCU", path, name);
    }
}

void scan_feature_usage(const LeftoverScanContext& context) {
    for (const auto* list : {u"AppSwitched", u"ShowJumpView", u"AppLaunch"})
        record_value_names(context, os::hkey_current_user, u"HKCU", explorer_path + u"FeatureUsage\\" + list);
}

void scan_compatibility_assistant(const LeftoverScanContext& context) {
    record_value_names(context, os::hkey_current_user, u"HKCU",
                       u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AppCompatFlags\\Compatibility Assistant\\Store");
}

void scan_startup_approval(const LeftoverScanContext& context, const ProgramRunValues& run) {
    const std::tuple<os::Hkey, const char16_t*, const std::vector<RunValue>&> roots[] = {
        {os::hkey_current_user, u"HKCU", run.user}, {os::hkey_local_machine, u"HKLM", run.machine}};
    for (const auto& [root, root_name, values] : roots) {
        // An approval holds only a name: it is the program's only beside the
        // Run value of that name that starts the program, in the list of its
        // view (Run32 approves the 32-bit branch's Run values).
        std::unordered_set<std::u16string> started[2];
        for (const auto& value : values)
            started[Str_UpperAscii(value.key).find(u"WOW6432NODE") != std::u16string::npos].insert(
                Str_UpperAscii(Str_Trim(value.name)));
        for (const bool run32 : {false, true})
            for (const auto& line : value_name_lines(root, explorer_path + (run32 ? u"StartupApproved\\Run32" : u"StartupApproved\\Run"),
                                                     context.view64))
                for (const auto& name : line.names)
                    if (started[run32].contains(Str_UpperAscii(Str_Trim(name))))
                        context.record_value(root_name, line.variant, name);
    }
}

void scan_elevation_policies(const LeftoverScanContext& context) {
    std::u16string path;
    for (const auto& line : subkey_lines(os::hkey_local_machine,
                                         u"SOFTWARE\\Microsoft\\Internet Explorer\\Low Rights\\ElevationPolicy\\",
                                         context.view64))
        for (const auto& policy : line.names)
            if (Reg_ReadString(os::hkey_local_machine, line.variant + policy, u"AppPath", context.view64, path) &&
                context.refers(path))
                context.record_key(u"HKLM", line.variant + policy);
}

void scan_run_entries(const LeftoverScanContext& context, const ProgramRunValues& run) {
    for (const auto& value : run.machine) context.record_value(u"HKLM", value.key, value.name);
    for (const auto& value : run.user) context.record_value(u"HKCU", value.key, value.name);
}

}  // namespace vorlix
