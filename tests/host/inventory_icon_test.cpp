// Program icons: the entry's own DisplayIcon, the hints gathered before the
// scan (Installer product icons, App Paths executables, class DefaultIcons,
// app.ico) and the resolution to an existing file and an index.
#include <gtest/gtest.h>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

class Icons : public InventoryTest {
protected:
    void SetUp() override {
        InventoryTest::SetUp();
        load("icons.reg");
        for (const auto* file : {u"C:\\Program Files\\Tool\\tool.exe", u"C:\\Program Files\\Tool64\\tool64.exe",
                                 u"C:\\Apps\\Docs\\doc.ico", u"C:\\Apps\\DocsBox\\box.ico", u"D:\\Mirror\\Docs\\mirror.ico",
                                 u"C:\\Apps\\Editor\\editor.exe", u"C:\\Apps\\Editor\\helper.exe",
                                 u"C:\\Apps\\HelperOnly\\helper.exe", u"C:\\Apps\\Logo\\app.ico",
                                 u"C:\\Windows\\Installer\\{5783F2D7-0164-4A0D-9A8B-2C0D1E2F3A4B}\\suite.ico",
                                 u"C:\\Windows\\Installer\\second.ico"})
            add_file_with_folders(file);
        add_file_with_folders(Sys_GetAppDataDir() + u"Roamer\\roamer.exe");
        add_file_with_folders(Sys_GetAppDataDir() +
                              u"Microsoft\\Installer\\{6894A3E8-1275-4B1E-0B9C-3D1E2F3A4B5C}\\planner.exe");
    }
    static void add_file_with_folders(const std::u16string& path) {
        for (auto slash = path.find(u'\\', 3); slash != std::u16string::npos; slash = path.find(u'\\', slash + 1))
            sim::add_folder(path.substr(0, slash));
        sim::add_file(path);
    }
    void program(const std::u16string& name, const std::u16string& location, const std::u16string& icon = {}) {
        entry(name, {{u"DisplayName", name}, {u"UninstallString", u"remove.exe"}});
        if (!location.empty()) sim::set_string(os::hkey_local_machine, uninstall_key + name, u"InstallLocation", location);
        if (!icon.empty()) sim::set_string(os::hkey_local_machine, uninstall_key + name, u"DisplayIcon", icon);
    }
    void expect_icon(const std::u16string& name, const std::u16string& file, std::int32_t index) const {
        EXPECT_EQ(listed(name).mpu_str_DisplayIcon, file) << to_utf8(name);
        EXPECT_EQ(listed(name).mpu_int_DisplayIcon_ID, index) << to_utf8(name);
    }
    std::u16string msiexec() const { return Sys_GetSystemDir() + u"msiexec.exe"; }
};

TEST_F(Icons, DisplayIconResolvesToAnExistingFileAndIndex) {
    program(u"Zero", {}, u"C:\\Program Files\\Tool\\tool.exe,0");
    program(u"Negative", {}, u"C:\\Program Files\\Tool\\tool.exe,-101");
    program(u"Plain", {}, u"C:\\Program Files\\Tool\\tool.exe");
    program(u"Quoted", {}, u"\"C:\\Program Files\\Tool\\tool.exe\"");
    program(u"QuotedIndex", {}, u"\"C:\\Program Files\\Tool\\tool.exe\",7");
    program(u"Gone", {}, u"C:\\Program Files\\Gone\\gone.exe,3");
    program(u"Relative", {}, u"tool.exe,4");
    program(u"NotANumber", {}, u"C:\\Program Files\\Tool\\tool.exe,x");
    scan();
    const std::u16string tool = u"C:\\Program Files\\Tool\\tool.exe";
    expect_icon(u"Zero", tool, 0);
    expect_icon(u"Negative", tool, 0);
    expect_icon(u"Plain", tool, 65535);
    expect_icon(u"Quoted", tool, 65535);
    expect_icon(u"QuotedIndex", tool, 7);
    expect_icon(u"Gone", msiexec(), 3);
    expect_icon(u"Relative", msiexec(), 65535);
    expect_icon(u"NotANumber", tool, 65535);
}

TEST_F(Icons, FolderPlaceholdersAreExpanded) {
    program(u"ProgramFilesIcon", {}, u"%ProgramFiles%\\Tool64\\tool64.exe,1");
    program(u"ProgramFilesNowhere", {}, u"%PROGRAMFILES%\\Nowhere\\x.exe,1");
    program(u"AppDataIcon", {}, u"%APPDATA%\\Roamer\\roamer.exe,2");
    scan();
    expect_icon(u"ProgramFilesIcon", u"C:\\Program Files\\Tool64\\tool64.exe", 1);
    expect_icon(u"ProgramFilesNowhere", msiexec(), 65535);
    expect_icon(u"AppDataIcon", Sys_GetAppDataDir() + u"Roamer\\roamer.exe", 2);
}

TEST_F(Icons, InstallerProductIconsMatchTheNameIgnoringAsciiCase) {
    program(u"suite manager", {});
    program(u"Personal Planner", {});
    program(u"Own Icon Wins", {}, u"C:\\Program Files\\Tool\\tool.exe,0");
    scan();
    // The first product met with that name gives the icon.
    expect_icon(u"suite manager", u"C:\\Windows\\Installer\\{5783F2D7-0164-4A0D-9A8B-2C0D1E2F3A4B}\\suite.ico", 65535);
    expect_icon(u"Personal Planner",
                Sys_GetAppDataDir() + u"Microsoft\\Installer\\{6894A3E8-1275-4B1E-0B9C-3D1E2F3A4B5C}\\planner.exe", 2);
    expect_icon(u"Own Icon Wins", u"C:\\Program Files\\Tool\\tool.exe", 0);
}

TEST_F(Icons, LocationHintsInTheirOrder) {
    program(u"Editor", u"C:\\Apps\\Editor\\");
    program(u"Helper Only", u"C:\\Apps\\HelperOnly");
    program(u"Docs", u"C:\\Apps\\Docs\\");
    program(u"Docs Box", u"C:\\Apps\\DocsBox\\");
    program(u"Logo", u"C:\\Apps\\Logo\\");
    program(u"Nothing Known", u"C:\\Apps\\Nothing\\");
    program(u"No Location", {});
    scan();
    expect_icon(u"Editor", u"C:\\Apps\\Editor\\editor.exe", 65535);
    expect_icon(u"Helper Only", u"C:\\Apps\\HelperOnly\\helper.exe", 65535);
    expect_icon(u"Docs", u"C:\\Apps\\Docs\\doc.ico", 3);
    // "C:\Apps\Docs\" does not name the folder "C:\Apps\DocsBox\".
    expect_icon(u"Docs Box", u"C:\\Apps\\DocsBox\\box.ico", 5);
    expect_icon(u"Logo", u"C:\\Apps\\Logo\\app.ico", 65535);
    expect_icon(u"Nothing Known", msiexec(), 65535);
    expect_icon(u"No Location", msiexec(), 65535);
}

TEST_F(Icons, DefaultIconsAreFoundForAnyLocationText) {
    // A location of one folder name is searched in every DefaultIcon text;
    // the first in class order that holds it wins.
    program(u"Relative Docs", u"Docs");
    program(u"Lower Case", u"c:\\apps\\docsbox\\");
    scan();
    EXPECT_EQ(listed(u"Relative Docs").mpu_str_InstallLocation, u"Docs\\");
    expect_icon(u"Relative Docs", u"D:\\Mirror\\Docs\\mirror.ico", 9);
    expect_icon(u"Lower Case", u"C:\\Apps\\DocsBox\\box.ico", 5);
}

TEST_F(Icons, SystemDefaultIconsAreNeverUsed) {
    program(u"System Relative", u"C:\\Windows\\Relative\\");
    program(u"In System32", u"system32\\");
    scan();
    expect_icon(u"In System32", msiexec(), 65535);
    // The location itself is rejected, so no location hint applies.
    expect_icon(u"System Relative", msiexec(), 65535);
}

}  // namespace
}  // namespace vorlix::test
