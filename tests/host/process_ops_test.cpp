#include <gtest/gtest.h>

#include <algorithm>

#include "access/Unit_ZRB_func_Process.h"
#include "platform/os.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

class ProcessOps : public test::SimTest {
protected:
    static bool alive(std::uint32_t pid) {
        const auto all = sim::processes();
        return std::any_of(all.begin(), all.end(), [&](const sim::SimProcess& p) { return p.pid == pid; });
    }
};

TEST_F(ProcessOps, RunningIsAnExactFileNameMatchIgnoringCase) {
    sim::start_process(u"C:\\Temp\\setup64.exe");
    sim::start_process(u"C:\\App\\unins000.exe");
    EXPECT_TRUE(IsProcessRunning(u"UNINS000.EXE"));
    EXPECT_FALSE(IsProcessRunning(u"Setup.exe"));
    EXPECT_FALSE(IsProcessRunning(u"unins000"));
}

TEST_F(ProcessOps, TerminateOnlyTheFirstProcessOfThatVeryFile) {
    const auto other = sim::start_process(u"D:\\Other\\tool.exe");
    EXPECT_FALSE(TerminateProcessByPath(u"C:\\App\\tool.exe"));
    EXPECT_TRUE(alive(other));

    const auto first = sim::start_process(u"C:\\App\\tool.exe");
    const auto second = sim::start_process(u"C:\\App\\tool.exe");
    EXPECT_TRUE(TerminateProcessByPath(u" c:\\app\\TOOL.exe "));
    EXPECT_FALSE(alive(first));
    EXPECT_TRUE(alive(second));
    EXPECT_TRUE(alive(other));
}

TEST_F(ProcessOps, AProtectedProcessIsPassedOverAndNotReportedAsEnded) {
    const auto guarded = sim::start_process(u"C:\\App\\svc.exe", 0, true);
    EXPECT_FALSE(TerminateProcessByPath(u"C:\\App\\svc.exe"));
    EXPECT_TRUE(alive(guarded));
}

TEST_F(ProcessOps, ThisProgramIsNeverEndedThoughItsOwnFileIsNamed) {
    EXPECT_FALSE(TerminateProcessByPath(os::get_module_file_name()));
    EXPECT_TRUE(alive(os::get_current_process_id()));
}

}  // namespace
}  // namespace vorlix
