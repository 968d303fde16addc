#include "access/Unit_ZRB_func_Registry.h"

#include <optional>

#include "access/Unit_ZRB_func_Str.h"
#include "access/registry_key.h"

namespace vorlix {

namespace {

constexpr std::uint32_t enum_name_chars = 255;

// A backslash in the first and in the last position each become a blank, then trim.
std::u16string clean_key_path(std::u16string path) {
    if (!path.empty() && path.front() == u'\\') path.front() = u' ';
    if (!path.empty() && path.back() == u'\\') path.back() = u' ';
    return Str_Trim(std::move(path));
}

void append_sub_key_names(const RegistryKey& key, StringList& list, bool trim) {
    const auto info = key.info();
    for (std::uint32_t index = 0; index < info.sub_keys; ++index) {
        auto name = key.sub_key_name(index, enum_name_chars);
        if (trim) name = Str_Trim(name);
        // A name that could not be read is no key to report.
        if (!name.empty()) list.push_back(std::move(name));
    }
}

// The paths of a key's children, from the last index down, with the name
// buffer sized from the longest name; none when the key cannot be opened. A
// key removed since the count was taken has no name and is left out, so it
// never turns into the parent itself. A link has no children: it is never entered.
std::optional<StringList> child_paths_last_first(os::Hkey root, const std::u16string& path, bool view64) {
    const RegistryKey key(root, path, view64, true);
    if (!key.is_open()) return std::nullopt;
    if (key.is_link()) return StringList{};
    const auto info = key.info();
    StringList children;
    for (std::uint32_t index = info.sub_keys; index-- > 0;) {
        const auto name = key.sub_key_name(index, info.max_sub_key_len + 1);
        if (!name.empty()) children.push_back(path + u"\\" + name);
    }
    return children;
}

bool find_sub_key(os::Hkey root, const std::u16string& path, const std::u16string& wanted_upper,
                  const std::u16string& name_as_given, std::u16string& found, bool view64) {
    const RegistryKey key(root, path, view64);
    if (!key.is_open()) return false;
    const auto info = key.info();
    for (std::uint32_t index = 0; index < info.sub_keys; ++index) {
        const auto name = Str_Trim(key.sub_key_name(index, enum_name_chars));
        if (Str_UpperAscii(name) == wanted_upper) {
            found = path + name_as_given + u"\\";
            return true;
        }
        const auto child = path + name + u"\\";
        bool has_children = false;
        {
            const RegistryKey child_key(root, child, view64, true);
            has_children = child_key.is_open() && child_key.info().sub_keys > 0;
        }
        if (has_children && find_sub_key(root, Str_Trim(child), wanted_upper, name_as_given, found, view64))
            return true;
    }
    return false;
}

}  // namespace

os::Hkey Reg_RootFromName(const std::u16string& str_param_Name) {
    if (str_param_Name == u"HKLM") return os::hkey_local_machine;
    if (str_param_Name == u"HKCU") return os::hkey_current_user;
    if (str_param_Name == u"HKU") return os::hkey_users;
    if (str_param_Name == u"HKCR") return os::hkey_classes_root;
    return 0;
}

std::uint32_t Reg_AccessMask(bool bool_param_View64) {
    return bool_param_View64 ? (os::key_all_access | os::key_wow64_64key) : os::key_all_access;
}

bool Reg_EnumUserKeys(StringList& strlist_param_List, bool bool_param_View64) {
    const RegistryKey key(os::hkey_users, u"", bool_param_View64);
    if (key.is_open()) append_sub_key_names(key, strlist_param_List, false);
    return true;
}

bool Reg_EnumSubKeys(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, StringList& strlist_param_List,
                     bool bool_param_View64) {
    strlist_param_List.clear();
    const RegistryKey key(hkey_param_Root, str_param_Path, bool_param_View64);
    if (key.is_open()) append_sub_key_names(key, strlist_param_List, true);
    return true;
}

bool Reg_EnumValueNames(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                        StringList& strlist_param_List, bool bool_param_View64) {
    strlist_param_List.clear();
    const RegistryKey key(hkey_param_Root, str_param_Path, bool_param_View64);
    if (!key.is_open()) return false;
    const auto info = key.info();
    for (std::uint32_t index = 0; index < info.values; ++index) {
        auto name = Str_Trim(key.value_name(index));
        if (!name.empty()) strlist_param_List.push_back(std::move(name));
    }
    return true;
}

bool Reg_EnumValues(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, StringList& strlist_param_Names,
                    StringList* strlist_param_Data, bool bool_param_View64) {
    strlist_param_Names.clear();
    const RegistryKey key(hkey_param_Root, str_param_Path, bool_param_View64);
    if (!key.is_open()) return false;
    const auto info = key.info();
    for (std::uint32_t index = 0; index < info.values; ++index) {
        std::u16string raw_name, text;
        if (!key.read_value(index, raw_name, text)) continue;
        auto name = Str_Trim(raw_name);
        if (name.empty()) continue;
        strlist_param_Names.push_back(std::move(name));
        if (strlist_param_Data != nullptr) strlist_param_Data->push_back(Str_Trim(std::move(text)));
    }
    return true;
}

bool Reg_FindSubKey(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, const std::u16string& str_param_Name,
                    std::u16string& str_param_Found, bool bool_param_View64) {
    str_param_Found.clear();
    return find_sub_key(hkey_param_Root, str_param_Path, Str_UpperAscii(Str_Trim(str_param_Name)), str_param_Name,
                        str_param_Found, bool_param_View64);
}

bool Reg_CollectKeyTree(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, StringList& strlist_param_List,
                        bool bool_param_View64) {
    if (Str_Trim(str_param_Path).empty()) return false;
    const auto children = child_paths_last_first(hkey_param_Root, clean_key_path(str_param_Path), bool_param_View64);
    if (!children) return false;
    // Children after all of their descendants: the list is a safe deletion order.
    for (const auto& child : *children) {
        Reg_CollectKeyTree(hkey_param_Root, child, strlist_param_List, bool_param_View64);
        strlist_param_List.push_back(child);
    }
    return true;
}

bool Reg_ReadString(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                    const std::u16string& str_param_ValueName, bool bool_param_View64, std::u16string& str_param_Text) {
    str_param_Text.clear();
    const RegistryKey key(hkey_param_Root, str_param_Path, bool_param_View64);
    return key.is_open() && key.read_text(str_param_ValueName, str_param_Text);
}

bool Reg_DeleteKeyTree(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, bool bool_param_View64) {
    if (Str_Trim(str_param_Path).empty()) return false;
    const auto path = clean_key_path(str_param_Path);
    {
        // A link goes as the link: the key it leads to belongs to someone else.
        const RegistryKey key(hkey_param_Root, path, bool_param_View64, true);
        if (key.is_open() && key.is_link()) return os::nt_delete_key(key.handle()) == os::error_success;
    }
    const auto children = child_paths_last_first(hkey_param_Root, path, bool_param_View64);
    if (!children) return false;
    // The first child that stays keeps its parent too.
    for (const auto& child : *children)
        if (!Reg_DeleteKeyTree(hkey_param_Root, child, bool_param_View64)) return false;
    // RegDeleteKeyW knows only the process's own view: from a 32-bit process it
    // would remove the Wow6432Node twin of the key opened above. The 64-bit
    // view therefore deletes through RegDeleteKeyExW whenever the system has it.
    if (bool_param_View64) {
        const auto status = os::reg_delete_key_ex(hkey_param_Root, path, Reg_AccessMask(true), 0);
        if (status != os::error_proc_not_found) return status == os::error_success;
    }
    return os::reg_delete_key(hkey_param_Root, path) == os::error_success;
}

bool Reg_KeyExists(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, bool bool_param_View64) {
    return RegistryKey(hkey_param_Root, str_param_Path, bool_param_View64).is_open();
}

bool Reg_DeleteValue(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                     const std::u16string& str_param_ValueName, bool bool_param_View64) {
    // Opened as a link: a value is deleted where it is named, never in a link's target.
    const RegistryKey key(hkey_param_Root, clean_key_path(str_param_Path), bool_param_View64, true);
    return key.is_open() && os::reg_delete_value(key.handle(), str_param_ValueName) == os::error_success;
}

}  // namespace vorlix
