#include "access/registry_key.h"

#include <vector>

#include "access/Unit_ZRB_func_Registry.h"

namespace vorlix {

namespace {
constexpr std::uint32_t small_buffer_chars = 255;
constexpr std::uint32_t large_data_bytes = 256;
constexpr std::uint32_t value_name_chars = 16383;

// Data of 256 bytes or more keeps its embedded nulls; trailing ones go.
void assign_without_trailing_nulls(std::u16string& text, const char16_t* data, std::uint32_t bytes) {
    std::size_t length = (bytes + 1) / 2;
    while (length > 0 && data[length - 1] == u'\0') --length;
    text.assign(data, length);
}

// Data read whole into the small buffer: shorter than 256 bytes it ends at
// the first null, longer it keeps its embedded nulls.
void assign_small_data(std::u16string& text, const char16_t* small, std::uint32_t bytes) {
    if (bytes >= large_data_bytes) return assign_without_trailing_nulls(text, small, bytes);
    std::size_t length = 0;
    while (length < small_buffer_chars && small[length] != u'\0') ++length;
    text.assign(small, length);
}

}  // namespace

RegistryKey::RegistryKey(os::Hkey root, const std::u16string& path, bool view64, bool open_link) {
    os::Hkey key = 0;
    if (os::reg_open_key_ex(root, path, Reg_AccessMask(view64), key, open_link ? os::reg_option_open_link : 0) ==
        os::error_success)
        handle_ = key;
}

RegistryKey::~RegistryKey() {
    if (handle_ != 0) os::reg_close_key(handle_);
}

RegistryKey::Info RegistryKey::info() const {
    Info result;
    os::reg_query_info_key(handle_, &result.sub_keys, &result.max_sub_key_len, &result.values, nullptr, nullptr);
    return result;
}

bool RegistryKey::is_link() const {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    return os::reg_query_value_ex(handle_, u"SymbolicLinkValue", &type, nullptr, &size) == os::error_success &&
           type == os::reg_link;
}

std::u16string RegistryKey::sub_key_name(std::uint32_t index, std::uint32_t capacity) const {
    std::u16string buffer(capacity, u'\0');
    std::uint32_t length = capacity;
    if (os::reg_enum_key_ex(handle_, index, buffer.data(), length) != os::error_success) return {};
    buffer.resize(length < capacity ? length : capacity);
    return buffer.substr(0, buffer.find(u'\0'));
}

std::u16string RegistryKey::value_name(std::uint32_t index) const {
    std::u16string buffer(value_name_chars, u'\0');
    std::uint32_t length = value_name_chars;
    if (os::reg_enum_value(handle_, index, buffer.data(), length, nullptr, nullptr, nullptr) != os::error_success)
        return {};
    buffer.resize(length < value_name_chars ? length : value_name_chars);
    return buffer;
}

bool RegistryKey::read_text(const std::u16string& value_name, std::u16string& text) const {
    text.clear();
    // Most values fit the small buffer: one call reads them. Only larger data
    // costs a second call, with a buffer of the size the first one reported.
    char16_t small[small_buffer_chars] = {};
    std::uint32_t size = sizeof(small);
    const std::uint32_t status =
        os::reg_query_value_ex(handle_, value_name, nullptr, reinterpret_cast<std::uint8_t*>(small), &size);
    if (status == os::error_success) {
        assign_small_data(text, small, size);
        return true;
    }
    if (status != os::error_more_data) return false;
    // Zero-filled, two characters longer than the data: an odd byte count
    // still ends in a complete character.
    std::vector<char16_t> buffer(size / 2 + 2, u'\0');
    std::uint32_t bytes = static_cast<std::uint32_t>(buffer.size() * sizeof(char16_t));
    if (os::reg_query_value_ex(handle_, value_name, nullptr, reinterpret_cast<std::uint8_t*>(buffer.data()), &bytes) !=
        os::error_success)
        return false;
    assign_without_trailing_nulls(text, buffer.data(), bytes);
    return true;
}

bool RegistryKey::read_value(std::uint32_t index, std::u16string& name, std::u16string& text) const {
    // Name and data in one call; data too large for the small buffer is read
    // again by name, as read_text reads it.
    std::u16string name_buffer(value_name_chars, u'\0');
    std::uint32_t name_length = value_name_chars;
    char16_t small[small_buffer_chars] = {};
    std::uint32_t size = sizeof(small);
    const auto status = os::reg_enum_value(handle_, index, name_buffer.data(), name_length, nullptr,
                                           reinterpret_cast<std::uint8_t*>(small), &size);
    if (status == os::error_more_data) {
        name = value_name(index);
        return read_text(name, text);
    }
    if (status != os::error_success) return false;
    name_buffer.resize(name_length < value_name_chars ? name_length : value_name_chars);
    name = std::move(name_buffer);
    assign_small_data(text, small, size);
    return true;
}

}  // namespace vorlix
