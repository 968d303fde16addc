// The launch and supervision of an uninstaller against scripted processes of
// the simulated machine. The supervisor's waits between looks at the process
// list run a script instead of passing time, so every case is exact.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "inventory/pacing.h"
#include "leftovers/process_tree_watch.h"
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

// The program's uninstaller, in its own folder.
const std::u16string uninstaller = u"C:\\Apps\\Tool\\uninst.exe";

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

    void add_program(const std::u16string& uninstall_string, const std::u16string& location = u"") {
        auto record = std::make_shared<ZRB_InstalledSoftware>();
        record->mpu_str_Name = u"Tool";
        record->mpu_str_Name_low = u"tool";
        record->mpu_str_UninstallString = uninstall_string;
        record->mpu_str_InstallLocation = location;
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
    void launch_and_supervise(std::optional<std::uint64_t> wait_limit_ms = std::nullopt) {
        auto started = std::make_shared<StartedUninstaller>();
        const auto& record = *list->find(u"tool");
        auto launch = std::make_shared<ZRB_Thread_ShellCallUninstall>(0, false, record.mpu_str_UninstallString, started)
                          ->start();
        auto watcher = supervisor();
        watcher->watch_start(started);
        if (wait_limit_ms) watcher->set_wait_limit(*wait_limit_ms);
        watcher->start().join();
        launch.join();
        started_anything = started->wait_for_outcome();
        still_running = watcher->still_running();
        exit_code = started->exit_code();
    }

    bool still_running = false;
    std::optional<std::uint32_t> exit_code;

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

TEST_F(Supervision, OlderProcessNamingTheReusedIdAsParentIsNotAdopted) {
    // An unrelated process, started long before the uninstaller, whose parent
    // had the id the uninstaller now has.
    sim::add_file(uninstaller);
    add_program(uninstaller, u"C:\\Apps\\Tool\\");
    std::uint32_t stranger = 0;
    polling->script = [&](int wait) {
        const auto pid = running_pid(uninstaller);
        if (stranger == 0 && pid != 0) {
            stranger = sim::start_process(u"C:\\Apps\\Tool\\old.exe", pid, false, 1);
        } else if (wait == 20) {
            sim::end_process(pid, 0);
        } else if (wait == 500) {
            sim::end_process(stranger);  // only so that a failing run ends
        }
    };
    launch_and_supervise();

    EXPECT_EQ(polling->waits, 20);
    EXPECT_EQ(exit_code, 0u);
    EXPECT_NE(running_pid(u"C:\\Apps\\Tool\\old.exe"), 0u);
}

TEST_F(Supervision, OnceTheUninstallerEndsOnlyItsOwnFolderTempAndWindowsInstallerHold) {
    const std::u16string browser = u"C:\\Program Files\\Browser\\browser.exe";
    sim::add_file(uninstaller);
    add_program(u"\"" + uninstaller + u"\" /S", u"C:\\Apps\\Tool\\");
    std::uint32_t installer = 0, helper = 0, temp_copy = 0;
    int exited_at = 0;
    polling->script = [&](int wait) {
        const auto pid = running_pid(uninstaller);
        if (exited_at == 0 && pid != 0) {
            // A farewell page in the browser, which starts a tab process of its own.
            sim::start_process(u"C:\\Program Files\\Browser\\tab.exe", sim::start_process(browser, pid));
            installer = sim::start_process(u"C:\\Windows\\System32\\msiexec.exe", pid);
            helper = sim::start_process(u"C:\\Apps\\Tool\\bin\\cleanup.exe", pid);
            temp_copy = sim::start_process(u"C:\\Users\\user\\AppData\\Local\\Temp\\~nsu2.tmp\\Au_.exe", pid);
            // Neither in the program's folder nor the system's msiexec.
            sim::start_process(u"C:\\Apps\\ToolBox\\msiexec.exe", pid);
            sim::end_process(pid, 0);
            exited_at = wait;
        } else if (exited_at != 0 && wait == exited_at + 10) {
            sim::end_process(installer);
        } else if (exited_at != 0 && wait == exited_at + 20) {
            sim::end_process(temp_copy);
        } else if (exited_at != 0 && wait == exited_at + 30) {
            sim::end_process(helper);
        } else if (wait == 600) {
            for (const auto& process : sim::processes())
                if (process.parent_pid != 0) sim::end_process(process.pid);  // only so that a failing run ends
        }
    };
    launch_and_supervise();

    ASSERT_NE(exited_at, 0);
    EXPECT_EQ(polling->waits, exited_at + 30);
    EXPECT_NE(running_pid(browser), 0u);
    EXPECT_FALSE(still_running);
}

TEST_F(Supervision, ADescendantStillStartingIsAskedForItsImageAgainAtEachLook) {
    sim::add_file(uninstaller);
    add_program(u"\"" + uninstaller + u"\" /S", u"C:\\Apps\\Tool\\");
    std::uint32_t browser = 0;
    int exited_at = 0;
    polling->script = [&](int wait) {
        const auto pid = running_pid(uninstaller);
        if (exited_at == 0 && pid != 0) {
            // Seen while it has not loaded its image yet.
            browser = sim::start_process(u"", pid);
            sim::end_process(pid, 0);
            exited_at = wait;
        } else if (exited_at != 0 && wait == exited_at + 10) {
            sim::set_process_image(browser, u"C:\\Program Files\\Browser\\browser.exe");
        } else if (wait == 600) {
            sim::end_process(browser);  // only so that a failing run ends
        }
    };
    launch_and_supervise();

    ASSERT_NE(exited_at, 0);
    EXPECT_EQ(polling->waits, exited_at + 10) << "held while its image was unknown, released once it is known";
    EXPECT_FALSE(still_running);
}

TEST_F(Supervision, WaitLimitEndsTheWaitAndLeavesTheUninstallerRunning) {
    sim::add_file(uninstaller);
    add_program(uninstaller, u"C:\\Apps\\Tool\\");
    polling->script = [&](int wait) {
        if (wait == 100000) sim::end_process(running_pid(uninstaller));  // only so that a failing run ends
    };
    launch_and_supervise(60'000);

    EXPECT_TRUE(still_running);
    EXPECT_FALSE(exit_code.has_value());
    EXPECT_NE(running_pid(uninstaller), 0u);
    // Ten looks of a second, then looks of a quarter second up to the minute.
    EXPECT_EQ(polling->waits, 10 + 50 * 4);
    EXPECT_EQ(events, steps_around({}));
}

TEST_F(Supervision, UninstallerEndingWithinTheLimitIsNotStillRunning) {
    sim::add_file(uninstaller);
    add_program(uninstaller);
    polling->script = [&](int wait) {
        if (wait == 30) sim::end_process(running_pid(uninstaller), 1602);
    };
    launch_and_supervise(60'000);

    EXPECT_FALSE(still_running);
    EXPECT_EQ(exit_code, 1602u);
}

TEST_F(Supervision, ScopeHoldsTempFoldersTheProgramFolderAndTheSystemInstaller) {
    sim::add_file(u"C:\\Users\\user\\AppData\\Local\\Temp\\x.tmp");
    sim::set_short_name(u"C:\\Users\\user\\AppData", u"APPDAT~1");
    sim::set_environment_variable(u"TMP", u"C:\\Users\\user\\APPDAT~1\\Local\\Temp");
    const auto scope = UninstallerScope::for_program(u"C:\\Apps\\Tool\\");
    EXPECT_TRUE(scope.holds(u"C:\\USERS\\USER\\AppData\\Local\\Temp\\~nsu.tmp\\Au_.exe"));
    EXPECT_TRUE(scope.holds(u"C:\\Windows\\Temp\\setup.exe"));
    EXPECT_TRUE(scope.holds(u"C:\\Apps\\Tool\\uninst.exe"));
    EXPECT_TRUE(scope.holds(u"C:\\Windows\\system32\\MSIEXEC.EXE"));
    EXPECT_TRUE(scope.holds(u""));  // unknown: waited for
    EXPECT_FALSE(scope.holds(u"C:\\Apps\\ToolBox\\uninst.exe"));
    EXPECT_FALSE(scope.holds(u"C:\\Windows\\System32\\cmd.exe"));
    EXPECT_FALSE(scope.holds(u"C:\\Program Files\\Browser\\msiexec.exe"));
    EXPECT_TRUE(UninstallerScope().holds(u"C:\\Program Files\\Browser\\browser.exe"));
    // Without a location only the temporary folders and the installer hold.
    EXPECT_FALSE(UninstallerScope::for_program(u"").holds(u"C:\\Apps\\Tool\\uninst.exe"));
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
