#include "app/program_icon.h"

#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

bool contains(const std::u16string& text, std::u16string_view part) { return text.find(part) != std::u16string::npos; }

bool ends_with(const std::u16string& text, std::u16string_view tail) { return text.ends_with(tail); }

}  // namespace

IconSource choose_icon_source(const std::u16string& path, std::int32_t index) {
    const std::u16string upper = Str_UpperAscii(path);
    IconSource source{'f', IconRead::none, path, index};
    if (contains(upper, u"ICON_PRODUCT") || (contains(upper, u"\\INSTALLER\\") && !contains(upper, u".EXE"))) {
        source.rule = 'a';
        source.read = IconRead::embedded_in_place;
    } else if (contains(upper, u".EXE") || contains(upper, u".OCX")) {
        source.rule = 'b';
        // The shell shows a program file by the first icon it holds; some shells
        // (Wine's) show every program with the generic one, so that icon is read
        // from the file itself. A control library is shown by its type's icon.
        source.read = ends_with(upper, u".EXE") ? IconRead::program_or_shell : IconRead::shell_or_associated;
    } else if (contains(upper, u".DLL")) {
        source.rule = 'c';
        // 0xFFFF means "no index given", never icon number 65535.
        source.read = index == no_icon_index ? IconRead::shell : IconRead::indexed;
    } else if (contains(upper, u".ICO")) {
        source.rule = 'd';
        source.read = IconRead::icon_file;
    } else if (contains(upper, u"ICO") && (ends_with(upper, u"ICON") || ends_with(upper, u"ICO"))) {
        source.rule = 'e';
        source.read = IconRead::icon_file;
    }
    return source;
}

bool icon_needs_scaling(const ProgramIcon& icon, int logo_width, int logo_height) {
    return !icon.empty() && icon.width > logo_width && icon.height > logo_height;
}

}  // namespace vorlix
