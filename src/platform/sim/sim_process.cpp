// The process table of the model and the process calls of the seam.
#include <algorithm>
#include <filesystem>

#include "platform/portable/utf.h"
#include "platform/sim/sim_state.h"

namespace vorlix::sim {

namespace detail {

namespace {

constexpr std::uint32_t all_process_access = 0x1FFFFF;

// The model's image of the running test program: its own file name in a
// folder of its own, so that files it writes beside itself land somewhere harmless.
std::u16string own_image_path() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    std::u16string name = error ? u"vorlix.exe" : from_utf8(exe.filename().string());
    if (name.size() < 4 || fold(name.substr(name.size() - 4)) != u".EXE") name += u".exe";
    return u"C:\\Vorlix\\" + name;
}

std::shared_ptr<ProcessState> running(Machine& m, std::uint32_t pid) {
    for (const auto& process : m.processes)
        if (!process->ended && process->info.pid == pid) return process;
    return nullptr;
}

// One tick of the model's clock per start: a millisecond in FILETIME units.
constexpr std::uint64_t clock_tick = 10'000;

std::uint32_t add_process(Machine& m, std::uint32_t pid, std::u16string image, std::uint32_t parent, bool protect,
                          std::uint64_t creation_time = 0) {
    m.clock += clock_tick;
    auto process = std::make_shared<ProcessState>();
    process->info = {pid, parent, std::move(image), protect, creation_time != 0 ? creation_time : m.clock};
    m.processes.push_back(std::move(process));
    return pid;
}

void end(ProcessState& process, std::uint32_t exit_code) {
    process.ended = true;
    process.exit_code = exit_code;
    process_ended().notify_all();
}

}  // namespace

void build_processes(Machine& m) {
    add_process(m, 0, u"[System Process]", 0, true);
    add_process(m, 4, u"System", 0, true);
    m.own_image = own_image_path();
    m.own_pid = add_process(m, m.next_pid, m.own_image, 0, false);
    m.next_pid += 4;
}

os::Handle process_handle_for(Machine& m, std::uint32_t pid) {
    for (const auto& process : m.processes)
        if (process->info.pid == pid) return add_handle(m, ProcessHandle{process, all_process_access});
    return 0;
}

}  // namespace detail

using namespace detail;

std::uint32_t start_process(const std::u16string& image_path, std::uint32_t parent_pid, bool protected_process,
                            std::uint64_t creation_time) {
    auto lock = lock_machine();
    Machine& m = machine();
    const std::uint32_t pid = add_process(m, m.next_pid, image_path, parent_pid, protected_process, creation_time);
    m.next_pid += 4;
    return pid;
}

void end_process(std::uint32_t pid, std::uint32_t exit_code) {
    auto lock = lock_machine();
    if (const auto process = running(machine(), pid)) end(*process, exit_code);
}

void set_process_image(std::uint32_t pid, const std::u16string& image_path) {
    auto lock = lock_machine();
    if (const auto process = running(machine(), pid)) process->info.image_path = image_path;
}

void set_own_image(const std::u16string& image_path) {
    auto lock = lock_machine();
    Machine& m = machine();
    m.own_image = image_path;
    if (const auto process = running(m, m.own_pid)) process->info.image_path = image_path;
}

std::uint64_t process_creation_time(std::uint32_t pid) {
    auto lock = lock_machine();
    for (const auto& process : machine().processes)
        if (process->info.pid == pid) return process->info.creation_time;
    return 0;
}

std::vector<SimProcess> processes() {
    auto lock = lock_machine();
    std::vector<SimProcess> list;
    for (const auto& process : machine().processes)
        if (!process->ended) list.push_back(process->info);
    return list;
}

}  // namespace vorlix::sim

namespace vorlix::os {

using namespace sim::detail;

namespace {

template <class T>
T fail(std::uint32_t error, T result) {
    set_last_error(error);
    return result;
}

}  // namespace

Handle create_process_snapshot() {
    auto lock = lock_machine();
    Machine& m = machine();
    SnapshotHandle snapshot;
    for (const auto& process : m.processes)
        if (!process->ended)
            snapshot.entries.push_back({process->info.pid, process->info.parent_pid,
                                        file_name_part(process->info.image_path),
                                        process->info.protected_process ? 0 : process->info.creation_time});
    return add_handle(m, std::move(snapshot));
}

bool process32_first(Handle snapshot, ProcessEntry& entry) {
    auto lock = lock_machine();
    SnapshotHandle* handle = find_handle<SnapshotHandle>(machine(), snapshot);
    if (!handle) return fail(error_invalid_handle, false);
    handle->next = 0;
    if (handle->entries.empty()) return fail(error_no_more_files, false);
    entry = handle->entries[handle->next++];
    return true;
}

bool process32_next(Handle snapshot, ProcessEntry& entry) {
    auto lock = lock_machine();
    SnapshotHandle* handle = find_handle<SnapshotHandle>(machine(), snapshot);
    if (!handle) return fail(error_invalid_handle, false);
    if (handle->next >= handle->entries.size()) return fail(error_no_more_files, false);
    entry = handle->entries[handle->next++];
    return true;
}

Handle open_process(std::uint32_t access, std::uint32_t pid) {
    auto lock = lock_machine();
    Machine& m = machine();
    const auto process = pid == 0 ? nullptr : running(m, pid);
    if (!process) return fail<Handle>(error_invalid_parameter, 0);
    if (process->info.protected_process) return fail<Handle>(error_access_denied, 0);
    return add_handle(m, ProcessHandle{process, access});
}

bool terminate_process(Handle process, std::uint32_t exit_code) {
    auto lock = lock_machine();
    const ProcessHandle* handle = find_handle<ProcessHandle>(machine(), process);
    if (!handle) return fail(error_invalid_handle, false);
    if (!(handle->access & process_terminate) || handle->process->ended) return fail(error_access_denied, false);
    end(*handle->process, exit_code);
    return true;
}

bool close_handle(Handle handle) {
    auto lock = lock_machine();
    Machine& m = machine();
    if (!find_handle<ProcessHandle>(m, handle) && !find_handle<SnapshotHandle>(m, handle))
        return fail(error_invalid_handle, false);
    m.handles.erase(handle);
    return true;
}

std::uint32_t get_module_file_name_ex(Handle process, char16_t* buffer, std::uint32_t size) {
    auto lock = lock_machine();
    const ProcessHandle* handle = find_handle<ProcessHandle>(machine(), process);
    if (!handle || handle->process->ended) return fail(error_invalid_handle, 0u);
    const bool may_query = handle->access & (process_query_information | process_query_limited_information);
    if (!may_query || !(handle->access & process_vm_read)) return fail(error_access_denied, 0u);
    if (!buffer || size == 0) return fail(error_insufficient_buffer, 0u);
    // A path longer than the buffer is cut and still terminated.
    const std::u16string& path = handle->process->info.image_path;
    const auto copied = static_cast<std::uint32_t>(std::min<std::size_t>(path.size(), size - 1));
    path.copy(buffer, copied);
    buffer[copied] = 0;
    return copied;
}

std::uint32_t wait_for_single_object(Handle handle, std::uint32_t milliseconds) {
    auto lock = lock_machine();
    const ProcessHandle* process_handle = find_handle<ProcessHandle>(machine(), handle);
    if (!process_handle) return fail(error_invalid_handle, wait_failed);
    if (!(process_handle->access & synchronize)) return fail(error_access_denied, wait_failed);
    const auto process = process_handle->process;
    const auto ended = [&process] { return process->ended; };
    if (milliseconds == infinite) {
        process_ended().wait(lock, ended);
        return wait_object_0;
    }
    return process_ended().wait_for(lock, std::chrono::milliseconds(milliseconds), ended) ? wait_object_0 : wait_timeout;
}

std::uint32_t get_process_id(Handle process) {
    auto lock = lock_machine();
    const ProcessHandle* handle = find_handle<ProcessHandle>(machine(), process);
    return handle ? handle->process->info.pid : fail(error_invalid_handle, 0u);
}

namespace {

// Runs `read` on the handle's process when the handle grants a query.
template <class Read>
bool read_process(Handle process, Read read) {
    auto lock = lock_machine();
    const ProcessHandle* handle = find_handle<ProcessHandle>(machine(), process);
    if (!handle) return fail(error_invalid_handle, false);
    if (!(handle->access & (process_query_information | process_query_limited_information)))
        return fail(error_access_denied, false);
    read(*handle->process);
    return true;
}

}  // namespace

bool get_process_creation_time(Handle process, std::uint64_t& creation_time) {
    return read_process(process, [&](const ProcessState& state) { creation_time = state.info.creation_time; });
}

bool get_exit_code_process(Handle process, std::uint32_t& exit_code) {
    return read_process(process, [&](const ProcessState& state) { exit_code = state.exit_code; });
}

bool query_full_process_image_name(Handle process, std::u16string& path) {
    // A process still starting has no image to tell yet.
    return read_process(process, [&](const ProcessState& state) { path = state.info.image_path; }) && !path.empty();
}

SavedStandardHandles redirect_standard_handles_to_null() {
    auto lock = lock_machine();
    machine().null_standard_handles = true;
    // Any non-zero value: the model has no device handles.
    return {0, 0, 0, 1};
}

void restore_standard_handles(const SavedStandardHandles& saved) {
    if (saved.null_device == 0) return;
    auto lock = lock_machine();
    machine().null_standard_handles = false;
}

}  // namespace vorlix::os
