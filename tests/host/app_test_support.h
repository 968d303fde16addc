// Shared by the tests of the leftover bookkeeping: a program installed on the
// simulated machine with files, folders and registry entries, a neighbour
// whose name begins alike, and a session filled as the analysis fills it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/leftover_session.h"
#include "app/result_files.h"
#include "platform/os.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix::test {

inline const std::u16string result_folder = u"C:\\Vorlix\\";
inline const std::u16string run_key = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline const std::u16string class_key = u"SOFTWARE\\Classes\\Tool.File";

inline bool exists(const std::u16string& path) { return sim::path_exists(path); }

class LeftoverTest : public SimTest {
protected:
    LeftoverSession session{result_folder};

    void SetUp() override {
        SimTest::SetUp();
        install_tool();
    }

    // C:\Apps\Tool with a program, a data folder and a Unicode-named file; the
    // neighbour C:\Apps\ToolBox; a file class and a Run value of each.
    static void install_tool() {
        sim::add_file(u"C:\\Apps\\Tool\\tool.exe");
        sim::add_file(u"C:\\Apps\\Tool\\data\\a.txt");
        sim::add_file(u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt");
        sim::add_file(u"C:\\Apps\\ToolBox\\box.exe");
        sim::set_string(os::hkey_local_machine, class_key + u"\\Shell\\Open\\Command", u"",
                        u"\"C:\\Apps\\Tool\\tool.exe\" \"%1\"");
        sim::set_string(os::hkey_local_machine, u"SOFTWARE\\Classes\\Box.File\\Shell\\Open\\Command", u"",
                        u"\"C:\\Apps\\ToolBox\\box.exe\" \"%1\"");
        sim::set_string(os::hkey_current_user, run_key, u"Tool", u"\"C:\\Apps\\Tool\\tool.exe\" /tray");
        sim::set_string(os::hkey_current_user, run_key, u"ToolBox", u"C:\\Apps\\ToolBox\\box.exe");
    }

    // The reports of an analysis of Tool, in walk order.
    void analyse_tool(const std::u16string& publisher = u"Tool Maker") {
        ZRB_InstalledSoftware record;
        record.mpu_str_Name = u"Tool";
        record.mpu_str_Publisher = publisher;
        record.mpu_int_Is64Bit = 1;
        session.select_program(record);
        session.analysis_started();
        std::uint32_t count = 0;
        for (const auto* path : {u"C:\\Apps\\Tool\\", u"C:\\Apps\\Tool\\tool.exe", u"C:\\Apps\\Tool\\data\\a.txt",
                                 u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt", u"C:\\Apps\\Tool\\data"})
            session.file_folder_found(path, ++count);
        for (const auto& entry : {u"HKCU|" + run_key + u"|Tool", u"HKLM|" + class_key}) {
            session.registry_found(++count);
            session.registry_listed(entry);
        }
    }

    static StringList lines_of(const std::u16string& path) {
        StringList lines;
        EXPECT_TRUE(load_result_file(path, lines)) << "missing " << to_utf8(path);
        return lines;
    }
};

}  // namespace vorlix::test
