#include "platform/sim/sim_state.h"

namespace vorlix::sim::detail {

char16_t fold_char(char16_t c) {
    const auto down = [c](int by) { return static_cast<char16_t>(c - by); };
    if (c < 0x80) return (c >= u'a' && c <= u'z') ? down(32) : c;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return down(32);
    if (c == 0xFF) return 0x178;
    // Latin Extended-A: pairs of upper and lower case next to each other.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return (c % 2 == 1) ? down(1) : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return (c % 2 == 0) ? down(1) : c;
    if (c == 0x3C2) return 0x3A3;  // final sigma
    if (c >= 0x3B1 && c <= 0x3C9) return down(32);
    if (c >= 0x430 && c <= 0x44F) return down(32);
    if (c >= 0x450 && c <= 0x45F) return down(80);
    return c;
}

std::u16string fold(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = fold_char(c);
    return out;
}

bool same_name(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold_char(a[i]) != fold_char(b[i])) return false;
    return true;
}

std::vector<std::u16string> split(std::u16string_view text, char16_t separator) {
    std::vector<std::u16string> pieces;
    while (true) {
        const auto end = text.find(separator);
        pieces.emplace_back(text.substr(0, end));
        if (end == std::u16string_view::npos) return pieces;
        text.remove_prefix(end + 1);
    }
}

std::u16string file_name_part(std::u16string_view path) {
    const auto slash = path.find_last_of(u"\\/");
    return std::u16string(slash == std::u16string_view::npos ? path : path.substr(slash + 1));
}

std::uint32_t copy_to_buffer(std::u16string_view text, char16_t* buffer, std::uint32_t size) {
    const auto length = static_cast<std::uint32_t>(text.size());
    if (buffer == nullptr || size <= length) return length + 1;
    text.copy(buffer, length);
    buffer[length] = 0;
    return length;
}

}  // namespace vorlix::sim::detail
