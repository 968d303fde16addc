// Short texts kept in a few large blocks instead of one heap buffer each: the
// program list holds five texts per row, and tens of thousands of rows would
// otherwise mean as many allocations, each with its own header and padding,
// and all of it fresh memory to fault in on a first scan. Stored texts never
// move; clear() keeps the blocks, so filling them again allocates nothing.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace vorlix {

class TextBlocks {
public:
    // Copies the texts one after another, each followed by a zero unit, and
    // returns where the first begins; valid until clear().
    const char16_t* store(std::span<const std::u16string_view> texts);
    // Forgets every text; keeps the blocks.
    void clear();

private:
    struct Block {
        std::unique_ptr<char16_t[]> units;
        std::size_t size = 0;
    };
    std::vector<Block> blocks;
    // The block being filled and the units used in it.
    std::size_t current = 0;
    std::size_t used = 0;
};

// N texts stored together in TextBlocks. Each is followed by a zero unit, so
// data() of each is also a C string.
template <std::size_t N>
class TextGroup {
public:
    TextGroup() = default;
    TextGroup(TextBlocks& blocks, const std::array<std::u16string_view, N>& texts) : start(blocks.store(texts)) {
        std::size_t end = 0;
        for (std::size_t index = 0; index < N; ++index) {
            end += texts[index].size();
            ends[index] = static_cast<std::uint32_t>(end);
            ++end;
        }
    }
    std::u16string_view operator[](std::size_t index) const {
        if (start == nullptr) return u"";
        const std::uint32_t begin = index == 0 ? 0 : ends[index - 1] + 1;
        return {start + begin, ends[index] - begin};
    }

private:
    const char16_t* start = nullptr;
    // Offset of each text's zero unit.
    std::array<std::uint32_t, N> ends{};
};

}  // namespace vorlix
