// The installed-software container and the size display text.
#include <gtest/gtest.h>

#include "inventory/Unit_ZRB_Struct.h"

namespace vorlix {
namespace {

TEST(FormatByteSize, PicksTheLargestUnitWithTwoDecimals) {
    EXPECT_EQ(FormatByteSize(0), u"0 Byte");
    EXPECT_EQ(FormatByteSize(1), u"1 Byte");
    EXPECT_EQ(FormatByteSize(1023), u"1023 Byte");
    EXPECT_EQ(FormatByteSize(1024), u"1.00 KB");
    EXPECT_EQ(FormatByteSize(1536), u"1.50 KB");
    EXPECT_EQ(FormatByteSize(1048575), u"1024.00 KB");
    EXPECT_EQ(FormatByteSize(1048576), u"1.00 MB");
    EXPECT_EQ(FormatByteSize(2048ull * 1024), u"2.00 MB");
    EXPECT_EQ(FormatByteSize(1073741824), u"1.00 GB");
    // The largest size an entry can state: 0xFFFFFFFF kilobytes.
    EXPECT_EQ(FormatByteSize(0xFFFFFFFFull * 1024), u"4096.00 GB");
}

TEST(FormatByteSize, UsesTheGivenDecimalSeparator) {
    EXPECT_EQ(FormatByteSize(1536, u','), u"1,50 KB");
    EXPECT_EQ(FormatByteSize(1023, u','), u"1023 Byte");
}

InstalledSoftwarePtr make_record(const std::u16string& name_low) {
    auto record = std::make_shared<ZRB_InstalledSoftware>();
    record->mpu_str_Name_low = name_low;
    return record;
}

TEST(InstalledSoftwareList, HoldsEveryKeyOnceInAllThreeParts) {
    ZRB_InstalledSoftwareList list;
    EXPECT_TRUE(list.add(make_record(u"beta")));
    EXPECT_TRUE(list.add(make_record(u"alpha")));
    EXPECT_FALSE(list.add(make_record(u"beta")));
    EXPECT_FALSE(list.add(nullptr));
    EXPECT_EQ(list.mpu_list_InstalledSoftwareName, (StringList{u"beta", u"alpha"}));
    ASSERT_EQ(list.mpu_SDLarry_InstalledSoftware.size(), 2u);
    EXPECT_EQ(list.find(u"alpha"), list.mpu_SDLarry_InstalledSoftware[1].get());
    // Keys are exact: the scan lower-cases them before it looks them up.
    EXPECT_EQ(list.find(u"Alpha"), nullptr);
}

TEST(InstalledSoftwareList, CleanFreesTheRecordsAndSearchCleanOnlyTheNames) {
    ZRB_InstalledSoftwareList list;
    auto record = make_record(u"tool");
    std::weak_ptr<ZRB_InstalledSoftware> watch = record;
    list.add(std::move(record));
    list.mpu_Search_Clean();
    EXPECT_TRUE(list.mpu_list_InstalledSoftwareName.empty());
    EXPECT_NE(list.find(u"tool"), nullptr);
    list.mpu_Clean();
    EXPECT_TRUE(list.mpu_SDLarry_InstalledSoftware.empty());
    EXPECT_TRUE(list.mpu_SDLMap_InstalledSoftware.empty());
    EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace vorlix
