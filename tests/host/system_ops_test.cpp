#include <gtest/gtest.h>

#include <stdexcept>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/wow64.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

sim::MachineConfig machine(bool windows64, bool process64) {
    sim::MachineConfig config;
    config.windows64 = windows64;
    config.process64 = process64;
    return config;
}

TEST(Environment, BitnessCodesAndProgramFilesPairs) {
    struct Case {
        sim::MachineConfig config;
        int bitness;
        std::u16string program_files, program_files64;
    };
    auto old_windows = machine(true, false);
    old_windows.has_is_wow64_process = false;
    old_windows.has_get_system_wow64_directory = false;
    const Case cases[] = {
        {machine(true, false), bitness_wow64, u"C:\\Program Files (x86)\\", u"C:\\Program Files\\"},
        {machine(true, true), bitness_native64, u"C:\\Program Files\\", u""},
        {machine(false, false), bitness_windows32, u"C:\\Program Files\\", u""},
        {old_windows, bitness_unknown, u"C:\\Program Files (x86)\\", u"C:\\Program Files\\"},
    };
    for (const auto& c : cases) {
        sim::reset(c.config);
        EXPECT_EQ(Sys_GetBitness(), c.bitness);
        std::u16string program_files = u"x", program_files64 = u"y";
        Sys_GetProgramFilesDirs(program_files, program_files64);
        EXPECT_EQ(program_files, c.program_files);
        EXPECT_EQ(program_files64, c.program_files64);
    }
}

TEST(Environment, FailingWowQueryRaisesTheOneErrorOfTheLayer) {
    auto config = machine(true, false);
    config.is_wow64_process_fails = true;
    sim::reset(config);
    try {
        Sys_GetBitness();
        FAIL() << "no error raised";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "IsWow64Process: bad process handle");
    }
    void* saved = nullptr;
    EXPECT_FALSE(Sys_DisableFsRedirection(saved));
    EXPECT_FALSE(Sys_RevertFsRedirection(saved));
}

TEST(Environment, RedirectionOffAndBackForAThirtyTwoBitProcess) {
    sim::reset(machine(true, false));
    sim::add_file(u"C:\\Windows\\System32\\only64.dll");
    EXPECT_FALSE(Sys_FileExists(u"C:\\Windows\\System32\\only64.dll"));  // redirected to SysWOW64
    void* saved = nullptr;
    ASSERT_TRUE(Sys_DisableFsRedirection(saved));
    EXPECT_TRUE(Sys_FileExists(u"C:\\Windows\\System32\\only64.dll"));
    ASSERT_TRUE(Sys_RevertFsRedirection(saved));
    EXPECT_FALSE(Sys_FileExists(u"C:\\Windows\\System32\\only64.dll"));
}

TEST(Environment, SpecialFoldersEndWithABackslash) {
    sim::reset(machine(true, false));
    for (const auto& folder : {Sys_GetSystemDir(), Sys_GetWindowsDir(), Sys_GetDesktopDir(), Sys_GetAppDataDir(),
                               Sys_GetLocalAppDataDir()}) {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), u'\\');
        EXPECT_TRUE(IsDirectory(folder));
    }
    EXPECT_TRUE(Str_SameText(Sys_GetSystemDir(), u"C:\\Windows\\System32\\"));
}

class FileOps : public test::SimTest {};

TEST_F(FileOps, FileExistsTellsFilesFromFoldersAndLinks) {
    sim::add_file(u"C:\\App\\tool.exe");
    sim::add_file(u"C:\\App\\busy.dat");
    sim::lock_file(u"C:\\App\\busy.dat");
    sim::add_junction(u"C:\\App\\link", u"C:\\Users");
    EXPECT_TRUE(Sys_FileExists(u"C:\\App\\tool.exe"));
    EXPECT_TRUE(Sys_FileExists(u"c:\\app\\TOOL.EXE"));
    EXPECT_TRUE(Sys_FileExists(u"C:\\App\\busy.dat"));
    EXPECT_FALSE(Sys_FileExists(u"C:\\App"));
    EXPECT_FALSE(Sys_FileExists(u"C:\\App\\link"));
    EXPECT_FALSE(Sys_FileExists(u"C:\\App\\missing.exe"));
    EXPECT_FALSE(Sys_FileExists(u"C:\\Nowhere\\x.exe"));
    // Written as a folder, a file is no file, and the file system is not asked.
    sim::reset_call_counts();
    EXPECT_FALSE(Sys_FileExists(u"C:\\App\\tool.exe\\"));
    EXPECT_FALSE(Sys_FileExists(u"C:\\App\\tool.exe/"));
    EXPECT_FALSE(Sys_FileExists(u"C:\\App\\"));
    EXPECT_EQ(sim::call_counts().files, 0u);
    EXPECT_EQ(os::get_file_attributes(u"C:\\App\\tool.exe\\"), os::invalid_file_attributes);
    EXPECT_TRUE(IsDirectory(u"C:\\App\\"));
    EXPECT_FALSE(IsDirectory(u"C:\\App\\tool.exe"));
    EXPECT_FALSE(IsDirectory(u"C:\\Nowhere"));
}

TEST_F(FileOps, DeleteFolderTreeLeavesReadOnlyAndLockedFilesWithTheirParents) {
    sim::add_file(u"C:\\App\\a.txt");
    sim::add_file(u"C:\\App\\sub\\ro.txt", "x", os::file_attribute_readonly);
    sim::add_file(u"C:\\App\\sub\\b.txt");
    sim::add_file(u"C:\\App\\other\\busy.dll");
    sim::lock_file(u"C:\\App\\other\\busy.dll");
    sim::add_file(u"C:\\App\\gone\\c.txt");
    DeleteFolderTree(u"C:\\App\\");
    EXPECT_EQ(sim::list_tree(u"C:\\App"), (std::vector<std::u16string>{
                                              u"C:\\App", u"C:\\App\\other", u"C:\\App\\other\\busy.dll",
                                              u"C:\\App\\sub", u"C:\\App\\sub\\ro.txt"}));
    DeleteFolderTree(u"C:\\Nowhere");  // nothing to do, nothing raised
}

TEST_F(FileOps, DeleteFolderTreeRemovesLinksWithoutEnteringThem) {
    sim::add_file(u"C:\\Users\\user\\Documents\\thesis.docx");
    sim::add_file(u"C:\\App\\bin\\app.exe");
    sim::add_junction(u"C:\\App\\docs", u"C:\\Users\\user\\Documents");
    sim::add_junction(u"C:\\Link", u"C:\\Users\\user\\Documents");
    DeleteFileOrFolder(u"C:\\App");
    EXPECT_FALSE(sim::path_exists(u"C:\\App"));
    DeleteFolderTree(u"C:\\Link");
    EXPECT_FALSE(sim::path_exists(u"C:\\Link"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Users\\user\\Documents\\thesis.docx"));
}

TEST_F(FileOps, DeleteFileOrFolderOnAFile) {
    sim::add_file(u"C:\\App\\x.dll");
    DeleteFileOrFolder(u"C:\\App\\x.dll");
    EXPECT_FALSE(sim::path_exists(u"C:\\App\\x.dll"));
    EXPECT_TRUE(sim::path_exists(u"C:\\App"));
}

TEST_F(FileOps, LongPathOfShortNames) {
    sim::add_file(u"C:\\Program Files\\Long Vendor Name\\app.exe");
    sim::set_short_name(u"C:\\Program Files", u"PROGRA~1");
    sim::set_short_name(u"C:\\Program Files\\Long Vendor Name", u"LONGVE~1");
    EXPECT_EQ(GetLongPath(u"C:\\PROGRA~1\\LONGVE~1\\app.exe"), u"C:\\Program Files\\Long Vendor Name\\app.exe");
    EXPECT_EQ(GetLongPath(u"C:\\PROGRA~1\\NOPE~1\\app.exe"), u"");
}

}  // namespace
}  // namespace vorlix
