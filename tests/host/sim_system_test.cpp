// WOW64 queries, special folders and environment of the model for each kind
// of machine the engine must tell apart.
#include <gtest/gtest.h>

#include <string>

#include "platform/os.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

std::u16string variable(const std::u16string& name) {
    char16_t buffer[512];
    const auto length = os::get_environment_variable(name, buffer, 512);
    return std::u16string(buffer, length);
}

std::u16string folder(int csidl) {
    std::u16string path;
    EXPECT_TRUE(os::get_special_folder_path(csidl, path));
    return path;
}

struct Machine {
    const char* label;
    bool windows64, process64;
    bool wow64;
    const char16_t* program_files;        // CSIDL_PROGRAM_FILES and %ProgramFiles%
    const char16_t* program_files_x86;    // CSIDL_PROGRAM_FILESX86
    const char16_t* program_files_common; // CSIDL_PROGRAM_FILES_COMMON
};

class SimSystem : public test::SimTest, public ::testing::WithParamInterface<Machine> {
protected:
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.windows64 = GetParam().windows64;
        config.process64 = GetParam().process64;
        return config;
    }
};

TEST_P(SimSystem, BitnessQueriesAndFoldersMatchTheMachine) {
    const Machine& m = GetParam();
    bool wow64 = !m.wow64;
    ASSERT_TRUE(os::is_wow64_process(wow64));
    EXPECT_EQ(wow64, m.wow64);

    char16_t buffer[260];
    const auto length = os::get_system_wow64_directory(buffer, 260);
    if (m.windows64) {
        EXPECT_EQ(std::u16string(buffer, length), u"C:\\Windows\\SysWOW64");
    } else {
        EXPECT_EQ(length, 0u);
        EXPECT_EQ(os::get_last_error(), 120u);
    }
    EXPECT_EQ(std::u16string(buffer, os::get_system_directory(buffer, 260)), u"C:\\Windows\\System32");

    EXPECT_EQ(folder(os::csidl_program_files), m.program_files);
    EXPECT_EQ(folder(os::csidl_program_filesx86), m.program_files_x86);
    EXPECT_EQ(folder(os::csidl_program_files_common), m.program_files_common);
    EXPECT_EQ(folder(os::csidl_system), u"C:\\Windows\\System32");
    EXPECT_EQ(variable(u"programfiles"), m.program_files);
    EXPECT_EQ(variable(u"ProgramW6432"), m.windows64 ? u"C:\\Program Files" : u"");
    EXPECT_EQ(variable(u"ProgramFiles(x86)"), m.windows64 ? u"C:\\Program Files (x86)" : u"");
}

INSTANTIATE_TEST_SUITE_P(
    Machines, SimSystem,
    ::testing::Values(Machine{"Wow64", true, false, true, u"C:\\Program Files (x86)", u"C:\\Program Files (x86)",
                              u"C:\\Program Files (x86)\\Common Files"},
                      Machine{"Native64", true, true, false, u"C:\\Program Files", u"C:\\Program Files (x86)",
                              u"C:\\Program Files\\Common Files"},
                      Machine{"Windows32", false, false, false, u"C:\\Program Files", u"C:\\Program Files",
                              u"C:\\Program Files\\Common Files"}),
    [](const ::testing::TestParamInfo<Machine>& param) { return param.param.label; });

using SimEnvironment = test::SimTest;

TEST_F(SimEnvironment, UserFoldersAndVariablesAgree) {
    EXPECT_EQ(folder(os::csidl_appdata), u"C:\\Users\\user\\AppData\\Roaming");
    EXPECT_EQ(folder(os::csidl_local_appdata), variable(u"LOCALAPPDATA"));
    EXPECT_EQ(folder(os::csidl_profile), variable(u"USERPROFILE"));
    EXPECT_EQ(folder(os::csidl_common_appdata), variable(u"ALLUSERSPROFILE"));
    EXPECT_EQ(folder(os::csidl_windows), variable(u"windir"));
    EXPECT_EQ(folder(os::csidl_personal), u"C:\\Users\\user\\Documents");
    EXPECT_EQ(folder(os::csidl_desktopdirectory), u"C:\\Users\\user\\Desktop");
    std::u16string downloads;
    ASSERT_TRUE(os::get_downloads_folder_path(downloads));
    EXPECT_EQ(downloads, u"C:\\Users\\user\\Downloads");
    std::u16string none = u"x";
    EXPECT_FALSE(os::get_special_folder_path(0x7777, none));
    EXPECT_TRUE(none.empty());

    char16_t buffer[260];
    EXPECT_EQ(std::u16string(buffer, os::get_temp_path(buffer, 260)), u"C:\\Users\\user\\AppData\\Local\\Temp\\");
}

TEST_F(SimEnvironment, MissingExportsAndFailingCallsAreReported) {
    sim::MachineConfig config;
    config.has_is_wow64_process = false;
    config.has_get_system_wow64_directory = false;
    sim::reset(config);
    bool wow64 = true;
    EXPECT_FALSE(os::is_wow64_process_available());
    EXPECT_FALSE(os::is_wow64_process(wow64));
    EXPECT_FALSE(os::get_system_wow64_directory_available());
    void* saved = nullptr;
    EXPECT_FALSE(os::wow64_disable_fs_redirection(saved));
    EXPECT_EQ(os::get_last_error(), os::error_proc_not_found);

    config = {};
    config.is_wow64_process_fails = true;
    sim::reset(config);
    EXPECT_TRUE(os::is_wow64_process_available());
    EXPECT_FALSE(os::is_wow64_process(wow64));

    config = {};
    config.windows64 = false;
    sim::reset(config);
    EXPECT_FALSE(os::wow64_disable_fs_redirection(saved));  // exists on 32-bit Windows but fails
}

}  // namespace
}  // namespace vorlix
