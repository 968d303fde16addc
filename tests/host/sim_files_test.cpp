// The model's file tree against what Windows does and the engine relies on.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform/os.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

std::vector<std::u16string> find_names(const std::u16string& pattern) {
    std::vector<std::u16string> names;
    os::FindData data;
    const os::Handle find = os::find_first_file(pattern, data);
    if (find == os::invalid_handle_value) return names;
    do names.push_back(data.name);
    while (os::find_next_file(find, data));
    os::find_close(find);
    return names;
}

bool fails_with(bool result, std::uint32_t error) { return !result && os::get_last_error() == error; }

using SimFiles = test::SimTest;

class SimFiles64 : public test::SimTest {
protected:
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.process64 = true;
        return config;
    }
};

// ---------------------------------------------------------------- the fresh machine

TEST_F(SimFiles, AFreshMachineHasTheUsualFolders) {
    const std::u16string paths[] = {
        u"C:\\Windows\\System32\\msiexec.exe", u"C:\\Windows\\SysWOW64\\rundll32.exe", u"C:\\Windows\\regedit.exe",
        u"C:\\Program Files\\Common Files", u"C:\\Program Files (x86)\\Common Files", u"C:\\ProgramData",
        u"C:\\Users\\user\\AppData\\Local\\Temp", u"C:\\Users\\user\\AppData\\Roaming", u"C:\\Users\\user\\Desktop",
        u"C:\\Users\\user\\Documents", u"C:\\Users\\user\\Downloads", os::get_module_file_name()};
    for (std::size_t i = 0; i < std::size(paths); ++i) EXPECT_TRUE(sim::path_exists(paths[i])) << "path " << i;
}

// ---------------------------------------------------------------- paths and lookups

// The spellings of one place are a contract test; here what only the model
// decides: a file written as a folder, drives it lacks or adds, relative paths.
TEST_F(SimFiles, PathsOfMissingAndAddedDrivesAndRelativePaths) {
    sim::add_file(u"C:\\Apps\\Tool\\Tool.exe", "MZ");
    EXPECT_EQ(os::get_file_attributes(u"C:\\Apps\\Tool\\Tool.exe\\"), os::invalid_file_attributes);
    EXPECT_EQ(os::get_file_attributes(u"Q:\\Apps"), os::invalid_file_attributes);
    EXPECT_EQ(os::get_last_error(), os::error_path_not_found);
    EXPECT_EQ(os::get_file_attributes(u"relative\\path"), os::invalid_file_attributes);

    sim::add_folder(u"D:\\Data");
    EXPECT_TRUE(os::get_file_attributes(u"d:\\data") & os::file_attribute_directory);
}

// What matches is a contract test; the order is the model's own (NTFS sorts
// names ignoring case, Wine lists them as the host file system does).
TEST_F(SimFiles, FindListsDotsFirstThenEntriesSortedIgnoringCase) {
    sim::add_file(u"C:\\F\\b.txt");
    sim::add_file(u"C:\\F\\A.txt");
    sim::add_file(u"C:\\F\\c.log");
    sim::add_folder(u"C:\\F\\_Sub");
    EXPECT_EQ(find_names(u"C:\\F\\*.*"), (std::vector<std::u16string>{u".", u"..", u"A.txt", u"b.txt", u"c.log", u"_Sub"}));
    EXPECT_EQ(find_names(u"C:\\F\\*.TXT"), (std::vector<std::u16string>{u"A.txt", u"b.txt"}));

    os::FindData data;
    EXPECT_FALSE(os::find_next_file(12345, data));
    EXPECT_EQ(os::get_last_error(), os::error_invalid_handle);
}

TEST_F(SimFiles, ShortNamesAreFoundConvertedAndReported) {
    sim::add_file(u"C:\\Program Files\\Long Vendor Name\\Setup Program.exe");
    sim::set_short_name(u"C:\\Program Files\\Long Vendor Name", u"LONGVE~1");
    sim::set_short_name(u"C:\\Program Files\\Long Vendor Name\\Setup Program.exe", u"SETUPP~1.EXE");

    const std::u16string short_path = u"C:\\PROGRA~1\\LONGVE~1\\SETUPP~1.EXE";
    EXPECT_NE(os::get_file_attributes(short_path), os::invalid_file_attributes);
    char16_t buffer[260];
    const auto length = os::get_long_path_name(u"c:\\progra~1\\longve~1\\SETUPP~1.EXE", buffer, 260);
    EXPECT_EQ(std::u16string(buffer, length), u"c:\\Program Files\\Long Vendor Name\\Setup Program.exe");
    EXPECT_EQ(os::get_long_path_name(short_path, buffer, 10), length + 1);  // too small: the size with null

    const auto short_length = os::get_short_path_name(u"C:\\Program Files\\Long Vendor Name\\", buffer, 260);
    EXPECT_EQ(std::u16string(buffer, short_length), u"C:\\PROGRA~1\\LONGVE~1\\");
    EXPECT_EQ(os::get_long_path_name(u"C:\\PROGRA~1\\NOPE~1", buffer, 260), 0u);
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);

    os::FindData data;
    const os::Handle find = os::find_first_file(u"C:\\Program Files\\Long Vendor Name\\*.EXE", data);
    ASSERT_NE(find, os::invalid_handle_value);
    EXPECT_EQ(data.name, u"Setup Program.exe");
    EXPECT_EQ(data.alternate_name, u"SETUPP~1.EXE");
    os::find_close(find);
}

// ---------------------------------------------------------------- deletion rules

// Read-only files and folders that are not empty are contract tests; locks,
// read-only folders and the drive root are the model's.
TEST_F(SimFiles, DeletionFailsLikeWindows) {
    sim::add_file(u"C:\\D\\readonly.txt", "", os::file_attribute_readonly);
    sim::add_file(u"C:\\D\\locked.txt", "data");
    sim::lock_file(u"C:\\D\\locked.txt");
    sim::add_folder(u"C:\\RO", os::file_attribute_readonly);

    EXPECT_TRUE(fails_with(os::delete_file(u"C:\\D\\locked.txt"), os::error_sharing_violation));
    EXPECT_TRUE(fails_with(os::delete_file(u"C:\\D"), os::error_access_denied));
    EXPECT_TRUE(fails_with(os::delete_file(u"C:\\None\\none.txt"), os::error_path_not_found));
    EXPECT_TRUE(fails_with(os::remove_directory(u"C:\\RO"), os::error_access_denied));
    EXPECT_TRUE(fails_with(os::remove_directory(u"C:\\"), os::error_access_denied));

    // A locked file still shows its attributes but does not open.
    EXPECT_NE(os::get_file_attributes(u"C:\\D\\locked.txt"), os::invalid_file_attributes);
    EXPECT_EQ(os::probe_open_for_read(u"C:\\D\\locked.txt"), os::error_sharing_violation);
    std::string bytes;
    EXPECT_TRUE(fails_with(os::read_file_bytes(u"C:\\D\\locked.txt", bytes), os::error_sharing_violation));
    EXPECT_TRUE(fails_with(os::move_file(u"C:\\D\\locked.txt", u"C:\\D\\moved.txt"), os::error_sharing_violation));
    EXPECT_TRUE(fails_with(os::write_file_bytes(u"C:\\D\\readonly.txt", "x"), os::error_access_denied));
    EXPECT_EQ(os::probe_open_for_read(u"C:\\D"), os::error_access_denied);

    sim::lock_file(u"C:\\D\\locked.txt", false);
    EXPECT_TRUE(os::delete_file(u"C:\\D\\locked.txt"));
    EXPECT_FALSE(sim::path_exists(u"C:\\D\\locked.txt"));
}

TEST_F(SimFiles, JunctionsAreFollowedInsidePathsButRemovedAsLinks) {
    sim::add_file(u"C:\\Shared\\Data\\keep.txt", "precious");
    sim::add_junction(u"C:\\App\\Link", u"C:\\Shared\\Data");

    EXPECT_EQ(os::get_file_attributes(u"C:\\App\\Link"), os::file_attribute_directory | os::file_attribute_reparse_point);
    EXPECT_EQ(find_names(u"C:\\App\\Link\\*"), (std::vector<std::u16string>{u".", u"..", u"keep.txt"}));
    std::string bytes;
    ASSERT_TRUE(os::read_file_bytes(u"C:\\App\\Link\\keep.txt", bytes));
    EXPECT_EQ(bytes, "precious");
    EXPECT_EQ(sim::list_tree(u"C:\\App"), (std::vector<std::u16string>{u"C:\\App", u"C:\\App\\Link"}));

    EXPECT_TRUE(os::remove_directory(u"C:\\App\\Link"));
    EXPECT_FALSE(sim::path_exists(u"C:\\App\\Link"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Shared\\Data\\keep.txt"));

    // Junctions that loop or lead nowhere end the lookup instead of hanging.
    sim::add_junction(u"C:\\Loop\\A", u"C:\\Loop\\B");
    sim::add_junction(u"C:\\Loop\\B", u"C:\\Loop\\A");
    sim::add_junction(u"C:\\Loop\\Gone", u"C:\\Nowhere");
    EXPECT_EQ(os::get_file_attributes(u"C:\\Loop\\A\\x"), os::invalid_file_attributes);
    EXPECT_EQ(os::get_last_error(), os::error_path_not_found);
    EXPECT_EQ(os::get_file_attributes(u"C:\\Loop\\Gone\\x"), os::invalid_file_attributes);
}

// ---------------------------------------------------------------- copy, move, create

TEST_F(SimFiles, CopyMoveAndCreateFollowWin32Rules) {
    sim::add_file(u"C:\\S\\a.txt", "A", os::file_attribute_readonly);
    sim::add_file(u"C:\\S\\Sub\\b.txt", "B");
    sim::add_folder(u"D:\\Other");

    ASSERT_TRUE(os::copy_file(u"C:\\S\\a.txt", u"C:\\S\\c.txt", true));
    EXPECT_TRUE(os::get_file_attributes(u"C:\\S\\c.txt") & os::file_attribute_readonly);
    EXPECT_FALSE(os::copy_file(u"C:\\S\\a.txt", u"C:\\S\\c.txt", true));
    EXPECT_EQ(os::get_last_error(), 80u);  // ERROR_FILE_EXISTS
    EXPECT_TRUE(fails_with(os::copy_file(u"C:\\S\\a.txt", u"C:\\S\\c.txt", false), os::error_access_denied));
    EXPECT_TRUE(fails_with(os::copy_file(u"C:\\S\\Sub", u"C:\\S\\x", false), os::error_access_denied));

    EXPECT_TRUE(fails_with(os::move_file(u"C:\\S", u"C:\\S\\Sub\\Inside"), os::error_sharing_violation));
    EXPECT_TRUE(fails_with(os::move_file(u"C:\\S\\Sub", u"D:\\Other\\Sub"), 17u));  // folders stay on their drive
    ASSERT_TRUE(os::move_file(u"C:\\S\\Sub", u"C:\\S\\SUB"));                     // a change of case
    EXPECT_EQ(find_names(u"C:\\S\\sub"), (std::vector<std::u16string>{u"SUB"}));
    ASSERT_TRUE(os::move_file(u"C:\\S\\SUB\\b.txt", u"D:\\Other\\b.txt"));      // files may change drive
    EXPECT_TRUE(sim::path_exists(u"D:\\Other\\b.txt"));

    EXPECT_TRUE(fails_with(os::create_directory(u"C:\\S\\a.txt"), os::error_already_exists));
    EXPECT_TRUE(fails_with(os::write_file_bytes(u"C:\\None\\x.txt", "x"), os::error_path_not_found));
}

// ---------------------------------------------------------------- WOW64 redirection

TEST_F(SimFiles, System32IsRedirectedPerThreadForAWow64Process) {
    sim::add_file(u"C:\\Windows\\System32\\only64.dll");
    sim::add_file(u"C:\\Windows\\SysWOW64\\only32.dll");
    sim::add_file(u"C:\\Windows\\System32\\drivers\\etc\\hosts");
    EXPECT_EQ(os::get_file_attributes(u"C:\\Windows\\System32\\only64.dll"), os::invalid_file_attributes);
    EXPECT_NE(os::get_file_attributes(u"C:\\Windows\\system32\\only32.dll"), os::invalid_file_attributes);
    EXPECT_NE(os::get_file_attributes(u"C:\\Windows\\Sysnative\\only64.dll"), os::invalid_file_attributes);
    EXPECT_NE(os::get_file_attributes(u"C:\\Windows\\System32\\drivers\\etc\\hosts"), os::invalid_file_attributes);

    void* saved = nullptr;
    ASSERT_TRUE(os::wow64_disable_fs_redirection(saved));
    EXPECT_NE(os::get_file_attributes(u"C:\\Windows\\System32\\only64.dll"), os::invalid_file_attributes);
    std::thread other([] {
        EXPECT_EQ(os::get_file_attributes(u"C:\\Windows\\System32\\only64.dll"), os::invalid_file_attributes);
    });
    other.join();
    ASSERT_TRUE(os::wow64_revert_fs_redirection(saved));
    EXPECT_EQ(os::get_file_attributes(u"C:\\Windows\\System32\\only64.dll"), os::invalid_file_attributes);

    // The test surface is literal.
    EXPECT_TRUE(sim::path_exists(u"C:\\Windows\\System32\\only64.dll"));
}

TEST_F(SimFiles64, ANativeProcessIsNotRedirected) {
    sim::add_file(u"C:\\Windows\\System32\\only64.dll");
    EXPECT_NE(os::get_file_attributes(u"C:\\Windows\\System32\\only64.dll"), os::invalid_file_attributes);
    EXPECT_EQ(os::get_file_attributes(u"C:\\Windows\\Sysnative"), os::invalid_file_attributes);
}

}  // namespace
}  // namespace vorlix
