// The values of one open Uninstall entry (or Installer product) key as the
// scan reads them: every value is read once, name and data in one
// RegEnumValueW call, so a value the scan asks for but the entry lacks costs
// nothing. A value is present when the key has it; its data type is not
// examined and expandable texts stay unexpanded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/os.h"

namespace vorlix {

// Characters of a text value the scan keeps.
inline constexpr std::size_t entry_text_limit = 256;

class EntryValues {
public:
    EntryValues() = default;
    explicit EntryValues(os::Hkey key) { read(key); }

    // Reads the values of another key, reusing the buffers of the last one.
    void read(os::Hkey key);

    // The data size in bytes, or nothing when the value is absent.
    std::optional<std::uint32_t> size(std::u16string_view name) const;
    // The text up to its first null, cut to `limit` characters; false (text
    // untouched) when the value is absent.
    bool read_text(std::u16string_view name, std::u16string& text, std::size_t limit = entry_text_limit) const;
    // The first four bytes as an unsigned number (missing bytes count as zero).
    std::optional<std::uint32_t> read_dword(std::u16string_view name) const;

private:
    // Where one value's name (in characters) and data (in bytes) lie in the
    // two buffers that hold every name and all data of the entry.
    struct Value {
        std::size_t name_at = 0, name_length = 0;
        std::size_t data_at = 0, data_length = 0;
    };

    // The value's data, or nothing when it is absent; valid until the next call.
    std::optional<std::span<const std::uint8_t>> data_of(std::u16string_view name) const;

    os::Hkey key_ = 0;
    std::vector<Value> values_;
    std::u16string names_;
    std::vector<std::uint8_t> data_;
    // Every value was read, and every name compares as plain ASCII: a name
    // that is not among them is absent without asking the key again.
    bool answers_absence_ = true;
    // Data of a value asked for by name.
    mutable std::vector<std::uint8_t> queried_;
};

}  // namespace vorlix
