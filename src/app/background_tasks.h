// Waiting and worker threads of the main window. The window never sleeps on
// the user-interface thread: a pause runs on a pool thread that then hands its
// work back; tests run the same tasks deterministically.
#pragma once

#include <cstdint>
#include <functional>
#include <thread>

namespace vorlix {

class BackgroundTasks {
public:
    virtual ~BackgroundTasks() = default;
    // Waits `milliseconds` away from the user-interface thread, then runs
    // `task` there. Never runs it before returning.
    virtual void after(std::uint32_t milliseconds, std::function<void()> task) = 0;
    // Takes a started worker. The window never joins one: workers share
    // ownership of what they use, so they may outlive the window.
    virtual void adopt(std::thread worker) = 0;
};

}  // namespace vorlix
