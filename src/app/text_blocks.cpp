#include "app/text_blocks.h"

#include <algorithm>

namespace vorlix {

namespace {

// 32 KB: a few hundred rows per block.
constexpr std::size_t block_units = 16384;

}  // namespace

const char16_t* TextBlocks::store(std::span<const std::u16string_view> texts) {
    std::size_t need = 0;
    for (const auto text : texts) need += text.size() + 1;
    if (current == blocks.size() || used + need > blocks[current].size) {
        if (current < blocks.size()) ++current;
        used = 0;
        // A kept block too small for these texts waits for shorter ones.
        if (current == blocks.size() || blocks[current].size < need) {
            const std::size_t size = std::max(block_units, need);
            blocks.insert(blocks.begin() + static_cast<std::ptrdiff_t>(current),
                          Block{std::make_unique_for_overwrite<char16_t[]>(size), size});
        }
    }
    char16_t* const start = blocks[current].units.get() + used;
    char16_t* at = start;
    for (const auto text : texts) {
        at = std::copy(text.begin(), text.end(), at);
        *at++ = u'\0';
    }
    used += need;
    return start;
}

void TextBlocks::clear() {
    current = 0;
    used = 0;
}

}  // namespace vorlix
