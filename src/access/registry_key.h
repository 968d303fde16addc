// A registry key opened the way every registry operation opens keys: full
// access, plus KEY_WOW64_64KEY for the 64-bit view. Closed when it goes out of scope.
// Walks and deletions open the keys they reach as links (`open_link`): a
// symbolic link is then the link key itself, never the key it leads to.
#pragma once

#include <cstdint>
#include <string>

#include "platform/os.h"

namespace vorlix {

class RegistryKey {
public:
    RegistryKey(os::Hkey root, const std::u16string& path, bool view64, bool open_link = false);
    ~RegistryKey();
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool is_open() const { return handle_ != 0; }
    os::Hkey handle() const { return handle_; }

    struct Info {
        std::uint32_t sub_keys = 0;
        std::uint32_t max_sub_key_len = 0;
        std::uint32_t values = 0;
    };
    Info info() const;
    // A link key opened as a link: it holds SymbolicLinkValue of type REG_LINK.
    bool is_link() const;

    // RegEnumKeyExW into a zeroed buffer of `capacity` characters; the result
    // is not examined, so a name that does not fit reads as empty.
    std::u16string sub_key_name(std::uint32_t index, std::uint32_t capacity) const;
    // RegEnumValueW of the name only, buffer of 16,383 characters.
    std::u16string value_name(std::uint32_t index) const;

    // Reads a value's data as text; false when the value is missing. Data of
    // 256 bytes or more keeps embedded nulls (trailing ones removed); shorter
    // data is read into a 255-character buffer and ends at the first null.
    bool read_text(const std::u16string& value_name, std::u16string& text) const;
    // The name of the value at `index` (as value_name) and its data (as
    // read_text), in one call when the data fits read_text's small buffer;
    // false when there is no such value.
    bool read_value(std::uint32_t index, std::u16string& name, std::u16string& text) const;

private:
    os::Hkey handle_ = 0;
};

}  // namespace vorlix
