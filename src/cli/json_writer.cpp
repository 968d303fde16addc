#include "cli/json_writer.h"

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
    utf8_.clear();
    append_to_utf8(utf8_, text);
    append_string(utf8_);
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

bool needs_escape(char byte) {
    return static_cast<unsigned char>(byte) < 0x20 || byte == '"' || byte == '\\';
}

}  // namespace

void JsonWriter::append_string(std::string_view utf8) {
    static constexpr char hex[] = "0123456789abcdef";
    text_.push_back('"');
    // Runs that need no escape are copied whole.
    std::size_t run = 0;
    for (std::size_t at = 0; at < utf8.size(); ++at) {
        const char byte = utf8[at];
        if (!needs_escape(byte)) continue;
        text_.append(utf8, run, at - run);
        run = at + 1;
        switch (byte) {
            case '"': text_ += "\\\""; break;
            case '\\': text_ += "\\\\"; break;
            case '\b': text_ += "\\b"; break;
            case '\f': text_ += "\\f"; break;
            case '\n': text_ += "\\n"; break;
            case '\r': text_ += "\\r"; break;
            case '\t': text_ += "\\t"; break;
            default:
                text_ += "\\u00";
                text_.push_back(hex[(byte >> 4) & 0xF]);
                text_.push_back(hex[byte & 0xF]);
        }
    }
    text_.append(utf8, run, utf8.size() - run);
    text_.push_back('"');
}

}  // namespace vorlix::cli
