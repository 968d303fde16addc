// The shared text blocks behind the program rows: texts stay intact and in
// place as blocks fill up, long texts get a block of their own, and a refill
// after clearing reuses the blocks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/text_blocks.h"

namespace vorlix::test {
namespace {

std::u16string text_of(int index) {
    // Lengths from 0 to 60 units, and every 97th text longer than a block.
    const std::size_t length = index % 97 == 13 ? 40000 + static_cast<std::size_t>(index) : index % 61;
    return std::u16string(length, static_cast<char16_t>(u'A' + index % 26));
}

struct Filled {
    std::vector<TextGroup<3>> groups;
    std::vector<std::u16string> texts;
};

Filled fill(TextBlocks& blocks, int count, int offset) {
    Filled filled;
    for (int index = 0; index < 3 * count; ++index) filled.texts.push_back(text_of(index + offset));
    for (int group = 0; group < count; ++group) {
        const auto* texts = &filled.texts[3 * static_cast<std::size_t>(group)];
        filled.groups.emplace_back(blocks, std::array<std::u16string_view, 3>{texts[0], texts[1], texts[2]});
    }
    return filled;
}

void expect_intact(const Filled& filled) {
    for (std::size_t group = 0; group < filled.groups.size(); ++group) {
        for (std::size_t index = 0; index < 3; ++index) {
            const std::u16string_view text = filled.groups[group][index];
            ASSERT_EQ(text, filled.texts[3 * group + index]) << "group " << group << " text " << index;
            ASSERT_EQ(text.data()[text.size()], u'\0') << "group " << group << " text " << index;
        }
    }
}

TEST(TextBlocks, TextsStayIntactAcrossBlocksAndAfterARefill) {
    TextBlocks blocks;
    const Filled first = fill(blocks, 2000, 0);
    expect_intact(first);

    blocks.clear();
    // Other lengths in another order: long texts now fall where short ones were.
    const Filled second = fill(blocks, 2000, 50);
    expect_intact(second);
    // The refill starts in the first block again instead of a new one.
    EXPECT_EQ(second.groups[0][0].data(), first.groups[0][0].data());
}

TEST(TextGroup, AnUnsetGroupHoldsEmptyTexts) {
    const TextGroup<5> group;
    for (std::size_t index = 0; index < 5; ++index) EXPECT_TRUE(group[index].empty());
    TextBlocks blocks;
    const TextGroup<2> empties(blocks, {u"", u""});
    EXPECT_TRUE(empties[0].empty());
    EXPECT_TRUE(empties[1].empty());
    EXPECT_NE(empties[0].data(), empties[1].data());
}

}  // namespace
}  // namespace vorlix
