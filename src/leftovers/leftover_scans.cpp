#include "leftovers/leftover_scans.h"

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"

namespace vorlix {

std::u16string registry_finding(const std::u16string& root_name, const std::u16string& key,
                                const std::u16string* value) {
    auto finding = root_name + u"|" + key;
    if (value) finding += u"|" + *value;
    const bool readable = key.find(u'|') == std::u16string::npos && (!value || value->find(u'|') == std::u16string::npos);
    return readable ? finding : not_removable_prefix + finding;
}

void LeftoverScanContext::record_key(const std::u16string& root_name, const std::u16string& key) const {
    report(registry_finding(root_name, key));
}

void LeftoverScanContext::record_value(const std::u16string& root_name, const std::u16string& key,
                                       const std::u16string& name) const {
    report(registry_finding(root_name, key, &name));
}

bool LeftoverScanContext::refers(const std::u16string& text) const { return matcher.RefersToProgram(Str_Trim(text)); }

bool LeftoverScanContext::read_default(os::Hkey root, const std::u16string& key, std::u16string& text) const {
    return Reg_ReadString(root, key, u"", view64, text);
}

std::vector<KeyLine> subkey_lines(os::Hkey root, const std::u16string& path, bool view64) {
    std::vector<KeyLine> lines;
    StringList variants;
    if (!Reg_PathVariants(path, true, variants)) return lines;
    for (const auto& variant : variants) {
        KeyLine line{variant, {}};
        Reg_EnumSubKeys(root, variant, line.names, view64);
        if (!line.names.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

bool raw_value_names(os::Hkey root, const std::u16string& path, bool view64, StringList& names) {
    names.clear();
    const RegistryKey key(root, path, view64);
    if (!key.is_open()) return false;
    for (std::uint32_t index = 0, count = key.info().values; index < count; ++index) {
        auto name = key.value_name(index);
        if (!Str_Trim(name).empty()) names.push_back(std::move(name));
    }
    return true;
}

std::vector<KeyLine> value_name_lines(os::Hkey root, const std::u16string& path, bool view64) {
    std::vector<KeyLine> lines;
    StringList variants;
    if (!Reg_PathVariants(path, true, variants)) return lines;
    for (const auto& variant : variants) {
        KeyLine line{variant, {}};
        if (raw_value_names(root, variant, view64, line.names) && !line.names.empty()) lines.push_back(std::move(line));
    }
    return lines;
}

void run_registry_scans(const LeftoverScanContext& context) {
    for (const auto scan : {scan_machine_file_classes, scan_user_file_classes, scan_installer_folders,
                            scan_com_classes, scan_installer_products, scan_installer_components,
                            scan_compatibility_layers, scan_mui_caches, scan_shared_components, scan_feature_usage,
                            scan_compatibility_assistant})
        scan(context);
    const auto run = program_run_values(context);
    scan_startup_approval(context, run);
    scan_elevation_policies(context);
    scan_run_entries(context, run);
}

}  // namespace vorlix
