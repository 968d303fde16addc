// Names for the synthetic machines of the benchmarks.
#pragma once

#include <string>

namespace vorlix::bench {

inline std::u16string number(long value) {
    const auto digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// A distinct class identifier per value.
inline std::u16string guid(long value) {
    auto text = number(100000000 + value);
    return u"{" + text + u"-ABCD-4EF0-9123-4567" + text.substr(1, 8) + u"}";
}

}  // namespace vorlix::bench
