// Reads a value below the first subkey whose name matches a pattern.
#pragma once

#include <string>

#include "platform/os.h"

namespace vorlix {

bool Reg_ReadValueUnderMatchingSubKey(os::Hkey hkey_param_Root, const std::u16string& str_param_ParentPath,
                                      const std::u16string& str_param_Pattern, const std::u16string& str_param_SubPath,
                                      const std::u16string& str_param_ValueName, std::u16string& str_param_Text,
                                      bool bool_param_View64);

}  // namespace vorlix
