// A whole uninstall cycle (scan, analysis, result files, deletion) of one
// program on a machine full of hostile data: whatever the registry and the
// result files claim, nothing that existed before the program was installed
// is deleted. Each test compares the whole machine before and after.
#include <gtest/gtest.h>

#include <string_view>

#include "app/leftover_session.h"
#include "app/result_files.h"
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

class HostileCycle : public HostileMachineTest {
protected:
    // Other programs and the user's own files, with registry data of every odd shape.
    void furnish() override {
        sim::add_file(u"C:\\Apps\\ToolBox\\box.exe");
        sim::add_file(u"C:\\Users\\user\\Documents\\letter.txt");
        sim::add_file(u"C:\\Program Files\\Common Files\\Shared\\shared.dll");
        entry(u"ToolBox", {{u"DisplayName", u"ToolBox"}, {u"InstallLocation", u"C:\\Apps\\ToolBox\\"},
                           {u"UninstallString", u"C:\\Apps\\ToolBox\\uninst.exe"}});
        sim::set_string(hkcu, run_path, u"ToolBox", u"C:\\Apps\\ToolBox\\box.exe");
        sim::set_string(hklm, classes + u"Box.File\\Shell\\Open\\Command", u"", u"\"C:\\Apps\\ToolBox\\box.exe\" \"%1\"");
        sim::set_string(hklm, classes + u".box", u"", u"Box.File");
        sim::set_dword(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                       u"C:\\Program Files\\Common Files\\Shared\\shared.dll", 3);
        // Data of the wrong type, odd lengths, embedded nulls, huge values.
        sim::set_value(hklm, run_path, u"Binary", os::reg_binary, std::string("\x43\0:\0\\\0\x01", 7));
        sim::set_dword(hklm, run_path, u"Dword", 0x5C003A43);
        sim::set_value(hklm, run_path, u"Nulls", os::reg_sz, to_utf16le_bytes(u"C:\\Apps\\\0C:\\Apps\\Tool\\x.exe"sv));
        sim::set_string(hkcu, run_path, u"Huge", u"C:\\Apps\\" + std::u16string(70000, u'h'));
        sim::set_value(hklm, classes + u"CLSID\\{B0B0B0B0-0000-0000-0000-000000000001}\\InprocServer32", u"",
                       os::reg_dword, std::string("\x01\0\0\0", 4));
        sim::set_value(hklm, classes + u"Odd.File\\Shell\\Open\\Command", u"", os::reg_binary, "\x43\0:");
        // Names at the limit, in every script, and keys that refuse to open.
        sim::set_string(hklm, classes + std::u16string(255, u'n') + u"\\Shell\\Open\\Command", u"", u"C:\\Apps\\n.exe");
        sim::set_string(hklm, classes + u"\u202E\u05D0.File\\Shell\\Open\\Command", u"", u"C:\\Apps\\ToolBox\\box.exe");
        sim::set_string(hklm, classes + u"Locked.File\\Shell\\Open\\Command", u"", u"C:\\Apps\\ToolBox\\box.exe");
        sim::deny_open(hklm, classes + u"Locked.File");
        // A deep tree of shared components, every level with a value naming the neighbour.
        std::u16string deep = u"Software\\Shared Components";
        for (int level = 0; level < 100; ++level) {
            deep += u"\\Level";
            sim::set_string(hkcu, deep, u"Path", u"C:\\Apps\\ToolBox\\");
        }
    }

    // The program: files, a link to the user's documents, its Uninstall entry and registry traces.
    static void install_tool() {
        sim::add_file(u"C:\\Apps\\Tool\\tool.exe");
        sim::add_file(u"C:\\Apps\\Tool\\bin\\helper.dll");
        sim::add_file(u"C:\\Apps\\Tool\\data\\\u00DCn\u00EFc\u00F8d\u00E9 \u5DE5\u5177.txt");
        sim::add_junction(u"C:\\Apps\\Tool\\Docs", u"C:\\Users\\user\\Documents");
        entry(u"Tool", {{u"DisplayName", u"Tool"}, {u"Publisher", u"Tool Maker"}, {u"InstallLocation", u"C:\\Apps\\Tool\\"},
                        {u"UninstallString", u"C:\\Apps\\Tool\\uninst.exe"}});
        sim::set_string(hkcu, run_path, u"ToolTray", u"\"C:\\Apps\\Tool\\tool.exe\" /tray");
        sim::set_string(hklm, classes + u"Tool.File\\Shell\\Open\\Command", u"", u"\"C:\\Apps\\Tool\\tool.exe\" \"%1\"");
        sim::set_string(hklm, classes + u".tool", u"", u"Tool.File");
        sim::set_string(hklm, classes + u"CLSID\\{70000000-0000-0000-0000-000000000001}\\InprocServer32", u"",
                        u"helper.dll");
        sim::set_dword(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
                       u"C:\\Apps\\Tool\\bin\\helper.dll", 1);
    }

    // Lines naming what is not the program's, as a damaged or edited file could hold them.
    void tamper_with_result_files() const {
        const auto append = [this](const char16_t* file, StringList extra) {
            StringList lines;
            load_result_file(result_path + file, lines);
            lines.insert(lines.end(), extra.begin(), extra.end());
            save_result_file(result_path + file, lines);
        };
        append(result_file_files, {u"C:\\Users\\user\\Documents\\letter.txt",
                                   u"C:\\Program Files\\Common Files\\Shared\\shared.dll"});
        append(result_file_folders, {u"C:\\Apps\\ToolBox"});
        append(result_file_registry, {u"HKLM|SOFTWARE\\Classes\\Box.File", u"HKCU|" + run_path + u"|ToolBox"});
    }
};

TEST_F(HostileCycle, TheProgramGoesAndNothingElse) {
    install_tool();
    const auto report = uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool"));
    EXPECT_FALSE(sim::key_exists(hklm, uninstall_key + u"Tool"));
    EXPECT_FALSE(sim::key_exists(hklm, classes + u"Tool.File"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Users\\user\\Documents\\letter.txt"));  // behind the program's link
    EXPECT_EQ(report.remaining_count(), 0u);
}

TEST_F(HostileCycle, ABlankPaddedValueNameNeverTakesTheNeighboursValue) {
    install_tool();
    // The program's Run value is " Tool " (with blanks); the neighbour's is "Tool".
    sim::set_string(hklm, run_path, u" Tool ", u"C:\\Apps\\Tool\\tool.exe");
    sim::set_string(hklm, run_path, u"Tool", u"C:\\Apps\\ToolBox\\box.exe");
    before_install = MachineSnapshot::take();
    uninstall(u"Tool");
    const auto after = MachineSnapshot::take();
    EXPECT_TRUE(after.holds(value_item(u"key HKEY_LOCAL_MACHINE\\" + run_path, u"Tool", os::reg_sz,
                                       to_utf16le_bytes(u"C:\\Apps\\ToolBox\\box.exe\0"sv))));
}

TEST_F(HostileCycle, DamagedResultFilesNeverWidenTheDeletion) {
    install_tool();
    uninstaller = [this] { tamper_with_result_files(); };
    uninstall(u"Tool");
    expect_nothing_outside_lost();
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));
}

TEST_F(HostileCycle, AProgramOfMicrosoftIsNeverTouched) {
    install_tool();
    sim::set_string(hklm, uninstall_key + u"Tool", u"Publisher", u"microsoft corporation");
    const auto installed = MachineSnapshot::take();
    const auto report = uninstall(u"Tool");
    EXPECT_TRUE(report.protected_publisher);
    expect_nothing_lost_since(installed);
}

}  // namespace
}  // namespace vorlix::test
