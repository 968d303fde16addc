// Compact JSON written straight into one text, for outputs with many records
// (the program list), where building a document tree per record costs more
// than the records' own scan. Writes exactly what nlohmann's dump() writes for
// the same values: no spaces, strings as UTF-8 with only the characters JSON
// requires escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlix::cli {

class JsonWriter {
public:
    void begin_object() { open('{'); }
    void end_object() { close('}'); }
    void begin_array() { open('['); }
    void end_array() { close(']'); }

    // The next member of the current object; its value follows.
    void key(std::string_view name);

    void value(std::u16string_view text);
    void value(std::int64_t number);
    void value(bool flag);

    // A member of the current object: its key and its value.
    template <typename Value>
    void member(std::string_view name, const Value& member_value) {
        key(name);
        value(member_value);
    }

    // Room for this many bytes, for a caller that knows the size roughly.
    void reserve(std::size_t bytes) { text_.reserve(bytes); }

    // Takes the text written so far.
    std::string take() { return std::move(text_); }

private:
    void open(char bracket);
    void close(char bracket);
    void separate();
    // The text quoted and escaped; UTF-16 is written as UTF-8.
    template <typename Unit>
    void append_string(std::basic_string_view<Unit> text);

    std::string text_;
    bool first_ = true;       // nothing written yet in the current object or array
    bool after_key_ = false;  // a key was written; its value takes no comma
};

}  // namespace vorlix::cli
