// How a worker hands a report to the user-interface thread: the task runs
// there while the worker waits, so whatever the task reads stays stable.
#pragma once

#include <functional>

namespace vorlix {

class UiDispatcher {
public:
    virtual ~UiDispatcher() = default;
    // Runs `task` on the user-interface thread and returns when it has finished.
    virtual void run(const std::function<void()>& task) = 0;
};

// For programs without a user-interface thread (the CLI, tests): the task runs
// at once on the calling worker.
class ImmediateDispatcher final : public UiDispatcher {
public:
    void run(const std::function<void()>& task) override { task(); }
};

}  // namespace vorlix
