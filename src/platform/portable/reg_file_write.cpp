// Writer of the .reg text format, in the layout regedit exports. Every value
// type is written so that reading the text back gives the same bytes: what
// the quoted or dword forms cannot carry exactly goes out as hex data.
#include <string_view>

#include "platform/portable/reg_file.h"
#include "platform/portable/utf.h"

namespace vorlix::regfile {

namespace {

constexpr std::size_t wrap_column = 80;
constexpr std::uint32_t reg_sz = 1;
constexpr std::uint32_t reg_binary = 3;
constexpr std::uint32_t reg_dword = 4;

char16_t unit_at(const std::string& bytes, std::size_t index) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * index]) |
                                 (static_cast<unsigned char>(bytes[2 * index + 1]) << 8));
}

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The quoted form stands for the text plus exactly one terminating null. It
// cannot hold an embedded null or a line break, and an unpaired surrogate
// would not survive the UTF-8 variant of the text.
std::optional<std::u16string> quotable_text(const Value& value) {
    const std::string& bytes = value.data;
    if (value.type != reg_sz || bytes.size() < 2 || bytes.size() % 2 != 0) return std::nullopt;
    const std::size_t units = bytes.size() / 2;
    if (unit_at(bytes, units - 1) != 0) return std::nullopt;
    std::u16string text;
    text.reserve(units - 1);
    for (std::size_t i = 0; i + 1 < units; ++i) {
        const char16_t c = unit_at(bytes, i);
        if (c == 0 || c == u'\r' || c == u'\n') return std::nullopt;
        const bool paired_high = is_high_surrogate(c) && i + 2 < units && is_low_surrogate(unit_at(bytes, i + 1));
        const bool paired_low = is_low_surrogate(c) && i > 0 && is_high_surrogate(unit_at(bytes, i - 1));
        if ((is_high_surrogate(c) && !paired_high) || (is_low_surrogate(c) && !paired_low)) return std::nullopt;
        text.push_back(c);
    }
    return text;
}

void append_escaped(std::u16string& out, std::u16string_view text) {
    for (char16_t c : text) {
        switch (c) {
            case u'\\': out += u"\\\\"; break;
            case u'"': out += u"\\\""; break;
            case u'\r': out += u"\\r"; break;
            case u'\n': out += u"\\n"; break;
            default: out.push_back(c);
        }
    }
}

void append_hex_number(std::u16string& out, std::uint32_t value, int min_digits) {
    constexpr std::u16string_view digits = u"0123456789abcdef";
    std::u16string text;
    while (value != 0 || static_cast<int>(text.size()) < min_digits) {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    }
    out += text;
}

// Bytes as "xx," pairs, broken before the line would pass 80 columns with a
// backslash and continued on the next line after two blanks, as regedit does.
void append_hex_bytes(std::u16string& out, std::size_t line_start, const std::string& bytes) {
    std::size_t column = out.size() - line_start;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::size_t width = i + 1 < bytes.size() ? 3 : 2;
        if (column + width + 1 > wrap_column) {
            out += u"\\\r\n  ";
            column = 2;
        }
        append_hex_number(out, static_cast<unsigned char>(bytes[i]), 2);
        if (width == 3) out.push_back(u',');
        column += width;
    }
}

void append_value(std::u16string& out, const Value& value) {
    const std::size_t line_start = out.size();
    if (value.name.empty()) {
        out.push_back(u'@');
    } else {
        out.push_back(u'"');
        append_escaped(out, value.name);
        out.push_back(u'"');
    }
    out.push_back(u'=');
    if (value.remove) {
        out.push_back(u'-');
    } else if (const auto text = quotable_text(value)) {
        out.push_back(u'"');
        append_escaped(out, *text);
        out.push_back(u'"');
    } else if (value.type == reg_dword && value.data.size() == 4) {
        std::uint32_t number = 0;
        for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(i)]);
        out += u"dword:";
        append_hex_number(out, number, 8);
    } else {
        out += u"hex";
        if (value.type != reg_binary) {
            out.push_back(u'(');
            append_hex_number(out, value.type, 1);
            out.push_back(u')');
        }
        out.push_back(u':');
        append_hex_bytes(out, line_start, value.data);
    }
    out += u"\r\n";
}

// A key name is free to hold line breaks, but the key line has no escape for
// them: written raw they would let a hostile name inject lines into the file.
void append_key_path(std::u16string& out, std::u16string_view path) {
    for (char16_t c : path) out.push_back(c == u'\r' || c == u'\n' ? u'\xFFFD' : c);
}

std::u16string document_text(const Document& document) {
    std::u16string out = u"Windows Registry Editor Version 5.00\r\n\r\n";
    for (const Key& key : document.keys) {
        out.push_back(u'[');
        if (key.remove) out.push_back(u'-');
        out += key.root;
        if (!key.path.empty()) {
            out.push_back(u'\\');
            append_key_path(out, key.path);
        }
        out += u"]\r\n";
        for (const Value& value : key.values) append_value(out, value);
        out += u"\r\n";
    }
    return out;
}

}  // namespace

std::string write(const Document& document) {
    const std::u16string text = document_text(document);
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

std::string write_utf8(const Document& document) { return to_utf8(document_text(document)); }

}  // namespace vorlix::regfile
