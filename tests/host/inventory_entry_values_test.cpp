// An entry's values read in one enumeration: name matching, sizes at the
// limits, and values that change or go while the entry is being read.
#include <gtest/gtest.h>

#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

using EntryValueReads = InventoryTest;

const std::u16string app_key = uninstall_key + u"App";

void set_bytes(const std::u16string& name, const std::string& bytes) {
    sim::set_value(os::hkey_local_machine, app_key, name, os::reg_sz, bytes);
}

// Through an open handle, as another program would.
void delete_value(const std::u16string& name) {
    os::Hkey key = 0;
    ASSERT_EQ(os::reg_open_key_ex(os::hkey_local_machine, app_key, os::key_all_access | os::key_wow64_64key, key),
              os::error_success);
    EXPECT_EQ(os::reg_delete_value(key, name), os::error_success);
    os::reg_close_key(key);
}

TEST_F(EntryValueReads, ValueNamesMatchIgnoringCaseAndOthersAreLeftAlone) {
    entry(u"App", {{u"DISPLAYNAME", u"Case App"},
                   {u"publisher", u"Case Corp"},
                   {u"Uninstallstring", u"C:\\Case\\unins000.exe"},
                   {u"DisplayNameX", u"not the name"},
                   {u"Dísplay Version", u"not the version"}});
    sim::set_dword(os::hkey_local_machine, app_key, u"estimatedsize", 2048);
    scan();
    const auto& app = listed(u"Case App");
    EXPECT_EQ(app.mpu_str_Publisher, u"Case Corp");
    EXPECT_EQ(app.mpu_str_UninstallString, u"C:\\Case\\unins000.exe");
    EXPECT_EQ(app.mpu_str_DisplayVersion, u"");
    EXPECT_EQ(app.mpu_dowrd_EstimatedSize, 2048u);
}

TEST_F(EntryValueReads, NamesBeyondTheRegistryLimitDoNotHideTheEntrysOtherValues) {
    entry(u"App", {{u"DisplayName", u"Long Names"}, {u"UninstallString", u"C:\\Long\\unins000.exe"}});
    set_bytes(std::u16string(20000, u'N'), to_utf16le_bytes(u"x"));
    set_bytes(std::u16string(16383, u'M'), to_utf16le_bytes(u"y"));
    entry(u"App", {{u"Publisher", u"After The Long Ones"}});
    scan();
    EXPECT_EQ(listed(u"Long Names").mpu_str_Publisher, u"After The Long Ones");
}

TEST_F(EntryValueReads, LargestTextsAreCutOrDropTheEntryAsTheirSizeSays) {
    // 32,767 bytes: the largest odd size, its last byte half a character.
    const std::string odd_text = to_utf16le_bytes(std::u16string(16383, u'L')) + "L";
    entry(u"App", {{u"UninstallString", u"C:\\Big\\unins000.exe"}});
    set_bytes(u"DisplayName", to_utf16le_bytes(u"Big") + std::string(2, '\0') + odd_text.substr(8));  // 32,767 bytes too
    set_bytes(u"Publisher", odd_text);
    scan();
    const auto& big = listed(u"Big");
    EXPECT_EQ(big.mpu_str_Publisher, std::u16string(entry_text_limit, u'L'));

    set_bytes(u"UninstallString", odd_text);
    list = std::make_shared<ZRB_InstalledSoftwareList>();
    scan();
    EXPECT_EQ(record(u"Big"), nullptr) << "an uninstall command of 16,383 characters drops the entry";
}

TEST_F(EntryValueReads, TextsWithoutTheirNullOrWithAHalfCharacterEndWithTheLastWholeOne) {
    entry(u"App", {{u"DisplayName", u"Unended"}, {u"UninstallString", u"C:\\Unended\\unins000.exe"}});
    set_bytes(u"Publisher", to_utf16le_bytes(u"No Null"));
    set_bytes(u"DisplayVersion", to_utf16le_bytes(u"1.5") + "7");
    set_bytes(u"InstallLocation", "C");
    scan();
    const auto& app = listed(u"Unended");
    EXPECT_EQ(app.mpu_str_Publisher, u"No Null");
    EXPECT_EQ(app.mpu_str_DisplayVersion, u"1.5");
    EXPECT_EQ(app.mpu_str_InstallLocation, u"C:\\Unended\\") << "a lone byte is no location; the command's folder is";
}

TEST_F(EntryValueReads, AValueThatGrowsBetweenCountAndReadIsReadAsItIsNow) {
    entry(u"App", {{u"Publisher", u"Grow Corp"}, {u"DisplayName", u"Short"}, {u"UninstallString", u"C:\\G\\u.exe"}});
    sim::on_enum_value(os::hkey_local_machine, app_key, 1,
                       [] { sim::set_string(os::hkey_local_machine, app_key, u"DisplayName", u"A Much Longer Name"); });
    scan();
    EXPECT_EQ(reported_names(), std::vector<std::u16string>{u"A Much Longer Name"});
    EXPECT_EQ(listed(u"A Much Longer Name").mpu_str_Publisher, u"Grow Corp");
}

TEST_F(EntryValueReads, AValueDeletedDuringTheReadDoesNotHideTheValuesAfterIt) {
    entry(u"App", {{u"InstallLocation", u"C:\\Moving\\"},
                   {u"DisplayName", u"Moving"},
                   {u"Publisher", u"Moving Corp"},
                   {u"UninstallString", u"C:\\Moving\\unins000.exe"}});
    // The publisher moves to index 1, which was already read.
    sim::on_enum_value(os::hkey_local_machine, app_key, 2, [] { delete_value(u"InstallLocation"); });
    scan();
    const auto& moving = listed(u"Moving");
    EXPECT_EQ(moving.mpu_str_Publisher, u"Moving Corp");
    EXPECT_EQ(moving.mpu_str_UninstallString, u"C:\\Moving\\unins000.exe");
}

TEST_F(EntryValueReads, EachEntryAnswersOnlyWithItsOwnValues) {
    // One reader serves every entry in turn: nothing of a full entry may
    // answer for the bare ones read before and after it.
    entry(u"1 Bare", {{u"DisplayName", u"Bare One"}, {u"UninstallString", u"C:\\One\\unins000.exe"}});
    entry(u"2 Full", {{u"DisplayName", u"Full"},
                      {u"Publisher", u"Full Corp"},
                      {u"DisplayVersion", u"2.0"},
                      {u"InstallLocation", u"C:\\Full\\"},
                      {u"DisplayIcon", u"C:\\Full\\full.exe,3"},
                      {u"UninstallString", u"C:\\Full\\unins000.exe"}});
    sim::set_dword(os::hkey_local_machine, uninstall_key + u"2 Full", u"EstimatedSize", 4096);
    entry(u"3 Bare", {{u"DisplayName", u"Bare Three"}, {u"UninstallString", u"C:\\Three\\unins000.exe"}});
    scan();
    EXPECT_EQ(listed(u"Full").mpu_str_Publisher, u"Full Corp");
    for (const auto* name : {u"Bare One", u"Bare Three"}) {
        const auto& bare = listed(name);
        EXPECT_EQ(bare.mpu_str_Publisher, u"") << to_utf8(name);
        EXPECT_EQ(bare.mpu_str_DisplayVersion, u"") << to_utf8(name);
        EXPECT_EQ(bare.mpu_dowrd_EstimatedSize, 0u) << to_utf8(name);
        EXPECT_EQ(bare.mpu_str_InstallLocation.find(u"Full"), std::u16string::npos) << to_utf8(name);
        EXPECT_EQ(bare.mpu_str_DisplayIcon.find(u"full.exe"), std::u16string::npos) << to_utf8(name);
    }
}

}  // namespace
}  // namespace vorlix::test
