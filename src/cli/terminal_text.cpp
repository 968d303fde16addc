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
    std::string shown;
    std::u16string plain;
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit != 0x7F && !(unit >= 0x80 && unit < 0xA0) && !is_bidi_control(unit)) {
            plain.push_back(unit);
            continue;
        }
        shown += to_utf8(plain) + escape(unit);
        plain.clear();
    }
    return shown + to_utf8(plain);
}

}  // namespace vorlix::cli
