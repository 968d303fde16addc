// Reading the values of one open Uninstall entry (or Installer product) key
// as the scan does: a value is present when its size can be queried; its
// data type is not examined and expandable texts stay unexpanded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/os.h"

namespace vorlix {

// Characters of a text value the scan keeps.
inline constexpr std::size_t entry_text_limit = 256;

// The data size in bytes, or nothing when the value is absent.
std::optional<std::uint32_t> entry_value_size(os::Hkey key, const std::u16string& name);
// The text up to its first null, cut to `limit` characters; false (text
// untouched) when the value is absent.
bool read_entry_text(os::Hkey key, const std::u16string& name, std::u16string& text,
                     std::size_t limit = entry_text_limit);
// The first four bytes as an unsigned number (missing bytes count as zero).
std::optional<std::uint32_t> read_entry_dword(os::Hkey key, const std::u16string& name);

}  // namespace vorlix
