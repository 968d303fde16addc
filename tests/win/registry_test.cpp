// Registry operations against Wine's real registry: enumeration, the value
// buffer limits, default values, trees, searches and deletions.
#include <gtest/gtest.h>

#include <algorithm>

#include "access/Unit_ZRB_Registry_GValue.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "app/registry_backup.h"
#include "app/registry_entry.h"
#include "win/win_test_support.h"

namespace vorlix {
namespace {

using test::ScratchKey;
const os::Hkey hklm = os::hkey_local_machine;
const os::Hkey hkcu = os::hkey_current_user;

StringList sorted(StringList list) {
    std::sort(list.begin(), list.end());
    return list;
}

class RealRegistry : public ::testing::Test {
protected:
    ScratchKey key{u"VorlixReg"};
    std::u16string under(const std::u16string& relative) const { return key.path() + u"\\" + relative; }
};

TEST_F(RealRegistry, EnumerationTrimsNamesAndSkipsBlankValueNames) {
    test::create_key(hklm, under(u"Alpha"));
    test::create_key(hklm, under(u" Spaced "));
    test::write_string(hklm, key.path(), u"", u"default");
    test::write_string(hklm, key.path(), u"  Padded  ", u"  text  ");
    test::write_string(hklm, key.path(), u"Plain", u"p");

    StringList keys{u"stale"};
    EXPECT_TRUE(Reg_EnumSubKeys(hklm, key.path() + u"\\", keys, false));
    EXPECT_EQ(sorted(keys), (StringList{u"Alpha", u"Spaced"}));

    StringList names{u"stale"};
    EXPECT_TRUE(Reg_EnumValueNames(hklm, key.path(), names, false));
    EXPECT_EQ(sorted(names), (StringList{u"Padded", u"Plain"}));

    StringList data;
    EXPECT_TRUE(Reg_EnumValues(hklm, key.path(), names, &data, false));
    ASSERT_EQ(names.size(), 2u);
    for (std::size_t index = 0; index < names.size(); ++index) {
        EXPECT_EQ(data[index], names[index] == u"Padded" ? u"text" : u"p");
    }

    EXPECT_FALSE(Reg_EnumValueNames(hklm, under(u"Missing"), names, false));
    EXPECT_FALSE(Reg_EnumValues(hklm, under(u"Missing"), names, nullptr, false));
}

TEST_F(RealRegistry, ValueBuffersAroundTwoHundredFiftySixBytes) {
    const std::u16string long_text(300, u'x');
    test::write_string(hklm, key.path(), u"Long", long_text);
    // 127 characters and the null make exactly 256 bytes: the sized read, null dropped.
    test::write_string(hklm, key.path(), u"Edge", std::u16string(127, u'e'));
    // 254 bytes: the fixed 255-character buffer.
    test::write_string(hklm, key.path(), u"Below", std::u16string(126, u'b'));
    test::write_bytes(hklm, key.path(), u"MultiShort", os::reg_multi_sz, std::u16string(u"one\0two\0\0", 9));
    const std::u16string multi_long = std::u16string(100, u'a') + u'\0' + std::u16string(100, u'b') + u'\0' + u'\0';
    test::write_bytes(hklm, key.path(), u"MultiLong", os::reg_multi_sz, multi_long);
    // The type is never examined: a DWORD's four bytes read as two characters.
    test::write_bytes(hklm, key.path(), u"Number", os::reg_dword, u"AB");

    const std::pair<std::u16string, std::u16string> expected[] = {
        {u"Long", long_text},
        {u"Edge", std::u16string(127, u'e')},
        {u"Below", std::u16string(126, u'b')},
        {u"MultiShort", u"one"},
        {u"MultiLong", multi_long.substr(0, 201)},
        {u"Number", u"AB"},
    };
    StringList names, data;
    ASSERT_TRUE(Reg_EnumValues(hklm, key.path(), names, &data, false));
    ASSERT_EQ(names.size(), std::size(expected));
    ASSERT_EQ(data.size(), names.size());
    for (const auto& [name, text] : expected) {
        const auto at = std::find(names.begin(), names.end(), name);
        ASSERT_NE(at, names.end());
        EXPECT_EQ(data[static_cast<std::size_t>(at - names.begin())], text);
        std::u16string read;
        EXPECT_TRUE(Reg_ReadString(hklm, key.path(), name, false, read));
        EXPECT_EQ(read, text);
    }
}

TEST_F(RealRegistry, ReadStringOfDefaultMissingAndExpandableValues) {
    test::write_string(hklm, key.path(), u"", u"default");
    test::write_string(hklm, key.path(), u"Expand", u"%SystemRoot%\\x", 0, os::reg_expand_sz);
    std::u16string text;
    EXPECT_TRUE(Reg_ReadString(hklm, key.path() + u"\\", u"", false, text));
    EXPECT_EQ(text, u"default");
    EXPECT_TRUE(Reg_ReadString(hklm, key.path(), u"Expand", false, text));
    EXPECT_EQ(text, u"%SystemRoot%\\x");  // returned unexpanded
    text = u"stale";
    EXPECT_FALSE(Reg_ReadString(hklm, key.path(), u"Missing", false, text));
    EXPECT_EQ(text, u"");
    text = u"stale";
    EXPECT_FALSE(Reg_ReadString(hklm, under(u"Missing"), u"", false, text));
    EXPECT_EQ(text, u"");
}

TEST_F(RealRegistry, CollectAndDeleteATree) {
    test::create_key(hklm, under(u"a\\x"));
    test::create_key(hklm, under(u"b"));
    StringList tree{u"kept"};
    EXPECT_TRUE(Reg_CollectKeyTree(hklm, u"\\" + key.path() + u"\\", tree, false));
    // Children after their descendants, highest index first.
    EXPECT_EQ(tree, (StringList{u"kept", under(u"b"), under(u"a\\x"), under(u"a")}));
    EXPECT_FALSE(Reg_CollectKeyTree(hklm, u"  ", tree, false));
    EXPECT_FALSE(Reg_CollectKeyTree(hklm, under(u"Missing"), tree, false));

    EXPECT_TRUE(Reg_KeyExists(hklm, under(u"a\\x"), false));
    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, key.path(), false));
    EXPECT_FALSE(Reg_KeyExists(hklm, key.path(), false));
    EXPECT_FALSE(Reg_DeleteKeyTree(hklm, key.path(), false));
    EXPECT_FALSE(Reg_DeleteKeyTree(hklm, u" \\ ", false));
}

// Wine keeps symbolic links as Windows does: a link inside a tree is backed up
// and deleted as the link alone, and the key it leads to keeps everything.
TEST_F(RealRegistry, ALinkInsideATreeIsBackedUpAndDeletedAsTheLinkAlone) {
    const auto sam = os::key_all_access | os::key_wow64_64key;
    os::Hkey made = 0;
    ASSERT_EQ(os::reg_create_key_ex(hklm, under(u"Target\\Sub"), sam, made), os::error_success);
    os::reg_close_key(made);
    ASSERT_EQ(os::reg_create_key_ex(hklm, under(u"Tree\\Link"), sam | os::key_create_link, made,
                                    os::reg_option_create_link),
              os::error_success);
    const std::u16string target = u"\\Registry\\Machine\\" + under(u"Target");
    const auto status = os::reg_set_value_ex(made, u"SymbolicLinkValue", os::reg_link,
                                             reinterpret_cast<const std::uint8_t*>(target.data()),
                                             static_cast<std::uint32_t>(target.size() * sizeof(char16_t)));
    os::reg_close_key(made);
    ASSERT_EQ(status, os::error_success);
    ASSERT_TRUE(Reg_KeyExists(hklm, under(u"Tree\\Link\\Sub"), true));  // the link leads there

    regfile::Document backup;
    ASSERT_TRUE(export_registry_entry(*parse_registry_entry(u"HKLM|" + under(u"Tree")), true, backup));
    ASSERT_EQ(backup.keys.size(), 2u);
    EXPECT_EQ(backup.keys[1].path, under(u"Tree\\Link"));
    ASSERT_EQ(backup.keys[1].values.size(), 1u);
    EXPECT_EQ(backup.keys[1].values[0].type, os::reg_link);

    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, under(u"Tree"), true));
    EXPECT_FALSE(Reg_KeyExists(hklm, under(u"Tree"), true));
    EXPECT_TRUE(Reg_KeyExists(hklm, under(u"Target\\Sub"), true));
}

TEST_F(RealRegistry, FindSubKeyReturnsTheCallersSpelling) {
    test::create_key(hklm, under(u"Outer\\Inner\\TargetKey"));
    test::create_key(hklm, under(u"Leaf"));
    std::u16string found = u"stale";
    Reg_FindSubKey(hklm, key.path() + u"\\", u" targetkey ", found, false);
    EXPECT_EQ(found, key.path() + u"\\Outer\\Inner\\ targetkey \\");
    Reg_FindSubKey(hklm, key.path() + u"\\", u"Nowhere", found, false);
    EXPECT_EQ(found, u"");
}

TEST_F(RealRegistry, DeleteValueAndReadUnderMatchingSubKey) {
    test::write_string(hklm, under(u"Product_1.0\\Details"), u"Path", u"C:\\One");
    test::write_string(hklm, under(u"Product_2.0\\Details"), u"Path", u"C:\\Two");
    test::write_string(hklm, under(u"Product_1.0\\Details"), u"Gone", u"x");

    std::u16string text;
    EXPECT_TRUE(Reg_ReadValueUnderMatchingSubKey(hklm, key.path(), u"^Product_\\d", u"Details", u"Path", text, false));
    EXPECT_EQ(text, u"C:\\One");
    EXPECT_FALSE(Reg_ReadValueUnderMatchingSubKey(hklm, key.path(), u"^product", u"Details", u"Path", text, false));

    EXPECT_TRUE(Reg_DeleteValue(hklm, u"\\" + under(u"Product_1.0\\Details") + u"\\", u"Gone", false));
    EXPECT_FALSE(Reg_ReadString(hklm, under(u"Product_1.0\\Details"), u"Gone", false, text));
    EXPECT_FALSE(Reg_DeleteValue(hklm, under(u"Product_1.0\\Details"), u"Gone", false));
}

TEST(RealRegistryRoots, CurrentUserIsAnEntryOfHkeyUsers) {
    StringList users{u"kept"};
    EXPECT_TRUE(Reg_EnumUserKeys(users, false));
    ASSERT_GE(users.size(), 2u);
    EXPECT_EQ(users.front(), u"kept");

    // A value written through HKCU is visible below exactly one HKU entry.
    ScratchKey key(u"VorlixUser", hkcu);
    test::write_string(hkcu, key.path(), u"Mark", u"here");
    int holders = 0;
    for (std::size_t index = 1; index < users.size(); ++index) {
        std::u16string text;
        if (Reg_ReadString(os::hkey_users, users[index] + u"\\" + key.path(), u"Mark", false, text)) ++holders;
    }
    EXPECT_EQ(holders, 1);
}

}  // namespace
}  // namespace vorlix
