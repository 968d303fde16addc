// Well-known folders and file operations against Wine's real file system.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "inventory/folder_forms.h"
#include "platform/portable/utf.h"
#include "win/win_test_support.h"

namespace vorlix {
namespace {

using test::build64;
using test::exists;
using test::ScratchFolder;

std::u16string environment(const std::u16string& name) {
    char16_t buffer[1024] = {};
    const auto length = os::get_environment_variable(name, buffer, 1024);
    return length < 1024 ? std::u16string(buffer, length) : std::u16string();
}

TEST(KnownFolders, AgreeWithTheEnvironmentAndEndWithABackslash) {
    EXPECT_TRUE(Str_SameText(Sys_GetSystemDir(), environment(u"SystemRoot") + u"\\system32\\"));
    EXPECT_TRUE(Str_SameText(Sys_GetWindowsDir(), environment(u"SystemRoot") + u"\\"));
    EXPECT_TRUE(Str_SameText(Sys_GetAppDataDir(), environment(u"APPDATA") + u"\\"));
    EXPECT_TRUE(Str_SameText(Sys_GetLocalAppDataDir(), environment(u"LOCALAPPDATA") + u"\\"));
    EXPECT_TRUE(Str_SameText(Sys_GetDesktopDir(), environment(u"USERPROFILE") + u"\\Desktop\\"));
    std::u16string downloads;
    EXPECT_TRUE(os::get_downloads_folder_path(downloads));
    EXPECT_TRUE(Str_SameText(downloads, environment(u"USERPROFILE") + u"\\Downloads"));
}

TEST(KnownFolders, ProgramFilesPairDependsOnTheProcess) {
    std::u16string program_files = u"stale", program_files64 = u"stale";
    Sys_GetProgramFilesDirs(program_files, program_files64);
    // %ProgramFiles% is the x86 folder for a 32-bit process; %ProgramW6432% always the 64-bit one.
    EXPECT_TRUE(Str_SameText(program_files, environment(u"ProgramFiles") + u"\\"));
    if (build64) {
        EXPECT_EQ(program_files64, u"");
    } else {
        EXPECT_TRUE(Str_SameText(program_files, u"C:\\Program Files (x86)\\"));
        EXPECT_TRUE(Str_SameText(program_files64, environment(u"ProgramW6432") + u"\\"));
    }
}

// Looked up name by name through FindFirstFileW, every known folder, in its
// own spelling and in its short one, has the forms GetLongPathNameW gives.
TEST(KnownFolders, NameByNameFormsAreThoseOfTheWholePathLookUp) {
    ScratchFolder scratch;
    scratch.make_folder(u"First long folder");
    std::vector<std::u16string> folders = os::get_known_folder_paths();
    folders.push_back(scratch.make_folder(u"First long folder\\second long folder"));
    for (std::size_t at = 0, count = folders.size(); at < count; ++at) {
        char16_t buffer[1024] = {};
        const auto length = os::get_short_path_name(folders[at], buffer, 1024);
        if (length > 0 && length < 1024) folders.emplace_back(buffer, length);
    }
    ASSERT_NE(folders.back(), scratch.path() + u"First long folder\\second long folder");
    FolderForms forms;
    for (const auto& folder : folders) {
        const auto named = forms.of(folder), whole = FolderForms::single(folder);
        EXPECT_EQ(std::set<std::u16string>(named.begin(), named.end()),
                  std::set<std::u16string>(whole.begin(), whole.end()))
            << to_utf8(folder);
    }
}

TEST(FileTests, FilesFoldersAndMissingPaths) {
    ScratchFolder scratch;
    const auto file = scratch.make_file(u"file.txt");
    const auto folder = scratch.make_folder(u"folder");
    EXPECT_TRUE(Sys_FileExists(file));
    EXPECT_FALSE(Sys_FileExists(folder));
    EXPECT_FALSE(Sys_FileExists(scratch.path() + u"missing.txt"));
    EXPECT_FALSE(Sys_FileExists(scratch.path() + u"missing\\file.txt"));
    // The system itself refuses a file written as a folder.
    EXPECT_EQ(os::get_file_attributes(file + u"\\"), os::invalid_file_attributes);
    EXPECT_FALSE(Sys_FileExists(file + u"\\"));
    EXPECT_TRUE(IsDirectory(folder));
    EXPECT_TRUE(IsDirectory(folder + u"\\"));
    EXPECT_FALSE(IsDirectory(file));
    EXPECT_FALSE(IsDirectory(scratch.path() + u"missing"));
}

TEST(FileTests, LongPathOfAShortPath) {
    ScratchFolder scratch;
    scratch.make_folder(u"A rather long folder name");
    const auto file = scratch.make_file(u"A rather long folder name\\another long file name.text");
    char16_t buffer[1024] = {};
    const auto length = os::get_short_path_name(file, buffer, 1024);
    ASSERT_GT(length, 0u);
    const std::u16string short_path(buffer, length);
    EXPECT_NE(short_path, file);
    EXPECT_TRUE(Str_SameText(GetLongPath(short_path), file));
    EXPECT_EQ(GetLongPath(scratch.path() + u"missing\\nothing.txt"), u"");
}

TEST(DeleteTrees, RemovesEverythingBelowWithOrWithoutTrailingBackslash) {
    ScratchFolder scratch;
    for (const auto* tail : {u"", u"\\"}) {
        const auto root = scratch.make_folder(u"tree");
        scratch.make_folder(u"tree\\sub");
        scratch.make_folder(u"tree\\sub\\deeper");
        scratch.make_file(u"tree\\top.txt");
        scratch.make_file(u"tree\\sub\\deeper\\leaf.bin", std::string(70000, 'z'));
        scratch.make_file(u"tree\\sub\\.hidden");
        DeleteFolderTree(root + tail);
        EXPECT_FALSE(exists(root)) << "tail '" << (*tail == u'\\' ? "\\" : "") << "'";
    }
    EXPECT_TRUE(exists(scratch.path()));
}

TEST(DeleteTrees, AReadOnlyFileStaysWithItsFolders) {
    ScratchFolder scratch;
    const auto root = scratch.make_folder(u"tree");
    scratch.make_folder(u"tree\\keep");
    scratch.make_folder(u"tree\\gone");
    const auto locked = scratch.make_file(u"tree\\keep\\readonly.txt");
    scratch.make_file(u"tree\\keep\\other.txt");
    scratch.make_file(u"tree\\gone\\file.txt");
    ASSERT_TRUE(os::set_file_attributes(locked, os::file_attribute_readonly));
    DeleteFolderTree(root);
    EXPECT_TRUE(exists(locked));
    EXPECT_FALSE(exists(root + u"\\keep\\other.txt"));
    EXPECT_FALSE(exists(root + u"\\gone"));
    EXPECT_TRUE(exists(root));
}

TEST(DeleteTrees, UnicodeNamesAndMissingFolders) {
    ScratchFolder scratch;
    // Letters outside any ANSI code page, a surrogate pair among them.
    const std::u16string name = u"\u00fc\u20ac\u4e2d\U0001D11E";
    const auto root = scratch.make_folder(name);
    const auto file = scratch.make_file(name + u"\\" + name + u".txt");
    EXPECT_TRUE(Sys_FileExists(file));
    DeleteFileOrFolder(file);
    EXPECT_FALSE(exists(file));
    scratch.make_file(name + u"\\again.txt");
    DeleteFileOrFolder(root);
    EXPECT_FALSE(exists(root));
    DeleteFolderTree(scratch.path() + u"missing");  // nothing to do, nothing breaks
    EXPECT_TRUE(exists(scratch.path()));
}

TEST(DeleteTrees, NeverEntersAFolderLink) {
    // Prepared by the Wine runner (wine-run.sh): tree\link points at target, which holds keep.txt.
    const std::u16string base = u"C:\\vorlix_links\\";
    const auto link_attributes = os::get_file_attributes(base + u"tree\\link");
    ASSERT_NE(link_attributes, os::invalid_file_attributes) << "no folder link: run the tests through wine-run.sh";
    ASSERT_NE(link_attributes & os::file_attribute_reparse_point, 0u);
    ASSERT_TRUE(exists(base + u"tree\\link\\keep.txt"));

    DeleteFolderTree(base + u"tree");
    EXPECT_TRUE(exists(base + u"target\\keep.txt"));
    EXPECT_FALSE(exists(base + u"tree\\file.txt"));
    if (test::under_wine()) {
        // Wine removes no link to a folder: it stays, still leading to the
        // untouched target, and the tree holding it stays with it.
        EXPECT_EQ(os::get_file_attributes(base + u"tree\\link"), link_attributes);
        EXPECT_TRUE(exists(base + u"tree\\link\\keep.txt"));
        EXPECT_TRUE(exists(base + u"tree"));
    } else {
        // Windows removes the link itself, then the emptied tree.
        EXPECT_FALSE(exists(base + u"tree\\link"));
        EXPECT_FALSE(exists(base + u"tree"));
    }
}

}  // namespace
}  // namespace vorlix
