#include "access/Unit_ZRB_func_RegistryEx.h"

#include <cstdint>
#include <utility>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

constexpr char16_t wow_node[] = u"\\Wow6432Node";

// One line per variant that has names: the variant path, then "|" and each name.
template <typename Collect>
bool collect_lines(const std::u16string& path, StringList& lines, Collect collect) {
    lines.clear();
    StringList variants;
    if (!Reg_PathVariants(path, true, variants)) return false;
    StringList names;
    for (const auto& variant : variants) {
        collect(variant, names);
        if (names.empty()) continue;
        auto line = variant;
        for (const auto& name : names) line += u"|" + name;
        lines.push_back(std::move(line));
    }
    return true;
}

}  // namespace

bool SplitPieces(const std::u16string& str_param_Text, char16_t char_param_Separator, StringList& strlist_param_List) {
    strlist_param_List.clear();
    for_each_piece(str_param_Text, char_param_Separator, [&strlist_param_List](std::u16string_view piece) {
        strlist_param_List.emplace_back(piece);
        return true;
    });
    return !strlist_param_List.empty();
}

bool IsIntegerText(const std::u16string& str_param_Text) {
    const auto text = Str_Trim(str_param_Text);
    std::size_t index = 0;
    bool negative = false;
    if (index < text.size() && (text[index] == u'+' || text[index] == u'-')) negative = text[index++] == u'-';
    if (index == text.size()) return false;
    std::int64_t value = 0;
    for (; index < text.size(); ++index) {
        if (text[index] < u'0' || text[index] > u'9') return false;
        value = value * 10 + (text[index] - u'0');
        if (value > INT64_C(2147483648)) return false;
    }
    return negative || value <= INT64_C(2147483647);
}

bool Reg_PathVariants(const std::u16string& str_param_Path, bool bool_param_WithPath, StringList& strlist_param_List) {
    if (str_param_Path.empty() || str_param_Path.find(u'\\') == std::u16string::npos) return false;
    StringList components;
    SplitPieces(str_param_Path, u'\\', components);
    const bool trailing = str_param_Path.back() == u'\\';
    strlist_param_List.clear();
    if (bool_param_WithPath) strlist_param_List.push_back(str_param_Path);
    for (std::size_t node_after = 0; node_after + 1 < components.size(); ++node_after) {
        std::u16string variant;
        for (std::size_t i = 0; i < components.size(); ++i) {
            if (i > 0) variant += u'\\';
            variant += components[i];
            if (i == node_after) variant += wow_node;
        }
        if (trailing) variant += u'\\';
        strlist_param_List.push_back(std::move(variant));
    }
    return true;
}

bool Reg_EnumInstallerUserKeys(StringList& strlist_param_List, bool bool_param_View64) {
    StringList variants;
    Reg_PathVariants(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData", true, variants);
    StringList names;
    for (const auto& variant : variants) {
        Reg_EnumSubKeys(os::hkey_local_machine, variant + u"\\", names, bool_param_View64);
        strlist_param_List.insert(strlist_param_List.end(), names.begin(), names.end());
    }
    return true;
}

std::u16string packed_product_code(std::u16string_view code) {
    constexpr std::size_t code_length = 38;
    if (code.size() != code_length || code.front() != u'{' || code.back() != u'}') return {};
    const auto is_hex = [](char16_t unit) {
        return (unit >= u'0' && unit <= u'9') || (unit >= u'A' && unit <= u'F') || (unit >= u'a' && unit <= u'f');
    };
    std::u16string digits;
    for (std::size_t at = 1; at + 1 < code_length; ++at) {
        if (at == 9 || at == 14 || at == 19 || at == 24) {
            if (code[at] != u'-') return {};
        } else if (!is_hex(code[at])) {
            return {};
        } else {
            digits.push_back(code[at]);
        }
    }
    std::u16string packed;
    for (const auto& [start, length] : {std::pair{0, 8}, std::pair{8, 4}, std::pair{12, 4}})
        packed.append(digits.rbegin() + (32 - start - length), digits.rbegin() + (32 - start));
    for (std::size_t at = 16; at < 32; at += 2) packed += {digits[at + 1], digits[at]};
    return Str_UpperAscii(packed);
}

bool Reg_CollectSubKeyLines(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                            StringList& strlist_param_Lines, bool bool_param_View64) {
    return collect_lines(str_param_Path, strlist_param_Lines, [&](const std::u16string& variant, StringList& names) {
        Reg_EnumSubKeys(hkey_param_Root, variant, names, bool_param_View64);
    });
}

bool Reg_CollectValueNameLines(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                               StringList& strlist_param_Lines, bool bool_param_View64) {
    return collect_lines(str_param_Path, strlist_param_Lines, [&](const std::u16string& variant, StringList& names) {
        Reg_EnumValueNames(hkey_param_Root, variant, names, bool_param_View64);
    });
}

bool Reg_CollectKeyTreeAllVariants(os::Hkey hkey_param_Root, const std::u16string& str_param_Path,
                                   StringList& strlist_param_List, bool bool_param_View64) {
    strlist_param_List.clear();
    StringList variants;
    if (!Reg_PathVariants(str_param_Path, true, variants)) return false;
    for (const auto& variant : variants)
        Reg_CollectKeyTree(hkey_param_Root, variant, strlist_param_List, bool_param_View64);
    return true;
}

bool Reg_FindExistingVariants(os::Hkey hkey_param_Root, const std::u16string& str_param_Path, bool bool_param_View64,
                              StringList* strlist_param_List, int& int_param_Count) {
    int_param_Count = 0;
    if (strlist_param_List != nullptr) strlist_param_List->clear();
    StringList variants;
    Reg_PathVariants(str_param_Path, true, variants);
    for (const auto& variant : variants) {
        if (!Reg_KeyExists(hkey_param_Root, variant, bool_param_View64)) continue;
        ++int_param_Count;
        if (strlist_param_List != nullptr) strlist_param_List->push_back(variant);
    }
    return int_param_Count > 0;
}

}  // namespace vorlix
