// The 32/64-bit environment against a real 64-bit prefix: bitness, the
// registry views and file-system redirection.
#include <gtest/gtest.h>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/wow64.h"
#include "win/win_test_support.h"

namespace vorlix {
namespace {

using test::build64;
using test::ScratchKey;
const os::Hkey hklm = os::hkey_local_machine;

TEST(Wow64Environment, BitnessAndWow64FollowTheBuild) {
    EXPECT_EQ(Sys_IsWow64Process(), !build64);
    EXPECT_EQ(Sys_GetBitness(), build64 ? bitness_native64 : bitness_wow64);
    // Both exports exist on every Windows this runs on, and so does the 32-bit system folder.
    EXPECT_TRUE(os::is_wow64_process_available());
    EXPECT_TRUE(os::get_system_wow64_directory_available());
    char16_t buffer[260] = {};
    const auto length = os::get_system_wow64_directory(buffer, 260);
    ASSERT_GT(length, 0u);
    EXPECT_TRUE(Str_SameText(std::u16string(buffer, length), Sys_GetWindowsDir() + u"syswow64"));
}

class Wow64Registry : public ::testing::Test {
protected:
    ScratchKey key{u"VorlixWow"};
};

TEST_F(Wow64Registry, OwnViewWritesLandBelowWow6432NodeOnlyInA32BitProcess) {
    test::create_key(hklm, key.path());
    // The explicit Wow6432Node path in the 64-bit view is where the scan looks for 32-bit entries.
    EXPECT_EQ(Reg_KeyExists(hklm, key.wow_path(), true), !build64);
    EXPECT_EQ(Reg_KeyExists(hklm, key.path(), true), build64);
    EXPECT_TRUE(Reg_KeyExists(hklm, key.path(), false));
}

TEST_F(Wow64Registry, View64ReadsTheSixtyFourBitView) {
    test::write_string(hklm, key.path(), u"Where", u"64", os::key_wow64_64key);
    test::write_string(hklm, key.path(), u"Where", u"32", os::key_wow64_32key);
    std::u16string text;
    EXPECT_TRUE(Reg_ReadString(hklm, key.path(), u"Where", true, text));
    EXPECT_EQ(text, u"64");
    EXPECT_TRUE(Reg_ReadString(hklm, key.path(), u"Where", false, text));
    EXPECT_EQ(text, build64 ? u"64" : u"32");
    EXPECT_TRUE(Reg_ReadString(hklm, key.wow_path(), u"Where", true, text));
    EXPECT_EQ(text, u"32");
}

TEST_F(Wow64Registry, DeleteKeyTreeWithView64RemovesASixtyFourBitTree) {
    const auto sam = os::key_wow64_64key;
    test::create_key(hklm, key.path() + u"\\a\\deep", sam);
    test::write_string(hklm, key.path() + u"\\b", u"v", u"x", sam);
    // A 32-bit process's RegDeleteKeyW goes to its own view; only the
    // RegDeleteKeyExW retry reaches the 64-bit keys.
    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, u"\\" + key.path() + u"\\", true));
    EXPECT_FALSE(test::key_exists(hklm, key.path(), sam));
}

TEST_F(Wow64Registry, DeleteKeyTreeInTheOwnViewLeavesTheOtherView) {
    test::create_key(hklm, key.path() + u"\\child", os::key_wow64_64key);
    test::create_key(hklm, key.path() + u"\\child", os::key_wow64_32key);
    EXPECT_TRUE(Reg_DeleteKeyTree(hklm, key.path(), false));
    EXPECT_FALSE(test::key_exists(hklm, key.path(), 0));
    const auto other = build64 ? os::key_wow64_32key : os::key_wow64_64key;
    EXPECT_TRUE(test::key_exists(hklm, key.path() + u"\\child", other));
}

TEST_F(Wow64Registry, SubKeyLinesOfBothViewsThroughView64) {
    const auto sam = os::key_wow64_64key;
    test::create_key(hklm, key.path() + u"\\Uninstall\\A", sam);
    test::create_key(hklm, key.path() + u"\\Uninstall\\B", sam);
    test::create_key(hklm, key.wow_path() + u"\\Uninstall\\C", sam);
    StringList lines{u"stale"};
    EXPECT_TRUE(Reg_CollectSubKeyLines(hklm, key.path() + u"\\Uninstall\\", lines, true));
    EXPECT_EQ(lines, (StringList{key.path() + u"\\Uninstall\\|A|B", key.wow_path() + u"\\Uninstall\\|C"}));

    int count = 0;
    StringList found;
    EXPECT_TRUE(Reg_FindExistingVariants(hklm, key.path() + u"\\Uninstall", true, &found, count));
    EXPECT_EQ(count, 2);
    EXPECT_EQ(found, (StringList{key.path() + u"\\Uninstall", key.wow_path() + u"\\Uninstall"}));
}

// A file created through the system folder name lands in the folder this
// process really sees there; with redirection off, a 32-bit process sees the
// 64-bit system folder.
class FsRedirection : public ::testing::Test {
protected:
    void SetUp() override {
        file_name = test::unique_name(u"vorlix_redir") + u".txt";
        system_file = Sys_GetSystemDir() + file_name;
        char16_t buffer[260] = {};
        const auto length = os::get_system_wow64_directory(buffer, 260);
        wow64_file = std::u16string(buffer, length) + u"\\" + file_name;
        ASSERT_TRUE(os::write_file_bytes(system_file, "redirection"));
    }
    void TearDown() override {
        os::delete_file(system_file);  // the redirected name in a 32-bit process
        os::delete_file(wow64_file);
    }
    std::u16string file_name, system_file, wow64_file;
};

TEST_F(FsRedirection, DisableShowsTheRealSystemFolderAndRevertRestoresTheView) {
    EXPECT_EQ(test::exists(wow64_file), !build64);
    void* saved = nullptr;
    ASSERT_TRUE(Sys_DisableFsRedirection(saved));
    // Without redirection a 32-bit process finds its file only in syswow64.
    EXPECT_EQ(test::exists(system_file), build64);
    EXPECT_EQ(test::exists(wow64_file), !build64);
    ASSERT_TRUE(Sys_RevertFsRedirection(saved));
    EXPECT_TRUE(test::exists(system_file));
}

}  // namespace
}  // namespace vorlix
