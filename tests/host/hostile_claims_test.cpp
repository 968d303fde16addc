// Whole uninstall cycles of programs whose registry data would hand them what
// belongs to Windows, to the user or to other programs, beyond the table of
// hostile programs (hostile_table_test.cpp): a link placed while the
// uninstaller runs, shared Installer components, short-name tails on other
// drives and a product merged back into its entry. The whole machine is
// compared before and after.
#include <gtest/gtest.h>

#include <string_view>

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
const std::u16string components = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\";
const std::u16string products = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\";

class HostileClaims : public HostileMachineTest {
protected:
    void furnish() override { furnish_hostile_neighbours(hostile_rows()); }

    // The program: its files, its Uninstall entry and its registry traces.
    static void install_tool() {
        sim::add_file(u"C:\\Apps\\Tool\\tool.exe");
        sim::add_file(u"C:\\Apps\\Tool\\bin\\helper.dll");
        entry(u"ToolApp", {{u"DisplayName", u"Tool"}, {u"Publisher", u"Tool Maker"},
                           {u"InstallLocation", u"C:\\Apps\\Tool\\"}, {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
        sim::set_string(hkcu, run_path, u"ToolTray", u"\"C:\\Apps\\Tool\\tool.exe\" /tray");
        sim::set_string(hklm, classes + u"Tool.File\\Shell\\Open\\Command", u"", u"\"C:\\Apps\\Tool\\tool.exe\" \"%1\"");
        sim::set_string(hklm, classes + u".tool", u"", u"Tool.File");
    }
};

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

TEST_F(HostileClaims, AnotherProductsComponentInTheProgramsFolderStaysWithIt) {
    // A plug-in, registered only as a Windows Installer product, has a component in the program's folder.
    const auto plugin = products + u"7B000000000000000000000000000001\\InstallProperties";
    sim::set_string(hklm, plugin, u"DisplayName", u"Plug-in");
    sim::set_string(hklm, plugin, u"UninstallString", u"MsiExec.exe /X{10000000-0000-0000-0000-0000000000B7}");
    sim::set_string(hklm, components + u"7C000000000000000000000000000010", u"7B000000000000000000000000000001",
                    u"C:\\Apps\\Tool\\bin\\plugin.dll");
    before_install = MachineSnapshot::take();
    install_tool();
    // The program's own product, named by the code in its Uninstall key's name.
    entry(u"{3A4B5C6D-1020-1E0F-1A2B-3C4D5E6F7081}", {{u"DisplayName", u"Tool"}, {u"InstallLocation", u"C:\\Apps\\Tool\\"},
                                                      {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
    sim::set_string(hklm, components + u"7C000000000000000000000000000011", u"D6C5B4A30201F0E1A1B2C3D4E5F60718",
                    u"C:\\Apps\\Tool\\tool.exe");
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::key_exists(hklm, components + u"7C000000000000000000000000000011"));
    EXPECT_FALSE(sim::key_exists(hklm, products + u"D6C5B4A30201F0E1A1B2C3D4E5F60718"));
}

}  // namespace
}  // namespace vorlix::test
