// The deletion of the leftovers: its order, the check boxes, the safety
// guards and the honest report of what stays.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/leftover_session.h"
#include "app/result_files.h"
#include "app_test_support.h"

namespace vorlix::test {
namespace {

class Deletion : public LeftoverTest {
protected:
    // Rows of the leftover screen, as the session lists them for the boxes.
    std::vector<bool> file_boxes(const std::vector<std::u16string>& unticked) const {
        std::vector<bool> boxes;
        for (const auto& row : session.file_rows())
            boxes.push_back(std::find(unticked.begin(), unticked.end(), row) == unticked.end());
        return boxes;
    }

    void expect_tool_untouched() const {
        for (const auto* path : {u"C:\\Apps\\Tool\\tool.exe", u"C:\\Apps\\Tool\\data\\a.txt"})
            EXPECT_TRUE(exists(path)) << to_utf8(path);
        EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, class_key));
        EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    }

    void expect_neighbour_untouched() const {
        EXPECT_TRUE(exists(u"C:\\Apps\\ToolBox\\box.exe"));
        EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Classes\\Box.File"));
        EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"ToolBox"));
    }

    void expect_result_files_gone() const {
        for (const auto* name : {result_file_config, result_file_files, result_file_folders, result_file_registry})
            EXPECT_FALSE(exists(result_folder + name)) << to_utf8(name);
    }
};

TEST_F(Deletion, EverythingTickedGoesAndOnlyThenSuccessIsReported) {
    analyse_tool();
    session.save_results();
    const auto tool = sim::start_process(u"C:\\Apps\\Tool\\tool.exe");
    const auto same_name_elsewhere = sim::start_process(u"C:\\Apps\\ToolBox\\tool.exe");

    const auto report = session.delete_leftovers({});

    EXPECT_FALSE(exists(u"C:\\Apps\\Tool"));
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, class_key));
    EXPECT_FALSE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    const auto processes = sim::processes();
    const auto running = [&processes](std::uint32_t pid) {
        return std::any_of(processes.begin(), processes.end(),
                           [pid](const auto& process) { return process.pid == pid; });
    };
    EXPECT_FALSE(running(tool));
    EXPECT_TRUE(running(same_name_elsewhere));
    expect_neighbour_untouched();
    expect_result_files_gone();
    EXPECT_EQ(report.remaining_count(), 0u);
    EXPECT_EQ(deletion_message(report), u"All leftovers have been completely removed.");
}

TEST_F(Deletion, UntickedRowsStayAndTheirFolderIsOnlyEmptied) {
    sim::add_file(u"C:\\Apps\\Tool\\data\\later.log");  // not listed: written after the analysis
    analyse_tool();
    session.mpr_strlist_LF_Files.push_back(u"C:\\Apps\\Tool\\data\\b.txt");
    sim::add_file(u"C:\\Apps\\Tool\\data\\b.txt");
    LeftoverSelection selection;
    selection.file_rows = file_boxes({u"C:\\Apps\\Tool\\data\\a.txt"});
    // The last row has no box (as past the 3000 shown rows): it counts as ticked.
    selection.file_rows.pop_back();
    selection.registry_rows = {false, true};  // the Run value stays, the class goes

    const auto report = session.delete_leftovers(selection);

    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\data\\a.txt"));
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\data\\later.log"));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\data\\b.txt"));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt"));
    // The Run value that stays still starts the program: its file stays too.
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\tool.exe"));
    ASSERT_EQ(report.kept.size(), 1u);
    EXPECT_EQ(report.kept.front().reason, u"started at logon by Tool");
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, class_key));
    // Kept by choice is no failure.
    EXPECT_EQ(report.remaining_count(), 0u);
}

TEST_F(Deletion, NamesEndingInADotOrABlankGoAndWhatStaysIsNamed) {
    // Written as the \\?\ form writes them; Win32 would cut the dot and the blank.
    for (const auto* name : {u"trail.", u"space ", u"stuck. "})
        sim::add_file(std::u16string(u"\\\\?\\C:\\Apps\\Tool\\data\\") + name);
    sim::lock_file(u"\\\\?\\C:\\Apps\\Tool\\data\\stuck. ");
    analyse_tool();

    const auto report = session.delete_leftovers({});

    EXPECT_FALSE(exists(u"\\\\?\\C:\\Apps\\Tool\\data\\trail."));
    EXPECT_FALSE(exists(u"\\\\?\\C:\\Apps\\Tool\\data\\space "));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\tool.exe"));
    // The file that stays is named, not only the folders that hold it.
    EXPECT_EQ(report.remaining_files_folders,
              (StringList{u"C:\\Apps\\Tool\\", u"C:\\Apps\\Tool\\data", u"C:\\Apps\\Tool\\data\\stuck. "}));
}

TEST_F(Deletion, ReadOnlyAndLockedFilesStayAndAreReported) {
    sim::add_file(u"C:\\Apps\\Tool\\data\\locked.db");
    sim::add_file(u"C:\\Apps\\Tool\\readonly.ini", {}, os::file_attribute_readonly);
    sim::lock_file(u"C:\\Apps\\Tool\\data\\locked.db");
    analyse_tool();
    session.mpr_strlist_LF_Files.insert(session.mpr_strlist_LF_Files.begin() + 1, u"C:\\Apps\\Tool\\readonly.ini");
    session.mpr_strlist_LF_Files.push_back(u"C:\\Apps\\Tool\\data\\locked.db");

    const auto report = session.delete_leftovers({});

    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\readonly.ini"));
    EXPECT_TRUE(exists(u"C:\\Apps\\Tool\\data\\locked.db"));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool\\data\\a.txt"));
    EXPECT_EQ(report.remaining_files_folders,
              (StringList{u"C:\\Apps\\Tool\\", u"C:\\Apps\\Tool\\data", u"C:\\Apps\\Tool\\readonly.ini",
                          u"C:\\Apps\\Tool\\data\\locked.db"}));
    EXPECT_TRUE(report.remaining_registry.empty());
    EXPECT_EQ(deletion_message(report), u"4 leftovers could not be removed.");
}

TEST_F(Deletion, ProgramPublishedByMicrosoftIsNeverTouched) {
    // Known from the result file alone, and from the analysis alone.
    for (const bool from_file : {true, false}) {
        SCOPED_TRACE(from_file ? "publisher in the result file" : "publisher in memory");
        analyse_tool(from_file ? u"Tool Maker" : u"Microsoft Corporation");
        if (from_file) save_result_file(result_folder + result_file_config, {u"Tool", u"microsoft corporation"});
        const auto tool = sim::start_process(u"C:\\Apps\\Tool\\tool.exe");

        const auto report = session.delete_leftovers({});

        expect_tool_untouched();
        EXPECT_EQ(sim::processes().back().pid, tool);
        sim::end_process(tool);
        expect_result_files_gone();
        EXPECT_TRUE(report.protected_publisher);
        EXPECT_EQ(report.remaining_count(), 7u);
        EXPECT_NE(deletion_message(report).find(u"Microsoft"), std::u16string::npos);
    }
}

TEST_F(Deletion, FindingsMadeInASharedFolderAreNeverDeleted) {
    sim::add_file(u"C:\\ProgramData\\Other Vendor\\settings.xml");
    analyse_tool();
    // An install location that is a shared folder hands all of it to the analysis.
    session.mpr_strlist_LF_Folders.insert(session.mpr_strlist_LF_Folders.begin(), u"C:\\ProgramData\\");
    session.mpr_strlist_LF_Files.push_back(u"C:\\ProgramData\\Other Vendor\\settings.xml");

    const auto report = session.delete_leftovers({});

    EXPECT_TRUE(exists(u"C:\\ProgramData\\Other Vendor\\settings.xml"));
    expect_tool_untouched();
    EXPECT_TRUE(report.shared_folder);
    EXPECT_GT(report.remaining_count(), 0u);
}

TEST_F(Deletion, DefaultValueEntryNeverTakesItsKeyAndBarredNamesAreReported) {
    sim::set_string(os::hkey_current_user, run_key, u"", u"C:\\Apps\\Tool\\tool.exe");
    sim::set_string(os::hkey_current_user, run_key, u"a|b", u"C:\\Apps\\Tool\\tool.exe");
    session.registry_listed(u"HKCU|" + run_key + u"|");
    session.registry_listed(u"HKCU|" + run_key + u"|a|b");
    session.registry_listed(u"HKXX|SOFTWARE\\Whatever");

    const auto report = session.delete_leftovers({});

    EXPECT_FALSE(sim::value_exists(os::hkey_current_user, run_key, u""));
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"ToolBox"));
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"a|b"));
    EXPECT_EQ(report.remaining_registry, (StringList{u"HKCU|" + run_key + u"|a|b", u"HKXX|SOFTWARE\\Whatever"}));
    EXPECT_EQ(deletion_message(report), u"2 leftovers could not be removed.");
}

}  // namespace
}  // namespace vorlix::test
