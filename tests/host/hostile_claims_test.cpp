// Whole uninstall cycles of programs whose registry data would hand them what
// belongs to Windows, to the user or to other programs: install locations of
// every odd form, folders Windows and the shell own, another program's folder,
// system keys named by a ProgID, shared extension keys and Installer
// components, names holding the entry separator and short-name tails on other
// drives. The whole machine is compared before and after.
#include <gtest/gtest.h>

#include <functional>
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
    EXPECT_TRUE(after.holds(value_item(u"key HKEY_LOCAL_MACHINE\\" + components + u"7C000000000000000000000000000001",
                                       u"8A000000000000000000000000000001", os::reg_sz,
                                       to_utf16le_bytes(u"C:\\Apps\\ToolBox\\box.exe\0"sv))));
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

// ---- claims without evidence: one row per way through, each a program that
// stays (or Windows) and the program to uninstall, whose own things still go.

struct EvidenceCase {
    const char* name;
    std::function<void()> others;   // what is not the program's, photographed before it installs
    std::function<void()> program;  // the program and its traces
    // What of the program's own is gone, and what must stay beside it.
    std::function<void(const DeletionReport&)> check;
    std::u16string uninstalled = u"Tool";
};
const auto nothing_more = [](const DeletionReport&) {};
void PrintTo(const EvidenceCase& evidence, std::ostream* out) { *out << evidence.name; }

// The rows furnish the machine through the fixture's own helpers.
class HostileEvidence : public HostileClaims, public ::testing::WithParamInterface<EvidenceCase> {
public:
    using HostileClaims::install_tool;
    using InventoryTest::entry;
};

const std::u16string approved_run = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
const std::u16string shared_components = u"Software\\Shared Components\\Vendor";
const std::u16string plugin_product = products + u"7B000000000000000000000000000001";
const std::u16string tool_product = products + u"D6C5B4A30201F0E1A1B2C3D4E5F60718";

void com_class(const std::u16string& class_id, const std::u16string& server_key, const std::u16string& server) {
    sim::set_string(hklm, classes + u"CLSID\\" + class_id + u"\\" + server_key, u"", server);
}

void vendor_entry(const std::u16string& name, const std::u16string& command, const std::u16string& icon = {}) {
    HostileEvidence::entry(name, {{u"DisplayName", name}, {u"UninstallString", command}, {u"DisplayIcon", icon}});
}

// "Acme Other", still installed, inside the folder of "Acme Suite".
void acme_other() {
    sim::add_file(u"C:\\Program Files\\Acme\\Other\\other.exe");
    sim::add_file(u"C:\\Program Files\\Acme\\Other\\other.dll");
    HostileEvidence::entry(u"Acme Other", {{u"DisplayName", u"Acme Other"},
                                           {u"InstallLocation", u"C:\\Program Files\\Acme\\Other\\"},
                                           {u"UninstallString", u"C:\\Program Files\\Acme\\Other\\uninst.exe"}});
    com_class(u"{0A000000-0000-0000-0000-000000000001}", u"InprocServer32", u"C:\\Program Files\\Acme\\Other\\other.dll");
    com_class(u"{0A000000-0000-0000-0000-000000000001}", u"ProgID", u"Acme.Other.1");
    sim::set_string(hklm, classes + u"Acme.Other.1\\CLSID", u"", u"{0A000000-0000-0000-0000-000000000001}");
    sim::set_string(hklm, classes + u"Acme.Doc\\Shell\\Open\\Command", u"",
                    u"\"C:\\Program Files\\Acme\\Other\\other.exe\" \"%1\"");
    sim::set_string(hklm, classes + u".acmedoc", u"", u"Acme.Doc");
    sim::set_string(hkcu, run_path, u"AcmeOther", u"C:\\Program Files\\Acme\\Other\\other.exe");
}
std::function<void()> acme_suite(const std::u16string& location) {
    return [location] {
        sim::add_file(u"C:\\Program Files\\Acme\\suite.exe");
        HostileEvidence::entry(u"Acme Suite", {{u"DisplayName", u"Acme Suite"}, {u"InstallLocation", location},
                                               {u"UninstallString", u"C:\\Program Files\\Acme\\uninst.exe"}});
        sim::set_string(hkcu, run_path, u"AcmeSuite", u"C:\\Program Files\\Acme\\suite.exe");
    };
}


TEST_P(HostileEvidence, OnlyWhatTheProgramProvablyOwnsGoes) {
    GetParam().others();
    before_install = MachineSnapshot::take();
    GetParam().program();
    const auto report = uninstall(GetParam().uninstalled);
    expect_nothing_outside_lost();
    GetParam().check(report);
}

INSTANTIATE_TEST_SUITE_P(
    Classes, HostileEvidence,
    ::testing::Values(
        // A suite's folder holding another program's, by several locations.
        EvidenceCase{"TheSuiteLeavesTheOtherProgramsFolderAndRegistryAlone", acme_other,
                     acme_suite(u"C:\\Program Files\\Acme\\"),
                     [](const DeletionReport&) { EXPECT_FALSE(sim::path_exists(u"C:\\Program Files\\Acme\\suite.exe")); },
                     u"Acme Suite"},
        EvidenceCase{"ALocationClimbingOutOfTheOtherProgram", acme_other,
                     acme_suite(u"C:\\Program Files\\Acme\\Other\\.."), nothing_more, u"Acme Suite"},
        EvidenceCase{"TwoEntriesSharingOneLocation", acme_other, acme_suite(u"C:\\Program Files\\Acme\\Other\\"),
                     nothing_more, u"Acme Suite"},
        EvidenceCase{"BareComServerNames",
                     [] {
                         // .NET writes the runtime's file name alone; others name a file the program also ships.
                         com_class(u"{6B000000-0000-0000-0000-000000000001}", u"InprocServer32", u"mscoree.dll");
                         sim::set_string(hklm, classes + u"Other.Managed\\CLSID", u"", u"{6B000000-0000-0000-0000-000000000001}");
                         com_class(u"{6B000000-0000-0000-0000-000000000001}", u"ProgID", u"Other.Managed");
                         com_class(u"{6B000000-0000-0000-0000-000000000002}", u"InprocServer32", u"helper.dll");
                         com_class(u"{6B000000-0000-0000-0000-000000000003}", u"LocalServer32", u"\"tool.exe\" /automation");
                     },
                     [] {
                         HostileEvidence::install_tool();
                         sim::add_file(u"C:\\Apps\\Tool\\mscoree.dll");
                         com_class(u"{6B000000-0000-0000-0000-000000000004}", u"InprocServer32", u"C:\\Apps\\Tool\\mscoree.dll");
                     },
                     [](const DeletionReport&) {
                         EXPECT_FALSE(sim::key_exists(hklm, classes + u"CLSID\\{6B000000-0000-0000-0000-000000000004}"));
                     }},
        EvidenceCase{"StartupApprovalByNameOnly",
                     [] {
                         sim::set_value(hkcu, approved_run, u"tool", os::reg_binary, std::string(12, '\2'));
                         sim::set_value(hkcu, approved_run, u"Helper", os::reg_binary, std::string(12, '\2'));
                     },
                     [] {
                         HostileEvidence::install_tool();
                         sim::set_value(hkcu, approved_run, u"ToolTray", os::reg_binary, std::string(12, '\2'));
                     },
                     [](const DeletionReport&) {
                         EXPECT_FALSE(sim::value_exists(hkcu, approved_run, u"ToolTray"));
                         EXPECT_FALSE(sim::value_exists(hkcu, run_path, u"ToolTray"));
                     }},
        EvidenceCase{"InstallSourceAsLocation",
                     // Where setup ran from: another program's folder of redistributables.
                     [] { sim::add_file(u"C:\\Program Files\\Redist\\vcredist.exe"); },
                     [] {
                         HostileEvidence::entry(u"Sourced", {{u"DisplayName", u"Sourced"}, {u"InstallSource", u"C:\\Program Files\\Redist\\"},
                                                           {u"UninstallString", u"C:\\Setup\\remove.exe"}});
                     },
                     nothing_more, u"Sourced"},
        EvidenceCase{"InferredLocationInACommonFilesVendorFolder",
                     [] {
                         sim::add_file(u"C:\\Program Files\\Common Files\\Vendor\\Uninstall.exe");
                         sim::add_file(u"C:\\Program Files\\Common Files\\Vendor\\vendor.dll");
                     },
                     [] { vendor_entry(u"Vendor A", u"\"C:\\Program Files\\Common Files\\Vendor\\Uninstall.exe\" /A"); },
                     nothing_more, u"Vendor A"},
        EvidenceCase{"InferredLocationSharedWithAnotherEntrysCommand",
                     [] {
                         // The suite's programs share its uninstaller and a library; B is known only by its command.
                         sim::add_file(u"C:\\Apps\\Suite\\Uninstall.exe");
                         sim::add_file(u"C:\\Apps\\Suite\\shared.dll");
                         sim::add_file(u"C:\\Apps\\Suite\\b\\b.exe");
                         vendor_entry(u"Suite B", u"C:\\Apps\\Suite\\b\\remove.exe /B", u"C:\\Apps\\Suite\\b\\b.exe");
                     },
                     [] { vendor_entry(u"Suite A", u"\"C:\\Apps\\Suite\\Uninstall.exe\" /A"); }, nothing_more, u"Suite A"},
        EvidenceCase{"UnregisteredLocationBelowTheProgram",
                     [] {
                         sim::add_file(u"C:\\Apps\\Tool\\plugins\\nested\\nested.exe");
                         sim::add_file(u"C:\\Apps\\Tool\\plugins\\nested\\nested.dll");
                         vendor_entry(u"Nested", u"C:\\Apps\\Tool\\plugins\\nested\\remove.exe",
                                      u"C:\\Apps\\Tool\\plugins\\nested\\nested.exe");
                     },
                     [] { HostileEvidence::install_tool(); },
                     [](const DeletionReport&) { EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe")); }},
        EvidenceCase{"ProgramWithoutAPlaceInsideTheFolder",
                     [] {
                         // Registered with a location that names nothing usable; only its name says whose files these are.
                         sim::add_file(u"C:\\Apps\\Tool\\Mail\\mail.exe");
                         sim::add_file(u"C:\\Apps\\Tool\\Mail\\data\\inbox.db");
                         HostileEvidence::entry(u"Cyan Mail", {{u"DisplayName", u"Cyan Mail"}, {u"Publisher", u"Cyan"},
                                                               {u"InstallLocation", u"Cyan\\Mail"},
                                                               {u"UninstallString", u"C:\\Cyan Setup\\remove.exe"}});
                     },
                     [] { HostileEvidence::install_tool(); },
                     [](const DeletionReport&) { EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool\\bin\\helper.dll")); }},
        EvidenceCase{"SharedRuntimeRootAsLocation",
                     [] {
                         // A runtime of another vendor, registered only as a Windows Installer product.
                         const std::u16string runtime = u"C:\\Program Files\\dotnet\\";
                         sim::add_file(runtime + u"dotnet.exe");
                         sim::add_file(runtime + u"shared\\Microsoft.NETCore.App\\8.0.0\\coreclr.dll");
                         const auto product = products + u"7B000000000000000000000000000002\\InstallProperties";
                         sim::set_string(hklm, product, u"DisplayName", u"Runtime");
                         sim::set_string(hklm, product, u"UninstallString", u"MsiExec.exe /X{20000000-0000-0000-0000-0000000000B7}");
                         sim::set_string(hklm, components + u"7C000000000000000000000000000020",
                                         u"7B000000000000000000000000000002", runtime + u"dotnet.exe");
                     },
                     [] {
                         sim::add_file(u"C:\\Program Files\\dotnet\\claimer.exe");
                         HostileEvidence::entry(u"Claimer", {{u"DisplayName", u"Claimer"},
                                                             {u"InstallLocation", u"C:\\Program Files\\dotnet\\"},
                                                             {u"UninstallString", u"C:\\Claimer\\remove.exe"}});
                     },
                     nothing_more, u"Claimer"},
        EvidenceCase{"AnotherProgramBorrowingTheProgramsIcon",
                     [] { vendor_entry(u"Addon", u"C:\\Addon\\remove.exe", u"C:\\Apps\\Tool\\tool.exe"); },
                     [] { HostileEvidence::install_tool(); },
                     [](const DeletionReport&) { EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool\\bin\\helper.dll")); }},
        EvidenceCase{"AnotherProductsComponentInTheProgramsFolder",
                     [] {
                         sim::set_string(hklm, plugin_product + u"\\InstallProperties", u"DisplayName", u"Plug-in");
                         sim::set_string(hklm, plugin_product + u"\\InstallProperties", u"UninstallString",
                                         u"MsiExec.exe /X{10000000-0000-0000-0000-0000000000B7}");
                         sim::set_string(hklm, components + u"7C000000000000000000000000000010",
                                         u"7B000000000000000000000000000001", u"C:\\Apps\\Tool\\bin\\plugin.dll");
                     },
                     [] {
                         HostileEvidence::install_tool();
                         // Its own product, named by the code in its Uninstall key's name.
                         HostileEvidence::entry(u"{3A4B5C6D-1020-1E0F-1A2B-3C4D5E6F7081}",
                                              {{u"DisplayName", u"Tool"}, {u"InstallLocation", u"C:\\Apps\\Tool\\"},
                                               {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
                         sim::set_string(hklm, components + u"7C000000000000000000000000000011",
                                         u"D6C5B4A30201F0E1A1B2C3D4E5F60718", u"C:\\Apps\\Tool\\tool.exe");
                     },
                     [](const DeletionReport&) {
                         EXPECT_FALSE(sim::key_exists(hklm, components + u"7C000000000000000000000000000011"));
                         EXPECT_FALSE(sim::key_exists(hklm, tool_product));
                     }},
        EvidenceCase{"SharedComponentsOfSeveralPrograms",
                     [] {
                         sim::set_string(hkcu, shared_components, u"Other", u"C:\\Program Files\\Other\\o.exe");
                         sim::set_string(hkcu, shared_components + u"\\Settings", u"Level", u"2");
                     },
                     [] {
                         HostileEvidence::install_tool();
                         sim::set_string(hkcu, shared_components, u"Tool", u"C:\\Apps\\Tool\\tool.exe");
                         sim::set_string(hkcu, shared_components + u"\\ToolOnly", u"Path", u"C:\\Apps\\Tool\\bin\\helper.dll");
                     },
                     [](const DeletionReport&) {
                         EXPECT_FALSE(sim::value_exists(hkcu, shared_components, u"Tool"));
                         EXPECT_FALSE(sim::key_exists(hkcu, shared_components + u"\\ToolOnly"));
                     }},
        EvidenceCase{"WindowsClassesWhoseOpenCommandWasTakenOver",
                     [] {
                         ASSERT_TRUE(sim::import_reg("Windows Registry Editor Version 5.00\n\n"
                                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\txtfile\\shell\\open\\command]\n@=-\n\n"
                                                     "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\http\\shell\\open\\command]\n"));
                         sim::set_string(hklm, classes + u"txtfile\\shell\\print\\command", u"", u"notepad.exe /p %1");
                         sim::set_string(hklm, classes + u"txtfile\\DefaultIcon", u"", u"imageres.dll,-102");
                         sim::set_string(hklm, classes + u"http", u"URL Protocol", u"");
                     },
                     [] {
                         HostileEvidence::install_tool();
                         for (const auto* name : {u"txtfile", u"http"})
                             sim::set_string(hklm, classes + name + u"\\shell\\open\\command", u"", u"\"C:\\Apps\\Tool\\tool.exe\" \"%1\"");
                         // A class of the program whose ProgID is Windows' class, which names it back.
                         com_class(u"{6B000000-0000-0000-0000-000000000005}", u"InprocServer32", u"C:\\Apps\\Tool\\bin\\helper.dll");
                         com_class(u"{6B000000-0000-0000-0000-000000000005}", u"ProgID", u"txtfile");
                         sim::set_string(hklm, classes + u"txtfile\\CLSID", u"", u"{6B000000-0000-0000-0000-000000000005}");
                     },
                     [](const DeletionReport&) {
                         for (const auto* name : {u"txtfile", u"http"})
                             EXPECT_FALSE(sim::value_exists(hklm, classes + name + u"\\shell\\open\\command", u"")) << to_utf8(name);
                         EXPECT_FALSE(sim::key_exists(hklm, classes + u"Tool.File"));
                     }},
        EvidenceCase{"ALinkInsideTheProgramsKey",
                     [] { sim::set_string(hklm, classes + u"exefile\\shell\\runas\\command", u"", u"\"%1\" %*"); },
                     [] {
                         HostileEvidence::install_tool();
                         sim::create_link(hklm, classes + u"Tool.File\\Link",
                                          u"\\Registry\\Machine\\SOFTWARE\\Classes\\exefile");
                     },
                     [](const DeletionReport& report) {
                         EXPECT_FALSE(sim::key_exists(hklm, classes + u"Tool.File"));
                         // The backup holds the link as a link, nothing of what it leads to.
                         std::string backup;
                         ASSERT_TRUE(os::read_file_bytes(report.backup_path, backup));
                         EXPECT_NE(backup.find(to_utf16le_bytes(u"Tool.File\\Link]")), std::string::npos);
                         EXPECT_EQ(backup.find(to_utf16le_bytes(u"runas")), std::string::npos);
                     }}),
    [](const ::testing::TestParamInfo<EvidenceCase>& row) { return std::string(row.param.name); });

}  // namespace
}  // namespace vorlix::test
