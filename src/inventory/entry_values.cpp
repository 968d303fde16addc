#include "inventory/entry_values.h"

#include <vector>

namespace vorlix {

namespace {

std::optional<std::vector<std::uint8_t>> read_bytes(os::Hkey key, const std::u16string& name) {
    auto size = entry_value_size(key, name);
    if (!size) return std::nullopt;
    // Room for a terminating null the data may lack.
    std::vector<std::uint8_t> data(*size + 2, 0);
    auto length = *size;
    if (length > 0 && os::reg_query_value_ex(key, name, nullptr, data.data(), &length) != os::error_success)
        return std::vector<std::uint8_t>();
    data.resize(length);
    return data;
}

}  // namespace

std::optional<std::uint32_t> entry_value_size(os::Hkey key, const std::u16string& name) {
    std::uint32_t size = 0;
    if (os::reg_query_value_ex(key, name, nullptr, nullptr, &size) != os::error_success) return std::nullopt;
    return size;
}

bool read_entry_text(os::Hkey key, const std::u16string& name, std::u16string& text, std::size_t limit) {
    const auto data = read_bytes(key, name);
    if (!data) return false;
    text.clear();
    for (std::size_t at = 0; at + 1 < data->size() && text.size() < limit; at += 2) {
        const auto unit = static_cast<char16_t>((*data)[at] | ((*data)[at + 1] << 8));
        if (unit == u'\0') break;
        text.push_back(unit);
    }
    return true;
}

std::optional<std::uint32_t> read_entry_dword(os::Hkey key, const std::u16string& name) {
    const auto data = read_bytes(key, name);
    if (!data) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < 4 && at < data->size(); ++at) value |= std::uint32_t{(*data)[at]} << (8 * at);
    return value;
}

}  // namespace vorlix
