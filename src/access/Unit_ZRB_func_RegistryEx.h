// Wow6432Node path variants and the operations that run over all of them,
// the piece split and the integer test.
#pragma once

#include <string>
#include <string_view>

#include "access/string_types.h"
#include "platform/os.h"

namespace vorlix {

// Calls `visit(piece)` for each piece of the text, cut on the separator,
// carriage return and line feed (quoted runs stay whole, empty pieces are
// skipped), until `visit` returns false.
template <typename Visit>
void for_each_piece(std::u16string_view text, char16_t separator, Visit visit) {
    const auto is_line_break = [](char16_t unit) { return unit == u'\r' || unit == u'\n'; };
    std::size_t index = 0;
    while (index < text.size()) {
        while (index < text.size() && is_line_break(text[index])) ++index;
        const std::size_t start = index;
        char16_t quote = 0;
        for (; index < text.size(); ++index) {
            const char16_t unit = text[index];
            if (quote != 0) {
                if (unit == quote) quote = 0;
            } else if (unit == separator || is_line_break(unit)) {
                break;
            } else if (unit == u'"' || unit == u'\'') {
                quote = unit;
            }
        }
        if (index > start && !visit(text.substr(start, index - start))) return;
        if (index < text.size()) ++index;  // past the separator or line break
    }
}

// Splits on the separator, carriage return and line feed; quoted runs stay whole.
bool SplitPieces(const std::u16string& str_param_Text, char16_t char_param_Separator, StringList& strlist_param_List);
bool IsIntegerText(const std::u16string& str_param_Text);

bool Reg_PathVariants(const std::u16string& str_param_Path, bool bool_param_WithPath, StringList& strlist_param_List);
bool Reg_EnumInstallerUserKeys(StringList& strlist_param_List, bool bool_param_View64);
// The packed form Windows Installer names its keys by: each group of the
// code reversed, the last two groups byte by byte. "{12345678-9ABC-DEF0-1234-
// 56789ABCDEF0}" packs to "87654321CBA90FED21436587A9CBED0F" (upper-cased);
// empty when `code` is no product code.
std::u16string packed_product_code(std::u16string_view code);
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
