// The hand-off from workers to the user-interface thread: every task runs on
// that thread while its worker waits, and closing releases waiting workers.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

#include "ui/win32/ui_thread.h"

namespace vorlix::ui {
namespace {

// How long a wait for something that must happen may take on a loaded machine.
constexpr DWORD deadline_ms = 30000;

// Serves this thread's messages until `done` holds or the deadline passes.
bool pump_until(const std::function<bool()>& done) {
    const DWORD until = GetTickCount() + deadline_ms;
    MSG message;
    while (!done()) {
        if (static_cast<LONG>(until - GetTickCount()) <= 0) return false;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
    return true;
}

TEST(WindowDispatcher, RunsEveryWorkersTasksOnItsThreadWhileTheWorkerWaits) {
    WindowDispatcher dispatcher;
    const DWORD ui_thread = GetCurrentThreadId();
    constexpr int workers = 3;
    constexpr int tasks_each = 300;
    std::atomic<int> finished{0};
    std::atomic<int> off_thread{0};
    std::atomic<int> returned_early{0};
    int ran = 0;  // only the user-interface thread touches it
    std::vector<std::thread> threads;
    for (int worker = 0; worker < workers; ++worker) {
        threads.emplace_back([&] {
            for (int task = 0; task < tasks_each; ++task) {
                bool done = false;
                dispatcher.run([&] {
                    if (GetCurrentThreadId() != ui_thread) ++off_thread;
                    ++ran;
                    done = true;
                });
                if (!done) ++returned_early;
            }
            ++finished;
        });
    }
    // A task that pumps messages may serve other workers' tasks nested.
    dispatcher.run([&] { EXPECT_TRUE(pump_until([&] { return finished > 0; })); });
    EXPECT_TRUE(pump_until([&] { return finished == workers; }));
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(ran, workers * tasks_each);
    EXPECT_EQ(off_thread, 0);
    EXPECT_EQ(returned_early, 0);
    dispatcher.close();
}

// A hand-off that opens a modal loop (a message box, the tip, the loading
// window) must not hold up the hand-offs that fall due while it is open.
TEST(WindowDispatcher, ServesLaterHandOffsWhileAHandedOffTaskRunsAModalLoop) {
    WindowDispatcher dispatcher;
    std::atomic<bool> loop_open{false};
    std::atomic<bool> first_returned{false};
    bool late_ran = false;  // only the user-interface thread touches these two
    bool served_inside = false;
    std::thread first([&] {
        dispatcher.run([&] {
            loop_open = true;
            served_inside = pump_until([&] { return late_ran; });
        });
        first_returned = true;
    });
    std::thread late([&] {
        const DWORD until = GetTickCount() + deadline_ms;
        while (!loop_open && static_cast<LONG>(until - GetTickCount()) > 0) Sleep(1);
        dispatcher.run([&] { late_ran = true; });
    });
    EXPECT_TRUE(pump_until([&] { return first_returned.load(); }));
    first.join();
    late.join();
    EXPECT_TRUE(served_inside) << "the later hand-off waited for the modal loop to end";
    dispatcher.close();
}

TEST(WindowDispatcher, ClosingReleasesWaitingWorkersWithoutRunningTheirTasks) {
    WindowDispatcher dispatcher;
    std::atomic<bool> ran{false};
    std::atomic<bool> returned{false};
    std::thread worker([&] {
        dispatcher.run([&] { ran = true; });
        returned = true;
    });
    // The worker's posted message proves its task is queued; this thread
    // serves no messages before it closes.
    MSG message;
    const DWORD until = GetTickCount() + deadline_ms;
    while (!PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && static_cast<LONG>(until - GetTickCount()) > 0) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_POSTMESSAGE);
    }
    EXPECT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE)) << "the worker posted nothing";
    EXPECT_FALSE(returned);
    dispatcher.close();
    worker.join();
    EXPECT_FALSE(ran);

    // Later tasks are dropped at once.
    std::thread late([&] { dispatcher.run([&] { ran = true; }); });
    late.join();
    EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace vorlix::ui
