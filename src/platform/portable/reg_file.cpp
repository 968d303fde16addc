// Reader of the .reg text format. The input may be hostile (fixtures, backups
// edited by hand, fuzzers): every access is bounds-checked and every malformed
// line ends the parse with a ParseError naming the line.
#include "platform/portable/reg_file.h"

#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "platform/portable/utf.h"

namespace vorlix::regfile {

namespace {

constexpr std::u16string_view header = u"Windows Registry Editor Version 5.00";

struct RootName {
    std::u16string_view long_name, short_name;
};
constexpr std::array<RootName, 5> root_names{{
    {u"HKEY_LOCAL_MACHINE", u"HKLM"},
    {u"HKEY_CURRENT_USER", u"HKCU"},
    {u"HKEY_CLASSES_ROOT", u"HKCR"},
    {u"HKEY_USERS", u"HKU"},
    {u"HKEY_CURRENT_CONFIG", u"HKCC"},
}};

char16_t ascii_upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

bool same_ascii_ignoring_case(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (ascii_upper(a[i]) != ascii_upper(b[i])) return false;
    return true;
}

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view trim_left(std::u16string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    return s;
}

std::u16string_view trim_right(std::u16string_view s) {
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

int hex_digit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// 1 to `max_digits` hex digits and nothing else.
std::optional<std::uint32_t> parse_hex_number(std::u16string_view digits, std::size_t max_digits) {
    if (digits.empty() || digits.size() > max_digits) return std::nullopt;
    std::uint32_t value = 0;
    for (char16_t c : digits) {
        const int d = hex_digit(c);
        if (d < 0) return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return value;
}

class Reader {
public:
    explicit Reader(std::u16string text) : text_(std::move(text)) {
        std::u16string_view rest = text_;
        while (true) {
            const auto end = rest.find(u'\n');
            std::u16string_view line = rest.substr(0, end);
            if (!line.empty() && line.back() == u'\r') line.remove_suffix(1);
            lines_.push_back(line);
            if (end == std::u16string_view::npos) break;
            rest.remove_prefix(end + 1);
        }
    }

    std::optional<Document> read(ParseError& failure) {
        failure_ = &failure;
        while (next_ < lines_.size() && trim_right(trim_left(lines_[next_])).empty()) ++next_;
        if (next_ == lines_.size() || trim_right(lines_[next_]) != header) {
            fail(std::min(next_ + 1, lines_.size()), "the text does not start with \"Windows Registry Editor Version 5.00\"");
            return std::nullopt;
        }
        ++next_;
        Document document;
        while (next_ < lines_.size()) {
            const std::size_t line_number = next_ + 1;
            const std::u16string_view line = trim_right(trim_left(lines_[next_++]));
            if (line.empty() || line.front() == u';') continue;
            bool ok = false;
            if (line.front() == u'[')
                ok = read_key(line, line_number, document);
            else if (line.front() == u'"' || line.front() == u'@')
                ok = read_value(line, line_number, document);
            else
                ok = fail(line_number, "unexpected text");
            if (!ok) return std::nullopt;
        }
        return document;
    }

private:
    bool fail(std::size_t line, std::string message) {
        *failure_ = {line, std::move(message)};
        return false;
    }

    bool read_key(std::u16string_view line, std::size_t line_number, Document& document) {
        // Key names may themselves hold ']': the name runs to the last one.
        if (line.size() < 2 || line.back() != u']') return fail(line_number, "a key line must end with ]");
        std::u16string_view content = line.substr(1, line.size() - 2);
        Key key;
        if (!content.empty() && content.front() == u'-') {
            key.remove = true;
            content.remove_prefix(1);
        }
        const auto slash = content.find(u'\\');
        key.root = long_root_name(std::u16string(content.substr(0, slash)));
        if (key.root.empty()) return fail(line_number, "unknown root key");
        std::u16string_view path = slash == std::u16string_view::npos ? std::u16string_view{} : content.substr(slash + 1);
        if (!path.empty() && path.back() == u'\\') path.remove_suffix(1);
        if (!path.empty() && (path.front() == u'\\' || path.back() == u'\\' || path.find(u"\\\\") != path.npos))
            return fail(line_number, "empty key name in the path");
        key.path = path;
        document.keys.push_back(std::move(key));
        return true;
    }

    // A quoted text starting at `pos` (on the opening quote). The escapes are
    // \\ and \" as regedit writes them, plus \r and \n for line breaks, which
    // the line format cannot carry raw. Any other backslash is kept as it is.
    std::optional<std::u16string> read_quoted(std::u16string_view line, std::size_t& pos) {
        std::u16string text;
        ++pos;
        while (pos < line.size()) {
            const char16_t c = line[pos++];
            if (c == u'"') return text;
            if (c != u'\\' || pos == line.size()) {
                text.push_back(c);
                continue;
            }
            switch (line[pos]) {
                case u'\\': text.push_back(u'\\'); ++pos; break;
                case u'"': text.push_back(u'"'); ++pos; break;
                case u'n': text.push_back(u'\n'); ++pos; break;
                case u'r': text.push_back(u'\r'); ++pos; break;
                default: text.push_back(u'\\'); break;
            }
        }
        return std::nullopt;
    }

    bool read_value(std::u16string_view line, std::size_t line_number, Document& document) {
        Value value;
        std::size_t pos = 0;
        if (line.front() == u'@') {
            pos = 1;
        } else {
            auto name = read_quoted(line, pos);
            if (!name) return fail(line_number, "unterminated quoted value name");
            value.name = std::move(*name);
        }
        std::u16string_view rest = trim_left(line.substr(pos));
        if (rest.empty() || rest.front() != u'=') return fail(line_number, "expected = after the value name");
        rest = trim_left(rest.substr(1));
        if (document.keys.empty()) return fail(line_number, "a value before the first key");
        Key& key = document.keys.back();
        if (key.remove) return fail(line_number, "a value under a key that is being deleted");
        if (!read_data(rest, line_number, value)) return false;
        key.values.push_back(std::move(value));
        return true;
    }

    bool read_data(std::u16string_view data, std::size_t line_number, Value& value) {
        if (data == u"-") {
            value.remove = true;
            return true;
        }
        if (!data.empty() && data.front() == u'"') {
            std::size_t pos = 0;
            auto text = read_quoted(data, pos);
            if (!text) return fail(line_number, "unterminated quoted text");
            if (pos != data.size()) return fail(line_number, "text after the closing quote");
            value.type = 1;
            value.data = to_utf16le_bytes(*text);
            value.data.append(2, '\0');
            return true;
        }
        if (data.size() >= 6 && same_ascii_ignoring_case(data.substr(0, 6), u"dword:")) {
            const auto number = parse_hex_number(data.substr(6), 8);
            if (!number) return fail(line_number, "dword: needs 1 to 8 hex digits");
            value.type = 4;
            for (int shift = 0; shift < 32; shift += 8) value.data.push_back(static_cast<char>((*number >> shift) & 0xFF));
            return true;
        }
        if (data.size() >= 3 && same_ascii_ignoring_case(data.substr(0, 3), u"hex")) return read_hex(data.substr(3), line_number, value);
        return fail(line_number, "unknown kind of value data");
    }

    bool read_hex(std::u16string_view spec, std::size_t line_number, Value& value) {
        value.type = 3;
        if (!spec.empty() && spec.front() == u'(') {
            const auto close = spec.find(u')');
            const auto type = close == spec.npos ? std::nullopt : parse_hex_number(spec.substr(1, close - 1), 8);
            if (!type) return fail(line_number, "hex(type) needs 1 to 8 hex digits");
            value.type = *type;
            spec.remove_prefix(close + 1);
        }
        if (spec.empty() || spec.front() != u':') return fail(line_number, "expected : after hex");
        std::u16string text(spec.substr(1));
        // A trailing backslash continues the data on the next line.
        while (!trim_right(text).empty() && trim_right(text).back() == u'\\') {
            text.resize(trim_right(text).size() - 1);
            if (next_ == lines_.size()) return fail(line_number, "hex data continues past the end of the text");
            text += trim_left(lines_[next_++]);
        }
        std::u16string_view bytes = trim_right(trim_left(text));
        if (bytes.empty()) return true;
        value.data.reserve(bytes.size() / 3 + 1);
        while (true) {
            const auto comma = bytes.find(u',');
            const auto byte = parse_hex_number(trim_right(trim_left(bytes.substr(0, comma))), 2);
            if (!byte) return fail(line_number, "expected a hex byte (two hex digits)");
            value.data.push_back(static_cast<char>(*byte));
            if (comma == bytes.npos) return true;
            bytes.remove_prefix(comma + 1);
        }
    }

    std::u16string text_;
    std::vector<std::u16string_view> lines_;
    std::size_t next_ = 0;
    ParseError* failure_ = nullptr;
};

std::optional<std::u16string> decode(const std::string& bytes, ParseError& failure) {
    const auto byte = [&bytes](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
        if (bytes.size() % 2 != 0) {
            failure = {1, "UTF-16 text ends in the middle of a character"};
            return std::nullopt;
        }
        return from_utf16le_bytes(std::string_view(bytes).substr(2));
    }
    std::string_view utf8 = bytes;
    if (utf8.size() >= 3 && byte(0) == 0xEF && byte(1) == 0xBB && byte(2) == 0xBF) utf8.remove_prefix(3);
    return from_utf8(utf8);
}

}  // namespace

std::optional<Document> parse(const std::string& bytes, ParseError* error) {
    ParseError failure;
    std::optional<Document> document;
    if (auto text = decode(bytes, failure)) document = Reader(std::move(*text)).read(failure);
    if (!document && error) *error = failure;
    return document;
}

std::u16string long_root_name(const std::u16string& name) {
    for (const auto& root : root_names)
        if (same_ascii_ignoring_case(name, root.long_name) || same_ascii_ignoring_case(name, root.short_name))
            return std::u16string(root.long_name);
    return {};
}

}  // namespace vorlix::regfile
