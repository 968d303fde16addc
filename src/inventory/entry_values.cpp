#include "inventory/entry_values.h"

#include <algorithm>

namespace vorlix {

namespace {

char16_t upper_ascii(char16_t unit) { return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - 32) : unit; }

// Buffer room reserved for an entry's data at once; larger data grows it.
constexpr std::size_t max_reserved_data = 64 * 1024;

bool same_ascii_name(std::u16string_view a, std::u16string_view b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return upper_ascii(x) == upper_ascii(y); });
}

bool plain_ascii(std::u16string_view name) {
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

void EntryValues::read(os::Hkey key) {
    key_ = key;
    values_.clear();
    names_.clear();
    data_.clear();
    answers_absence_ = true;
    std::uint32_t count = 0, longest_name = 0, longest_data = 0;
    if (os::reg_query_info_key(key, nullptr, nullptr, &count, &longest_name, &longest_data) != os::error_success) {
        answers_absence_ = false;
        return;
    }
    // Each call reads into the free end of the two buffers. Never a null data
    // buffer: that would ask for sizes only.
    const std::size_t name_room = std::size_t{longest_name} + 1;
    const std::size_t data_room = std::max<std::size_t>(longest_data, 1);
    values_.reserve(count);
    names_.reserve(name_room * count);
    data_.reserve(std::min<std::size_t>(data_room * count, max_reserved_data));
    for (std::uint32_t index = 0; index < count; ++index) {
        const Value at{names_.size(), 0, data_.size(), 0};
        names_.resize(at.name_at + name_room);
        data_.resize(at.data_at + data_room);
        auto name_length = static_cast<std::uint32_t>(name_room);
        auto data_length = static_cast<std::uint32_t>(data_room);
        auto status = os::reg_enum_value(key, index, names_.data() + at.name_at, name_length, nullptr,
                                         data_.data() + at.data_at, &data_length);
        if (status == os::error_success && (name_length >= name_room || data_length > data_room))
            status = os::error_more_data;
        names_.resize(at.name_at + (status == os::error_success ? name_length : 0));
        data_.resize(at.data_at + (status == os::error_success ? data_length : 0));
        // A value that changed since the count was taken, or values removed
        // meanwhile (the indices after them have moved): names not seen are
        // then asked for one by one.
        if (status != os::error_success) {
            answers_absence_ = false;
            if (status == os::error_no_more_items) break;
            continue;
        }
        const std::u16string_view name(names_.data() + at.name_at, name_length);
        if (!plain_ascii(name)) answers_absence_ = false;
        values_.push_back({at.name_at, name_length, at.data_at, data_length});
    }
}

std::optional<std::span<const std::uint8_t>> EntryValues::data_of(std::u16string_view name) const {
    // The registry never holds two names that are equal ignoring case, so
    // the first match is the value.
    for (const auto& value : values_)
        if (same_ascii_name(std::u16string_view(names_.data() + value.name_at, value.name_length), name))
            return std::span<const std::uint8_t>(data_.data() + value.data_at, value.data_length);
    // Beyond ASCII, which names are equal is the registry's to decide.
    if (answers_absence_) return std::nullopt;
    auto data = query_data(key_, std::u16string(name));
    if (!data) return std::nullopt;
    queried_ = std::move(*data);
    return std::span<const std::uint8_t>(queried_);
}

std::optional<std::uint32_t> EntryValues::size(std::u16string_view name) const {
    const auto data = data_of(name);
    if (!data) return std::nullopt;
    return static_cast<std::uint32_t>(data->size());
}

bool EntryValues::read_text(std::u16string_view name, std::u16string& text, std::size_t limit) const {
    const auto data = data_of(name);
    if (!data) return false;
    // Measured first, then copied in one go: one allocation at most.
    const auto unit_at = [&data](std::size_t index) {
        return static_cast<char16_t>((*data)[2 * index] | ((*data)[2 * index + 1] << 8));
    };
    std::size_t length = 0;
    while (length < data->size() / 2 && length < limit && unit_at(length) != u'\0') ++length;
    text.resize(length);
    for (std::size_t index = 0; index < length; ++index) text[index] = unit_at(index);
    return true;
}

std::optional<std::uint32_t> EntryValues::read_dword(std::u16string_view name) const {
    const auto data = data_of(name);
    if (!data) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t at = 0; at < 4 && at < data->size(); ++at) value |= std::uint32_t{(*data)[at]} << (8 * at);
    return value;
}

}  // namespace vorlix
