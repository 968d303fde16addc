// What the uninstaller launch learned about the process it started, and the
// watch over that process and everything it starts in turn. Installer
// engines re-launch themselves from a temporary copy under another name and
// let the original exit, so the started process alone says little about the end.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "access/Unit_ZRB_func_Uninstall.h"
#include "inventory/pacing.h"
#include "leftovers/uninstaller_scope.h"
#include "platform/os.h"

namespace vorlix {

// Handed from the launching thread to the supervising one. Owns the process
// handle of the start and closes it.
class StartedUninstaller {
public:
    StartedUninstaller() = default;
    ~StartedUninstaller();
    StartedUninstaller(const StartedUninstaller&) = delete;
    StartedUninstaller& operator=(const StartedUninstaller&) = delete;

    // Called once by the launcher when its start request has returned, also
    // when nothing was started.
    void publish(const UninstallStart& start);
    // Without waiting: false while the launcher has not published; otherwise
    // true, with the process handle of the start, or 0 when the start gave
    // none (the shell handed the request to a running program, or nothing
    // was started).
    bool peek(os::Handle& process);
    // Waits until the launcher has published; the process handle as for peek.
    os::Handle wait_for_start();
    // Waits likewise; true when the shell or the fallback started something.
    bool wait_for_outcome();
    // After wait_for_outcome: the system's error code of a start that failed.
    std::uint32_t start_error();
    // The exit code of the started process once it has ended; nothing while
    // it runs, or when the start gave no process to ask.
    std::optional<std::uint32_t> exit_code();

private:
    std::mutex mutex;
    std::condition_variable published_signal;
    bool published = false;
    bool started = false;
    std::uint32_t error = 0;
    os::Handle process = 0;
};

// Time the supervision may still spend waiting, counted in the pauses it
// asks for, so that a scripted pacing gives exact limits.
class WaitBudget {
public:
    // No limit.
    WaitBudget() = default;
    explicit WaitBudget(std::uint64_t limit_ms) : limited(true), left_ms(limit_ms) {}
    // Takes a pause from the budget; false when it does not fit, which
    // spends the rest: the limit has passed.
    bool spend(std::uint32_t milliseconds);

private:
    bool limited = false;
    std::uint64_t left_ms = 0;
};

// Follows a process and every process descended from it, by parent process
// id through successive looks at the process list, so that a child outliving
// its parent is still followed. A process is adopted only when it was created
// after its parent: ids are reused, and an older process may name a reused id
// as its parent. Every process found is held open while the watch lives, so
// that its id cannot pass to an unrelated process meanwhile. Once the root has
// ended, only descendants inside the scope keep the watch going.
class ProcessTreeWatch {
public:
    // The root handle stays the caller's; it must outlive the watch.
    explicit ProcessTreeWatch(os::Handle root, UninstallerScope scope = {});
    ~ProcessTreeWatch();
    ProcessTreeWatch(const ProcessTreeWatch&) = delete;
    ProcessTreeWatch& operator=(const ProcessTreeWatch&) = delete;

    // Takes one snapshot, adopts the new descendants; true while the root or
    // a descendant that holds the watch still runs.
    bool look();
    // Looks until look() gives false (true then), or until the budget cannot
    // pay the next pause (false). `poll` paces the looks.
    bool wait(Pacing& poll, WaitBudget& budget);

private:
    struct Watched {
        std::uint32_t pid = 0;
        std::uint32_t parent_pid = 0;
        std::uint64_t creation_time = 0;  // 0 when unknown
        // 0 when the process could not be opened: it is then judged by the
        // snapshot alone, by id, parent id and creation time together.
        os::Handle handle = 0;
        std::u16string image;  // full path; empty when unknown
    };
    std::vector<Watched> watched;
    os::Handle root;
    UninstallerScope scope;

    const Watched* find(std::uint32_t pid) const;
    bool runs(const Watched& item, const std::vector<os::ProcessEntry>& entries) const;
    // Whether the scope keeps waiting for the descendant; learns its image on the way.
    bool holds(Watched& item);
};

}  // namespace vorlix
