// Control surface of the in-memory platform model. Host tests, fuzzers and
// benchmarks build a machine here; the engine then sees it through os.h
// exactly as it would see Windows.
//
// The model is one process-wide machine guarded by a mutex, so worker threads
// of the engine and the test thread may use it at the same time.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/os.h"

namespace vorlix::sim {

struct MachineConfig {
    bool windows64 = true;   // 64-bit Windows
    bool process64 = false;  // the running process is 64-bit (false on 64-bit Windows: WOW64)
    bool has_is_wow64_process = true;
    bool has_get_system_wow64_directory = true;
    bool has_reg_delete_key_ex = true;
    bool is_wow64_process_fails = false;
    std::u16string user_sid = u"S-1-5-21-0-0-0-1000";
    std::u16string user_name = u"user";
};

// Forgets everything and builds a fresh machine: drive C: with the usual
// folders (Windows, system32, SysWOW64 on 64-bit Windows, Program Files pair,
// ProgramData, Users\<user> with AppData, Desktop, Documents, Downloads, Temp),
// the HKLM, HKU\<sid> (the current user) roots, and a process table holding
// the idle process, System and the test's own process.
void reset(const MachineConfig& config = {});
const MachineConfig& config();
// Sets (or adds) an environment variable of the running process.
void set_environment_variable(const std::u16string& name, const std::u16string& value);

// ---- call counts

// Registry and file-system calls of the seam made since the last
// reset_call_counts(): on Windows each is a kernel transition (under Wine a
// server round trip), so benchmarks report them per scanned item.
// GetLongPathNameW and GetShortPathNameW count the folder search and close
// they make per name.
struct CallCounts {
    std::uint64_t registry = 0;
    std::uint64_t files = 0;
    // Names a file-system call found only by reading their folder: spelled
    // otherwise than stored (another case, an 8.3 name) or missing. Wine's
    // file system on Linux finds a name spelled as stored at once, and any
    // other spelling only by reading the whole folder.
    std::uint64_t folder_reads = 0;
};
CallCounts call_counts();
void reset_call_counts();

// ---- registry

// Imports a .reg text (UTF-8 or UTF-16LE with BOM). Key paths are taken
// literally, as `reg import /reg:64` does. Returns false and leaves the
// registry unchanged on a syntax error; `error` then says where.
bool import_reg(const std::string& text, std::string* error = nullptr);
bool import_reg_file(const std::string& host_path, std::string* error = nullptr);

// Exports a key with everything below it (64-bit view, literal paths) as .reg text.
std::string export_reg(os::Hkey root, const std::u16string& path);

// Direct setters for tests that need exact bytes.
void set_value(os::Hkey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
               const std::string& bytes);
void set_string(os::Hkey root, const std::u16string& path, const std::u16string& name, const std::u16string& text,
                std::uint32_t type = os::reg_sz);
void set_dword(os::Hkey root, const std::u16string& path, const std::u16string& name, std::uint32_t value);
void create_key(os::Hkey root, const std::u16string& path);
bool key_exists(os::Hkey root, const std::u16string& path);
bool value_exists(os::Hkey root, const std::u16string& path, const std::u16string& name);
// A symbolic link key, as REG_OPTION_CREATE_LINK makes one, whose
// SymbolicLinkValue names `target` ("\Registry\Machine\SOFTWARE\...").
void create_link(os::Hkey root, const std::u16string& path, const std::u16string& target);

// Opening the key (or a key below it) with more than read access, or deleting
// it, fails with error_access_denied.
void deny_write(os::Hkey root, const std::u16string& path);
// Any open of the key (or below) fails with error_access_denied.
void deny_open(os::Hkey root, const std::u16string& path);

// Runs `hook` once, just before the enumeration call with the given index on
// an open handle to `path` answers; lets tests delete keys mid-enumeration.
void on_enum_key(os::Hkey root, const std::u16string& path, std::uint32_t index, std::function<void()> hook);
// The same before the value enumeration call with that index: lets tests
// change or delete values between the count and the reads.
void on_enum_value(os::Hkey root, const std::u16string& path, std::uint32_t index, std::function<void()> hook);

// ---- files

void add_folder(const std::u16string& path, std::uint32_t extra_attributes = 0);
void add_file(const std::u16string& path, const std::string& bytes = {}, std::uint32_t extra_attributes = 0);
// A junction (folder reparse point) at `path` pointing at the folder `target`.
void add_junction(const std::u16string& path, const std::u16string& target);
void set_short_name(const std::u16string& path, const std::u16string& short_name);
void lock_file(const std::u16string& path, bool locked = true);
bool path_exists(const std::u16string& path);
// Every file and folder below (and including) `root`, as full paths in tree order;
// junctions are listed but not entered.
std::vector<std::u16string> list_tree(const std::u16string& root = u"C:\\");

// ---- processes

struct SimProcess {
    std::uint32_t pid = 0;
    std::uint32_t parent_pid = 0;
    std::u16string image_path;  // full path of the executable
    bool protected_process = false;  // OpenProcess fails with access denied
    std::uint64_t creation_time = 0;  // later starts have larger times
};

// Starts a process and returns its pid. `creation_time` 0 takes the model's
// clock, which every start advances; a test gives an earlier time to model a
// process that was running before its recorded parent id was reused.
std::uint32_t start_process(const std::u16string& image_path, std::uint32_t parent_pid = 0,
                            bool protected_process = false, std::uint64_t creation_time = 0);
void end_process(std::uint32_t pid, std::uint32_t exit_code = 0);
// A process started with an empty image path is still starting: asked for
// its image, it has none to tell until this gives it one.
void set_process_image(std::uint32_t pid, const std::u16string& image_path);
// The running program as if started from `image_path` (which the test
// creates): what it keeps beside itself is then there.
void set_own_image(const std::u16string& image_path);
// The creation time of a process, running or ended; 0 when there is none.
std::uint64_t process_creation_time(std::uint32_t pid);
std::vector<SimProcess> processes();

// What the shell does when asked to open a file. The default handler starts a
// process when the file exists (looked up in the system folder when it has no
// folder part) and returns 42, otherwise returns 2 (file not found).
struct ShellRequest {
    std::u16string verb, file, parameters, directory;
    int show = 0;
    bool create_process = false;  // true for create_process (then `file` is the command line)
    // The standard handles were redirected to the null device when the request was made.
    bool null_standard_handles = false;
};
using ShellHandler = std::function<std::intptr_t(const ShellRequest&, std::uint32_t& started_pid)>;
void set_shell_handler(ShellHandler handler);
std::vector<ShellRequest> shell_requests();

// ---- message boxes

struct MessageRecord {
    std::u16string text, caption;
    std::uint32_t flags = 0;
};
// Message boxes are recorded and answered with `answer` (idok by default).
void set_message_box_answer(int answer);
std::vector<MessageRecord> messages();

}  // namespace vorlix::sim
