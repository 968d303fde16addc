// Shared by the leftover-analysis tests: a program installed in C:\Apps\Tool
// with a look-alike neighbour in C:\Apps\ToolBox, one whole analysis with
// every report kept, and single registry scans run on the analysed record.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/Unit_ZRB_Thread_Uninstaller.h"
#include "leftovers/leftover_scans.h"
#include "leftovers/program_matcher.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix::test::analysis {

inline const std::u16string uninstall_root = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

enum class ReportKind { start, file_folder_count, reg_count, file_folder_list, reg_list, end };

struct AnalysisReport {
    ReportKind kind;
    std::u16string path;
    std::uint32_t count = 0;
    bool operator==(const AnalysisReport&) const = default;
};

inline void PrintTo(const AnalysisReport& report, std::ostream* out) {
    *out << static_cast<int>(report.kind) << " " << to_utf8(report.path) << " " << report.count;
}

class AnalysisTest : public SimTest {
protected:
    std::shared_ptr<ZRB_InstalledSoftwareList> list = std::make_shared<ZRB_InstalledSoftwareList>();
    std::vector<AnalysisReport> reports;

    static void load(const std::string& fixture) {
        std::string error;
        ASSERT_TRUE(sim::import_reg_file(std::string(VORLIX_FIXTURES) + "/leftovers/" + fixture, &error)) << error;
    }

    // The program's files, and its neighbour's, with 8.3 names for both folders.
    static void install_tool() {
        for (const auto* file : {u"app.exe", u"tool.exe", u"helper.dll", u"shell.ocx", u"unins000.exe",
                                 u"bin\\worker.exe", u"data\\readme.txt"})
            sim::add_file(std::u16string(u"C:\\Apps\\Tool\\") + file);
        sim::add_file(u"C:\\Apps\\ToolBox\\box.exe");
        sim::add_file(u"C:\\Apps\\ToolBox\\box.dll");
        sim::set_short_name(u"C:\\Apps\\Tool", u"TOOL~1");
        sim::set_short_name(u"C:\\Apps\\ToolBox", u"TOOLBO~1");
    }

    // A program of the inventory, 64-bit, its Uninstall key below HKLM.
    ZRB_InstalledSoftware& add_program(const std::u16string& name, const std::u16string& location) {
        auto record = std::make_shared<ZRB_InstalledSoftware>();
        record->mpu_str_Name = name;
        record->mpu_str_Name_low = Str_LowerAscii(name);
        record->mpu_str_InstallLocation = location;
        record->mpu_str_InstallRegPath = u"HKLM|" + uninstall_root + name;
        record->mpu_str_UninstallString = u"\"" + Str_EnsureTrailingBackslash(location) + u"unins000.exe\"";
        record->mpu_int_Is64Bit = 1;
        record->mpu_bool_InstallLocation_Scan = true;
        auto& added = *record;
        list->add(std::move(record));
        return added;
    }

    // Tool without a trailing backslash, so that ToolBox's entries begin with its folder.
    ZRB_InstalledSoftware& add_tool() { return add_program(u"Tool", u"C:\\Apps\\Tool"); }

    void analyse(const std::u16string& name, std::shared_ptr<Pacing> pacing = std::make_shared<NoPacing>()) {
        auto thread = std::make_shared<ZRB_Thread_Uninstaller>(list, std::make_shared<ImmediateDispatcher>(),
                                                               std::move(pacing));
        thread->mpu_int_UninstallMode = 1;
        thread->mpu_dword_cb_TU_Start = [this] { return note(ReportKind::start); };
        thread->mpu_dword_cb_TU_End = [this] { return note(ReportKind::end); };
        thread->mpu_dword_cb_TU_FileFolderCount = [this](const char16_t* path, std::uint32_t count) {
            return note(ReportKind::file_folder_count, path, count);
        };
        thread->mpu_dword_cb_TU_RegCount = [this](const char16_t* path, std::uint32_t count) {
            return note(ReportKind::reg_count, path, count);
        };
        thread->mpu_dword_cb_TU_FileFolderList = [this](const char16_t* path) {
            return note(ReportKind::file_folder_list, path);
        };
        thread->mpu_dword_cb_TU_RegList = [this](const char16_t* path) { return note(ReportKind::reg_list, path); };
        thread->mpu_pro_SetUninstallSoftware(Str_LowerAscii(name));
        thread->start().join();
    }

    std::vector<AnalysisReport> of_kind(ReportKind kind) const {
        std::vector<AnalysisReport> found;
        for (const auto& report : reports)
            if (report.kind == kind) found.push_back(report);
        return found;
    }
    std::vector<std::u16string> paths_of(ReportKind kind) const {
        std::vector<std::u16string> paths;
        for (const auto& report : of_kind(kind)) paths.push_back(report.path);
        return paths;
    }

    // One registry scan on a record the analysis has walked already.
    static StringList run_scan(void (*scan)(const LeftoverScanContext&), const ZRB_InstalledSoftware& record) {
        StringList findings;
        const ProgramMatcher matcher(record);
        scan({record, matcher, record.mpu_int_Is64Bit == 1,
              [&findings](const std::u16string& finding) { findings.push_back(finding); }});
        return findings;
    }

private:
    std::uint32_t note(ReportKind kind, const char16_t* path = u"", std::uint32_t count = 0) {
        reports.push_back({kind, path, count});
        return 0;
    }
};

}  // namespace vorlix::test::analysis
