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
    EXPECT_EQ(guard.claimable(u"C:\\Apps\\Tool\\bin"), u"");  // another program's
    EXPECT_EQ(guard.claimable_link(u"C:\\Apps\\Link\\"), u"C:\\Apps\\Link\\");  // the link alone
    EXPECT_EQ(guard.claimable_link(u"C:\\Apps\\Tool"), u"");

    EXPECT_TRUE(guard.refers_to_others(u"\"C:\\APPS\\TOOL\\BIN\\tool.exe\" /run"));
    EXPECT_FALSE(guard.refers_to_others(u"C:\\Apps\\Tool\\binaries\\x.exe"));
    EXPECT_FALSE(guard.refers_to_others(u"C:\\Other\\relative\\x.exe"));  // a relative location guards nothing
    EXPECT_TRUE(guard.holds_others(u"C:\\Apps\\Tool"));
    EXPECT_FALSE(guard.holds_others(u"C:\\Apps\\Tool\\bin\\sub"));
    EXPECT_FALSE(guard.deletable(u"C:\\Apps\\Tool\\bin\\tool.exe"));
    EXPECT_TRUE(guard.deletable(u"C:\\Apps\\Link"));
    EXPECT_FALSE(guard.deletable(u"C:\\Apps\\Link\\tool.exe"));
}

// The other programs' folders share their vendors' folders: however many
// programs lie below a vendor whose name could be short, the guard asks the
// file system about that vendor once.
TEST_F(LocationGuardTest, OtherProgramsBelowOneVendorCostNoLookUpEach) {
    const auto file_calls = [](int programs) {
        StringList locations;
        for (int index = 0; index < programs; ++index)
            locations.push_back(u"C:\\Apps\\Vendor12\\Program Number " + from_utf8(std::to_string(index)) + u"\\");
        sim::reset_call_counts();
        const LocationGuard guard(locations);
        return sim::call_counts().files;
    };
    EXPECT_EQ(file_calls(25), file_calls(5));
}

// Every way of spelling a place, against one machine: what a location may
// claim comes back expanded and trimmed, everything else comes back empty.
TEST_F(LocationGuardTest, EverySpellingClassClaimsOnlyAFinalLocalFolderNobodyElseOwns) {
    sim::add_junction(u"C:\\Apps\\WinLink", u"C:\\Windows");
    sim::add_folder(u"C:\\Long Apps\\Neighbour");
    sim::set_short_name(u"C:\\Long Apps", u"LONGAP~1");
    sim::add_folder(u"C:\\Shared Things\\Kept");
    sim::set_short_name(u"C:\\Shared Things", u"SHARED~1");
    // Other programs' locations, one of them known only by its short alias.
    const LocationGuard guard({u"%SystemDrive%\\Apps\\Other", u"C:\\Long Apps\\Neighbour", u"C:\\SHARED~1\\Kept"});
    struct Case {
        const char16_t* location;
        const char16_t* claims;  // empty: claims nothing
    };
    const Case cases[] = {
        // Claimable: fully qualified, final, nobody else's.
        {u"C:\\Apps\\Tool", u"C:\\Apps\\Tool"},
        {u" %SystemDrive%\\Apps\\Tool\\ ", u"C:\\Apps\\Tool\\"},
        {u"c:\\apps\\TOOL", u"c:\\apps\\TOOL"},
        {u"C:\\Apps\\Tool\\not yet\\installed", u"C:\\Apps\\Tool\\not yet\\installed"},
        {u"%ProgramFiles%\\Tool", u"C:\\Program Files (x86)\\Tool"},
        {u"%APPDATA%\\Tool", u"C:\\Users\\user\\AppData\\Roaming\\Tool"},
        {u"C:\\Apps\\OtherBox", u"C:\\Apps\\OtherBox"},
        {u"C:\\Long Apps\\NeighbourHood", u"C:\\Long Apps\\NeighbourHood"},
        {u"C:\\Apps\\\u00dcn\u00efc\u00f8d\u00e9 \u5de5\u5177", u"C:\\Apps\\\u00dcn\u00efc\u00f8d\u00e9 \u5de5\u5177"},
        // Relative and rooted.
        {u"Apps\\Tool", u""},
        {u"Tool", u""},
        {u".\\Tool", u""},
        {u"..\\Apps\\Tool", u""},
        {u"\\Apps\\Tool", u""},
        {u"C:Apps\\Tool", u""},
        // Network, volume and device paths.
        {u"\\\\server\\share\\Tool", u""},
        {u"\\\\?\\UNC\\server\\share\\Tool", u""},
        {u"\\\\?\\C:\\Apps\\Tool", u""},
        {u"\\\\?\\Volume{01234567-89ab-cdef-0123-456789abcdef}\\Apps\\Tool", u""},
        {u"\\\\.\\C:\\Apps\\Tool", u""},
        {u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume1\\Apps\\Tool", u""},
        {u"COM1", u""},
        {u"NUL", u""},
        // Links, short names and names Windows rewrites.
        {u"C:\\Apps\\WinLink", u""},
        {u"C:\\Apps\\WinLink\\Tool", u""},
        {u"C:\\Apps\\Link", u""},
        {u"C:\\Apps\\TOOL~1", u""},
        {u"C:\\Apps\\Tool.", u""},
        {u"C:\\Apps\\Tool \\bin", u""},
        {u"C:\\Apps\\Tool\\.", u""},
        {u"C:\\Apps\\Tool\\bin\\..", u""},
        {u"C:\\Apps\\\\Tool", u""},
        {u"C:/Apps/Tool", u""},
        {u"C:\\Apps/Tool", u""},
        {u"C:\\Apps\\Tool:stream", u""},
        {u"C:\\Apps\\T*", u""},
        {u"Q:\\Apps\\Tool", u""},
        {u"", u""},
        {u"   ", u""},
        // Placeholders that name nothing, or a guarded folder.
        {u"%NoSuchVariable%\\Tool", u""},
        {u"%SystemRoot%\\Tool", u""},
        {u"%ProgramFiles%", u""},
        // The drive, Windows and the folders the shell knows, or above one.
        {u"C:\\", u""},
        {u"C:\\Windows", u""},
        {u"C:\\Windows\\System32\\Tool", u""},
        {u"C:\\Program Files", u""},
        {u"C:\\Program Files (x86)\\", u""},
        {u"%CommonProgramFiles%", u""},
        {u"%ProgramData%", u""},
        {u"C:\\Users", u""},
        {u"%USERPROFILE%", u""},
        {u"%USERPROFILE%\\AppData", u""},
        {u"%APPDATA%", u""},
        {u"%LOCALAPPDATA%", u""},
        {u"%TEMP%", u""},
        {u"%USERPROFILE%\\Desktop", u""},
        {u"%USERPROFILE%\\Documents", u""},
        {u"%USERPROFILE%\\Downloads", u""},
        // What Windows keeps below the shared folders.
        {u"C:\\Program Files\\Windows Defender", u""},
        {u"%CommonProgramFiles%\\Microsoft Shared", u""},
        {u"%ProgramData%\\Microsoft", u""},
        {u"%APPDATA%\\Microsoft\\Windows", u""},
        // Other programs' folders, under any spelling they were registered with.
        {u"C:\\Apps\\Other", u""},
        {u"c:\\apps\\other\\plugins", u""},
        {u"C:\\Long Apps\\Neighbour\\", u""},
        {u"C:\\LONGAP~1", u""},
        {u"C:\\Shared Things\\Kept", u""},
        {u"C:\\Shared Things\\Kept\\sub", u""},
    };
    for (const auto& c : cases) EXPECT_EQ(guard.claimable(c.location), c.claims) << to_utf8(c.location);
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
