// Internal state of the in-memory platform model, shared by its source files.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "platform/os.h"
#include "platform/sim/sim.h"

namespace vorlix::sim::detail {

// Win32 error codes the model reports that the seam does not name.
inline constexpr std::uint32_t error_invalid_function = 1;
inline constexpr std::uint32_t error_not_same_device = 17;
inline constexpr std::uint32_t error_file_exists = 80;
inline constexpr std::uint32_t error_call_not_implemented = 120;
inline constexpr std::uint32_t error_bad_pathname = 161;
inline constexpr std::uint32_t error_envvar_not_found = 203;
inline constexpr std::uint32_t error_directory = 267;

// ---------------------------------------------------------------- text

// Upper case as the registry and NTFS compare names: ASCII, Latin-1, Greek
// and Cyrillic letters. Both sort by the upper-cased UTF-16 code units.
char16_t fold_char(char16_t c);
std::u16string fold(std::u16string_view text);
bool same_name(std::u16string_view a, std::u16string_view b);
// Splits at every separator, keeping empty pieces.
std::vector<std::u16string> split(std::u16string_view text, char16_t separator);
std::u16string file_name_part(std::u16string_view path);

// Win32 buffer protocol: copies text and null when `size` holds both and
// returns the length without the null; otherwise returns the size needed
// including the null and leaves the buffer alone.
std::uint32_t copy_to_buffer(std::u16string_view text, char16_t* buffer, std::uint32_t size);

// ---------------------------------------------------------------- call counts

void count_registry_call();
void count_file_call(std::uint64_t calls = 1);
// A name looked up other than as it is spelled in its folder (CallCounts::folder_reads).
void count_folder_read();

// ---------------------------------------------------------------- registry

struct RegValue {
    std::u16string name;
    std::uint32_t type = 0;
    std::string data;
};

struct RegKey {
    std::u16string name;
    std::u16string folded;
    RegKey* parent = nullptr;  // null for a hive and for a deleted key
    bool deleted = false;
    bool link = false;  // created with REG_OPTION_CREATE_LINK: its SymbolicLinkValue names the target
    std::vector<std::shared_ptr<RegKey>> subkeys;  // sorted by `folded`, as the hive keeps them
    std::vector<RegValue> values;                  // insertion order, as Windows keeps them
};

// A key's place: its hive (HKLM or HKU) and the key names below the hive.
struct KeyPath {
    const RegKey* hive = nullptr;
    std::vector<std::u16string> names;
};

// ---------------------------------------------------------------- files

struct FsNode {
    std::u16string name;
    std::u16string short_name;  // 8.3 name, empty when the entry has none
    FsNode* parent = nullptr;   // null for a drive root and for a removed entry
    std::uint32_t attributes = 0;
    std::string bytes;
    bool locked = false;              // opened exclusively by some other program
    std::u16string junction_target;   // set for a junction
    std::map<std::u16string, std::shared_ptr<FsNode>> children;  // by folded name
};

// ---------------------------------------------------------------- processes

struct ProcessState {
    SimProcess info;
    bool ended = false;
    std::uint32_t exit_code = os::still_active;
};

// ---------------------------------------------------------------- handles

struct KeyHandle {
    std::shared_ptr<RegKey> key;
    std::uint32_t access = 0;
    bool classes_view = false;
};
struct FindHandle {
    std::vector<os::FindData> entries;
    std::size_t next = 0;
};
struct SnapshotHandle {
    std::vector<os::ProcessEntry> entries;
    std::size_t next = 0;
};
struct ProcessHandle {
    std::shared_ptr<ProcessState> process;
    std::uint32_t access = 0;
};
using HandleObject = std::variant<KeyHandle, FindHandle, SnapshotHandle, ProcessHandle>;

// ---------------------------------------------------------------- machine

struct DenyRule {
    KeyPath folded_path;
    bool deny_open = false;  // false: only opening for writing and deleting are denied
};

struct EnumHook {
    KeyPath folded_path;
    std::uint32_t index = 0;
    bool values = false;  // before a value enumeration, not a subkey enumeration
    std::function<void()> hook;
};

struct Machine {
    MachineConfig config;

    std::shared_ptr<RegKey> hklm, hku;
    std::vector<DenyRule> denials;
    std::vector<EnumHook> enum_hooks;

    std::map<char16_t, std::shared_ptr<FsNode>> drives;  // by upper-case letter

    std::vector<std::pair<std::u16string, std::u16string>> environment;

    std::vector<std::shared_ptr<ProcessState>> processes;  // every process ever started, in start order
    std::uint32_t next_pid = 1000;
    std::uint64_t clock = 0;  // creation times: advanced by every start
    bool null_standard_handles = false;
    std::uint32_t own_pid = 0;
    std::u16string own_image;

    std::map<os::Handle, HandleObject> handles;
    os::Handle next_handle = 0x100;

    ShellHandler shell_handler;
    std::vector<ShellRequest> shell_requests;
    int message_box_answer = os::idok;
    std::vector<MessageRecord> messages;
};

// One lock guards the whole machine. Every entry point takes it; nothing that
// may call back into the model (shell handlers, enumeration hooks) runs under it.
std::unique_lock<std::mutex> lock_machine();
// The machine; the caller holds the lock. Built with the default configuration on first use.
Machine& machine();
// Signalled whenever a process ends; waits use it with the machine lock.
std::condition_variable& process_ended();

// GetLastError is per thread, as on Windows.
void set_last_error(std::uint32_t code);

os::Handle add_handle(Machine& m, HandleObject object);

// A new handle with full access to the process `pid` (running or ended); 0 when there is none.
os::Handle process_handle_for(Machine& m, std::uint32_t pid);

template <class T>
T* find_handle(Machine& m, os::Handle handle) {
    const auto found = m.handles.find(handle);
    return found == m.handles.end() ? nullptr : std::get_if<T>(&found->second);
}

// ---------------------------------------------------------------- well-known places

bool is_wow64(const MachineConfig& config);

// Folders of a machine, without trailing backslash; the x86 and SysWOW64
// folders are empty on 32-bit Windows.
struct WellKnownFolders {
    std::u16string windows, system, syswow64, program_files, program_files_x86, program_data, users_public,
        profile, roaming, local, temp, desktop, documents, downloads;
};
WellKnownFolders well_known_folders(const MachineConfig& config);

// Parts of the machine that reset() builds, one per area.
void build_registry(Machine& m);
void build_files(Machine& m);
void build_environment(Machine& m);
void build_processes(Machine& m);

}  // namespace vorlix::sim::detail
