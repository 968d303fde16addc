// The model's process table, shell and message boxes.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/os.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

using SimProcesses = test::SimTest;

std::vector<os::ProcessEntry> snapshot() {
    std::vector<os::ProcessEntry> entries;
    const os::Handle handle = os::create_process_snapshot();
    os::ProcessEntry entry;
    for (bool more = os::process32_first(handle, entry); more; more = os::process32_next(handle, entry))
        entries.push_back(entry);
    os::close_handle(handle);
    return entries;
}

bool running(std::uint32_t pid) {
    const auto all = sim::processes();
    return std::any_of(all.begin(), all.end(), [pid](const sim::SimProcess& p) { return p.pid == pid; });
}

TEST_F(SimProcesses, TheSnapshotStartsWithTheIdleProcessAndIsACopy) {
    const auto pid = sim::start_process(u"C:\\App\\tool.exe", 4);
    const os::Handle handle = os::create_process_snapshot();
    sim::end_process(pid);
    std::vector<os::ProcessEntry> entries;
    os::ProcessEntry entry;
    for (bool more = os::process32_first(handle, entry); more; more = os::process32_next(handle, entry))
        entries.push_back(entry);
    EXPECT_EQ(os::get_last_error(), os::error_no_more_files);
    os::close_handle(handle);

    ASSERT_GE(entries.size(), 4u);
    EXPECT_EQ(entries[0].pid, 0u);
    EXPECT_EQ(entries[0].exe_file, u"[System Process]");
    EXPECT_EQ(entries[1].exe_file, u"System");
    EXPECT_EQ(entries.back().exe_file, u"tool.exe");  // still there: taken before it ended
    EXPECT_EQ(entries.back().parent_pid, 4u);
    EXPECT_EQ(snapshot().size(), entries.size() - 1);
}

TEST_F(SimProcesses, OpeningTerminatingAndReadingTheImagePath) {
    EXPECT_EQ(os::open_process(os::process_terminate, 0), 0);
    EXPECT_EQ(os::get_last_error(), os::error_invalid_parameter);
    EXPECT_EQ(os::open_process(os::process_terminate, 4), 0);
    EXPECT_EQ(os::get_last_error(), os::error_access_denied);
    EXPECT_EQ(os::open_process(os::process_terminate, 999999), 0);
    EXPECT_EQ(os::get_last_error(), os::error_invalid_parameter);

    const std::u16string image = u"C:\\Program Files\\App\\app.exe";
    const auto pid = sim::start_process(image);
    const os::Handle query = os::open_process(os::process_query_information | os::process_vm_read, pid);
    ASSERT_NE(query, 0);
    char16_t buffer[64];
    ASSERT_EQ(os::get_module_file_name_ex(query, buffer, 64), image.size());
    EXPECT_EQ(std::u16string(buffer), image);
    EXPECT_EQ(os::get_module_file_name_ex(query, buffer, 8), 7u);  // cut, still terminated
    EXPECT_EQ(std::u16string(buffer), u"C:\\Prog");
    EXPECT_FALSE(os::terminate_process(query, 0));  // no terminate right
    EXPECT_EQ(os::get_last_error(), os::error_access_denied);

    const os::Handle killer = os::open_process(os::process_terminate, pid);
    ASSERT_TRUE(os::terminate_process(killer, 0));
    EXPECT_FALSE(running(pid));
    EXPECT_FALSE(os::terminate_process(killer, 0));
    EXPECT_EQ(os::get_module_file_name_ex(query, buffer, 64), 0u);
    EXPECT_EQ(os::get_process_id(killer), pid);
    EXPECT_TRUE(os::close_handle(killer));
    EXPECT_TRUE(os::close_handle(query));
    EXPECT_FALSE(os::close_handle(query));
}

TEST_F(SimProcesses, WaitingBlocksUntilTheProcessEndsOrTheTimeoutPasses) {
    const auto pid = sim::start_process(u"C:\\App\\uninstall.exe");
    const os::Handle handle = os::open_process(os::synchronize, pid);
    ASSERT_NE(handle, 0);
    EXPECT_EQ(os::wait_for_single_object(handle, 10), os::wait_timeout);

    std::thread ender([pid] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        sim::end_process(pid);
    });
    EXPECT_EQ(os::wait_for_single_object(handle, os::infinite), os::wait_object_0);
    ender.join();
    EXPECT_EQ(os::wait_for_single_object(handle, 0), os::wait_object_0);

    const os::Handle no_sync = os::open_process(os::process_terminate, sim::start_process(u"C:\\x.exe"));
    EXPECT_EQ(os::wait_for_single_object(no_sync, 0), os::wait_failed);
    EXPECT_EQ(os::wait_for_single_object(424242, 0), os::wait_failed);
    os::close_handle(handle);
    os::close_handle(no_sync);
}

TEST_F(SimProcesses, ResetWakesWaitersOfTheOldMachine) {
    const os::Handle handle = os::open_process(os::synchronize, sim::start_process(u"C:\\App\\hang.exe"));
    // Whether the wait began before the reset or not, it returns.
    std::thread waiter([handle] {
        const auto result = os::wait_for_single_object(handle, os::infinite);
        EXPECT_TRUE(result == os::wait_object_0 || result == os::wait_failed);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    sim::reset();
    waiter.join();
}

// ---------------------------------------------------------------- shell

TEST_F(SimProcesses, TheDefaultShellStartsExistingFilesOnly) {
    sim::add_file(u"C:\\Program Files\\App\\unins000.exe");
    os::Handle process = 0;
    EXPECT_EQ(os::shell_execute(0, u"Open", u"\"C:\\Program Files\\App\\unins000.exe\" ", u"/SILENT", u"",
                                os::sw_shownormal, &process),
              42);
    ASSERT_NE(process, 0);
    EXPECT_TRUE(running(os::get_process_id(process)));
    os::close_handle(process);

    EXPECT_EQ(os::shell_execute(0, u"Open", u"MsiExec.exe", u"/X{1}", u"", os::sw_shownormal, &process), 42);
    os::close_handle(process);
    EXPECT_EQ(os::shell_execute(0, u"Open", u"regedit", u"", u"", os::sw_shownormal, nullptr), 42);
    EXPECT_EQ(os::shell_execute(0, u"Open", u"C:\\Missing\\setup.exe", u"", u"", os::sw_shownormal, &process), 2);
    EXPECT_EQ(process, 0);

    const auto requests = sim::shell_requests();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].verb, u"Open");
    EXPECT_EQ(requests[0].parameters, u"/SILENT");
    EXPECT_EQ(requests[0].show, os::sw_shownormal);
    EXPECT_FALSE(requests[0].create_process);

    const auto all = sim::processes();
    // A WOW64 process asking for System32 gets the SysWOW64 program.
    EXPECT_TRUE(std::any_of(all.begin(), all.end(),
                            [](const auto& p) { return p.image_path == u"C:\\Windows\\SysWOW64\\msiexec.exe"; }));
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const auto& p) { return p.image_path == u"C:\\Windows\\regedit.exe"; }));
}

TEST_F(SimProcesses, CreateProcessReadsTheCommandLineAsWindowsDoes) {
    sim::add_file(u"C:\\Program Files\\My App\\un ins.exe");
    sim::add_file(u"C:\\Program Files\\My App\\un.exe");
    os::Handle process = 0;
    ASSERT_TRUE(os::create_process(u"C:\\Program Files\\My App\\un ins.exe /S", os::sw_shownormal, &process));
    const std::u16string expected = u"C:\\Program Files\\My App\\un.exe";  // the shortest name that exists
    char16_t buffer[128];
    const auto length = os::get_module_file_name_ex(process, buffer, 128);
    EXPECT_EQ(std::u16string(buffer, length), expected);
    os::close_handle(process);

    ASSERT_TRUE(os::create_process(u"\"C:\\Program Files\\My App\\un ins\" /S", os::sw_hide, &process));
    EXPECT_EQ(std::u16string(buffer, os::get_module_file_name_ex(process, buffer, 128)),
              u"C:\\Program Files\\My App\\un ins.exe");
    os::close_handle(process);

    EXPECT_FALSE(os::create_process(u"C:\\Nowhere\\x.exe /S", os::sw_hide, &process));
    EXPECT_EQ(os::get_last_error(), os::error_file_not_found);
    EXPECT_TRUE(sim::shell_requests().back().create_process);
}

TEST_F(SimProcesses, AScriptedHandlerDecidesAndMayStartAProcess) {
    sim::set_shell_handler([](const sim::ShellRequest& request, std::uint32_t& pid) -> std::intptr_t {
        if (request.file != u"uninstall.exe") return 5;
        pid = sim::start_process(u"C:\\Temp\\~nsu.tmp\\Au_.exe");
        return 33;
    });
    os::Handle process = 0;
    EXPECT_EQ(os::shell_execute(0, u"Open", u"uninstall.exe", u"", u"", os::sw_shownormal, &process), 33);
    ASSERT_NE(process, 0);
    os::close_handle(process);
    EXPECT_EQ(os::shell_execute(0, u"Open", u"other.exe", u"", u"", os::sw_shownormal, &process), 5);
    EXPECT_EQ(os::get_last_error(), os::error_access_denied);
}

TEST_F(SimProcesses, MessageBoxesAreRecordedAndAnswered) {
    EXPECT_EQ(os::message_box(0, u"Sure?", u"Vorlix", os::mb_yesno | os::mb_iconquestion), os::idok);
    sim::set_message_box_answer(os::idno);
    EXPECT_EQ(os::message_box(0, u"Really?", u"Vorlix", os::mb_yesno), os::idno);
    const auto messages = sim::messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, u"Sure?");
    EXPECT_EQ(messages[0].caption, u"Vorlix");
    EXPECT_EQ(messages[0].flags, os::mb_yesno | os::mb_iconquestion);
}

}  // namespace
}  // namespace vorlix
