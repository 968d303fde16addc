#include "platform/sim/sim_state.h"

#include <atomic>

namespace vorlix::sim {

namespace detail {

namespace {

struct Global {
    std::mutex mutex;
    std::condition_variable process_ended;
    Machine machine;
    bool built = false;
};

Global& global() {
    static Global instance;
    return instance;
}

thread_local std::uint32_t last_error = 0;

void build(const MachineConfig& config) {
    Global& g = global();
    // Threads still waiting on processes of the old machine must wake up.
    for (auto& process : g.machine.processes) process->ended = true;
    g.machine = Machine{};
    g.machine.config = config;
    build_registry(g.machine);
    build_processes(g.machine);
    build_files(g.machine);
    build_environment(g.machine);
    g.built = true;
    g.process_ended.notify_all();
}

}  // namespace

namespace {
std::atomic<std::uint64_t> registry_calls{0};
std::atomic<std::uint64_t> file_calls{0};
std::atomic<std::uint64_t> folder_reads{0};
}  // namespace

void count_registry_call() { registry_calls.fetch_add(1, std::memory_order_relaxed); }
void count_file_call(std::uint64_t calls) { file_calls.fetch_add(calls, std::memory_order_relaxed); }
void count_folder_read() { folder_reads.fetch_add(1, std::memory_order_relaxed); }

std::unique_lock<std::mutex> lock_machine() { return std::unique_lock<std::mutex>(global().mutex); }

Machine& machine() {
    if (!global().built) build(MachineConfig{});
    return global().machine;
}

std::condition_variable& process_ended() { return global().process_ended; }

void set_last_error(std::uint32_t code) { last_error = code; }

os::Handle add_handle(Machine& m, HandleObject object) {
    const os::Handle handle = m.next_handle;
    m.next_handle += 4;
    m.handles.emplace(handle, std::move(object));
    return handle;
}

}  // namespace detail

void reset(const MachineConfig& config) {
    auto lock = detail::lock_machine();
    detail::build(config);
}

CallCounts call_counts() {
    return {detail::registry_calls.load(), detail::file_calls.load(), detail::folder_reads.load()};
}

void reset_call_counts() {
    detail::registry_calls = 0;
    detail::file_calls = 0;
    detail::folder_reads = 0;
}

const MachineConfig& config() {
    auto lock = detail::lock_machine();
    return detail::machine().config;
}

}  // namespace vorlix::sim

namespace vorlix::os {

std::uint32_t get_last_error() { return sim::detail::last_error; }

}  // namespace vorlix::os
