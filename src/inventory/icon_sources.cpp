// Program icons: the hints gathered before the entries are read, the fallback
// chain of one entry and the resolution of an icon text to a file and index.
#include <optional>
#include <string_view>
#include <utility>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"
#include "inventory/entry_values.h"
#include "inventory/subkey_lines.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"

namespace vorlix {

namespace {

// Only called for texts that IsIntegerText accepts.
std::int32_t parse_integer(const std::u16string& text) {
    const auto trimmed = Str_Trim(text);
    std::size_t at = trimmed[0] == u'+' || trimmed[0] == u'-' ? 1 : 0;
    std::int64_t value = 0;
    for (; at < trimmed.size(); ++at) value = value * 10 + (trimmed[at] - u'0');
    return static_cast<std::int32_t>(trimmed[0] == u'-' ? -value : value);
}

// False only when the system says the folder (or a folder above it) is not there.
bool folder_may_exist(const std::u16string& folder) {
    if (os::get_file_attributes(folder) != os::invalid_file_attributes) return true;
    const auto error = os::get_last_error();
    return error != os::error_file_not_found && error != os::error_path_not_found;
}

// An icon text is "file,index": its first piece and, when there is one, its
// second (cut as SplitPieces cuts them).
std::pair<std::u16string_view, std::optional<std::u16string_view>> icon_pieces(std::u16string_view icon) {
    std::pair<std::u16string_view, std::optional<std::u16string_view>> pieces;
    bool first = true;
    for_each_piece(icon, u',', [&](std::u16string_view piece) {
        if (!first) {
            pieces.second = piece;
            return false;
        }
        pieces.first = piece;
        first = false;
        return true;
    });
    return pieces;
}

// The icon's file: its first piece, trimmed.
std::u16string icon_file(std::u16string_view icon) { return Str_Trim(std::u16string(icon_pieces(icon).first)); }

}  // namespace

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Collect_IconSources(bool view64) {
    const auto hklm = os::hkey_local_machine;
    for_each_subkey_of_variants(hklm, u"SOFTWARE\\Classes\\Installer\\Products\\", view64,
                                [&](const std::u16string& variant, const std::u16string& product) {
                                    add_installer_product_icon(hklm, variant + product, view64);
                                });

    // Per-user products are always read in the process's own view.
    StringList users, products;
    Reg_EnumUserKeys(users, false);
    for (const auto& user : users) {
        const auto base = user + u"\\Software\\Microsoft\\Installer\\Products";
        Reg_EnumSubKeys(os::hkey_users, base, products, false);
        for (const auto& product : products) add_installer_product_icon(os::hkey_users, base + u"\\" + product, false);
    }

    mpr_strlist_InstalledSoftwareExeName.clear();
    exe_name_keys.clear();
    for_each_subkey_of_variants(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\", view64,
                                [&](const std::u16string&, const std::u16string& exe_name) { add_exe_name(exe_name); });

    mpr_strlist_InstalledSoftwareDefICO.clear();
    def_icon_keys.clear();
    def_icon_upper.clear();
    def_icon_by_segment.clear();
    for_each_subkey_of_variants(hklm, u"SOFTWARE\\Classes\\", view64, [&](const std::u16string& variant,
                                                                           const std::u16string& class_name) {
        const RegistryKey icon_key(hklm, variant + class_name + u"\\DefaultIcon", view64);
        if (!icon_key.is_open()) return;
        std::u16string text;
        icon_key.read_text(u"", text);
        add_default_icon(Str_Trim(text));
    });
}

void ZRB_Thread_GetInstalledSoftwareList::add_installer_product_icon(os::Hkey root, const std::u16string& product_key,
                                                                     bool view64) {
    const RegistryKey key(root, product_key, view64);
    std::u16string icon, name;
    if (!key.is_open() || !key.read_text(u"ProductIcon", icon) || !key.read_text(u"ProductName", name) ||
        icon.empty() || name.empty())
        return;
    mpr_SDLMap_InstalledSoftwareICO.emplace(Str_LowerAscii(Str_Trim(name)), Str_Trim(icon));
}

void ZRB_Thread_GetInstalledSoftwareList::add_exe_name(const std::u16string& name) {
    if (exe_name_keys.insert(Str_UpperAscii(name)).second) mpr_strlist_InstalledSoftwareExeName.push_back(name);
}

void ZRB_Thread_GetInstalledSoftwareList::add_default_icon(const std::u16string& text) {
    // Icons of Windows itself say nothing about a program's folder.
    if (text.empty() || contains_upper_ascii(text, u"%SYSTEMROOT%") || text.find(u'\\') == std::u16string::npos ||
        contains_upper_ascii(text, u"\\WINDOWS"))
        return;
    auto upper = Str_UpperAscii(text);
    if (!def_icon_keys.insert(upper).second) return;
    const auto index = mpr_strlist_InstalledSoftwareDefICO.size();
    mpr_strlist_InstalledSoftwareDefICO.push_back(text);
    for (auto slash = upper.find(u'\\'); slash != std::u16string::npos;) {
        const auto next = upper.find(u'\\', slash + 1);
        if (next == std::u16string::npos) break;
        auto& indices = def_icon_by_segment[upper.substr(slash + 1, next - slash - 1)];
        if (indices.empty() || indices.back() != index) indices.push_back(index);
        slash = next;
    }
    def_icon_upper.push_back(std::move(upper));
}

std::u16string ZRB_Thread_GetInstalledSoftwareList::first_default_icon_containing(
    const std::u16string& location) const {
    if (location.empty()) return {};
    const auto upper = Str_UpperAscii(location);
    const auto contains_location = [&](std::size_t index) {
        return def_icon_upper[index].find(upper) != std::u16string::npos;
    };
    // A location "...\NAME\" can only occur in a text that holds NAME between two
    // backslashes, so only those texts need the substring search.
    const auto last = upper.size() - 1;
    const auto previous = upper.size() >= 2 && upper[last] == u'\\' ? upper.rfind(u'\\', last - 1)
                                                                    : std::u16string::npos;
    if (previous != std::u16string::npos) {
        const auto found = def_icon_by_segment.find(upper.substr(previous + 1, last - previous - 1));
        if (found == def_icon_by_segment.end()) return {};
        for (const auto index : found->second)
            if (contains_location(index)) return mpr_strlist_InstalledSoftwareDefICO[index];
        return {};
    }
    for (std::size_t index = 0; index < def_icon_upper.size(); ++index)
        if (contains_location(index)) return mpr_strlist_InstalledSoftwareDefICO[index];
    return {};
}

std::u16string ZRB_Thread_GetInstalledSoftwareList::icon_fallback_chain(const EntryValues& values,
                                                                        const std::u16string& display_name,
                                                                        const std::u16string& location) const {
    std::u16string icon;
    values.read_text(u"DisplayIcon", icon);
    if (icon.empty()) {
        const auto found = mpr_SDLMap_InstalledSoftwareICO.find(Str_LowerAscii(display_name));
        if (found != mpr_SDLMap_InstalledSoftwareICO.end()) icon = found->second;
    }
    if (!icon.empty() || location.empty()) return icon;
    // Nothing lies in a folder that does not exist: one look at the folder
    // instead of one per App Paths name.
    if (!folder_may_exist(location)) return first_default_icon_containing(location);
    for (const auto& exe_name : mpr_strlist_InstalledSoftwareExeName)
        if (Sys_FileExists(location + exe_name)) return location + exe_name;
    icon = first_default_icon_containing(location);
    if (icon.empty() && Sys_FileExists(location + u"app.ico")) icon = location + u"app.ico";
    return icon;
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Resolve_DisplayIcon(std::u16string& icon,
                                                                      std::int32_t& index) const {
    if (!expand_app_data(icon) && contains_upper_ascii(icon, u"%PROGRAMFILES%\\")) {
        for (const auto* folder : {&folders.program_files, &folders.program_files64}) {
            if (folder->empty()) continue;
            auto candidate = Str_ReplaceText(icon, u"%PROGRAMFILES%\\", *folder, false);
            // A folder is no file: the existence test already says so.
            if (Sys_FileExists(icon_file(candidate))) {
                icon = std::move(candidate);
                break;
            }
        }
    }
    if (icon.empty() || icon.find(u":\\") == std::u16string::npos) {
        icon = folders.msiexec_path();
        return;
    }
    const auto pieces = icon_pieces(icon);
    auto file = Str_Trim(std::u16string(pieces.first));
    if (!file.empty() && file[0] == u'"') {
        for (auto& unit : file)
            if (unit == u'"') unit = u' ';
        file = Str_Trim(std::move(file));
    }
    if (!Sys_FileExists(file)) file = folders.msiexec_path();
    if (pieces.second) {
        const std::u16string index_text(*pieces.second);
        if (IsIntegerText(index_text)) index = parse_integer(index_text);
    }
    icon = std::move(file);
}

}  // namespace vorlix
