// The location guard on its own: which spellings are final, what an install
// location may claim, what belongs to other programs, and the findings the
// entry form cannot hold.
#include <gtest/gtest.h>

#include <string>

#include "app/registry_entry.h"
#include "app/result_files.h"
#include "leftovers/leftover_scans.h"
#include "leftovers/location_guard.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix::test {
namespace {

class LocationGuardTest : public SimTest {
protected:
    void SetUp() override {
        SimTest::SetUp();
        sim::add_file(u"C:\\Apps\\Tool\\bin\\tool.exe");
        sim::set_short_name(u"C:\\Apps\\Tool", u"TOOL~1");
        sim::add_junction(u"C:\\Apps\\Link", u"C:\\Apps\\Tool");
    }
};

TEST_F(LocationGuardTest, OnlyTheSpellingTheFileSystemResolvesToIsFinal) {
    for (const auto* path : {u"C:\\Apps\\Tool", u"c:\\apps\\TOOL\\", u"C:\\Apps\\Tool\\bin\\tool.exe",
                             u"C:\\Apps\\Tool\\not yet\\below", u"C:\\", u"C:\\Missing"})
        EXPECT_TRUE(is_final_path(path)) << to_utf8(path);
    for (const auto* path : {u"C:\\Apps\\TOOL~1", u"C:\\Apps\\Link", u"C:\\Apps\\Link\\bin", u"C:\\Apps\\Tool\\.",
                             u"C:\\Apps\\Tool\\bin\\..", u"C:\\Apps\\Tool.", u"C:\\Apps\\\\Tool", u"C:/Apps/Tool",
                             u"Q:\\Apps\\Tool", u"C:Apps", u"\\\\?\\C:\\Apps\\Tool", u"C:\\Apps\\Tool:stream", u""})
        EXPECT_FALSE(is_final_path(path)) << to_utf8(path);
}

TEST_F(LocationGuardTest, ALocationClaimsOnlyWhatNobodyElseOwns) {
    const LocationGuard guard({u"C:\\Apps\\Tool\\bin\\", u"relative", u"C:\\"});
    EXPECT_EQ(guard.claimable(u" %SystemDrive%\\Apps\\Tool\\ "), u"C:\\Apps\\Tool\\");
    EXPECT_EQ(guard.claimable(u"C:\\Apps\\Tool\\bin"), u"");  // another program's
    EXPECT_EQ(guard.claimable(u"C:\\Apps\\Link"), u"");
    EXPECT_EQ(guard.claimable_link(u"C:\\Apps\\Link\\"), u"C:\\Apps\\Link\\");  // the link alone
    EXPECT_EQ(guard.claimable_link(u"C:\\Apps\\Tool"), u"");
    EXPECT_EQ(guard.claimable(u"C:\\Windows\\Tool"), u"");
    EXPECT_EQ(guard.claimable(u"%NoSuchVariable%\\Tool"), u"");

    EXPECT_TRUE(guard.refers_to_others(u"\"C:\\APPS\\TOOL\\BIN\\tool.exe\" /run"));
    EXPECT_FALSE(guard.refers_to_others(u"C:\\Apps\\Tool\\binaries\\x.exe"));
    EXPECT_FALSE(guard.refers_to_others(u"C:\\Other\\relative\\x.exe"));  // a relative location guards nothing
    EXPECT_TRUE(guard.holds_others(u"C:\\Apps\\Tool"));
    EXPECT_FALSE(guard.holds_others(u"C:\\Apps\\Tool\\bin\\sub"));
    EXPECT_FALSE(guard.deletable(u"C:\\Apps\\Tool\\bin\\tool.exe"));
    EXPECT_TRUE(guard.deletable(u"C:\\Apps\\Link"));
    EXPECT_FALSE(guard.deletable(u"C:\\Apps\\Link\\tool.exe"));
}

TEST_F(LocationGuardTest, AFindingWithTheSeparatorInANameIsNeverReadAsAnotherEntry) {
    const std::u16string key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool|UninstallString";
    const std::u16string value = u"name|with bar";
    const StringList findings = {registry_finding(u"HKLM", key), registry_finding(u"HKLM", u"Software\\Tool", &value),
                                 registry_finding(u"HKLM", u"Software\\Tool", nullptr)};
    ASSERT_TRUE(save_result_file(u"C:\\Vorlix\\SLF_RG.txt", findings));
    StringList loaded;
    ASSERT_TRUE(load_result_file(u"C:\\Vorlix\\SLF_RG.txt", loaded));
    EXPECT_EQ(loaded, findings);
    EXPECT_FALSE(parse_registry_entry(loaded[0]));
    EXPECT_FALSE(parse_registry_entry(loaded[1]));
    const auto plain = parse_registry_entry(loaded[2]);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->path, u"Software\\Tool");
    EXPECT_FALSE(plain->is_value);
}

}  // namespace
}  // namespace vorlix::test
