#include "access/Unit_ZRB_Registry_GValue.h"

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

bool Reg_ReadValueUnderMatchingSubKey(os::Hkey hkey_param_Root, const std::u16string& str_param_ParentPath,
                                      const std::u16string& str_param_Pattern, const std::u16string& str_param_SubPath,
                                      const std::u16string& str_param_ValueName, std::u16string& str_param_Text,
                                      bool bool_param_View64) {
    str_param_Text.clear();
    StringList names;
    Reg_EnumSubKeys(hkey_param_Root, str_param_ParentPath, names, bool_param_View64);
    for (const auto& name : names) {
        if (!RegEx_IsMatch(name, str_param_Pattern)) continue;
        const auto path = Str_EnsureTrailingBackslash(str_param_ParentPath) + name + u"\\" + str_param_SubPath;
        Reg_ReadString(hkey_param_Root, path, str_param_ValueName, bool_param_View64, str_param_Text);
        break;
    }
    return !str_param_Text.empty();
}

}  // namespace vorlix
