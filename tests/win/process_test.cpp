// Process questions, termination and the shell start against real Wine
// processes: the helper is a copy of this executable in sleeper mode.
#include <gtest/gtest.h>

#include <vector>

#include "access/Unit_ZRB_func_Process.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/Unit_ZRB_func_Uninstall.h"
#include "win/win_test_support.h"

namespace vorlix {
namespace {

using test::eventually;
using test::ScratchFolder;

// Every helper started by a test is ended and closed when the test ends.
class Helpers : public ::testing::Test {
protected:
    void TearDown() override {
        for (const auto process : started_) {
            os::terminate_process(process, 1);
            os::wait_for_single_object(process, 30000);
            os::close_handle(process);
        }
    }
    os::Handle start(const std::u16string& path) {
        os::Handle process = 0;
        EXPECT_TRUE(os::create_process(u"\"" + path + u"\"", os::sw_hide, &process));
        keep(process);
        return process;
    }
    void keep(os::Handle process) {
        if (process != 0) started_.push_back(process);
    }
    // True once the helper runs `path` and has loaded its modules.
    static bool ready(os::Handle process, const std::u16string& path) {
        const auto file = test::sleeper_ready_file(path, os::get_process_id(process));
        return process != 0 && eventually([&] { return test::exists(file); });
    }
    static bool ended(os::Handle process, std::uint32_t milliseconds = 60000) {
        return os::wait_for_single_object(process, milliseconds) == os::wait_object_0;
    }

    ScratchFolder scratch;
    const std::u16string exe_name = test::unique_name(test::sleeper_marker) + u".exe";
    const std::u16string exe = test::make_sleeper(scratch.path(), exe_name);

private:
    std::vector<os::Handle> started_;
};

TEST_F(Helpers, IsProcessRunningMatchesTheWholeFileNameIgnoringCase) {
    EXPECT_FALSE(IsProcessRunning(exe_name));
    ASSERT_TRUE(ready(start(exe), exe));
    EXPECT_TRUE(IsProcessRunning(exe_name));
    EXPECT_TRUE(IsProcessRunning(Str_UpperAscii(exe_name)));
    EXPECT_FALSE(IsProcessRunning(exe_name.substr(1)));
    EXPECT_FALSE(IsProcessRunning(exe_name + u"x"));
    EXPECT_FALSE(IsProcessRunning(exe));  // a name, not a path
}

TEST_F(Helpers, TerminateProcessByPathNeedsTheFullModulePath) {
    const auto process = start(exe);
    ASSERT_TRUE(ready(process, exe));
    // Same file name in another folder: the name test passes, the module path does not.
    EXPECT_FALSE(TerminateProcessByPath(scratch.path() + u"elsewhere\\" + exe_name));
    EXPECT_FALSE(ended(process, 500));
    EXPECT_TRUE(TerminateProcessByPath(u"  " + Str_UpperAscii(exe) + u" "));
    EXPECT_TRUE(ended(process));
    EXPECT_TRUE(eventually([&] { return !IsProcessRunning(exe_name); }, 60));
}

TEST_F(Helpers, TerminateProcessByPathEndsOnlyTheFirstOfTwo) {
    const auto first = start(exe);
    const auto second = start(exe);
    ASSERT_TRUE(ready(first, exe));
    ASSERT_TRUE(ready(second, exe));
    EXPECT_TRUE(TerminateProcessByPath(exe));
    const bool first_ended = ended(first, 20000);
    const bool second_ended = ended(second, first_ended ? 500 : 20000);
    EXPECT_NE(first_ended, second_ended);
    EXPECT_TRUE(IsProcessRunning(exe_name));
}

TEST_F(Helpers, ProcessTellsItsCreationTimeImageAndExitCode) {
    const auto process = start(exe);
    ASSERT_TRUE(ready(process, exe));
    std::uint64_t created = 0;
    ASSERT_TRUE(os::get_process_creation_time(process, created));
    EXPECT_GT(created, 0u);
    // A handle opened by id with the least access the supervision asks for tells the same.
    const auto by_id = os::open_process(os::process_query_limited_information, os::get_process_id(process));
    ASSERT_NE(by_id, 0);
    std::uint64_t again = 0;
    EXPECT_TRUE(os::get_process_creation_time(by_id, again));
    EXPECT_EQ(again, created);
    os::close_handle(by_id);

    bool listed = false;
    const auto snapshot = os::create_process_snapshot();
    os::ProcessEntry entry;
    for (bool more = os::process32_first(snapshot, entry); more; more = os::process32_next(snapshot, entry))
        if (entry.pid == os::get_process_id(process)) listed = entry.creation_time == created;
    os::close_handle(snapshot);
    EXPECT_TRUE(listed);

    std::u16string image;
    ASSERT_TRUE(os::query_full_process_image_name(process, image));
    EXPECT_EQ(Str_UpperFull(image), Str_UpperFull(exe));

    std::uint32_t code = 0;
    ASSERT_TRUE(os::get_exit_code_process(process, code));
    EXPECT_EQ(code, os::still_active);
    ASSERT_TRUE(os::terminate_process(process, 1602));
    ASSERT_TRUE(ended(process));
    ASSERT_TRUE(os::get_exit_code_process(process, code));
    EXPECT_EQ(code, 1602u);
}

TEST_F(Helpers, ShellExecuteReportsSuccessAboveThirtyTwoWithAProcess) {
    os::Handle process = 0;
    const auto result = os::shell_execute(0, u"open", exe, u"/ignored", u"", os::sw_hide, &process);
    keep(process);
    EXPECT_GT(result, 32);
    EXPECT_TRUE(ready(process, exe));

    process = 7;
    EXPECT_LE(os::shell_execute(0, u"open", scratch.path() + u"missing.exe", u"", u"", os::sw_hide, &process), 32);
    EXPECT_EQ(process, 0);
    EXPECT_FALSE(os::create_process(u"\"" + scratch.path() + u"missing.exe\"", os::sw_hide, &process));
    EXPECT_EQ(process, 0);
}

TEST_F(Helpers, RunUninstallCommandStartsAQuotedPathWithASwitch) {
    // Form 5: the shell gets the quoted path (with a trailing blank) and /SILENT.
    const auto started = RunUninstallCommand(0, u"\"" + exe + u"\" /SILENT");
    keep(started.process);
    EXPECT_TRUE(started.started);
    EXPECT_TRUE(ready(started.process, exe));
}

TEST_F(Helpers, RunUninstallCommandFallsBackToTheWholeCommand) {
    // Form 7 cuts the path at its dash; the shell refuses the piece and the
    // command as received starts the helper.
    const auto dashed = test::make_sleeper(scratch.path(), test::unique_name(u"vorlix_sleeper-dash") + u".exe");
    ASSERT_EQ(dashed.find(u' '), std::u16string::npos) << "the command must stay unquoted";
    EXPECT_EQ(PlanUninstallCommand(dashed + u" -quiet").form, 7);
    const auto started = RunUninstallCommand(0, dashed + u" -quiet");
    keep(started.process);
    EXPECT_TRUE(started.started);
    EXPECT_TRUE(ready(started.process, dashed));
}

}  // namespace
}  // namespace vorlix
