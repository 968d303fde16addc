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

// Every helper started by a test; ended and closed when the test ends.
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
    static bool ended(os::Handle process, std::uint32_t milliseconds = 30000) {
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
    const auto process = start(exe);
    ASSERT_NE(process, 0);
    ASSERT_TRUE(eventually([&] { return IsProcessRunning(exe_name); }));
    EXPECT_TRUE(IsProcessRunning(Str_UpperAscii(exe_name)));
    EXPECT_FALSE(IsProcessRunning(exe_name.substr(1)));
    EXPECT_FALSE(IsProcessRunning(exe_name + u"x"));
    EXPECT_FALSE(IsProcessRunning(exe));  // a name, not a path
}

TEST_F(Helpers, TerminateProcessByPathNeedsTheFullModulePath) {
    const auto process = start(exe);
    ASSERT_NE(process, 0);
    ASSERT_TRUE(eventually([&] { return IsProcessRunning(exe_name); }));
    // Same file name in another folder: the name test passes, the module path does not.
    EXPECT_FALSE(TerminateProcessByPath(scratch.path() + u"elsewhere\\" + exe_name));
    EXPECT_FALSE(ended(process, 500));
    EXPECT_TRUE(TerminateProcessByPath(u"  " + Str_UpperAscii(exe) + u" "));
    EXPECT_TRUE(ended(process));
    EXPECT_TRUE(eventually([&] { return !IsProcessRunning(exe_name); }, 30));
}

TEST_F(Helpers, TerminateProcessByPathEndsOnlyTheFirstOfTwo) {
    const auto first = start(exe);
    const auto second = start(exe);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    const auto both_visible = [&] {
        const auto pids = {os::get_process_id(first), os::get_process_id(second)};
        const auto handle = os::create_process_snapshot();
        int seen = 0;
        os::ProcessEntry entry;
        for (bool more = os::process32_first(handle, entry); more; more = os::process32_next(handle, entry)) {
            for (const auto pid : pids) seen += entry.pid == pid ? 1 : 0;
        }
        os::close_handle(handle);
        return seen == 2;
    };
    ASSERT_TRUE(eventually(both_visible));
    EXPECT_TRUE(TerminateProcessByPath(exe));
    const bool first_ended = ended(first, 10000);
    const bool second_ended = ended(second, first_ended ? 500 : 10000);
    EXPECT_NE(first_ended, second_ended);
    EXPECT_TRUE(IsProcessRunning(exe_name));
}

TEST_F(Helpers, ShellExecuteReportsSuccessAboveThirtyTwoWithAProcess) {
    os::Handle process = 0;
    const auto result = os::shell_execute(0, u"open", exe, u"/ignored", u"", os::sw_hide, &process);
    keep(process);
    EXPECT_GT(result, 32);
    ASSERT_NE(process, 0);
    EXPECT_TRUE(eventually([&] { return IsProcessRunning(exe_name); }));

    process = 7;
    EXPECT_LE(os::shell_execute(0, u"open", scratch.path() + u"missing.exe", u"", u"", os::sw_hide, &process), 32);
    EXPECT_EQ(process, 0);
    EXPECT_FALSE(os::create_process(u"\"" + scratch.path() + u"missing.exe\"", os::sw_hide, &process));
    EXPECT_EQ(process, 0);
}

TEST_F(Helpers, RunUninstallCommandStartsAQuotedPathWithASwitch) {
    // Form 5: the shell gets the quoted path (with a trailing blank) and /SILENT.
    const auto start_result = RunUninstallCommand(0, u"\"" + exe + u"\" /SILENT");
    keep(start_result.process);
    EXPECT_TRUE(start_result.started);
    EXPECT_NE(start_result.process, 0);
    EXPECT_TRUE(eventually([&] { return IsProcessRunning(exe_name); }));
}

TEST_F(Helpers, RunUninstallCommandFallsBackToTheWholeCommand) {
    // Form 7 cuts the path at its dash; the shell refuses the piece and the
    // command as received starts the helper.
    const auto dashed_name = test::unique_name(u"vorlix_sleeper-dash") + u".exe";
    const auto dashed = test::make_sleeper(scratch.path(), dashed_name);
    ASSERT_EQ(dashed.find(u' '), std::u16string::npos) << "the command must stay unquoted";
    EXPECT_EQ(PlanUninstallCommand(dashed + u" -quiet").form, 7);
    const auto start_result = RunUninstallCommand(0, dashed + u" -quiet");
    keep(start_result.process);
    EXPECT_TRUE(start_result.started);
    EXPECT_TRUE(eventually([&] { return IsProcessRunning(dashed_name); }));
}

}  // namespace
}  // namespace vorlix
