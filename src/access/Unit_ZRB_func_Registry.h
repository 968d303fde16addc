// Registry operations on root-relative key paths. Every key is opened with
// full access; `view64` adds KEY_WOW64_64KEY. Failures are reported by a
// false result, an empty text or an empty list, never by raising.
#pragma once

#include <string>

#include "access/string_types.h"
#include "platform/os.h"

namespace vorlix {

// "HKLM", "HKCU", "HKU", "HKCR" (case counts); 0 for any other text.
os::Hkey Reg_RootFromName(const std::u16string& str_param_Name);
// The access mask every key is opened with.
std::uint32_t Reg_AccessMask(bool bool_param_View64);

bool Reg_EnumUserKeys(StringList& strlist_param_List, bool bool_param_View64);
bool Reg_EnumSubKeys(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, StringList& strlist_param_List,
                     bool bool_param_View64);
bool Reg_EnumValueNames(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                        StringList& strlist_param_List, bool bool_param_View64);
// `strlist_param_Data` may be null; when given it is appended to (not cleared).
bool Reg_EnumValues(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, StringList& strlist_param_Names,
                    StringList* strlist_param_Data, bool bool_param_View64);
bool Reg_FindSubKey(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, const std::u16string& str_param_Name,
                    std::u16string& str_param_Found, bool bool_param_View64);
bool Reg_CollectKeyTree(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, StringList& strlist_param_List,
                        bool bool_param_View64);
bool Reg_ReadString(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                    const std::u16string& str_param_ValueName, bool bool_param_View64, std::u16string& str_param_Text);
bool Reg_DeleteKeyTree(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, bool bool_param_View64);
bool Reg_KeyExists(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, bool bool_param_View64);
bool Reg_DeleteValue(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                     const std::u16string& str_param_ValueName, bool bool_param_View64);

}  // namespace vorlix
