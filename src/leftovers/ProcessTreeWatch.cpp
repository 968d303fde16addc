#include "leftovers/ProcessTreeWatch.h"

#include <algorithm>

namespace vorlix {

namespace {

constexpr std::uint32_t tree_poll_ms = 250;

std::vector<os::ProcessEntry> snapshot_entries() {
    std::vector<os::ProcessEntry> entries;
    const auto snapshot = os::create_process_snapshot();
    if (snapshot == os::invalid_handle_value) return entries;
    os::ProcessEntry entry;
    for (bool more = os::process32_first(snapshot, entry); more; more = os::process32_next(snapshot, entry))
        entries.push_back(entry);
    os::close_handle(snapshot);
    return entries;
}

}  // namespace

StartedUninstaller::~StartedUninstaller() {
    if (process != 0) os::close_handle(process);
}

void StartedUninstaller::publish(const UninstallStart& start) {
    {
        const std::lock_guard lock(mutex);
        if (published) {
            if (start.process != 0) os::close_handle(start.process);
            return;
        }
        process = start.process;
        started = start.started;
        published = true;
    }
    published_signal.notify_all();
}

bool StartedUninstaller::peek(os::Handle& process_out) {
    const std::lock_guard lock(mutex);
    process_out = process;
    return published;
}

os::Handle StartedUninstaller::wait_for_start() {
    std::unique_lock lock(mutex);
    published_signal.wait(lock, [this] { return published; });
    return process;
}

bool StartedUninstaller::wait_for_outcome() {
    std::unique_lock lock(mutex);
    published_signal.wait(lock, [this] { return published; });
    return started;
}

ProcessTreeWatch::ProcessTreeWatch(os::Handle root_param) : root(root_param) {
    watched.push_back({os::get_process_id(root), 0, root});
}

ProcessTreeWatch::~ProcessTreeWatch() {
    for (const auto& item : watched)
        if (item.handle != 0 && item.handle != root) os::close_handle(item.handle);
}

bool ProcessTreeWatch::look() {
    const auto entries = snapshot_entries();
    const auto is_watched = [this](std::uint32_t pid) {
        return std::any_of(watched.begin(), watched.end(), [pid](const Watched& item) { return item.pid == pid; });
    };
    // Repeated, so that grandchildren found in the same snapshot join too. A
    // root without an id leads to no children; its handle still tells its end.
    for (bool added = watched.front().pid != 0; added;) {
        added = false;
        for (const auto& entry : entries) {
            if (entry.pid == 0 || is_watched(entry.pid) || !is_watched(entry.parent_pid)) continue;
            const auto handle = os::open_process(os::synchronize | os::process_query_limited_information, entry.pid);
            watched.push_back({entry.pid, entry.parent_pid, handle});
            added = true;
        }
    }
    return std::any_of(watched.begin(), watched.end(), [&entries](const Watched& item) {
        if (item.handle != 0) return os::wait_for_single_object(item.handle, 0) == os::wait_timeout;
        return std::any_of(entries.begin(), entries.end(), [&item](const os::ProcessEntry& entry) {
            return entry.pid == item.pid && entry.parent_pid == item.parent_pid;
        });
    });
}

void ProcessTreeWatch::wait(Pacing& poll) {
    while (look()) poll.pause(tree_poll_ms);
}

}  // namespace vorlix
