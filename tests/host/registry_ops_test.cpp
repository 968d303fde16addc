#include <gtest/gtest.h>

#include "access/Unit_ZRB_Registry_GValue.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "platform/portable/utf.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

using test::SimTest;
const os::Hkey hklm = os::hkey_local_machine;

class RegistryOps : public SimTest {};

TEST_F(RegistryOps, RootNamesAreCaseSensitive) {
    EXPECT_EQ(Reg_RootFromName(u"HKLM"), os::hkey_local_machine);
    EXPECT_EQ(Reg_RootFromName(u"HKCU"), os::hkey_current_user);
    EXPECT_EQ(Reg_RootFromName(u"HKU"), os::hkey_users);
    EXPECT_EQ(Reg_RootFromName(u"HKCR"), os::hkey_classes_root);
    EXPECT_EQ(Reg_RootFromName(u"hklm"), 0);
    EXPECT_EQ(Reg_RootFromName(u"HKEY_LOCAL_MACHINE"), 0);
}

TEST_F(RegistryOps, ValueBuffersAtTheTwoHundredFiftySixByteBoundary) {
    const std::u16string key = u"SOFTWARE\\T";
    const std::u16string long_text(300, u'x');
    sim::set_string(hklm, key, u"Long", long_text);
    // 127 characters and the null are exactly 256 bytes: read whole, null dropped.
    sim::set_string(hklm, key, u"Edge", std::u16string(127, u'e'));
    // Fewer than 256 bytes: only the first string of a multi-string.
    sim::set_value(hklm, key, u"MultiShort", os::reg_multi_sz, to_utf16le_bytes(std::u16string(u"one\0two\0\0", 9)));
    // 256 bytes or more: embedded nulls stay, trailing ones go.
    const std::u16string multi_long = std::u16string(100, u'a') + u'\0' + std::u16string(100, u'b') + u'\0' + u'\0';
    sim::set_value(hklm, key, u"MultiLong", os::reg_multi_sz, to_utf16le_bytes(multi_long));
    sim::set_string(hklm, key, u"  Padded  ", u"  text  ");

    StringList names, data{u"kept"};
    ASSERT_TRUE(Reg_EnumValues(hklm, key, names, &data, true));
    EXPECT_EQ(names, (StringList{u"Long", u"Edge", u"MultiShort", u"MultiLong", u"Padded"}));
    ASSERT_EQ(data.size(), 6u);  // the data list is appended to, not cleared
    EXPECT_EQ(data[1], long_text);
    EXPECT_EQ(data[2], std::u16string(127, u'e'));
    EXPECT_EQ(data[3], u"one");
    EXPECT_EQ(data[4], multi_long.substr(0, 201));
    EXPECT_EQ(data[5], u"text");
    // A value's data comes with its name, one call each (besides the open, the
    // count and the close); only data beyond the small buffer is asked again.
    sim::reset_call_counts();
    ASSERT_TRUE(Reg_EnumValues(hklm, key, names, &data, true));
    EXPECT_EQ(sim::call_counts().registry, 3u + 5u + 3u);

    std::u16string text = u"stale";
    EXPECT_TRUE(Reg_ReadString(hklm, key, u"  Padded  ", true, text));
    EXPECT_EQ(text, u"  text  ");  // reading a single value does not trim
}

TEST_F(RegistryOps, ReadStringDefaultAndMissing) {
    sim::set_string(hklm, u"SOFTWARE\\T", u"", u"default");
    std::u16string text;
    EXPECT_TRUE(Reg_ReadString(hklm, u"SOFTWARE\\T\\", u"", true, text));
    EXPECT_EQ(text, u"default");
    text = u"stale";
    EXPECT_FALSE(Reg_ReadString(hklm, u"SOFTWARE\\T", u"Missing", true, text));
    EXPECT_TRUE(text.empty());
    EXPECT_FALSE(Reg_ReadString(hklm, u"SOFTWARE\\Nowhere", u"", true, text));
    // A DWORD is taken as characters: present, but of no use as text.
    sim::set_dword(hklm, u"SOFTWARE\\T", u"Size", 0x41);
    EXPECT_TRUE(Reg_ReadString(hklm, u"SOFTWARE\\T", u"Size", true, text));
    EXPECT_EQ(text, u"A");
}

TEST_F(RegistryOps, EnumerationListsAndTheirClearing) {
    sim::create_key(hklm, u"SOFTWARE\\P\\Beta");
    sim::create_key(hklm, u"SOFTWARE\\P\\alpha");
    sim::set_string(hklm, u"SOFTWARE\\P", u"V1", u"x");
    sim::set_string(hklm, u"SOFTWARE\\P", u"   ", u"blank name");
    StringList list{u"old"};
    EXPECT_TRUE(Reg_EnumSubKeys(hklm, u"SOFTWARE\\P", list, true));
    EXPECT_EQ(list, (StringList{u"alpha", u"Beta"}));
    EXPECT_TRUE(Reg_EnumSubKeys(hklm, u"SOFTWARE\\Missing", list, true));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(Reg_EnumValueNames(hklm, u"SOFTWARE\\P", list, true));
    EXPECT_EQ(list, (StringList{u"V1"}));
    EXPECT_FALSE(Reg_EnumValueNames(hklm, u"SOFTWARE\\Missing", list, true));

    StringList users{u"first"};
    EXPECT_TRUE(Reg_EnumUserKeys(users, true));
    ASSERT_GE(users.size(), 2u);
    EXPECT_EQ(users.front(), u"first");
    EXPECT_NE(std::find(users.begin(), users.end(), sim::config().user_sid), users.end());
}

TEST_F(RegistryOps, DeleteKeyTreeStopsAtTheFirstChildThatStays) {
    for (auto child : {u"A", u"B", u"C"}) sim::create_key(hklm, std::u16string(u"SOFTWARE\\X\\") + child + u"\\Deep");
    sim::deny_write(hklm, u"SOFTWARE\\X\\B");
    EXPECT_FALSE(Reg_DeleteKeyTree(hklm, u"\\SOFTWARE\\X\\", true));
    EXPECT_FALSE(sim::key_exists(hklm, u"SOFTWARE\\X\\C"));  // higher index: already gone
    EXPECT_TRUE(sim::key_exists(hklm, u"SOFTWARE\\X\\B"));
    EXPECT_TRUE(sim::key_exists(hklm, u"SOFTWARE\\X\\A\\Deep"));  // lower index: not yet visited
    EXPECT_TRUE(sim::key_exists(hklm, u"SOFTWARE\\X"));
    EXPECT_FALSE(Reg_DeleteKeyTree(hklm, u"  ", true));
    EXPECT_FALSE(Reg_DeleteKeyTree(hklm, u"SOFTWARE\\Nowhere", true));
}

TEST_F(RegistryOps, DeleteKeyTreeInTheSixtyFourBitViewSparesTheWowTwin) {
    // A 32-bit process on 64-bit Windows (the default machine).
    sim::create_key(hklm, u"SOFTWARE\\Vendor\\App\\Sub");
    sim::create_key(hklm, u"SOFTWARE\\Wow6432Node\\Vendor\\App");
    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, u"SOFTWARE\\Vendor\\App", true));
    EXPECT_FALSE(sim::key_exists(hklm, u"SOFTWARE\\Vendor\\App"));
    EXPECT_TRUE(sim::key_exists(hklm, u"SOFTWARE\\Wow6432Node\\Vendor\\App"));
    // The process's own view is the redirected one.
    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, u"SOFTWARE\\Vendor\\App", false));
    EXPECT_FALSE(sim::key_exists(hklm, u"SOFTWARE\\Wow6432Node\\Vendor\\App"));
}

TEST_F(RegistryOps, DeleteValueAndKeyExists) {
    sim::set_string(hklm, u"SOFTWARE\\T", u"Run", u"x");
    EXPECT_TRUE(Reg_KeyExists(hklm, u"SOFTWARE\\T\\", true));
    EXPECT_FALSE(Reg_KeyExists(hklm, u"SOFTWARE\\T\\Missing", true));
    EXPECT_TRUE(Reg_DeleteValue(hklm, u"\\SOFTWARE\\T\\", u"Run", true));
    EXPECT_FALSE(Reg_DeleteValue(hklm, u"SOFTWARE\\T", u"Run", true));
    sim::deny_write(hklm, u"SOFTWARE\\T");
    EXPECT_FALSE(Reg_KeyExists(hklm, u"SOFTWARE\\T", true));  // opened with full access
}

TEST_F(RegistryOps, CollectKeyTreeListsChildrenAfterTheirDescendants) {
    sim::create_key(hklm, u"SOFTWARE\\R\\A\\A1");
    sim::create_key(hklm, u"SOFTWARE\\R\\B");
    StringList list{u"kept"};
    EXPECT_TRUE(Reg_CollectKeyTree(hklm, u"\\SOFTWARE\\R\\", list, true));
    EXPECT_EQ(list, (StringList{u"kept", u"SOFTWARE\\R\\B", u"SOFTWARE\\R\\A\\A1", u"SOFTWARE\\R\\A"}));
    EXPECT_FALSE(Reg_CollectKeyTree(hklm, u"", list, true));
    EXPECT_FALSE(Reg_CollectKeyTree(hklm, u"SOFTWARE\\Missing", list, true));
}

// A link in a tree is listed, searched and deleted as the link itself: what
// it leads to is neither walked nor touched.
TEST_F(RegistryOps, TreeWalksListALinkAndNeverEnterIt) {
    sim::create_key(hklm, u"SOFTWARE\\Elsewhere\\Deep\\target");
    sim::create_link(hklm, u"SOFTWARE\\L\\Link", u"\\Registry\\Machine\\SOFTWARE\\Elsewhere");
    sim::create_key(hklm, u"SOFTWARE\\L\\Own");
    StringList list;
    EXPECT_TRUE(Reg_CollectKeyTree(hklm, u"SOFTWARE\\L", list, true));
    EXPECT_EQ(list, (StringList{u"SOFTWARE\\L\\Own", u"SOFTWARE\\L\\Link"}));
    std::u16string found;
    EXPECT_FALSE(Reg_FindSubKey(hklm, u"SOFTWARE\\L\\", u"target", found, true));

    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, u"SOFTWARE\\L", true));
    EXPECT_FALSE(sim::key_exists(hklm, u"SOFTWARE\\L"));
    EXPECT_TRUE(sim::key_exists(hklm, u"SOFTWARE\\Elsewhere\\Deep\\target"));
    // A finding that is itself a link goes as the link.
    sim::create_link(hklm, u"SOFTWARE\\L2", u"\\Registry\\Machine\\SOFTWARE\\Elsewhere\\Deep");
    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, u"SOFTWARE\\L2", true));
    EXPECT_FALSE(sim::key_exists(hklm, u"SOFTWARE\\L2"));
    EXPECT_TRUE(sim::key_exists(hklm, u"SOFTWARE\\Elsewhere\\Deep\\target"));
}

TEST_F(RegistryOps, FindSubKeySearchesDepthFirstAndKeepsTheCallersSpelling) {
    sim::create_key(hklm, u"SOFTWARE\\F\\One\\Leaf");
    sim::create_key(hklm, u"SOFTWARE\\F\\Two\\Inner\\TARGET\\x");
    std::u16string found = u"stale";
    EXPECT_TRUE(Reg_FindSubKey(hklm, u"SOFTWARE\\F\\", u" target ", found, true));
    EXPECT_EQ(found, u"SOFTWARE\\F\\Two\\Inner\\ target \\");
    EXPECT_FALSE(Reg_FindSubKey(hklm, u"SOFTWARE\\F\\", u"absent", found, true));
    EXPECT_TRUE(found.empty());
}

TEST_F(RegistryOps, PathVariantsInsertWowNodesAfterEachComponentButTheLast) {
    StringList list{u"untouched"};
    EXPECT_FALSE(Reg_PathVariants(u"SOFTWARE", true, list));
    EXPECT_FALSE(Reg_PathVariants(u"", true, list));
    EXPECT_EQ(list, StringList{u"untouched"});

    ASSERT_TRUE(Reg_PathVariants(u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\", true, list));
    EXPECT_EQ(list, (StringList{
                        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                        u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\",
                        u"SOFTWARE\\Microsoft\\Wow6432Node\\Windows\\CurrentVersion\\Uninstall\\",
                        u"SOFTWARE\\Microsoft\\Windows\\Wow6432Node\\CurrentVersion\\Uninstall\\",
                        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Wow6432Node\\Uninstall\\",
                    }));
    ASSERT_TRUE(Reg_PathVariants(u"A\\\\B", true, list));
    EXPECT_EQ(list, (StringList{u"A\\\\B", u"A\\Wow6432Node\\B"}));
    ASSERT_TRUE(Reg_PathVariants(u"A\\B", false, list));
    EXPECT_EQ(list, (StringList{u"A\\Wow6432Node\\B"}));
}

TEST_F(RegistryOps, OperationsOverAllVariants) {
    sim::create_key(hklm, u"SOFTWARE\\Classes\\CLSID\\{1}");
    sim::create_key(hklm, u"SOFTWARE\\Wow6432Node\\Classes\\CLSID\\{2}");
    sim::create_key(hklm, u"SOFTWARE\\Wow6432Node\\Classes\\CLSID\\{3}");
    sim::set_string(hklm, u"SOFTWARE\\Wow6432Node\\Classes\\CLSID", u"Value", u"v");

    StringList lines{u"old"};
    EXPECT_TRUE(Reg_CollectSubKeyLines(hklm, u"SOFTWARE\\Classes\\CLSID", lines, true));
    EXPECT_EQ(lines, (StringList{u"SOFTWARE\\Classes\\CLSID|{1}", u"SOFTWARE\\Wow6432Node\\Classes\\CLSID|{2}|{3}"}));
    EXPECT_TRUE(Reg_CollectValueNameLines(hklm, u"SOFTWARE\\Classes\\CLSID", lines, true));
    EXPECT_EQ(lines, (StringList{u"SOFTWARE\\Wow6432Node\\Classes\\CLSID|Value"}));

    StringList tree;
    EXPECT_TRUE(Reg_CollectKeyTreeAllVariants(hklm, u"SOFTWARE\\Classes\\CLSID", tree, true));
    EXPECT_EQ(tree, (StringList{u"SOFTWARE\\Classes\\CLSID\\{1}", u"SOFTWARE\\Wow6432Node\\Classes\\CLSID\\{3}",
                                u"SOFTWARE\\Wow6432Node\\Classes\\CLSID\\{2}"}));

    int count = -1;
    StringList existing;
    EXPECT_TRUE(Reg_FindExistingVariants(hklm, u"SOFTWARE\\Classes\\CLSID", true, &existing, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(existing, (StringList{u"SOFTWARE\\Classes\\CLSID", u"SOFTWARE\\Wow6432Node\\Classes\\CLSID"}));
    EXPECT_FALSE(Reg_FindExistingVariants(hklm, u"SOFTWARE\\None\\X", true, nullptr, count));
    EXPECT_EQ(count, 0);
}

TEST_F(RegistryOps, InstallerUserKeysFromEveryVariant) {
    const std::u16string base = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\";
    sim::create_key(hklm, base + u"S-1-5-18\\Products");
    sim::create_key(hklm, u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-21");
    StringList list{u"kept"};
    EXPECT_TRUE(Reg_EnumInstallerUserKeys(list, true));
    EXPECT_EQ(list, (StringList{u"kept", u"S-1-5-18", u"S-1-5-21"}));
}

TEST_F(RegistryOps, ReadValueUnderTheFirstMatchingSubKey) {
    const std::u16string parent = u"SOFTWARE\\Adobe\\Character Animator";
    sim::set_string(hklm, parent + u"\\2019\\Install", u"Path", u"");
    sim::set_string(hklm, parent + u"\\2020\\Install", u"Path", u"C:\\CA2020\\");
    sim::set_string(hklm, parent + u"\\beta\\Install", u"Path", u"C:\\Beta\\");
    std::u16string text;
    // The first match has an empty value: no fallback to later subkeys.
    EXPECT_FALSE(Reg_ReadValueUnderMatchingSubKey(hklm, parent, u"^20", u"Install", u"Path", text, true));
    EXPECT_TRUE(Reg_ReadValueUnderMatchingSubKey(hklm, parent + u"\\", u"0$", u"Install", u"Path", text, true));
    EXPECT_EQ(text, u"C:\\CA2020\\");
    EXPECT_FALSE(Reg_ReadValueUnderMatchingSubKey(hklm, parent, u"BETA", u"Install", u"Path", text, true));
}

TEST(SplitPieces, SeparatorsLineBreaksAndQuotedRuns) {
    StringList list{u"old"};
    EXPECT_TRUE(SplitPieces(u"a||b", u'|', list));
    EXPECT_EQ(list, (StringList{u"a", u"b"}));
    EXPECT_TRUE(SplitPieces(u"\"C:\\Program Files\\a,b\\x.exe\",3", u',', list));
    EXPECT_EQ(list, (StringList{u"\"C:\\Program Files\\a,b\\x.exe\"", u"3"}));
    EXPECT_TRUE(SplitPieces(u"\"C:\\My App\\u.exe\" /S /D", u'/', list));
    EXPECT_EQ(list, (StringList{u"\"C:\\My App\\u.exe\" ", u"S ", u"D"}));
    EXPECT_TRUE(SplitPieces(u"\r\nx\r\ny|'q|r'|", u'|', list));
    EXPECT_EQ(list, (StringList{u"x", u"y", u"'q|r'"}));
    // An unclosed quote runs to the end of the text.
    EXPECT_TRUE(SplitPieces(u"a \"b c", u' ', list));
    EXPECT_EQ(list, (StringList{u"a", u"\"b c"}));
    EXPECT_FALSE(SplitPieces(u"|||\r\n", u'|', list));
    EXPECT_TRUE(list.empty());
}

TEST(IsIntegerText, SignedThirtyTwoBitDecimal) {
    for (auto text : {u"0", u" 42 ", u"-2147483648", u"2147483647", u"+7", u"\t65535\r\n"})
        EXPECT_TRUE(IsIntegerText(text)) << std::string(text, text + std::char_traits<char16_t>::length(text));
    for (auto text : {u"", u"  ", u"2147483648", u"-2147483649", u"1.5", u"0x10", u"-", u"12a", u"1 2",
                      u"99999999999999999999"})
        EXPECT_FALSE(IsIntegerText(text));
}

TEST(PackedProductCode, GroupsReversedThenBytesSwappedAndOnlyForWholeCodes) {
    EXPECT_EQ(packed_product_code(u"{12345678-9ABC-DEF0-1234-56789ABCDEF0}"), u"87654321CBA90FED21436587A9CBED0F");
    EXPECT_EQ(packed_product_code(u"{12345678-9abc-def0-1234-56789abcdef0}"), u"87654321CBA90FED21436587A9CBED0F");
    for (auto code : {u"12345678-9ABC-DEF0-1234-56789ABCDEF0", u"{12345678-9ABC-DEF0-1234-56789ABCDEF}",
                      u"{12345678-9ABC-DEF0-1234-56789ABCDEFG}", u"{123456789-ABC-DEF0-1234-56789ABCDEF0}",
                      u"{12345678-9ABC-DEF0-1234-56789ABCDEF0"})
        EXPECT_EQ(packed_product_code(code), u"") << std::string(code, code + std::char_traits<char16_t>::length(code));
}

}  // namespace
}  // namespace vorlix
