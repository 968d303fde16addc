// Environment, folders and processes as both backends present them.
#include <algorithm>
#include <string>

#include "contract/contract_env.h"
#include "platform/os.h"
#include "platform/portable/utf.h"

namespace vorlix::contract {
namespace {

using ContractSystem = ContractTest;

std::u16string windows_directory() {
    char16_t buffer[300];
    const auto length = os::get_windows_directory(buffer, 300);
    return std::u16string(buffer, length);
}

std::u16string expanded(const std::u16string& source) {
    char16_t buffer[1024];
    const auto size = os::expand_environment_strings(source, buffer, 1024);
    return size == 0 ? std::u16string() : std::u16string(buffer, size - 1);
}

TEST_F(ContractSystem, ExpansionKnowsTheSystemAndKeepsUnknownNames) {
    EXPECT_TRUE(same_ignoring_case(expanded(u"%SystemRoot%\\x"), windows_directory() + u"\\x"));
    EXPECT_TRUE(same_ignoring_case(expanded(u"%systemroot%"), windows_directory()));
    EXPECT_EQ(expanded(u"a %VorlixNoSuchVariable% b"), u"a %VorlixNoSuchVariable% b");
    EXPECT_EQ(expanded(u"100% sure"), u"100% sure");
    // An unknown name between two known ones, and "%%" that names nothing, stay as written.
    EXPECT_TRUE(same_ignoring_case(expanded(u"%windir%%VorlixNoSuchVariable%%windir%"),
                                   windows_directory() + u"%VorlixNoSuchVariable%" + windows_directory()));
    EXPECT_TRUE(same_ignoring_case(expanded(u"%%%windir%"), u"%%" + windows_directory()));

    const std::u16string source = u"%WINDIR%";
    const auto needed = os::expand_environment_strings(source, nullptr, 0);
    EXPECT_EQ(needed, windows_directory().size() + 1);
    char16_t small[2];
    EXPECT_EQ(os::expand_environment_strings(source, small, 2), needed);
}

TEST_F(ContractSystem, EnvironmentVariablesFollowTheBufferProtocol) {
    EXPECT_EQ(os::get_environment_variable(u"VorlixNoSuchVariable", nullptr, 0), 0u);
    EXPECT_EQ(os::get_last_error(), 203u);  // ERROR_ENVVAR_NOT_FOUND
    const auto needed = os::get_environment_variable(u"systemroot", nullptr, 0);
    ASSERT_EQ(needed, windows_directory().size() + 1);
    std::u16string buffer(needed, u'\0');
    EXPECT_EQ(os::get_environment_variable(u"SYSTEMROOT", buffer.data(), needed), needed - 1);
    EXPECT_TRUE(same_ignoring_case(buffer.substr(0, needed - 1), windows_directory()));
}

TEST_F(ContractSystem, FoldersComeWithoutTrailingBackslashExceptTheTempPath) {
    std::u16string path;
    ASSERT_TRUE(os::get_special_folder_path(os::csidl_windows, path));
    EXPECT_TRUE(same_ignoring_case(path, windows_directory()));
    ASSERT_TRUE(os::get_special_folder_path(os::csidl_appdata, path));
    ASSERT_FALSE(path.empty());
    EXPECT_NE(path.back(), u'\\');

    char16_t buffer[300];
    const auto length = os::get_system_directory(buffer, 300);
    const std::u16string system(buffer, length);
    ASSERT_GE(system.size(), 9u);
    EXPECT_TRUE(same_ignoring_case(system.substr(system.size() - 9), u"\\system32"));

    const auto temp_length = os::get_temp_path(buffer, 300);
    ASSERT_GT(temp_length, 0u);
    EXPECT_EQ(buffer[temp_length - 1], u'\\');
    EXPECT_EQ(os::get_temp_path(buffer, 2), temp_length + 1);
}

TEST_F(ContractSystem, TheShellKnowsTheWindowsFolderAndTheProgramFiles) {
    const auto known = os::get_known_folder_paths();
    const auto knows = [&known](const std::u16string& path) {
        return std::any_of(known.begin(), known.end(),
                           [&path](const std::u16string& candidate) { return same_ignoring_case(candidate, path); });
    };
    EXPECT_TRUE(knows(windows_directory()));
    std::u16string program_files(260, u'\0');
    program_files.resize(os::get_environment_variable(u"ProgramFiles", program_files.data(), 260));
    EXPECT_TRUE(knows(program_files));
    EXPECT_GT(known.size(), 20u);
    // Virtual folders (Control Panel and the like) have no path to give.
    for (const auto& path : known) EXPECT_EQ(path.find(u"\\::"), std::u16string::npos) << to_utf8(path);
}

TEST_F(ContractSystem, TheSnapshotHoldsThisProcessWithItsImagePath) {
    const std::u16string image = os::get_module_file_name();
    const std::u16string exe = image.substr(image.find_last_of(u'\\') + 1);
    const os::Handle snapshot = os::create_process_snapshot();
    ASSERT_NE(snapshot, os::invalid_handle_value);
    os::ProcessEntry entry;
    std::uint32_t own_pid = 0;
    for (bool more = os::process32_first(snapshot, entry); more; more = os::process32_next(snapshot, entry))
        if (same_ignoring_case(entry.exe_file, exe)) own_pid = entry.pid;
    EXPECT_EQ(os::get_last_error(), os::error_no_more_files);
    EXPECT_TRUE(os::close_handle(snapshot));
    ASSERT_NE(own_pid, 0u);

    const os::Handle process = os::open_process(os::process_query_information | os::process_vm_read, own_pid);
    ASSERT_NE(process, 0);
    EXPECT_EQ(os::get_process_id(process), own_pid);
    // Only the file name is compared: Wine may spell the folder part of a
    // program started from outside its prefix differently in the two calls.
    char16_t buffer[1024];
    const std::u16string module(buffer, os::get_module_file_name_ex(process, buffer, 1024));
    EXPECT_TRUE(same_ignoring_case(module.substr(module.find_last_of(u'\\') + 1), exe));
    EXPECT_TRUE(os::close_handle(process));

    EXPECT_EQ(os::open_process(os::process_query_information, 0), 0);
    EXPECT_EQ(os::get_last_error(), os::error_invalid_parameter);
}

}  // namespace
}  // namespace vorlix::contract
