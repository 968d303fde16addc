// Hand-offs to the user-interface thread through its message loop, and the
// pauses of the window run on pool threads.
#pragma once

#include <windows.h>

#include <atomic>
#include <memory>

#include "app/background_tasks.h"
#include "inventory/ui_dispatcher.h"

namespace vorlix::ui {

// Created on the user-interface thread. A worker's task is sent to a
// message-only window there (served by every message loop, modal ones
// included) and the worker waits for it. After close() tasks are dropped.
class WindowDispatcher final : public UiDispatcher {
public:
    WindowDispatcher();
    void run(const std::function<void()>& task) override;
    // On the user-interface thread, when the window closes.
    void close();

private:
    std::atomic<HWND> hwnd_{nullptr};
    DWORD ui_thread_;
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
