#include "ui/win32/ui_thread.h"

#include <thread>

namespace vorlix::ui {

namespace {

constexpr UINT run_task_message = WM_APP + 1;

LRESULT CALLBACK dispatcher_procedure(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == run_task_message) {
        (*reinterpret_cast<const std::function<void()>*>(lparam))();
        return 1;
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
    // Fails without running the task once the window is gone.
    if (HWND target = hwnd_.load(); target != nullptr) {
        SendMessageW(target, run_task_message, 0, reinterpret_cast<LPARAM>(&task));
    }
}

void WindowDispatcher::close() {
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
