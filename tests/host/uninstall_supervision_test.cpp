// The launch and supervision of an uninstaller against scripted processes of
// the simulated machine. The supervisor's waits between looks at the process
// list run a script instead of passing time, so every case is exact.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "inventory/Pacing.h"
#include "leftovers/ProcessTreeWatch.h"
#include "leftovers/Unit_ZRB_Thread_ShellCallUninstall.h"
#include "leftovers/Unit_ZRB_Thread_ShellExeUninstaller.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

class ScriptedPolling final : public Pacing {
public:
    std::function<void(int)> script;  // called with the number of the wait, from 1
    int waits = 0;
    void pause(std::uint32_t) override {
        ++waits;
        if (script) script(waits);
    }
};

std::uint32_t running_pid(const std::u16string& image) {
    for (const auto& process : sim::processes())
        if (process.image_path == image) return process.pid;
    return 0;
}

std::uint32_t parent_pid(std::uint32_t pid) {
    for (const auto& process : sim::processes())
        if (process.pid == pid) return process.parent_pid;
    return 0;
}

class Supervision : public test::SimTest {
protected:
    std::shared_ptr<ZRB_InstalledSoftwareList> list = std::make_shared<ZRB_InstalledSoftwareList>();
    std::shared_ptr<ScriptedPolling> polling = std::make_shared<ScriptedPolling>();
    std::vector<std::string> events;
    bool started_anything = false;

    void add_program(const std::u16string& uninstall_string) {
        auto record = std::make_shared<ZRB_InstalledSoftware>();
        record->mpu_str_Name = u"Tool";
        record->mpu_str_Name_low = u"tool";
        record->mpu_str_UninstallString = uninstall_string;
        list->add(record);
    }

    std::shared_ptr<ZRB_Thread_ShellExeUninstaller> supervisor() {
        auto thread = std::make_shared<ZRB_Thread_ShellExeUninstaller>(list, std::make_shared<ImmediateDispatcher>(),
                                                                       std::make_shared<NoPacing>(), polling);
        thread->mpu_dword_cb_SHTU_Start = [this]() -> std::uint32_t {
            events.push_back("start");
            return 0;
        };
        thread->mpu_dword_cb_SHTU_End = [this]() -> std::uint32_t {
            events.push_back("end");
            return 0;
        };
        thread->mpu_dword_cb_SHTU_StepTip_Start = [this](std::int32_t step) -> std::uint32_t {
            events.push_back("step " + std::to_string(step) + " start");
            return 0;
        };
        thread->mpu_dword_cb_SHTU_StepTip_End = [this](std::int32_t step) -> std::uint32_t {
            events.push_back("step " + std::to_string(step) + " end");
            return 0;
        };
        thread->mpu_pro_SetUninstallSoftware(u"tool");
        return thread;
    }

    // The window's order: the launcher first, then the supervisor watching its start.
    void launch_and_supervise() {
        auto started = std::make_shared<StartedUninstaller>();
        const auto& record = *list->find(u"tool");
        auto launch = std::make_shared<ZRB_Thread_ShellCallUninstall>(0, false, record.mpu_str_UninstallString, started)
                          ->start();
        auto watcher = supervisor();
        watcher->watch_start(started);
        watcher->start().join();
        launch.join();
        started_anything = started->wait_for_outcome();
    }

    static std::vector<std::string> steps_around(std::vector<std::string> middle) {
        std::vector<std::string> all{"start", "step 2 start"};
        all.insert(all.end(), middle.begin(), middle.end());
        all.insert(all.end(), {"step 2 end", "step 3 start", "step 3 end", "end"});
        return all;
    }
};

TEST_F(Supervision, UninstallerThatRelaunchesItselfIsFollowedThroughItsDescendants) {
    const std::u16string original = u"C:\\Apps\\Tool\\Un_A.exe";
    const std::u16string copy = u"C:\\Users\\user\\AppData\\Local\\Temp\\~nsu1.tmp\\Au_.exe";
    const std::u16string helper = u"C:\\Users\\user\\AppData\\Local\\Temp\\~nsu1.tmp\\helper.exe";
    sim::add_file(original);
    add_program(u"\"" + original + u"\" /S");
    std::uint32_t child = 0, grandchild = 0;
    int relaunched_at = 0;
    polling->script = [&](int wait) {
        if (child == 0) {
            if (const auto pid = running_pid(original)) {
                // A sibling of the uninstaller, started by the same parent: never waited for.
                sim::start_process(u"C:\\Other\\Setup2.exe", parent_pid(pid));
                child = sim::start_process(copy, pid);
                sim::end_process(pid);
                relaunched_at = wait;
                events.push_back("original exited");
            }
        } else if (wait == relaunched_at + 5) {
            grandchild = sim::start_process(helper, child);
            sim::end_process(child);
            events.push_back("copy exited");
        } else if (wait == relaunched_at + 30) {
            sim::end_process(grandchild);
            events.push_back("helper exited");
        }
    };
    launch_and_supervise();

    EXPECT_TRUE(started_anything);
    EXPECT_EQ(events, steps_around({"original exited", "copy exited", "helper exited"}));
    // The look after the helper's end is the last.
    EXPECT_EQ(polling->waits, relaunched_at + 30);
    EXPECT_NE(running_pid(u"C:\\Other\\Setup2.exe"), 0u);
}

TEST_F(Supervision, UninstallerThatKeepsRunningHoldsTheFirstStepUntilItEnds) {
    const std::u16string uninstaller = u"C:\\Apps\\Tool\\uninst.exe";
    sim::add_file(uninstaller);
    add_program(uninstaller);
    // Far beyond the five looks that bound the wait for a process known only by name.
    polling->script = [&](int wait) {
        if (wait == 60) {
            sim::end_process(running_pid(uninstaller));
            events.push_back("uninstaller exited");
        }
    };
    launch_and_supervise();

    EXPECT_EQ(events, steps_around({"uninstaller exited"}));
}

TEST_F(Supervision, UninstallerThatNeverStartsGetsOnlyTheBoundedLookups) {
    sim::set_shell_handler([](const sim::ShellRequest&, std::uint32_t&) -> std::intptr_t { return 2; });
    add_program(u"C:\\Apps\\Tool\\unins000.exe /SILENT");
    launch_and_supervise();

    EXPECT_FALSE(started_anything);
    EXPECT_EQ(events, steps_around({}));
    // Five passes over the known names, then five looks for the program's own uninstaller.
    EXPECT_EQ(polling->waits, 10);
}

TEST_F(Supervision, ProcessKnownOnlyByNameIsWaitedForAtMostFiveLooks) {
    // The shell hands the request to a program that is already running: no
    // process comes back, and an unrelated Setup.exe runs on and on.
    sim::set_shell_handler([](const sim::ShellRequest&, std::uint32_t& pid) -> std::intptr_t {
        pid = 0;
        return 42;
    });
    const auto unrelated = sim::start_process(u"C:\\Downloads\\Setup.exe");
    add_program(u"C:\\Apps\\Tool\\uninstall.exe");
    launch_and_supervise();

    EXPECT_TRUE(started_anything);
    EXPECT_EQ(events, steps_around({}));
    EXPECT_EQ(polling->waits, 10);
    EXPECT_EQ(running_pid(u"C:\\Downloads\\Setup.exe"), unrelated);
}

TEST_F(Supervision, NameSeenInEarlierPassesButGoneInTheFifthGetsNoWait) {
    add_program(u"MsiExec.exe /X{11111111-2222-3333-4444-555555555555}");
    const auto installer = sim::start_process(u"C:\\Windows\\System32\\msiexec.exe");
    polling->script = [&](int wait) {
        if (wait == 4) sim::end_process(installer);
    };
    // Without a start to watch, as for a supervisor started on its own.
    supervisor()->start().join();

    EXPECT_EQ(events, steps_around({}));
    EXPECT_EQ(polling->waits, 5);
}

TEST(UninstallerExeName, TakesTheFileNameBeforeTheFirstExe) {
    EXPECT_EQ(uninstaller_exe_name(u"\"C:\\Program Files\\App\\unins000.exe\" /SILENT"), u"unins000.exe");
    EXPECT_EQ(uninstaller_exe_name(u"  MsiExec.exe /X{1-2}"), u"MsiExec.exe");
    // An unquoted file name with a blank keeps only its last part.
    EXPECT_EQ(uninstaller_exe_name(u"C:\\My App\\my uninst.EXE /x"), u"uninst.EXE");
    EXPECT_EQ(uninstaller_exe_name(u"C:\\App\\run.bat --remove"), u"");
    EXPECT_EQ(uninstaller_exe_name(u".exe"), u"");
    EXPECT_EQ(uninstaller_exe_name(u""), u"");
}

}  // namespace
}  // namespace vorlix
