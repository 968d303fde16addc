// What the uninstaller launch learned about the process it started, and the
// watch over that process and everything it starts in turn. Installer
// engines re-launch themselves from a temporary copy under another name and
// let the original exit, so the started process alone says little about the end.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

#include "access/Unit_ZRB_func_Uninstall.h"
#include "inventory/Pacing.h"
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

private:
    std::mutex mutex;
    std::condition_variable published_signal;
    bool published = false;
    bool started = false;
    os::Handle process = 0;
};

// Follows a process and every process descended from it, by parent process
// id through successive looks at the process list, so that a child outliving
// its parent is still followed. Every process found is held open while the
// watch lives, so that its id cannot pass to an unrelated process meanwhile.
class ProcessTreeWatch {
public:
    // The root handle stays the caller's; it must outlive the watch.
    explicit ProcessTreeWatch(os::Handle root);
    ~ProcessTreeWatch();
    ProcessTreeWatch(const ProcessTreeWatch&) = delete;
    ProcessTreeWatch& operator=(const ProcessTreeWatch&) = delete;

    // Takes one snapshot, adopts the new descendants; true while any watched
    // process still runs.
    bool look();
    // Looks until every watched process has ended. No time-out: the caller is
    // a worker thread. `poll` paces the looks.
    void wait(Pacing& poll);

private:
    struct Watched {
        std::uint32_t pid = 0;
        std::uint32_t parent_pid = 0;
        // 0 when the process could not be opened: it is then judged by the
        // snapshot alone, by id and parent id together.
        os::Handle handle = 0;
    };
    std::vector<Watched> watched;
    os::Handle root;
};

}  // namespace vorlix
