// A count as the decimal text the messages show.
#pragma once

#include <cstdint>
#include <string>

namespace vorlix {

inline std::u16string decimal_text(std::uint64_t number) {
    const auto digits = std::to_string(number);
    return std::u16string(digits.begin(), digits.end());
}

}  // namespace vorlix
