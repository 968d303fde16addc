#include "leftovers/process_tree_watch.h"

#include <algorithm>
#include <utility>

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
        error = start.error;
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

std::uint32_t StartedUninstaller::start_error() {
    const std::lock_guard lock(mutex);
    return error;
}

std::optional<std::uint32_t> StartedUninstaller::exit_code() {
    const std::lock_guard lock(mutex);
    std::uint32_t code = 0;
    if (process == 0 || os::wait_for_single_object(process, 0) != os::wait_object_0 ||
        !os::get_exit_code_process(process, code))
        return std::nullopt;
    return code;
}

bool WaitBudget::spend(std::uint32_t milliseconds) {
    if (!limited) return true;
    if (left_ms < milliseconds) {
        left_ms = 0;
        return false;
    }
    left_ms -= milliseconds;
    return true;
}

ProcessTreeWatch::ProcessTreeWatch(os::Handle root_param, UninstallerScope scope_param)
    : root(root_param), scope(std::move(scope_param)) {
    Watched item{os::get_process_id(root), 0, 0, root, {}};
    os::get_process_creation_time(root, item.creation_time);
    watched.push_back(std::move(item));
}

ProcessTreeWatch::~ProcessTreeWatch() {
    for (const auto& item : watched)
        if (item.handle != 0 && item.handle != root) os::close_handle(item.handle);
}

const ProcessTreeWatch::Watched* ProcessTreeWatch::find(std::uint32_t pid) const {
    const auto found =
        std::find_if(watched.begin(), watched.end(), [pid](const Watched& item) { return item.pid == pid; });
    return found == watched.end() ? nullptr : &*found;
}

bool ProcessTreeWatch::runs(const Watched& item, const std::vector<os::ProcessEntry>& entries) const {
    if (item.handle != 0) return os::wait_for_single_object(item.handle, 0) == os::wait_timeout;
    return std::any_of(entries.begin(), entries.end(), [&item](const os::ProcessEntry& entry) {
        return entry.pid == item.pid && entry.parent_pid == item.parent_pid &&
               entry.creation_time == item.creation_time;
    });
}

bool ProcessTreeWatch::look() {
    const auto entries = snapshot_entries();
    // Repeated, so that grandchildren found in the same snapshot join too. A
    // root without an id leads to no children; its handle still tells its end.
    for (bool added = watched.front().pid != 0; added;) {
        added = false;
        for (const auto& entry : entries) {
            if (entry.pid == 0 || find(entry.pid)) continue;
            const auto* parent = find(entry.parent_pid);
            // Unknown times compare as 0: a child that cannot be queried is
            // adopted only from a parent that could not be either.
            if (!parent || entry.creation_time < parent->creation_time) continue;
            Watched item{entry.pid, entry.parent_pid, entry.creation_time,
                         os::open_process(os::synchronize | os::process_query_limited_information, entry.pid), {}};
            watched.push_back(std::move(item));
            added = true;
        }
    }
    if (runs(watched.front(), entries)) return true;
    return std::any_of(watched.begin() + 1, watched.end(),
                       [this, &entries](Watched& item) { return holds(item) && runs(item, entries); });
}

bool ProcessTreeWatch::holds(Watched& item) {
    // A process still starting may not tell its image yet (under load, Wine
    // answers only once the process has loaded it): it holds the wait and is
    // asked again at the next look, instead of holding it until it ends.
    if (item.image.empty() && item.handle != 0) os::query_full_process_image_name(item.handle, item.image);
    return scope.holds(item.image);
}

bool ProcessTreeWatch::wait(Pacing& poll, WaitBudget& budget) {
    while (look()) {
        if (!budget.spend(tree_poll_ms)) return false;
        poll.pause(tree_poll_ms);
    }
    return true;
}

}  // namespace vorlix
