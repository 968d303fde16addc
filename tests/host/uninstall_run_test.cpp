#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "access/Unit_ZRB_func_Uninstall.h"
#include "platform/os.h"
#include "platform/sim/sim.h"

namespace vorlix {
namespace {

constexpr os::Handle owner = 0x1234;

class UninstallRun : public ::testing::Test {
protected:
    void SetUp() override { sim::reset(); }

    // The shell and the fallback answer `result` to every request.
    static void answer_every_request(std::intptr_t result) {
        sim::set_shell_handler([result](const sim::ShellRequest&, std::uint32_t& started_pid) {
            started_pid = 0;
            return result;
        });
    }
};

TEST_F(UninstallRun, ShellOpensTheChosenFileWithItsParameters) {
    answer_every_request(42);
    const UninstallStart start = RunUninstallCommand(owner, u"\"C:\\Program Files\\App\\unins000.exe\" /SILENT");

    EXPECT_TRUE(start.started);
    ASSERT_EQ(sim::shell_requests().size(), 1u);
    const sim::ShellRequest request = sim::shell_requests()[0];
    EXPECT_FALSE(request.create_process);
    EXPECT_EQ(request.verb, u"Open");
    EXPECT_EQ(request.file, u"\"C:\\Program Files\\App\\unins000.exe\" ");
    EXPECT_EQ(request.parameters, u"/SILENT");
    EXPECT_EQ(request.directory, u"");
    EXPECT_EQ(request.show, os::sw_shownormal);
    EXPECT_TRUE(sim::messages().empty());
}

TEST_F(UninstallRun, StartedProgramsGetStandardHandlesOfTheirOwn) {
    answer_every_request(2);
    RunUninstallCommand(owner, u"C:\\Apps\\reg.exe add HKCU\\X");
    // The shell and the fallback both start with the null device; ours come back afterwards.
    const auto requests = sim::shell_requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].null_standard_handles);
    EXPECT_TRUE(requests[1].null_standard_handles);
    os::shell_execute(owner, u"Open", u"C:\\Apps\\other.exe", u"", u"", os::sw_shownormal, nullptr);
    EXPECT_FALSE(sim::shell_requests().back().null_standard_handles);
}

TEST_F(UninstallRun, RefusedShellFallsBackToTheTrimmedCommandAsReceived) {
    // The dash in the folder cuts the path apart, so the shell cannot find the file.
    const std::u16string program = u"C:\\工具-箱\\卸载.exe";
    sim::add_file(program);
    const UninstallStart start = RunUninstallCommand(owner, u"  " + program + u" -silent \r\n");

    const auto requests = sim::shell_requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].file, u"C:\\工具");
    EXPECT_TRUE(requests[1].create_process);
    EXPECT_EQ(requests[1].file, program + u" -silent");
    EXPECT_EQ(requests[1].show, os::sw_shownormal);

    EXPECT_TRUE(start.started);
    EXPECT_NE(start.process, 0);
    const auto processes = sim::processes();
    EXPECT_TRUE(std::any_of(processes.begin(), processes.end(),
                            [&](const sim::SimProcess& process) { return process.image_path == program; }));
    os::close_handle(start.process);
}

TEST_F(UninstallRun, FailureOfBothStartsIsReported) {
    answer_every_request(2);
    const UninstallStart start = RunUninstallCommand(owner, u"C:\\Missing\\uninst.exe");
    EXPECT_FALSE(start.started);
    EXPECT_EQ(start.process, 0);
    EXPECT_EQ(sim::shell_requests().size(), 2u);
}

TEST_F(UninstallRun, EmptyFileIsNeverHandedToTheShell) {
    answer_every_request(42);
    RunUninstallCommand(owner, u" /x");
    ASSERT_EQ(sim::shell_requests().size(), 1u);
    EXPECT_TRUE(sim::shell_requests()[0].create_process);
    EXPECT_EQ(sim::shell_requests()[0].file, u"/x");
}

TEST_F(UninstallRun, ErrorMessagesAreShownAndOnlyTheDashErrorStillStarts) {
    answer_every_request(42);
    const std::uint32_t error_box = os::mb_ok | os::mb_iconerror | os::mb_taskmodal;

    EXPECT_FALSE(RunUninstallCommand(owner, u"///").started);
    ASSERT_EQ(sim::messages().size(), 1u);
    EXPECT_EQ(sim::messages()[0].text, u"8 cmd is error ! ");
    EXPECT_EQ(sim::messages()[0].caption, u"Vorlix");
    EXPECT_EQ(sim::messages()[0].flags, error_box);
    EXPECT_TRUE(sim::shell_requests().empty());

    EXPECT_TRUE(RunUninstallCommand(owner, u"C:\\App\\setup.exe --").started);
    ASSERT_EQ(sim::messages().size(), 2u);
    EXPECT_EQ(sim::messages()[1].text, u"9 cmd is error ! ");
    ASSERT_EQ(sim::shell_requests().size(), 1u);
    EXPECT_EQ(sim::shell_requests()[0].file, u"C:\\App\\setup.exe ");
    EXPECT_EQ(sim::shell_requests()[0].parameters, u"-");
}

TEST_F(UninstallRun, EmptyCommandShowsAndStartsNothing) {
    answer_every_request(42);
    for (const std::u16string command : {u"", u"  \r\n ", u"\t"}) {
        EXPECT_FALSE(RunUninstallCommand(owner, command).started);
    }
    EXPECT_TRUE(sim::shell_requests().empty());
    EXPECT_TRUE(sim::messages().empty());
}

}  // namespace
}  // namespace vorlix
