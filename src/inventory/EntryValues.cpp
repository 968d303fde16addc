#include "inventory/EntryValues.h"

#include <algorithm>

namespace vorlix {

namespace {

char16_t upper_ascii(char16_t unit) { return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 32) : unit; }

bool same_ascii_name(const std::u16string& a, const std::u16string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return upper_ascii(x) == upper_ascii(y); });
}

bool plain_ascii(const std::u16string& name) {
    return std::all_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0x80; });
}

// The value asked for by name: its size first, then its data into a buffer of
// that size (data that grew meanwhile reads as empty).
std::optional<std::vector<std::uint8_t>> query_data(os::Hkey key, const std::u16string& name) {
    std::uint32_t size = 0;
    if (os::reg_query_value_ex(key, name, nullptr, nullptr, &size) != os::error_success) return std::nullopt;
    std::vector<std::uint8_t> data(size, 0);
    if (size > 0 && os::reg_query_value_ex(key, name, nullptr, data.data(), &size) != os::error_success)
        return std::vector<std::uint8_t>();
    data.resize(size);
    return data;
}

}  // namespace

EntryValues::EntryValues(os::Hkey key) : key_(key) {
    std::uint32_t count = 0, longest_name = 0, longest_data = 0;
    if (os::reg_query_info_key(key, nullptr, nullptr, &count, &longest_name, &longest_data) != os::error_success) {
        answers_absence_ = false;
        return;
    }
    std::u16string name(longest_name + 1, u'\0');
    // Never empty: a null buffer would ask for sizes only.
    std::vector<std::uint8_t> data(std::max<std::uint32_t>(longest_data, 1));
    values_.reserve(count);
    for (std::uint32_t index = 0; index < count; ++index) {
        auto name_length = static_cast<std::uint32_t>(name.size());
        auto data_length = static_cast<std::uint32_t>(data.size());
        auto status = os::reg_enum_value(key, index, name.data(), name_length, nullptr, data.data(), &data_length);
        if (status == os::error_success && (name_length >= name.size() || data_length > data.size()))
            status = os::error_more_data;
        // A value that changed since the count was taken, or values removed
        // meanwhile (the indices after them have moved): names not seen are
        // then asked for one by one.
        if (status != os::error_success) {
            answers_absence_ = false;
            if (status == os::error_no_more_items) break;
            continue;
        }
        Value value{name.substr(0, name_length), std::vector<std::uint8_t>(data.begin(), data.begin() + data_length)};
        if (!plain_ascii(value.name)) answers_absence_ = false;
        values_.push_back(std::move(value));
    }
}

const std::vector<std::uint8_t>* EntryValues::data_of(const std::u16string& name) const {
    // The registry never holds two names that are equal ignoring case, so
    // the first match is the value.
    const auto found =
        std::find_if(values_.begin(), values_.end(), [&](const Value& value) { return same_ascii_name(value.name, name); });
    if (found != values_.end()) return &found->data;
    // Beyond ASCII, which names are equal is the registry's to decide.
    if (answers_absence_) return nullptr;
    auto data = query_data(key_, name);
    if (!data) return nullptr;
    queried_ = std::move(*data);
    return &queried_;
}

std::optional<std::uint32_t> EntryValues::size(const std::u16string& name) const {
    const auto data = data_of(name);
    if (!data) return std::nullopt;
    return static_cast<std::uint32_t>(data->size());
}

bool EntryValues::read_text(const std::u16string& name, std::u16string& text, std::size_t limit) const {
    const auto data = data_of(name);
    if (!data) return false;
    text.clear();
    for (std::size_t at = 0; at + 1 < data->size() && text.size() < limit; at += 2) {
        const auto unit = static_cast<char16_t>((*data)[at] | ((*data)[at + 1] << 8));
        if (unit == u'\0') break;
        text.push_back(unit);
    }
    return true;
}

std::optional<std::uint32_t> EntryValues::read_dword(const std::u16string& name) const {
    const auto data = data_of(name);
    if (!data) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < 4 && at < data->size(); ++at) value |= std::uint32_t{(*data)[at]} << (8 * at);
    return value;
}

}  // namespace vorlix
