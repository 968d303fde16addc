#include "app/result_files.h"

#include <string_view>

#include "platform/os.h"
#include "platform/portable/utf.h"

namespace vorlix {

namespace {

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";
constexpr std::string_view utf16le_bom = "\xFF\xFE";
constexpr std::string_view utf16be_bom = "\xFE\xFF";

std::u16string utf16_text(std::string_view bytes, bool big_endian) {
    std::u16string text;
    text.reserve(bytes.size() / 2);
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        text.push_back(static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first));
    }
    return text;
}

// A line ends at a carriage return, a line feed, or the pair; a break at the
// very end opens no further line.
StringList split_lines(const std::u16string& text) {
    StringList lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        const auto end = text.find_first_of(u"\r\n", begin);
        if (end == std::u16string::npos) {
            lines.push_back(text.substr(begin));
            break;
        }
        lines.push_back(text.substr(begin, end - begin));
        begin = end + (text.compare(end, 2, u"\r\n") == 0 ? 2 : 1);
    }
    return lines;
}

}  // namespace

std::u16string decode_text(const std::string& bytes) {
    const std::string_view view(bytes);
    if (view.starts_with(utf8_bom)) return from_utf8(view.substr(utf8_bom.size()));
    if (view.starts_with(utf16le_bom)) return utf16_text(view.substr(utf16le_bom.size()), false);
    if (view.starts_with(utf16be_bom)) return utf16_text(view.substr(utf16be_bom.size()), true);
    return os::ansi_to_wide(bytes);
}

bool save_result_file(const std::u16string& path, const StringList& lines) {
    std::string bytes(utf8_bom);
    for (const auto& line : lines) bytes += to_utf8(line) + "\r\n";
    return os::write_file_bytes(path, bytes);
}

bool load_result_file(const std::u16string& path, StringList& lines) {
    std::string bytes;
    if (!os::read_file_bytes(path, bytes)) return false;
    lines = split_lines(decode_text(bytes));
    return true;
}

void delete_result_files(const std::u16string& folder) {
    for (const auto* name : {result_file_files, result_file_folders, result_file_registry, result_file_config,
                             result_file_logo})
        os::delete_file(folder + name);
}

}  // namespace vorlix
