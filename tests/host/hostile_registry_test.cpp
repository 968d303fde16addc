// The registry operations on data as real machines have it: values of every
// type and size where text is expected, names at the length limits, very deep
// and very wide trees, keys that refuse to open or vanish mid-enumeration,
// and names that look like path syntax.
#include <gtest/gtest.h>

#include <algorithm>
#include <string_view>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "hostile_support.h"
#include "support/sim_test.h"

namespace vorlix::test {
namespace {

using namespace std::string_view_literals;

// The current user's keys: the same in both views, so the literal paths of
// the model's control surface are the paths the operations open.
constexpr auto hkcu = os::hkey_current_user;
const std::u16string base = u"Software\\Hostile";

class HostileRegistry : public SimTest {};

TEST_F(HostileRegistry, ValuesOfAnyTypeAndSizeReadAsTextAndStayAligned) {
    const std::u16string huge(40000, u'h');  // 80,000 bytes
    sim::set_value(hkcu, base, u"Dword", os::reg_dword, std::string("\x42\0\x41\0", 4));
    sim::set_value(hkcu, base, u"DwordOne", os::reg_dword, std::string("\x01\0\0\0", 4));
    sim::set_value(hkcu, base, u"OddBinary", os::reg_binary, std::string("\x41\0\x42\0\x43", 5));
    sim::set_value(hkcu, base, u"Huge", os::reg_sz, to_utf16le_bytes(huge) + std::string(2, '\0'));
    sim::set_value(hkcu, base, u"HugeOdd", os::reg_binary, to_utf16le_bytes(std::u16string(200, u'o')) + "\x41");
    const auto multi = u"first\0second\0"sv;
    sim::set_value(hkcu, base, u"LongMulti", os::reg_multi_sz,
                   to_utf16le_bytes(std::u16string(multi) + std::u16string(200, u'm')) + std::string(6, '\0'));
    sim::set_value(hkcu, base, u"Empty", os::reg_sz, "");
    StringList names, data;
    ASSERT_TRUE(Reg_EnumValues(hkcu, base, names, &data, false));
    EXPECT_EQ(names, (StringList{u"Dword", u"DwordOne", u"OddBinary", u"Huge", u"HugeOdd", u"LongMulti", u"Empty"}));
    ASSERT_EQ(data.size(), names.size());
    EXPECT_EQ(data[0], u"BA");  // a DWORD's bytes taken as two characters
    EXPECT_EQ(data[1], u"");    // U+0001, trimmed
    EXPECT_EQ(data[2], u"ABC");
    EXPECT_EQ(data[3], huge);
    EXPECT_EQ(data[4], std::u16string(200, u'o') + u"A");  // the odd byte fills the low half of a character
    EXPECT_EQ(data[5], std::u16string(multi) + std::u16string(200, u'm'));  // embedded nulls stay
    EXPECT_EQ(data[6], u"");

    std::u16string text;
    EXPECT_TRUE(Reg_ReadString(hkcu, base, u"Huge", false, text));
    EXPECT_EQ(text, huge);
}

TEST_F(HostileRegistry, NamesAtTheLengthLimits) {
    const std::u16string key255(255, u'k'), key254(254, u'j');
    const std::u16string value_longest(16383, u'v'), value_fitting(16382, u'w'), value255(255, u'x');
    sim::create_key(hkcu, base + u"\\" + key255 + u"\\Below");
    sim::create_key(hkcu, base + u"\\" + key254);
    for (const auto& name : {value_longest, value255, value_fitting})
        sim::set_string(hkcu, base, name, u"data of " + name.substr(0, 1));

    // The enumeration buffer of 255 characters holds names of up to 254.
    StringList list;
    Reg_EnumSubKeys(hkcu, base, list, false);
    EXPECT_EQ(list, StringList{key254});
    // Buffers sized from the longest name take every name.
    StringList tree;
    Reg_CollectKeyTree(hkcu, base, tree, false);
    EXPECT_EQ(tree, (StringList{base + u"\\" + key255 + u"\\Below", base + u"\\" + key255, base + u"\\" + key254}));
    // A value name that does not fit is left out, and names and data stay paired.
    StringList names, data;
    Reg_EnumValues(hkcu, base, names, &data, false);
    EXPECT_EQ(names, (StringList{value255, value_fitting}));
    EXPECT_EQ(data, (StringList{u"data of x", u"data of w"}));
    EXPECT_TRUE(Reg_DeleteKeyTree(hkcu, base, false));
    EXPECT_FALSE(sim::key_exists(hkcu, base));
}

TEST_F(HostileRegistry, VeryDeepTreesAreCollectedSearchedAndDeleted) {
    constexpr int depth = 400;
    std::u16string deepest = base;
    for (int level = 0; level < depth; ++level) deepest += u"\\d";
    sim::create_key(hkcu, deepest + u"\\Target");
    sim::create_key(hkcu, u"Software\\Neighbour");

    StringList list;
    ASSERT_TRUE(Reg_CollectKeyTree(hkcu, base, list, false));
    ASSERT_EQ(list.size(), static_cast<std::size_t>(depth + 1));
    EXPECT_EQ(list.front(), deepest + u"\\Target");  // deepest first: a safe deletion order
    EXPECT_EQ(list.back(), base + u"\\d");
    std::u16string found;
    EXPECT_TRUE(Reg_FindSubKey(hkcu, base + u"\\", u"target", found, false));
    EXPECT_EQ(found, deepest + u"\\target\\");
    EXPECT_TRUE(Reg_DeleteKeyTree(hkcu, base, false));
    EXPECT_FALSE(sim::key_exists(hkcu, base));
    EXPECT_TRUE(sim::key_exists(hkcu, u"Software\\Neighbour"));
}

TEST_F(HostileRegistry, VeryWideTreesAreCollectedAndDeleted) {
    constexpr int width = 5000;
    for (int i = 0; i < width; ++i) {
        const auto number = std::to_string(i);
        sim::create_key(hkcu, base + u"\\k" + std::u16string(number.begin(), number.end()));
    }
    StringList list;
    Reg_EnumSubKeys(hkcu, base, list, false);
    EXPECT_EQ(list.size(), static_cast<std::size_t>(width));
    ASSERT_TRUE(Reg_CollectKeyTree(hkcu, base, list, false));
    EXPECT_EQ(list.size(), static_cast<std::size_t>(2 * width));  // appended to what was there
    EXPECT_TRUE(Reg_DeleteKeyTree(hkcu, base, false));
    EXPECT_FALSE(sim::key_exists(hkcu, base));
}

TEST_F(HostileRegistry, DeniedKeysInTheMiddleOfAnEnumeration) {
    for (const auto* key : {u"\\A\\Inner", u"\\B\\Inner", u"\\C\\Deep\\Target"}) sim::create_key(hkcu, base + key);
    sim::deny_open(hkcu, base + u"\\B");

    StringList list;
    Reg_EnumSubKeys(hkcu, base, list, false);
    EXPECT_EQ(list, (StringList{u"A", u"B", u"C"}));  // enumerating the parent needs no child open
    Reg_CollectKeyTree(hkcu, base, list, false);
    EXPECT_EQ(list, (StringList{u"A", u"B", u"C", base + u"\\C\\Deep\\Target", base + u"\\C\\Deep", base + u"\\C",
                                base + u"\\B", base + u"\\A\\Inner", base + u"\\A"}));
    std::u16string found;
    EXPECT_TRUE(Reg_FindSubKey(hkcu, base + u"\\", u"Target", found, false));
    EXPECT_EQ(found, base + u"\\C\\Deep\\Target\\");
    // The denied child stops the deletion there: it, the children before it and the key stay.
    EXPECT_FALSE(Reg_DeleteKeyTree(hkcu, base, false));
    EXPECT_TRUE(sim::key_exists(hkcu, base + u"\\A\\Inner"));
    EXPECT_TRUE(sim::key_exists(hkcu, base + u"\\B\\Inner"));
    EXPECT_FALSE(sim::key_exists(hkcu, base + u"\\C"));
}

TEST_F(HostileRegistry, KeysDeletedBetweenEnumerationAndOpen) {
    for (const auto* key : {u"\\A\\Inner", u"\\B", u"\\C\\Inner"}) sim::create_key(hkcu, base + key);
    // Another program removes C (the first child visited) just before it is enumerated.
    sim::on_enum_key(hkcu, base, 2, [] {
        os::reg_delete_key_ex(hkcu, base + u"\\C\\Inner", os::key_all_access, 0);
        os::reg_delete_key_ex(hkcu, base + u"\\C", os::key_all_access, 0);
    });
    StringList list;
    ASSERT_TRUE(Reg_CollectKeyTree(hkcu, base, list, false));
    // The vanished name is no key: the parent is never listed as its own child.
    EXPECT_EQ(list, (StringList{base + u"\\B", base + u"\\A\\Inner", base + u"\\A"}));

    sim::create_key(hkcu, base + u"\\C\\Inner");
    sim::on_enum_key(hkcu, base, 2, [] {
        os::reg_delete_key_ex(hkcu, base + u"\\C\\Inner", os::key_all_access, 0);
        os::reg_delete_key_ex(hkcu, base + u"\\C", os::key_all_access, 0);
    });
    EXPECT_TRUE(Reg_DeleteKeyTree(hkcu, base, false));
    EXPECT_FALSE(sim::key_exists(hkcu, base));
    EXPECT_TRUE(sim::key_exists(hkcu, u"Software"));
}

TEST_F(HostileRegistry, NamesThatLookLikePathSyntaxAreTakenLiterally) {
    // ".." is an ordinary key name in the registry: deleting it never reaches the parent.
    sim::create_key(hkcu, base + u"\\..\\Inner");
    sim::create_key(hkcu, base + u"\\Sibling");
    EXPECT_TRUE(Reg_DeleteKeyTree(hkcu, base + u"\\..", false));
    EXPECT_FALSE(sim::key_exists(hkcu, base + u"\\.."));
    EXPECT_TRUE(sim::key_exists(hkcu, base + u"\\Sibling"));
    // A doubled separator names no key at all.
    EXPECT_FALSE(Reg_DeleteKeyTree(hkcu, base + u"\\\\Sibling", false));
    EXPECT_TRUE(sim::key_exists(hkcu, base + u"\\Sibling"));

    const std::u16string rtl = u"\u202E\u05D0\u05D1";
    sim::create_key(hkcu, base + u"\\" + rtl + u"\\\u00C4rger");
    std::u16string found;
    // Only the ASCII letters are folded in the search.
    EXPECT_FALSE(Reg_FindSubKey(hkcu, base + u"\\", u"\u00E4RGER", found, false));
    EXPECT_TRUE(Reg_FindSubKey(hkcu, base + u"\\", u"\u00C4RGER", found, false));
    EXPECT_EQ(found, base + u"\\" + rtl + u"\\\u00C4RGER\\");
}

}  // namespace
}  // namespace vorlix::test
