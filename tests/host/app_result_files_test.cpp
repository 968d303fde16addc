// The result files: their bytes, every encoding they are read in, and the
// save and reload around the supervision, which keeps only what still exists.
#include <gtest/gtest.h>

#include <string>

#include "app/leftover_session.h"
#include "app/result_files.h"
#include "app_test_support.h"

namespace vorlix::test {
namespace {

std::string file_bytes(const std::u16string& path) {
    std::string bytes;
    EXPECT_TRUE(os::read_file_bytes(path, bytes));
    return bytes;
}

class ResultFiles : public SimTest {};

TEST_F(ResultFiles, EveryUnicodePathSurvivesTheRoundTrip) {
    const StringList lines = {u"C:\\Program Files\\Ünïcødé\\файл.txt", u"C:\\工具\\😀 emoji.dll",
                              u"HKCU|Software\\Ελληνικά|名前", u"", u"  blanks kept  "};
    ASSERT_TRUE(save_result_file(u"C:\\Vorlix\\SLF_FI.txt", lines));
    const auto bytes = file_bytes(u"C:\\Vorlix\\SLF_FI.txt");
    EXPECT_EQ(bytes.substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");

    StringList loaded{u"replaced"};
    ASSERT_TRUE(load_result_file(u"C:\\Vorlix\\SLF_FI.txt", loaded));
    EXPECT_EQ(loaded, lines);
}

TEST_F(ResultFiles, EmptyListGivesAFileWithoutLines) {
    ASSERT_TRUE(save_result_file(u"C:\\Vorlix\\SLF_FL.txt", {}));
    EXPECT_EQ(file_bytes(u"C:\\Vorlix\\SLF_FL.txt"), "\xEF\xBB\xBF");
    StringList loaded{u"x"};
    ASSERT_TRUE(load_result_file(u"C:\\Vorlix\\SLF_FL.txt", loaded));
    EXPECT_TRUE(loaded.empty());
}

TEST_F(ResultFiles, FilesOfEarlierVersionsAndOtherEncodingsAreRead) {
    StringList loaded;
    // ANSI (Windows-1252), no byte-order mark, the last line without a break.
    sim::add_file(u"C:\\Vorlix\\ansi.txt", "C:\\Caf\xE9\\a.txt\r\nC:\\\x80 price.txt\r\nlast");
    ASSERT_TRUE(load_result_file(u"C:\\Vorlix\\ansi.txt", loaded));
    EXPECT_EQ(loaded, (StringList{u"C:\\Café\\a.txt", u"C:\\€ price.txt", u"last"}));

    // UTF-16 with its mark; a lone line feed and a lone carriage return end lines too.
    sim::add_file(u"C:\\Vorlix\\utf16.txt", std::string("\xFF\xFE" "a\0\n\0b\0\r\0\x34\x6C\r\0\n\0", 16));
    ASSERT_TRUE(load_result_file(u"C:\\Vorlix\\utf16.txt", loaded));
    EXPECT_EQ(loaded, (StringList{u"a", u"b", u"\u6C34"}));

    const StringList before = loaded;
    EXPECT_FALSE(load_result_file(u"C:\\Vorlix\\missing.txt", loaded));
    EXPECT_EQ(loaded, before);
}

class ResultFileSession : public LeftoverTest {};

TEST_F(ResultFileSession, AnalysisReportsFillTheListsAndStartAfresh) {
    save_result_file(result_folder + result_file_logo, {});
    save_result_file(result_folder + result_file_files, {u"old"});
    analyse_tool();
    // Sorted by what is a folder at the moment of the report; the rest are files.
    session.file_folder_found(u"C:\\Apps\\Tool\\gone", 6);
    EXPECT_EQ(session.mpr_strlist_LF_Folders, (StringList{u"C:\\Apps\\Tool\\", u"C:\\Apps\\Tool\\data"}));
    EXPECT_EQ(session.mpr_strlist_LF_Files.back(), u"C:\\Apps\\Tool\\gone");
    EXPECT_EQ(session.mpr_strlist_LF_Files.size(), 4u);
    EXPECT_EQ(session.files_folders_count, 6u);
    EXPECT_EQ(session.registry_count, 7u);
    EXPECT_FALSE(session.registry_listed(u""));
    EXPECT_FALSE(session.registry_listed(u"HKLM|" + class_key));
    EXPECT_TRUE(session.registry_listed(u"hklm|" + class_key));
    EXPECT_FALSE(exists(result_folder + result_file_logo));
    EXPECT_FALSE(exists(result_folder + result_file_files));
}

TEST_F(ResultFileSession, SavedListsComeBackWithOnlyWhatStillExists) {
    analyse_tool();
    ASSERT_TRUE(session.save_results());
    EXPECT_EQ(lines_of(result_folder + result_file_config), (StringList{u"Tool", u"Tool Maker"}));
    EXPECT_EQ(lines_of(result_folder + result_file_folders), session.mpr_strlist_LF_Folders);
    EXPECT_EQ(lines_of(result_folder + result_file_registry), session.mpr_dic_LF_Registry.keys());

    // The uninstaller removes its program file and its Run value.
    os::delete_file(u"C:\\Apps\\Tool\\tool.exe");
    os::Hkey run = 0;
    ASSERT_EQ(os::reg_open_key_ex(os::hkey_current_user, run_key, os::key_all_access, run), os::error_success);
    os::reg_delete_value(run, u"Tool");
    os::reg_close_key(run);
    session.load_results();

    EXPECT_EQ(session.mpr_strlist_LF_Folders, (StringList{u"C:\\Apps\\Tool\\", u"C:\\Apps\\Tool\\data"}));
    EXPECT_EQ(session.mpr_strlist_LF_Files,
              (StringList{u"C:\\Apps\\Tool\\data\\a.txt", u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt"}));
    EXPECT_EQ(session.mpr_dic_LF_Registry.keys(), (StringList{u"HKLM|" + class_key}));
}

TEST_F(ResultFileSession, EditedResultFilesNeverWidenTheLists) {
    analyse_tool();
    session.save_results();
    save_result_file(result_folder + result_file_files,
                     {u"C:\\Apps\\Tool\\data\\a.txt", u"C:\\Apps\\ToolBox\\box.exe"});
    save_result_file(result_folder + result_file_folders, {u"C:\\Apps\\Tool\\", u"C:\\Apps\\ToolBox"});
    save_result_file(result_folder + result_file_registry, {u"HKLM|SOFTWARE\\Classes\\Box.File"});
    session.mpr_dic_LF_Registry.clear();
    session.mpr_dic_LF_Registry.add(u"HKLM|a|b|c");  // a form that cannot be checked is kept
    session.load_results();

    EXPECT_EQ(session.mpr_strlist_LF_Files, (StringList{u"C:\\Apps\\Tool\\data\\a.txt"}));
    EXPECT_EQ(session.mpr_strlist_LF_Folders, (StringList{u"C:\\Apps\\Tool\\"}));
    EXPECT_EQ(session.mpr_dic_LF_Registry.keys(), (StringList{u"HKLM|a|b|c"}));
}

TEST_F(ResultFileSession, RowsStopAtThreeThousandFoldersThenFiles) {
    for (int index = 0; index < 2000; ++index) session.mpr_strlist_LF_Folders.push_back(u"F");
    for (int index = 0; index < 2000; ++index) session.mpr_strlist_LF_Files.push_back(u"f");
    const auto rows = session.file_rows();
    ASSERT_EQ(rows.size(), leftover_row_limit);
    EXPECT_EQ(rows[1999], u"F");
    EXPECT_EQ(rows[2000], u"f");
}

}  // namespace
}  // namespace vorlix::test
