// The shell and window calls of the model: start requests are recorded and
// handed to a handler, message boxes are recorded and answered.
#include <optional>

#include "platform/sim/sim_files.h"

namespace vorlix::sim {

using namespace detail;

namespace {

constexpr std::intptr_t shell_started = 42;
constexpr std::intptr_t shell_file_not_found = 2;

std::u16string_view trim_blanks(std::u16string_view text) {
    while (!text.empty() && text.front() == u' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text;
}

bool is_program_file(Machine& m, const std::u16string& path, std::u16string& found) {
    const Lookup entry = locate(m, path);
    if (!entry.node || is_folder(*entry.node)) return false;
    found = full_path(*entry.node);
    return true;
}

// The full path of the program `name` names, looked up as the shell does: a
// bare name in the system folder and then the Windows folder, ".exe" tried
// when the name has no extension.
std::optional<std::u16string> find_program(std::u16string_view name) {
    if (name.empty()) return std::nullopt;
    auto lock = lock_machine();
    Machine& m = machine();
    std::vector<std::u16string> candidates;
    if (name.find_first_of(u"\\/:") == std::u16string_view::npos) {
        const WellKnownFolders f = well_known_folders(m.config);
        candidates = {f.system + u"\\" + std::u16string(name), f.windows + u"\\" + std::u16string(name)};
    } else {
        candidates = {std::u16string(name)};
    }
    const bool has_extension = file_name_part(name).find(u'.') != std::u16string::npos;
    std::u16string found;
    for (const auto& candidate : candidates)
        if (is_program_file(m, candidate, found) || (!has_extension && is_program_file(m, candidate + u".exe", found)))
            return found;
    return std::nullopt;
}

// CreateProcessW's reading of a command line without application name: a
// quoted first token, or else the shortest run up to a blank that names a file.
std::optional<std::u16string> program_of_command_line(std::u16string_view command) {
    while (!command.empty() && command.front() == u' ') command.remove_prefix(1);
    if (!command.empty() && command.front() == u'"') {
        const auto close = command.find(u'"', 1);
        return find_program(command.substr(1, close == command.npos ? command.npos : close - 1));
    }
    for (std::size_t blank = command.find(u' '); blank != command.npos; blank = command.find(u' ', blank + 1))
        if (auto program = find_program(command.substr(0, blank))) return program;
    return find_program(trim_blanks(command));
}

std::intptr_t default_handler(const ShellRequest& request, std::uint32_t& started_pid) {
    std::u16string_view file = trim_blanks(request.file);
    if (!request.create_process) {
        if (file.size() >= 2 && file.front() == u'"' && file.back() == u'"') file = file.substr(1, file.size() - 2);
        file = trim_blanks(file);
    }
    const auto program = request.create_process ? program_of_command_line(file) : find_program(file);
    if (!program) return shell_file_not_found;
    std::uint32_t parent = 0;
    {
        auto lock = lock_machine();
        parent = machine().own_pid;
    }
    started_pid = start_process(*program, parent);
    return shell_started;
}

// Records the request and runs the handler outside the machine lock; a
// started process comes back as a handle when the caller asked for one.
std::intptr_t run_shell(ShellRequest request, os::Handle* process) {
    ShellHandler handler;
    {
        auto lock = lock_machine();
        request.null_standard_handles = machine().null_standard_handles;
        machine().shell_requests.push_back(request);
        handler = machine().shell_handler;
    }
    std::uint32_t started_pid = 0;
    const std::intptr_t result = handler ? handler(request, started_pid) : default_handler(request, started_pid);
    if (result <= 32) {
        set_last_error(static_cast<std::uint32_t>(result));
        return result;
    }
    if (process && started_pid != 0) {
        auto lock = lock_machine();
        *process = process_handle_for(machine(), started_pid);
    }
    return result;
}

}  // namespace

void set_shell_handler(ShellHandler handler) {
    auto lock = lock_machine();
    machine().shell_handler = std::move(handler);
}

std::vector<ShellRequest> shell_requests() {
    auto lock = lock_machine();
    return machine().shell_requests;
}

void set_message_box_answer(int answer) {
    auto lock = lock_machine();
    machine().message_box_answer = answer;
}

std::vector<MessageRecord> messages() {
    auto lock = lock_machine();
    return machine().messages;
}

}  // namespace vorlix::sim

namespace vorlix::os {

std::intptr_t shell_execute(Handle /*owner*/, const std::u16string& verb, const std::u16string& file,
                            const std::u16string& parameters, const std::u16string& directory, int show,
                            Handle* process) {
    if (process) *process = 0;
    return sim::run_shell({verb, file, parameters, directory, show, false}, process);
}

bool create_process(const std::u16string& command_line, int show, Handle* process) {
    if (process) *process = 0;
    return sim::run_shell({u"", command_line, u"", u"", show, true}, process) > 32;
}

int message_box(Handle /*owner*/, const std::u16string& text, const std::u16string& caption, std::uint32_t flags) {
    auto lock = sim::detail::lock_machine();
    sim::detail::Machine& m = sim::detail::machine();
    m.messages.push_back({text, caption, flags});
    return m.message_box_answer;
}

}  // namespace vorlix::os
