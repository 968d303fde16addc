// The name table behind the row and icon look-ups: exact names, one record
// per name, and nothing lost when it grows or is emptied for a refresh.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/name_table.h"

namespace vorlix::test {
namespace {

TEST(NameTable, KeepsOneRecordPerExactNameThroughGrowthAndClearing) {
    std::vector<std::u16string> names;
    NameTable table([&](std::size_t record) -> std::u16string_view { return names[record]; });
    const auto add = [&](std::u16string name) {
        names.push_back(std::move(name));
        return table.insert(names.size() - 1);
    };
    for (int index = 0; index < 1000; ++index) ASSERT_TRUE(add(u"Program " + std::u16string(1, u'A' + index % 26) +
                                                               std::u16string(index / 26 + 1, u'x')));
    EXPECT_FALSE(add(u"Program Ax"));
    EXPECT_TRUE(add(u"program Ax"));  // names are exact: another letter case is another name
    EXPECT_TRUE(add(u""));
    EXPECT_EQ(table.find(u"Program Ax"), 0u);
    EXPECT_EQ(table.find(u"program Ax"), 1001u);
    EXPECT_EQ(table.find(u""), 1002u);
    EXPECT_EQ(table.find(names[999]), 999u);
    EXPECT_FALSE(table.find(u"Program"));

    table.clear();
    EXPECT_FALSE(table.find(u"Program Ax"));
    // Filled again from the same records, as a refresh does.
    EXPECT_TRUE(table.insert(1001));
    EXPECT_EQ(table.find(u"program Ax"), 1001u);
    EXPECT_FALSE(table.find(u"Program Ax"));
}

TEST(NameTable, ReservingRoomKeepsTheRecordsHeld) {
    std::vector<std::u16string> names{u"Alpha", u"Beta", u"Gamma"};
    NameTable table([&](std::size_t record) -> std::u16string_view { return names[record]; });
    ASSERT_TRUE(table.insert(0));
    ASSERT_TRUE(table.insert(1));
    table.reserve(5000);
    table.reserve(10);  // never shrinks
    EXPECT_EQ(table.find(u"Alpha"), 0u);
    EXPECT_EQ(table.find(u"Beta"), 1u);
    EXPECT_TRUE(table.insert(2));
    EXPECT_FALSE(table.insert(0));
    EXPECT_EQ(table.find(u"Gamma"), 2u);
}

}  // namespace
}  // namespace vorlix::test
