// Shared by the fuzz targets: turning raw input into texts, and stopping the
// run when a property breaks (libFuzzer then keeps the input as a crash).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/portable/utf.h"

namespace vorlix::fuzz {

// Seeds are written as UTF-8 text. An input that starts with the UTF-16LE
// byte-order mark is taken unit by unit instead, so that unpaired surrogates
// and every other code unit reach the code too (an odd last byte is dropped).
inline std::u16string text_of(const std::uint8_t* data, std::size_t size) {
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        std::u16string text;
        for (std::size_t at = 2; at + 1 < size; at += 2)
            text.push_back(static_cast<char16_t>(data[at] | (data[at + 1] << 8)));
        return text;
    }
    return from_utf8(std::string_view(reinterpret_cast<const char*>(data), size));
}

inline void check(bool holds, const char* property) {
    if (holds) return;
    std::fprintf(stderr, "property broken: %s\n", property);
    std::abort();
}

}  // namespace vorlix::fuzz
