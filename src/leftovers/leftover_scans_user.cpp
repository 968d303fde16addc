// Scans 7 to 14: caches, usage lists, start-up lists and policies that name
// the program's files, per user and for the machine.
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

}  // namespace

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
    StringList keys, names, data;
    Reg_CollectKeyTreeAllVariants(os::hkey_current_user, u"Software\\Shared Components", keys, context.view64);
    for (const auto& key : keys) {
        data.clear();
        Reg_EnumValues(os::hkey_current_user, key, names, &data, context.view64);
        for (const auto& text : data)
            if (context.refers(text)) {
                context.record_key(u"HKCU", key);
                break;
            }
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

void scan_startup_approval(const LeftoverScanContext& context) {
    const std::pair<os::Hkey, const char16_t*> roots[] = {{os::hkey_current_user, u"HKCU"},
                                                          {os::hkey_local_machine, u"HKLM"}};
    for (const auto& [root, root_name] : roots)
        for (const auto* list : {u"Run", u"Run32"})
            for (const auto& line : value_name_lines(root, explorer_path + u"StartupApproved\\" + list, context.view64))
                for (const auto& name : line.names) {
                    // Approval entries are named after the Run value, often the program's name without ".exe".
                    auto file_name = Str_LowerAscii(Str_Trim(name));
                    if (!Str_ContainsText(file_name, u".exe")) file_name += u".exe";
                    if (context.matcher.has_binary_named(file_name)) context.record_value(root_name, line.variant, name);
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

void scan_run_entries(const LeftoverScanContext& context) {
    const std::pair<os::Hkey, const char16_t*> roots[] = {{os::hkey_local_machine, u"HKLM"},
                                                          {os::hkey_current_user, u"HKCU"}};
    StringList variants;
    int count = 0;
    std::u16string data;
    for (const auto& [root, root_name] : roots) {
        Reg_FindExistingVariants(root, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", context.view64, &variants,
                                 count);
        for (const auto& variant : variants) {
            // The values as Reg_EnumValues reads them, but recorded under the
            // name they really have: a blank-padded name trimmed would name
            // another program's value.
            const RegistryKey key(root, variant, context.view64);
            const auto values = key.is_open() ? key.info().values : 0;
            for (std::uint32_t index = 0; index < values; ++index) {
                const auto name = key.value_name(index);
                if (Str_Trim(name).empty() || !key.read_text(name, data)) continue;
                if (context.refers(data)) context.record_value(root_name, variant, name);
            }
        }
    }
}

}  // namespace vorlix
