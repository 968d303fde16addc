#include "ui/win32/ui_thread.h"

#include <thread>

namespace vorlix::ui {

namespace {

constexpr UINT drain_message = WM_APP + 1;
// How long one drain may keep the thread from its messages (paint, timers, input).
constexpr DWORD drain_frame_ms = 30;
// How long a drain waits for a worker's next task before it returns.
constexpr DWORD next_task_wait_ms = 2;

LRESULT CALLBACK dispatcher_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == drain_message) {
        reinterpret_cast<WindowDispatcher*>(lparam)->drain();
        return 0;
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

WindowDispatcher::WindowDispatcher() : ui_thread_(GetCurrentThreadId()) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &dispatcher_procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VorlixDispatcher";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
}

void WindowDispatcher::run(const std::function<void()>& task) {
    if (GetCurrentThreadId() == ui_thread_) {
        task();
        return;
    }
    Pending pending{&task};
    AcquireSRWLockExclusive(&lock_);
    if (closed_ || hwnd_.load() == nullptr) {
        ReleaseSRWLockExclusive(&lock_);
        return;
    }
    queue_.push_back(&pending);
    const bool post = !draining_ && !posted_;
    posted_ = posted_ || post;
    WakeAllConditionVariable(&changed_);
    if (post && !PostMessageW(hwnd_.load(), drain_message, 0, reinterpret_cast<LPARAM>(this))) {
        // The window is gone: nothing will serve the task.
        posted_ = false;
        std::erase(queue_, &pending);
        pending.done = true;
    }
    while (!pending.done) SleepConditionVariableSRW(&changed_, &lock_, INFINITE, 0);
    ReleaseSRWLockExclusive(&lock_);
}

// Called and returns with the lock held.
WindowDispatcher::Pending* WindowDispatcher::next_task(DWORD until_ms) {
    for (;;) {
        if (!queue_.empty()) {
            Pending* next = queue_.front();
            queue_.pop_front();
            return next;
        }
        const auto left = static_cast<LONG>(until_ms - GetTickCount());
        if (closed_ || left <= 0) return nullptr;
        const DWORD wait = left < static_cast<LONG>(next_task_wait_ms) ? static_cast<DWORD>(left) : next_task_wait_ms;
        if (!SleepConditionVariableSRW(&changed_, &lock_, wait, 0) && queue_.empty()) return nullptr;
    }
}

void WindowDispatcher::drain() {
    const DWORD until = GetTickCount() + drain_frame_ms;
    AcquireSRWLockExclusive(&lock_);
    posted_ = false;
    draining_ = true;
    while (Pending* pending = next_task(until)) {
        // The task may open a modal loop (a message box, the tip): tasks queued
        // meanwhile must post their message so that loop serves them, nested.
        draining_ = false;
        ReleaseSRWLockExclusive(&lock_);
        (*pending->task)();
        AcquireSRWLockExclusive(&lock_);
        pending->done = true;
        draining_ = true;
        WakeAllConditionVariable(&changed_);
    }
    draining_ = false;
    // Tasks left over when the frame ran out come back after the messages.
    if (!queue_.empty() && !posted_ && !closed_) {
        posted_ = PostMessageW(hwnd_.load(), drain_message, 0, reinterpret_cast<LPARAM>(this)) != FALSE;
    }
    ReleaseSRWLockExclusive(&lock_);
}

void WindowDispatcher::close() {
    AcquireSRWLockExclusive(&lock_);
    closed_ = true;
    // Waiting workers go on without their tasks.
    for (Pending* pending : queue_) pending->done = true;
    queue_.clear();
    WakeAllConditionVariable(&changed_);
    ReleaseSRWLockExclusive(&lock_);
    if (HWND target = hwnd_.exchange(nullptr); target != nullptr) {
        DestroyWindow(target);
    }
}

void PoolTasks::after(std::uint32_t milliseconds, std::function<void()> task) {
    std::thread([dispatcher = dispatcher_, milliseconds, task = std::move(task)] {
        Sleep(milliseconds);
        dispatcher->run(task);
    }).detach();
}

void PoolTasks::adopt(std::thread worker) { worker.detach(); }

}  // namespace vorlix::ui
