// Scans 3, 5 and 6: what Windows Installer and the shared DLL counters keep
// about the program.
#include <unordered_map>
#include <unordered_set>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"
#include "leftovers/leftover_scans.h"

namespace vorlix {

namespace {

const std::u16string user_data_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\";

// The Products, Patches and Components keys of one user's Installer data.
struct InstallerUserKeys {
    std::u16string products, patches, components;
    explicit InstallerUserKeys(const std::u16string& user)
        : products(user_data_path + user + u"\\Products\\"),
          patches(user_data_path + user + u"\\Patches\\"),
          components(user_data_path + user + u"\\Components\\") {}
};

StringList installer_users(bool view64) {
    StringList users;
    Reg_EnumInstallerUserKeys(users, view64);
    return users;
}

// A component holding the product's value alone is the product's; with other
// products' values beside it, only that value is.
void record_component(const LeftoverScanContext& context, const std::u16string& component_key,
                      const std::u16string& product, const StringList& names) {
    if (names.size() == 1)
        context.record_key(u"HKLM", component_key);
    else
        context.record_value(u"HKLM", component_key, product);
}

// A product's own uninstall command is the program's only when both are given.
bool same_uninstall_command(const std::u16string& product_command, const std::u16string& program_command) {
    const auto product = Str_UpperAscii(Str_Trim(product_command));
    return !product.empty() && product == Str_UpperAscii(Str_Trim(program_command));
}

// The product codes (packed, upper-cased) the program's own entries carry:
// in the name of an Uninstall key or in an uninstall command.
std::unordered_set<std::u16string> own_product_codes(const ZRB_InstalledSoftware& record) {
    std::unordered_set<std::u16string> codes;
    const auto add_from = [&codes](std::u16string_view text) {
        for (auto open = text.find(u'{'); open != std::u16string_view::npos; open = text.find(u'{', open + 1))
            if (auto packed = packed_product_code(text.substr(open, 38)); !packed.empty()) codes.insert(std::move(packed));
    };
    add_from(record.mpu_str_UninstallString);
    add_from(record.mpu_str_InstallRegPath);
    for (const auto& source : record.sources) {
        add_from(source.reg_path);
        add_from(source.uninstall_string);
    }
    return codes;
}

// Whether an Installer product may be the program's: its code is one of the
// program's, its uninstall command is the program's, or it is no registered
// program at all (no name in its properties). A product that is another
// program (a plug-in whose files lie in the program's folder) never is.
bool is_own_product(const LeftoverScanContext& context, const std::unordered_set<std::u16string>& codes,
                    const std::u16string& product_key, const std::u16string& product) {
    if (codes.contains(Str_UpperAscii(Str_Trim(product)))) return true;
    const RegistryKey properties(os::hkey_local_machine, product_key + u"\\InstallProperties", context.view64);
    std::u16string text;
    if (!properties.is_open() || !properties.read_text(u"DisplayName", text) || is_blank(text)) return true;
    return properties.read_text(u"UninstallString", text) &&
           same_uninstall_command(text, context.record.mpu_str_UninstallString);
}

void record_product_parts(const LeftoverScanContext& context, const InstallerUserKeys& keys,
                          const std::vector<KeyLine>& component_lines, const std::u16string& product_key,
                          const std::u16string& product) {
    StringList patches;
    Reg_EnumSubKeys(os::hkey_local_machine, product_key + u"\\Patches\\", patches, context.view64);
    for (const auto& patch : patches) context.record_key(u"HKLM", keys.patches + patch);
    std::u16string ignored;
    StringList names;
    for (const auto& line : component_lines)
        for (const auto& component : line.names)
            if (Reg_ReadString(os::hkey_local_machine, line.variant + component, product, context.view64, ignored) &&
                raw_value_names(os::hkey_local_machine, line.variant + component, context.view64, names))
                record_component(context, line.variant + component, product, names);
}

}  // namespace

void scan_installer_folders(const LeftoverScanContext& context) {
    for (const auto* path : {u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\Folders",
                             u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs"})
        for (const auto& line : value_name_lines(os::hkey_local_machine, path, context.view64))
            for (const auto& name : line.names)
                if (context.refers(name)) context.record_value(u"HKLM", line.variant, name);
}

void scan_installer_products(const LeftoverScanContext& context) {
    const auto hklm = os::hkey_local_machine;
    const auto codes = own_product_codes(context.record);
    std::u16string location, command;
    for (const auto& user : installer_users(context.view64)) {
        const InstallerUserKeys keys(user);
        const auto component_lines = subkey_lines(hklm, keys.components, context.view64);
        for (const auto& line : subkey_lines(hklm, keys.products, context.view64)) {
            for (const auto& product : line.names) {
                const auto product_key = line.variant + product;
                const auto properties = product_key + u"\\InstallProperties\\";
                if (!Reg_ReadString(hklm, properties, u"InstallLocation", context.view64, location)) continue;
                // A product installed into the program's folder is still its own program.
                if (!is_own_product(context, codes, product_key, product)) continue;
                bool found = false;
                if (context.refers(location)) {
                    found = true;
                    context.record_key(u"HKLM", product_key);
                }
                if (!Reg_ReadString(hklm, properties, u"UninstallString", context.view64, command)) continue;
                if (same_uninstall_command(command, context.record.mpu_str_UninstallString)) {
                    found = true;
                    context.record_key(u"HKLM", product_key);
                }
                if (found) record_product_parts(context, keys, component_lines, product_key, product);
            }
        }
    }
}

void scan_installer_components(const LeftoverScanContext& context) {
    const auto hklm = os::hkey_local_machine;
    const auto codes = own_product_codes(context.record);
    // A product's properties are read once, however many of its components lie in the program's folders.
    std::unordered_map<std::u16string, bool> own_products;
    const auto is_own = [&](const std::u16string& product_key, const std::u16string& product) {
        const auto [known, added] = own_products.try_emplace(product_key);
        if (added) known->second = is_own_product(context, codes, product_key, product);
        return known->second;
    };
    std::unordered_set<std::u16string> products;
    StringList names;
    std::u16string key_path;
    for (const auto& user : installer_users(context.view64)) {
        const InstallerUserKeys keys(user);
        for (const auto& line : subkey_lines(hklm, keys.components, context.view64)) {
            for (const auto& component : line.names) {
                const auto component_key = line.variant + component;
                // Exact names: a blank-padded one trimmed would name another product's value.
                if (!raw_value_names(hklm, component_key, context.view64, names)) continue;
                for (const auto& product : names) {
                    // A file in the program's folder may be another product's
                    // component: only the program's own products lose theirs.
                    if (!Reg_ReadString(hklm, component_key, product, context.view64, key_path) ||
                        !context.refers(key_path) ||
                        !is_own(keys.products + product, product))
                        continue;
                    record_component(context, component_key, product, names);
                    // A component shared by several products names none of them as the program's.
                    if (names.size() == 1 && products.insert(Str_UpperAscii(product)).second)
                        context.record_key(u"HKLM", keys.products + product);
                }
            }
        }
    }
}

}  // namespace vorlix
