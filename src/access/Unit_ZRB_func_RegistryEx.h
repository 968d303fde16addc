// Wow6432Node path variants and the operations that run over all of them,
// the piece split and the integer test.
#pragma once

#include <string>

#include "access/string_types.h"
#include "platform/os.h"

namespace vorlix {

// Splits on the separator, carriage return and line feed; quoted runs stay whole.
bool SplitPieces(const std::u16string& str_param_Text, char16_t char_param_Separator, StringList& strlist_param_List);
bool IsIntegerText(const std::u16string& str_param_Text);

bool Reg_PathVariants(const std::u16string& str_param_Path, bool bool_param_WithPath, StringList& strlist_param_List);
bool Reg_EnumInstallerUserKeys(StringList& strlist_param_List, bool bool_param_View64);
bool Reg_CollectSubKeyLines(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                            StringList& strlist_param_Lines, bool bool_param_View64);
bool Reg_CollectValueNameLines(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                               StringList& strlist_param_Lines, bool bool_param_View64);
bool Reg_CollectKeyTreeAllVariants(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                                   StringList& strlist_param_List, bool bool_param_View64);
// `strlist_param_List` may be null.
bool Reg_FindExistingVariants(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, bool bool_param_View64,
                              StringList* strlist_param_List, int& int_param_Count);

}  // namespace vorlix
