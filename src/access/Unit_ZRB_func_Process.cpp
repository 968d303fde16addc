#include "access/Unit_ZRB_func_Process.h"

#include <cstdint>

#include "access/Unit_ZRB_func_Str.h"
#include "platform/os.h"

namespace vorlix {

namespace {

constexpr std::uint32_t module_path_chars = 260;

// A process snapshot, closed when it goes out of scope.
class Snapshot {
public:
    Snapshot() : handle_(os::create_process_snapshot()) {}
    ~Snapshot() {
        if (valid()) os::close_handle(handle_);
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    bool valid() const { return handle_ != os::invalid_handle_value; }
    bool first(os::ProcessEntry& entry) const { return os::process32_first(handle_, entry); }
    bool next(os::ProcessEntry& entry) const { return os::process32_next(handle_, entry); }

private:
    os::Handle handle_;
};

std::u16string module_path(std::uint32_t pid) {
    const auto process = os::open_process(os::process_query_information | os::process_vm_read, pid);
    if (process == 0) return {};
    char16_t buffer[module_path_chars] = {};
    const auto length = os::get_module_file_name_ex(process, buffer, module_path_chars);
    os::close_handle(process);
    return std::u16string(buffer, length < module_path_chars ? length : module_path_chars);
}

bool terminate(std::uint32_t pid) {
    const auto process = os::open_process(os::process_terminate, pid);
    if (process == 0) return false;
    const bool ended = os::terminate_process(process, 0);
    os::close_handle(process);
    return ended;
}

}  // namespace

bool IsProcessRunning(const std::u16string& str_param_ExeName) {
    const Snapshot snapshot;
    os::ProcessEntry entry;
    if (!snapshot.valid() || !snapshot.first(entry)) return false;
    const auto wanted = Str_UpperAscii(str_param_ExeName);
    do {
        if (Str_UpperAscii(entry.exe_file) == wanted) return true;
    } while (snapshot.next(entry));
    return false;
}

bool TerminateProcessByPath(const std::u16string& str_param_Path) {
    const Snapshot snapshot;
    os::ProcessEntry entry;
    if (!snapshot.valid() || !snapshot.first(entry)) return false;
    const auto path_upper = Str_UpperAscii(str_param_Path);
    const auto path_trimmed = Str_Trim(str_param_Path);
    // The first entry (the idle process) is never examined, nor this program
    // itself: a copy of it may lie among the files it is deleting.
    const auto own_pid = os::get_current_process_id();
    while (snapshot.next(entry)) {
        if (entry.pid == own_pid) continue;
        const auto name = Str_UpperAscii(Str_Trim(entry.exe_file));
        if (name.empty() || path_upper.find(name) == std::u16string::npos) continue;
        const auto module = module_path(entry.pid);
        if (module.empty() || !Str_SameText(Str_Trim(module), path_trimmed)) continue;
        // Only the first matching process; the result says whether it really ended.
        return terminate(entry.pid);
    }
    return false;
}

}  // namespace vorlix
