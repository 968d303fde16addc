// Hand-offs to the user-interface thread through its message loop, and the
// pauses of the window run on pool threads.
#pragma once

#include <windows.h>

#include <atomic>
#include <deque>
#include <memory>

#include "app/background_tasks.h"
#include "inventory/ui_dispatcher.h"

namespace vorlix::ui {

// Created on the user-interface thread. A worker queues its task, posts one
// message to a message-only window there (served by every message loop,
// modal ones included) and waits in-process until the task has run. The
// user-interface thread drains the queue and, for up to a frame, waits for the
// next task before it returns to its messages: a scan reporting thousands of
// programs one by one then costs two thread switches per program instead of a
// round of window messages. After close() tasks are dropped.
class WindowDispatcher final : public UiDispatcher {
public:
    WindowDispatcher();
    void run(const std::function<void()>& task) override;
    // On the user-interface thread, when the window closes.
    void close();
    // On the user-interface thread: runs the queued tasks (the posted message's handler).
    void drain();

private:
    struct Pending {
        const std::function<void()>* task;
        bool done = false;
    };

    std::atomic<HWND> hwnd_{nullptr};
    DWORD ui_thread_;
    SRWLOCK lock_ = SRWLOCK_INIT;
    // Wakes the workers (a task done) and the draining user-interface thread (a task queued).
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    std::deque<Pending*> queue_;
    // A drain message is posted and not yet served.
    bool posted_ = false;
    // The user-interface thread is draining and will see new tasks without a message.
    bool draining_ = false;
    bool closed_ = false;

    Pending* next_task(DWORD until_ms);
};

class PoolTasks final : public BackgroundTasks {
public:
    explicit PoolTasks(std::shared_ptr<UiDispatcher> dispatcher) : dispatcher_(std::move(dispatcher)) {}
    void after(std::uint32_t milliseconds, std::function<void()> task) override;
    void adopt(std::thread worker) override;

private:
    std::shared_ptr<UiDispatcher> dispatcher_;
};

}  // namespace vorlix::ui
