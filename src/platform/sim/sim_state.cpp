#include "platform/sim/sim_state.h"

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

const MachineConfig& config() {
    auto lock = detail::lock_machine();
    return detail::machine().config;
}

}  // namespace vorlix::sim

namespace vorlix::os {

std::uint32_t get_last_error() { return sim::detail::last_error; }

}  // namespace vorlix::os
