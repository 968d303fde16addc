// UTF-8 <-> UTF-16 conversion for the edges of the program (command line,
// console, JSON, files). Unpaired surrogates and bad UTF-8 become U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace vorlix {

std::string to_utf8(std::u16string_view text);
// The same conversion appended to `out`.
void append_to_utf8(std::string& out, std::u16string_view text);
std::u16string from_utf8(std::string_view text);
// The code units as little-endian bytes, as the registry stores text.
std::string to_utf16le_bytes(std::u16string_view text);
// The code units of little-endian bytes; an odd last byte is left out.
std::u16string from_utf16le_bytes(std::string_view bytes);

}  // namespace vorlix
