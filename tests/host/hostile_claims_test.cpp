// Whole uninstall cycles of programs whose registry data would hand them what
// belongs to Windows, to the user or to other programs: install locations of
// every odd form, folders Windows and the shell own, another program's folder,
// system keys named by a ProgID, shared extension keys and Installer
// components, names holding the entry separator and short-name tails on other
// drives. The whole machine is compared before and after.
#include <gtest/gtest.h>

#include <ostream>
#include <string_view>

#include "access/Unit_ZRB_func_Registry.h"
#include "app/leftover_session.h"
#include "app/synchronous_cycle.h"
#include "hostile_support.h"
#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

using namespace std::string_view_literals;

constexpr auto hklm = os::hkey_local_machine;
constexpr auto hkcu = os::hkey_current_user;
const std::u16string run_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::u16string classes = u"SOFTWARE\\Classes\\";
const std::u16string profile = u"C:\\Users\\user\\";
const std::u16string roaming = profile + u"AppData\\Roaming\\";
const std::u16string start_menu = roaming + u"Microsoft\\Windows\\Start Menu\\";
const std::u16string components = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\";
const std::u16string products = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\";

class HostileClaims : public HostileMachineTest {
protected:
    void furnish() override {
        for (const auto* file :
             {u"C:\\Windows\\System32\\ole32.dll", u"C:\\Windows\\Installer\\1a2b.msi",
              u"C:\\Program Files\\Common Files\\System\\ado\\msado15.dll", u"C:\\Program Files\\Internet Explorer\\iexplore.exe",
              u"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe", u"C:\\Program Files\\WindowsApps\\Pkg\\app.exe",
              u"C:\\ProgramData\\Microsoft\\Crypto\\machine.key", u"C:\\ProgramData\\Package Cache\\{AB}\\setup.exe",
              u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Vendor\\other.lnk",
              u"C:\\Users\\Public\\Desktop\\shared.lnk"})
            sim::add_file(file);
        for (const auto* file :
             {u"Documents\\letter.txt", u"Pictures\\photo.jpg", u"Music\\song.mp3", u"Videos\\clip.mp4",
              u"Favorites\\site.url", u"OneDrive\\notes.txt", u"AppData\\LocalLow\\Vendor\\state.dat",
              u"AppData\\Local\\Programs\\Other\\other.exe", u"AppData\\Roaming\\Microsoft\\Credentials\\cred.bin",
              u"AppData\\Roaming\\Microsoft\\Windows\\SendTo\\mail.lnk"})
            sim::add_file(profile + file);
        for (const auto* file : {u"Programs\\Vendor\\other.lnk", u"Programs\\Startup\\start.lnk",
                                 u"Programs\\Administrative Tools\\admin.lnk"})
            sim::add_file(start_menu + file);
        sim::set_string(hklm, classes + u"CLSID\\{0000031A-0000-0000-C000-000000000046}\\InprocServer32", u"",
                        u"C:\\Windows\\system32\\ole32.dll");
        sim::set_string(hklm, classes + u"CLSID\\{00000514-0000-0010-8000-00AA006D2EA4}\\InprocServer32", u"",
                        u"C:\\Program Files\\Common Files\\System\\ado\\msado15.dll");
        sim::set_string(hklm, classes + u"exefile\\shell\\open\\command", u"", u"\"%1\" %*");
        sim::set_string(hklm, classes + u"txtfile\\shell\\open\\command", u"", u"C:\\Windows\\system32\\notepad.exe %1");
        sim::set_string(hklm, classes + u".txt", u"PerceivedType", u"text");
        sim::set_string(hklm, classes + u".txt\\OpenWithProgids", u"txtfile", u"");
        sim::set_string(hkcu, run_path, u"Letter", profile + u"Documents\\letter.txt");
        // Other spellings of the same places, as other programs write them.
        sim::set_string(hkcu, run_path, u"Share", u"\\\\localhost\\C$\\Users\\user\\Documents\\letter.txt");
        sim::set_string(hkcu, run_path, u"Volume",
                        u"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\Program Files\\Other\\o.exe");
        sim::set_string(hkcu, run_path, u"Device", u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume3\\Users\\user\\x.exe");
        sim::set_string(hkcu, run_path, u"Climb", u"..\\..\\Shared\\run.exe");
        sim::set_dword(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                       u"C:\\Program Files\\Common Files\\System\\ado\\msado15.dll", 1);
    }

    // The program: its files, its Uninstall entry and its registry traces.
    static void install_tool(const std::u16string& location = u"C:\\Apps\\Tool\\", const std::u16string& key = u"Tool",
                             const std::u16string& name = u"Tool") {
        sim::add_file(u"C:\\Apps\\Tool\\tool.exe");
        sim::add_file(u"C:\\Apps\\Tool\\bin\\helper.dll");
        entry(key, {{u"DisplayName", name}, {u"Publisher", u"Tool Maker"}, {u"InstallLocation", location},
                    {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
        sim::set_string(hkcu, run_path, u"ToolTray", u"\"C:\\Apps\\Tool\\tool.exe\" /tray");
        sim::set_string(hklm, classes + u"Tool.File\\Shell\\Open\\Command", u"", u"\"C:\\Apps\\Tool\\tool.exe\" \"%1\"");
        sim::set_string(hklm, classes + u".tool", u"", u"Tool.File");
    }
};

// ---- install locations

class HostileClaimedLocation : public HostileClaims, public ::testing::WithParamInterface<HostileSpelling> {};

TEST_P(HostileClaimedLocation, ClaimsNothingOfWindowsTheUserOrOthers) {
    sim::add_junction(u"C:\\Apps\\WinLink", u"C:\\Windows");
    before_install = MachineSnapshot::take();
    install_tool(GetParam().location);
    uninstall(u"Tool");
    expect_nothing_outside_lost();
}

// Not fully qualified, not local, or not where the file system puts it.
INSTANTIATE_TEST_SUITE_P(
    NotFinalLocal, HostileClaimedLocation,
    ::testing::Values(HostileSpelling{"RelativeSystem32", u"system32"},
                      HostileSpelling{"RelativeProgramFiles", u"Program Files"},
                      HostileSpelling{"RootedProgramFiles", u"\\Program Files\\"},
                      HostileSpelling{"RootedUsers", u"\\Users\\"},
                      HostileSpelling{"RelativeClimb", u"..\\..\\"},
                      HostileSpelling{"AdministrativeShare", u"\\\\localhost\\C$\\Users\\user\\"},
                      HostileSpelling{"VolumeGuid", u"\\\\?\\Volume{0b1c2d3e-0000-0000-0000-100000000000}\\Program Files\\"},
                      HostileSpelling{"GlobalRootDevice", u"\\\\?\\GLOBALROOT\\Device\\HarddiskVolume3\\Users\\"},
                      HostileSpelling{"ThroughALinkIntoWindows", u"C:\\Apps\\WinLink\\System32\\"}),
    spelling_name);

// Folders the shell knows and folders Windows keeps for itself.
INSTANTIATE_TEST_SUITE_P(
    OwnedByWindowsOrTheUser, HostileClaimedLocation,
    ::testing::Values(HostileSpelling{"CommonFilesSystem", u"C:\\Program Files\\Common Files\\System\\"},
                      HostileSpelling{"RoamingMicrosoft", u"%APPDATA%\\Microsoft\\"},
                      HostileSpelling{"StartMenuPrograms", start_menu + u"Programs\\"},
                      HostileSpelling{"StartMenu", start_menu},
                      HostileSpelling{"ProgramDataMicrosoft", u"C:\\ProgramData\\Microsoft\\"},
                      HostileSpelling{"PublicDesktop", u"C:\\Users\\Public\\Desktop\\"},
                      HostileSpelling{"InternetExplorer", u"C:\\Program Files\\Internet Explorer\\"},
                      HostileSpelling{"WindowsNT", u"C:\\Program Files\\Windows NT\\"},
                      HostileSpelling{"Pictures", profile + u"Pictures\\"},
                      HostileSpelling{"Music", profile + u"Music"},
                      HostileSpelling{"Videos", profile + u"Videos\\"},
                      HostileSpelling{"Favorites", profile + u"Favorites\\"},
                      HostileSpelling{"OneDrive", profile + u"OneDrive\\"},
                      HostileSpelling{"LocalLow", profile + u"AppData\\LocalLow\\"},
                      HostileSpelling{"LocalPrograms", u"%LOCALAPPDATA%\\Programs\\"},
                      HostileSpelling{"WindowsApps", u"C:\\Program Files\\WindowsApps\\"},
                      HostileSpelling{"PackageCache", u"C:\\ProgramData\\Package Cache\\"},
                      HostileSpelling{"RoamingCredentials", roaming + u"Microsoft\\Credentials\\"}),
    spelling_name);

TEST_F(HostileClaims, PlaceholdersInTheLocationAreExpandedBeforeItIsJudged) {
    sim::add_file(u"C:\\ProgramData\\Tool\\tool.exe");
    install_tool(u"%ProgramData%\\Tool\\");
    const auto report = uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::path_exists(u"C:\\ProgramData\\Tool"));
    EXPECT_EQ(report.remaining_count(), 0u);
}

TEST_F(HostileClaims, ALinkPlacedOnTheWayAfterTheAnalysisStopsTheDeletion) {
    install_tool();
    uninstaller = [] {
        // The program's folder is swapped for a link to the user's documents.
        sim::add_file(u"C:\\Elsewhere\\Tool\\tool.exe");
        EXPECT_TRUE(os::move_file(u"C:\\Apps\\Tool", u"C:\\Elsewhere\\Tool\\Old"));
        sim::add_junction(u"C:\\Apps\\Tool", u"C:\\Users\\user\\Documents");
        sim::add_file(u"C:\\Users\\user\\Documents\\bin\\helper.dll");
        sim::add_file(u"C:\\Users\\user\\Documents\\tool.exe");
    };
    // The user keeps the top folder: what lies below it is deleted one by one.
    const auto report = uninstall(u"Tool", {{false}, {}});
    EXPECT_TRUE(sim::path_exists(u"C:\\Users\\user\\Documents\\bin\\helper.dll"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Users\\user\\Documents\\tool.exe"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Users\\user\\Documents\\letter.txt"));
    EXPECT_GT(report.remaining_count(), 0u);
}

// ---- another program's folder

class HostileNeighbour : public HostileClaims {
protected:
    // "Acme Other", still installed, inside the folder of "Acme Suite".
    void install_acme(const std::u16string& suite_location) {
        sim::add_file(u"C:\\Program Files\\Acme\\Other\\other.exe");
        sim::add_file(u"C:\\Program Files\\Acme\\Other\\other.dll");
        entry(u"Acme Other", {{u"DisplayName", u"Acme Other"}, {u"InstallLocation", u"C:\\Program Files\\Acme\\Other\\"},
                              {u"UninstallString", u"C:\\Program Files\\Acme\\Other\\uninst.exe"}});
        sim::set_string(hklm, classes + u"CLSID\\{0A000000-0000-0000-0000-000000000001}\\InprocServer32", u"",
                        u"C:\\Program Files\\Acme\\Other\\other.dll");
        sim::set_string(hklm, classes + u"CLSID\\{0A000000-0000-0000-0000-000000000001}\\ProgID", u"", u"Acme.Other.1");
        sim::set_string(hklm, classes + u"Acme.Other.1\\CLSID", u"", u"{0A000000-0000-0000-0000-000000000001}");
        sim::set_string(hklm, classes + u"Acme.Doc\\Shell\\Open\\Command", u"",
                        u"\"C:\\Program Files\\Acme\\Other\\other.exe\" \"%1\"");
        sim::set_string(hklm, classes + u".acmedoc", u"", u"Acme.Doc");
        sim::set_string(hkcu, run_path, u"AcmeOther", u"C:\\Program Files\\Acme\\Other\\other.exe");
        before_install = MachineSnapshot::take();
        sim::add_file(u"C:\\Program Files\\Acme\\suite.exe");
        entry(u"Acme Suite", {{u"DisplayName", u"Acme Suite"}, {u"InstallLocation", suite_location},
                              {u"UninstallString", u"C:\\Program Files\\Acme\\uninst.exe"}});
        sim::set_string(hkcu, run_path, u"AcmeSuite", u"C:\\Program Files\\Acme\\suite.exe");
    }
};

TEST_F(HostileNeighbour, TheSuiteLeavesTheOtherProgramsFolderAndRegistryAlone) {
    install_acme(u"C:\\Program Files\\Acme\\");
    uninstall(u"Acme Suite");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::path_exists(u"C:\\Program Files\\Acme\\suite.exe"));  // the suite's own file goes
}

TEST_F(HostileNeighbour, ALocationClimbingOutOfTheOtherProgramClaimsNothing) {
    install_acme(u"C:\\Program Files\\Acme\\Other\\..");
    uninstall(u"Acme Suite");
    expect_nothing_outside_lost();
}

TEST_F(HostileNeighbour, TwoEntriesSharingOneLocationClaimNothingOfEachOther) {
    install_acme(u"C:\\Program Files\\Acme\\Other\\");
    uninstall(u"Acme Suite");
    expect_nothing_outside_lost();
}

// ---- registry findings

TEST_F(HostileClaims, AProgIdNamingASystemKeyIsNotTheClasss) {
    install_tool();
    for (const auto& [class_id, prog_id] : {std::pair{u"{70000000-0000-0000-0000-000000000001}", u"CLSID"},
                                            std::pair{u"{70000000-0000-0000-0000-000000000002}", u"exefile"}}) {
        sim::set_string(hklm, classes + u"CLSID\\" + std::u16string(class_id) + u"\\InprocServer32", u"", u"C:\\Apps\\Tool\\bin\\helper.dll");
        sim::set_string(hklm, classes + u"CLSID\\" + std::u16string(class_id) + u"\\ProgID", u"", prog_id);
    }
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::key_exists(hklm, classes + u"CLSID\\{70000000-0000-0000-0000-000000000001}"));
}

class HostileExtension : public HostileClaims {
protected:
    // Tool took over ".txt" and registered itself beside Notepad.
    void SetUp() override {
        HostileClaims::SetUp();
        install_tool();
        sim::set_string(hklm, classes + u".txt", u"", u"Tool.File");
        sim::set_string(hklm, classes + u".txt\\OpenWithProgids", u"Tool.File", u"");
        sim::set_string(hklm, classes + u".tool\\OpenWithProgids", u"Tool.File", u"");
    }

    static std::u16string txt_value(const std::u16string& below, const std::u16string& name) {
        std::u16string text;
        return Reg_ReadString(hklm, classes + u".txt" + below, name, true, text) ? text : u"(none)";
    }
};

TEST_F(HostileExtension, OnlyTheProgramsOwnValuesLeaveASharedExtension) {
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::key_exists(hklm, classes + u".tool"));  // wholly the program's
    EXPECT_EQ(txt_value(u"", u""), u"(none)");
    EXPECT_EQ(txt_value(u"\\OpenWithProgids", u"Tool.File"), u"(none)");
    EXPECT_EQ(txt_value(u"\\OpenWithProgids", u"txtfile"), u"");
}

TEST_F(HostileExtension, AnExtensionGivenBackByTheUninstallerStaysAsItWasGiven) {
    uninstaller = [] { sim::set_string(hklm, classes + u".txt", u"", u"txtfile"); };
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_EQ(txt_value(u"", u""), u"txtfile");
    EXPECT_EQ(txt_value(u"\\OpenWithProgids", u"Tool.File"), u"(none)");
}

TEST_F(HostileClaims, ASharedInstallerComponentKeepsTheOtherProductsValue) {
    install_tool();
    sim::set_string(hklm, products + u"7A000000000000000000000000000001\\InstallProperties", u"InstallLocation",
                    u"C:\\Apps\\Tool\\");
    sim::set_string(hklm, products + u"7A000000000000000000000000000001\\InstallProperties", u"UninstallString",
                    u"MsiExec.exe /X{7A000000-0000-0000-0000-000000000001}");
    sim::set_string(hklm, components + u"7C000000000000000000000000000001", u"7A000000000000000000000000000001",
                    u"C:\\Apps\\Tool\\tool.exe");
    sim::set_string(hklm, components + u"7C000000000000000000000000000001", u"8A000000000000000000000000000001",
                    u"C:\\Apps\\ToolBox\\box.exe");
    sim::set_string(hklm, components + u"7C000000000000000000000000000002", u"7A000000000000000000000000000001",
                    u"C:\\Apps\\Tool\\bin\\helper.dll");
    const auto installed = MachineSnapshot::take();
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    const auto after = MachineSnapshot::take();
    EXPECT_TRUE(after.holds(u"key HKEY_LOCAL_MACHINE\\" + components + u"7C000000000000000000000000000001 | "
                            u"8A000000000000000000000000000001 | type 1 | " +
                            hex_of(utf16_bytes(u"C:\\Apps\\ToolBox\\box.exe\0"sv))));
    EXPECT_FALSE(sim::key_exists(hklm, components + u"7C000000000000000000000000000002"));  // the product's alone
    EXPECT_FALSE(installed.lost_in(after).empty());
}

TEST_F(HostileClaims, APaddedComponentValueNameIsTakenAsItIs) {
    // The program's value is " 7A..1" (with a blank); another product owns "7A..1".
    sim::set_string(hklm, products + u"7A000000000000000000000000000001\\InstallProperties", u"DisplayName", u"Other");
    before_install = MachineSnapshot::take();
    install_tool();
    sim::set_string(hklm, components + u"7C000000000000000000000000000003", u" 7A000000000000000000000000000001",
                    u"C:\\Apps\\Tool\\tool.exe");
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::key_exists(hklm, components + u"7C000000000000000000000000000003"));
}

TEST_F(HostileClaims, ABarInAKeyNameNeverNamesAnotherProgramsValue) {
    // "Tool" is another program; the program to uninstall has the key "Tool|UninstallString".
    entry(u"Tool", {{u"DisplayName", u"Tool Classic"}, {u"UninstallString", u"C:\\Classic\\uninst.exe"}});
    before_install = MachineSnapshot::take();
    install_tool(u"C:\\Apps\\Tool\\", u"Tool|UninstallString", u"Bar Tool");
    const auto report = uninstall(u"Bar Tool");
    expect_nothing_outside_lost();
    EXPECT_EQ(report.remaining_registry.size(), 1u);  // listed as not removable
    EXPECT_TRUE(sim::key_exists(hklm, uninstall_key + u"Tool|UninstallString"));
}

TEST_F(HostileClaims, AShortNameTailOnAnotherDriveOrServerIsNotTheProgramsPath) {
    sim::set_string(hkcu, run_path, u"NetTool", u"\\\\srv\\OLD~1\\Apps\\Tool\\bin\\x.exe");
    sim::set_string(hkcu, run_path, u"DriveTool", u"D:\\OLD~1\\Apps\\Tool\\bin\\x.exe");
    before_install = MachineSnapshot::take();
    install_tool();
    uninstall(u"Tool");
    expect_nothing_outside_lost();
}

TEST_F(HostileClaims, AMergeThatBringsBackAVendorFolderClearsTheScanFlag) {
    // The Uninstall entry has no location; its Windows Installer product names the vendor's folder.
    entry(u"AdFoo", {{u"DisplayName", u"Autodesk Foo 2024"}, {u"Publisher", u"Autodesk"},
                     {u"UninstallString", u"C:\\Setup\\setup.exe /remove"}});
    const auto properties = products + u"7D000000000000000000000000000001\\InstallProperties";
    for (const auto& [name, text] : {std::pair{u"DisplayName", u"Autodesk Foo 2024"}, std::pair{u"Publisher", u"Autodesk"},
                                     std::pair{u"InstallLocation", u"C:\\Program Files\\Autodesk\\"},
                                     std::pair{u"UninstallString", u"MsiExec.exe /X{7D000000}"}})
        sim::set_string(hklm, properties, name, text);
    scan();
    const auto& foo = listed(u"Autodesk Foo 2024");
    EXPECT_EQ(foo.mpu_str_InstallLocation, u"C:\\Program Files\\Autodesk\\");
    EXPECT_FALSE(foo.mpu_bool_InstallLocation_Scan);
}

}  // namespace
}  // namespace vorlix::test
