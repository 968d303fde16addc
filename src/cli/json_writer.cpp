#include "cli/json_writer.h"

#include <algorithm>
#include <type_traits>

#include "platform/portable/utf.h"

namespace vorlix::cli {

void JsonWriter::separate() {
    if (after_key_) {
        after_key_ = false;
    } else if (!first_) {
        text_.push_back(',');
    }
    first_ = false;
}

void JsonWriter::open(char bracket) {
    separate();
    text_.push_back(bracket);
    first_ = true;
}

void JsonWriter::close(char bracket) {
    text_.push_back(bracket);
    first_ = false;
}

void JsonWriter::key(std::string_view name) {
    separate();
    append_string(name);
    text_.push_back(':');
    after_key_ = true;
}

void JsonWriter::value(std::u16string_view text) {
    separate();
    append_string(text);
}

void JsonWriter::value(std::int64_t number) {
    separate();
    text_ += std::to_string(number);
}

void JsonWriter::value(bool flag) {
    separate();
    text_ += flag ? "true" : "false";
}

namespace {

// Characters JSON requires escaped: the quote, the backslash and controls.
template <typename Unit>
bool needs_escape(Unit unit) {
    return static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Unit>>(unit)) < 0x20 || unit == '"' ||
           unit == '\\';
}

void append_escape(std::string& text, char byte) {
    static constexpr char hex[] = "0123456789abcdef";
    switch (byte) {
        case '"': text += "\\\""; break;
        case '\\': text += "\\\\"; break;
        case '\b': text += "\\b"; break;
        case '\f': text += "\\f"; break;
        case '\n': text += "\\n"; break;
        case '\r': text += "\\r"; break;
        case '\t': text += "\\t"; break;
        default:
            text += "\\u00";
            text.push_back(hex[(byte >> 4) & 0xF]);
            text.push_back(hex[byte & 0xF]);
    }
}

// A run that needs no escape: UTF-8 as it is; UTF-16 converted, plain ASCII
// (nearly every text) copied into room made at once.
void append_run(std::string& text, std::string_view run) { text.append(run); }

void append_run(std::string& text, std::u16string_view run) {
    if (!std::all_of(run.begin(), run.end(), [](char16_t unit) { return unit < 0x80; })) {
        append_to_utf8(text, run);
        return;
    }
    const auto at = text.size();
    text.resize(at + run.size());
    std::transform(run.begin(), run.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                   [](char16_t unit) { return static_cast<char>(unit); });
}

}  // namespace

template <typename Unit>
void JsonWriter::append_string(std::basic_string_view<Unit> text) {
    text_.push_back('"');
    // Runs that need no escape are written whole.
    std::size_t run = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!needs_escape(text[at])) continue;
        append_run(text_, text.substr(run, at - run));
        append_escape(text_, static_cast<char>(text[at]));
        run = at + 1;
    }
    append_run(text_, text.substr(run));
    text_.push_back('"');
}

}  // namespace vorlix::cli
