#include "cli/terminal_text.h"

#include <cstdio>

#include "platform/portable/utf.h"

namespace vorlix::cli {

namespace {

bool is_bidi_control(char16_t unit) {
    return unit == 0x061C || unit == 0x200E || unit == 0x200F || (unit >= 0x202A && unit <= 0x202E) ||
           (unit >= 0x2066 && unit <= 0x2069);
}

std::string escape(char16_t unit) {
    switch (unit) {
    case u'\n': return "\\n";
    case u'\r': return "\\r";
    case u'\t': return "\\t";
    default: break;
    }
    char text[8];
    if (unit < 0x100)
        std::snprintf(text, sizeof text, "\\x%02X", static_cast<unsigned>(unit));
    else
        std::snprintf(text, sizeof text, "\\u%04X", static_cast<unsigned>(unit));
    return text;
}

}  // namespace

std::string terminal_text(const std::u16string& text) {
    // Runs of plain text are converted straight from the input; an escaped
    // unit is never a surrogate, so no run splits a pair.
    std::string shown;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char16_t unit = text[at];
        if (unit >= 0x20 && unit != 0x7F && !(unit >= 0x80 && unit < 0xA0) && !is_bidi_control(unit)) continue;
        append_to_utf8(shown, std::u16string_view(text).substr(start, at - start));
        shown += escape(unit);
        start = at + 1;
    }
    append_to_utf8(shown, std::u16string_view(text).substr(start));
    return shown;
}

}  // namespace vorlix::cli
