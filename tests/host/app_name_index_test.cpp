// The search's name buffer must answer exactly as a containment test of each
// name would: no match across two names, each name once, any letter case.
#include <gtest/gtest.h>

#include "app/name_index.h"

namespace vorlix::test {
namespace {

TEST(NameIndex, FindsEachContainingNameOnceAndNeverAcrossTwoNames) {
    NameIndex index;
    for (const auto* name : {u"Adobe Reader", u"ReaderX", u"Paint", u"Zeta", u"Ärger adobe ADOBE", u""}) index.append(name);
    EXPECT_EQ(index.containing(u"adobe"), (std::vector<std::size_t>{0, 4}));
    EXPECT_EQ(index.containing(u"READER"), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(index.containing(u"ärger"), std::vector<std::size_t>{4});
    // Texts that only occur across the end of one name and the start of the next.
    EXPECT_TRUE(index.containing(u"tZe").empty());
    EXPECT_TRUE(index.containing(u"derRea").empty());
    EXPECT_TRUE(index.containing(std::u16string(u"t\0Z", 3)).empty());
    EXPECT_EQ(index.containing(u"zeta"), std::vector<std::size_t>{3});
    EXPECT_TRUE(index.containing(u"").empty());

    index.clear();
    EXPECT_TRUE(index.containing(u"adobe").empty());
    index.append(u"adobe");
    EXPECT_EQ(index.containing(u"Adobe"), std::vector<std::size_t>{0});
}

}  // namespace
}  // namespace vorlix::test
