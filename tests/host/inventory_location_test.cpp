// Install locations: fallbacks, normalisation, inference from the uninstall
// command, the rejection of system and shared folders, and the uninstall
// command's own normalisation.
#include <gtest/gtest.h>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

class Locations : public InventoryTest {
protected:
    void SetUp() override {
        InventoryTest::SetUp();
        sim::add_folder(u"C:\\Program Files\\Opener");
        sim::add_file(u"C:\\Program Files\\Opener\\opener.exe");
        sim::add_folder(u"C:\\Program Files\\Tool");
        sim::add_file(u"C:\\Program Files\\Tool\\tool.exe");
        sim::add_file(u"C:\\rootapp.exe");
        load("locations.reg");
        scan();
    }
    std::u16string location(const std::u16string& name) const { return listed(name).mpu_str_InstallLocation; }
    std::u16string command(const std::u16string& name) const { return listed(name).mpu_str_UninstallString; }
};

TEST_F(Locations, NormalisesQuotesPlaceholdersAndFilePaths) {
    EXPECT_EQ(location(u"Quoted Location"), u"C:\\Program Files\\Quoted\\");
    EXPECT_EQ(location(u"Open Command Location"), u"C:\\Program Files\\Opener\\");
    EXPECT_EQ(location(u"File Location"), u"C:\\Program Files\\Tool\\");
    EXPECT_EQ(location(u"Roaming Tool"), Sys_GetAppDataDir() + u"Roaming Tool\\");
    EXPECT_EQ(location(u"Local Tool"), Sys_GetLocalAppDataDir() + u"Local Tool\\");
}

TEST_F(Locations, AFileDirectlyOnADriveGivesNoLocation) { EXPECT_EQ(location(u"Root File"), u""); }

TEST_F(Locations, NeverTakesTheInstallSourceButFallsBackOnInnoSetup) {
    EXPECT_EQ(location(u"Source In Program Files"), u"");
    EXPECT_EQ(location(u"Source Elsewhere"), u"C:\\Program Files (x86)\\Inno Tool\\");
}

TEST_F(Locations, InfersTheFolderOfAKnownUninstallerName) {
    EXPECT_EQ(location(u"Inferred Location"), u"C:\\Program Files\\Inferred\\");
    EXPECT_EQ(location(u"Not Inferred"), u"");
    EXPECT_EQ(location(u"Log Switch"), u"");
}

TEST_F(Locations, InstallerCommandsBecomeRemovals) {
    EXPECT_EQ(command(u"Installer Repair"), u"msiexec.exe /x{A1B2C3D4-0000-1111-2222-333344445555}");
    EXPECT_EQ(location(u"Installer Repair"), u"C:\\Program Files\\Repaired\\");
    EXPECT_EQ(command(u"Installer Remove"), u"MsiExec.exe /X{B1B2C3D4-0000-1111-2222-333344445555}");
    EXPECT_EQ(command(u"Installer Logging"), u"msiexec.exe /x*v log.txt");
    EXPECT_EQ(command(u"Modify Only"), u"msiexec.exe /x{D1B2C3D4-0000-1111-2222-333344445555}");
    EXPECT_EQ(command(u"Package Only"), u"C:\\Windows\\Installer\\5c3f1a.msi");
    EXPECT_EQ(command(u"Roaming Tool"), Sys_GetAppDataDir() + u"Roaming Tool\\remove.exe");
    EXPECT_EQ(command(u"Local Tool"), u"\"" + Sys_GetLocalAppDataDir() + u"Local Tool\\Uninstall.exe\"");
}

// A location that is, or lies above, a folder many programs share would hand
// that whole folder to the leftover analysis and its deletion.
class SharedLocations : public InventoryTest {};

TEST_F(SharedLocations, SystemAndSharedFoldersAndTheirParentsAreRejected) {
    std::u16string program_files, program_files64;
    Sys_GetProgramFilesDirs(program_files, program_files64);
    const auto rejected = entry_per_folder(u"Shared", {
        u"C:\\", u"D:\\", u"C:", u"C:\\Windows\\", u"c:\\windows\\Fonts\\Tool\\", u"C:\\Windows\\System32",
        program_files, program_files64, u"C:\\PROGRAM FILES", u"C:\\Program Files (x86)",
        u"C:\\Program Files\\Common Files\\", u"C:\\Program Files (x86)\\Common Files", u"C:\\ProgramData",
        u"C:\\Users\\", u"C:\\Users\\user", u"C:\\Users\\user\\AppData\\",
        Sys_GetAppDataDir(), Sys_GetLocalAppDataDir(), Sys_GetDesktopDir(), u"C:\\Users\\user\\Documents",
        u"C:\\Users\\user\\Downloads\\", u"C:\\Users\\user\\AppData\\Local\\Temp\\"});
    scan();
    ASSERT_EQ(list->mpu_SDLarry_InstalledSoftware.size(), rejected.size());
    expect_locations(rejected, false);
}

TEST_F(SharedLocations, OtherSpellingsOfThemAreRejectedToo) {
    sim::set_short_name(u"C:\\Program Files", u"PROGRA~1");
    const auto rejected = entry_per_folder(
        u"Spelled", {u"C:/Program Files/", u"C:\\\\Program Files\\\\", u"C:\\Windows\\..\\Users\\",
                     u"C:\\Program Files\\Tool\\..", u"C:\\PROGRA~1\\", u"\\\\?\\C:\\ProgramData\\",
                     u"C:\\ProgramData.\\", u"C:\\.\\Users\\user\\ \\", u"C:\\..\\..\\"});
    scan();
    expect_locations(rejected, false);
}

// Short names need no tilde: any name of eight characters (and a three
// character extension) may stand for a longer one.
TEST_F(SharedLocations, ShortNamesWithoutATildeAreRecognised) {
    sim::add_folder(u"C:\\Program Files\\Common Files");
    sim::set_short_name(u"C:\\Program Files\\Common Files", u"CMN.ABC");
    sim::add_folder(u"C:\\Program Files\\Common Tools");
    sim::set_short_name(u"C:\\Program Files\\Common Tools", u"COMMON");
    entry(u"Short", {{u"DisplayName", u"Short"}, {u"InstallLocation", u"C:\\Program Files\\cmn.abc\\"},
                     {u"UninstallString", u"remove.exe"}});
    entry(u"Tools", {{u"DisplayName", u"Tools"}, {u"InstallLocation", u"C:\\Program Files\\COMMON\\"},
                     {u"UninstallString", u"remove.exe"}});
    scan();
    EXPECT_EQ(listed(u"Short").mpu_str_InstallLocation, u"");
    EXPECT_EQ(listed(u"Tools").mpu_str_InstallLocation, u"C:\\Program Files\\COMMON\\");
}

TEST_F(SharedLocations, FoldersBelowThemStay) {
    const auto kept = entry_per_folder(
        u"Kept", {u"C:\\Program Files\\Tool\\", u"C:\\Program Files (x86)\\Common Files\\Tool\\",
                  u"C:\\ProgramData\\Tool\\", u"C:\\Users\\user\\AppData\\Local\\Programs\\Tool\\",
                  u"C:\\Windowsless\\Tool\\", u"D:\\Tool\\", u"C:/Program Files/Tool\\", u"C:\\Users\\..\\Tool\\"});
    scan();
    expect_locations(kept, true);
}

TEST_F(SharedLocations, AnInferredSharedFolderIsRejectedToo) {
    entry(u"Inferred", {{u"DisplayName", u"Inferred"}, {u"UninstallString", u"C:\\Users\\Uninstall.exe"}});
    scan();
    EXPECT_EQ(listed(u"Inferred").mpu_str_InstallLocation, u"");
}

class LocationRouting : public InventoryTest {};

// The product rules run for Uninstall entries only. Canva's rule accepts only
// the exact name, so it clears the location of any longer name that contains it.
TEST_F(LocationRouting, ProductRulesSeeUninstallEntriesNotInstallerProducts) {
    entry(u"CanvaHelper", {{u"DisplayName", u"Canva Helper"}, {u"InstallLocation", u"C:\\Apps\\Helper\\"},
                           {u"UninstallString", u"C:\\Apps\\Helper\\remove.exe"}});
    const std::u16string product =
        u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\"
        u"0A1B2C3D4E5F60718293A4B5C6D7E8F9\\InstallProperties";
    entry({}, {{u"DisplayName", u"Canva Helper MSI"}, {u"InstallLocation", u"C:\\Apps\\HelperMsi\\"},
               {u"UninstallString", u"MsiExec.exe /X{D3C2B1A0-F5E4-0617-8293-A4B5C6D7E8F9}"}},
          os::hkey_local_machine, product);
    scan();
    EXPECT_EQ(listed(u"Canva Helper").mpu_str_InstallLocation, u"");
    EXPECT_EQ(listed(u"Canva Helper MSI").mpu_str_InstallLocation, u"C:\\Apps\\HelperMsi\\");
}

TEST_F(LocationRouting, FamilyFlagsAndFolderNamesComeFromTheKnowledgeBase) {
    knowledge->register_product(u"toolbox", {u"ToolBox", u"ToolBox Data"});
    entry(u"AutoCAD", {{u"DisplayName", u"AutoCAD 2024 - English"}, {u"Publisher", u"Autodesk, Inc."},
                       {u"InstallLocation", u"C:\\Program Files\\Autodesk\\AutoCAD 2024\\"},
                       {u"UninstallString", u"MsiExec.exe /X{5783F2D7-D028-0409-0100-0060B0CE6BBA}"}});
    entry(u"ToolBox", {{u"DisplayName", u"ToolBox Pro"}, {u"UninstallString", u"C:\\Apps\\ToolBox\\uninst.exe"}});
    scan();
    EXPECT_FALSE(listed(u"AutoCAD 2024 - English").mpu_bool_InstallLocation_Scan);
    EXPECT_TRUE(listed(u"ToolBox Pro").mpu_bool_InstallLocation_Scan);
    ASSERT_NE(listed(u"ToolBox Pro").mpu_SDLarry_Lib_FolderName, nullptr);
    EXPECT_EQ(*listed(u"ToolBox Pro").mpu_SDLarry_Lib_FolderName, (StringList{u"ToolBox", u"ToolBox Data"}));
    EXPECT_EQ(listed(u"AutoCAD 2024 - English").mpu_SDLarry_Lib_FolderName, nullptr);
}

}  // namespace
}  // namespace vorlix::test
