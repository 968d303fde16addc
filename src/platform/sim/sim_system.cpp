// WOW64 queries, well-known folders and environment variables of the model,
// as Windows presents them to a process of the configured bitness.
#include <chrono>
#include <thread>

#include "platform/sim/sim_files.h"

namespace vorlix::sim::detail {

bool is_wow64(const MachineConfig& config) { return config.windows64 && !config.process64; }

WellKnownFolders well_known_folders(const MachineConfig& config) {
    WellKnownFolders f;
    f.windows = u"C:\\Windows";
    f.system = u"C:\\Windows\\System32";
    f.program_files = u"C:\\Program Files";
    if (config.windows64) {
        f.syswow64 = u"C:\\Windows\\SysWOW64";
        f.program_files_x86 = u"C:\\Program Files (x86)";
    }
    f.program_data = u"C:\\ProgramData";
    f.users_public = u"C:\\Users\\Public";
    f.profile = u"C:\\Users\\" + config.user_name;
    f.roaming = f.profile + u"\\AppData\\Roaming";
    f.local = f.profile + u"\\AppData\\Local";
    f.temp = f.local + u"\\Temp";
    f.desktop = f.profile + u"\\Desktop";
    f.documents = f.profile + u"\\Documents";
    f.downloads = f.profile + u"\\Downloads";
    return f;
}

void build_environment(Machine& m) {
    const WellKnownFolders f = well_known_folders(m.config);
    const bool wow64 = is_wow64(m.config);
    // A WOW64 process sees the x86 Program Files as its own.
    const std::u16string program_files = wow64 ? f.program_files_x86 : f.program_files;
    auto& env = m.environment;
    env = {
        {u"ALLUSERSPROFILE", f.program_data},
        {u"APPDATA", f.roaming},
        {u"CommonProgramFiles", program_files + u"\\Common Files"},
        {u"ComSpec", f.system + u"\\cmd.exe"},
        {u"HOMEDRIVE", u"C:"},
        {u"HOMEPATH", f.profile.substr(2)},
        {u"LOCALAPPDATA", f.local},
        {u"OS", u"Windows_NT"},
        {u"Path", f.system + u";" + f.windows + u";" + f.system + u"\\Wbem"},
        {u"PATHEXT", u".COM;.EXE;.BAT;.CMD"},
        {u"PROCESSOR_ARCHITECTURE", m.config.windows64 && m.config.process64 ? u"AMD64" : u"x86"},
        {u"ProgramData", f.program_data},
        {u"ProgramFiles", program_files},
        {u"PUBLIC", f.users_public},
        {u"SystemDrive", u"C:"},
        {u"SystemRoot", f.windows},
        {u"TEMP", f.temp},
        {u"TMP", f.temp},
        {u"USERNAME", m.config.user_name},
        {u"USERPROFILE", f.profile},
        {u"windir", f.windows},
    };
    if (m.config.windows64) {
        env.push_back({u"CommonProgramFiles(x86)", f.program_files_x86 + u"\\Common Files"});
        env.push_back({u"CommonProgramW6432", f.program_files + u"\\Common Files"});
        env.push_back({u"ProgramFiles(x86)", f.program_files_x86});
        env.push_back({u"ProgramW6432", f.program_files});
    }
    if (wow64) env.push_back({u"PROCESSOR_ARCHITEW6432", u"AMD64"});
}

}  // namespace vorlix::sim::detail

namespace vorlix::sim {

void set_environment_variable(const std::u16string& name, const std::u16string& value) {
    auto lock = detail::lock_machine();
    auto& m = detail::machine();
    for (auto& [key, current] : m.environment)
        if (detail::same_name(key, name)) {
            current = value;
            return;
        }
    m.environment.emplace_back(name, value);
}

}  // namespace vorlix::sim

namespace vorlix::os {

using namespace sim::detail;

namespace {

const std::u16string* find_variable(const Machine& m, std::u16string_view name) {
    for (const auto& [key, value] : m.environment)
        if (same_name(key, name)) return &value;
    return nullptr;
}

// Unknown %NAME% and a lone % stay as written, as ExpandEnvironmentStringsW leaves them.
std::u16string expand(const Machine& m, std::u16string_view source) {
    std::u16string out;
    while (!source.empty()) {
        const auto open = source.find(u'%');
        const auto close = open == source.npos ? source.npos : source.find(u'%', open + 1);
        if (close == source.npos) {
            out += source;
            break;
        }
        out += source.substr(0, open);
        const std::u16string* value = find_variable(m, source.substr(open + 1, close - open - 1));
        out += value ? std::u16string_view(*value) : source.substr(open, close - open + 1);
        source.remove_prefix(close + 1);
    }
    return out;
}

// Wow64DisableWow64FsRedirection's opaque old value: whether it was disabled.
char redirection_was_disabled;

// The redirection exports exist where GetSystemWow64DirectoryW does; on
// 32-bit Windows they fail.
bool fs_redirection_works() {
    const sim::MachineConfig& c = sim::config();
    const std::uint32_t error = !c.has_get_system_wow64_directory ? error_proc_not_found
                                : !c.windows64                    ? error_invalid_function
                                                                  : error_success;
    if (error != error_success) set_last_error(error);
    return error == error_success;
}

}  // namespace

bool is_wow64_process_available() { return sim::config().has_is_wow64_process; }

bool is_wow64_process(bool& wow64) {
    const sim::MachineConfig& c = sim::config();
    if (!c.has_is_wow64_process || c.is_wow64_process_fails) {
        set_last_error(c.has_is_wow64_process ? error_invalid_handle : error_proc_not_found);
        return false;
    }
    wow64 = is_wow64(c);
    return true;
}

bool get_system_wow64_directory_available() { return sim::config().has_get_system_wow64_directory; }

std::uint32_t get_system_wow64_directory(char16_t* buffer, std::uint32_t size) {
    const sim::MachineConfig& c = sim::config();
    if (!c.has_get_system_wow64_directory || !c.windows64) {
        set_last_error(c.has_get_system_wow64_directory ? error_call_not_implemented : error_proc_not_found);
        return 0;
    }
    return copy_to_buffer(well_known_folders(c).syswow64, buffer, size);
}

bool wow64_disable_fs_redirection(void*& old_value) {
    if (!fs_redirection_works()) return false;
    old_value = fs_redirection_disabled() ? &redirection_was_disabled : nullptr;
    fs_redirection_disabled() = true;
    return true;
}

bool wow64_revert_fs_redirection(void* old_value) {
    if (!fs_redirection_works()) return false;
    fs_redirection_disabled() = old_value == &redirection_was_disabled;
    return true;
}

std::uint32_t get_system_directory(char16_t* buffer, std::uint32_t size) {
    return copy_to_buffer(well_known_folders(sim::config()).system, buffer, size);
}

std::uint32_t get_windows_directory(char16_t* buffer, std::uint32_t size) {
    return copy_to_buffer(well_known_folders(sim::config()).windows, buffer, size);
}

std::uint32_t get_temp_path(char16_t* buffer, std::uint32_t size) {
    auto lock = lock_machine();
    const std::u16string* temp = find_variable(machine(), u"TMP");
    return copy_to_buffer((temp ? *temp : well_known_folders(machine().config).windows) + u"\\", buffer, size);
}

std::uint32_t get_environment_variable(const std::u16string& name, char16_t* buffer, std::uint32_t size) {
    auto lock = lock_machine();
    const std::u16string* value = find_variable(machine(), name);
    if (!value) {
        set_last_error(error_envvar_not_found);
        return 0;
    }
    return copy_to_buffer(*value, buffer, size);
}

std::uint32_t expand_environment_strings(const std::u16string& source, char16_t* buffer, std::uint32_t size) {
    auto lock = lock_machine();
    const std::u16string text = expand(machine(), source);
    const auto needed = static_cast<std::uint32_t>(text.size() + 1);
    if (buffer && size >= needed) copy_to_buffer(text, buffer, size);
    return needed;
}

bool get_special_folder_path(int csidl, std::u16string& path) {
    const sim::MachineConfig& c = sim::config();
    const WellKnownFolders f = well_known_folders(c);
    const std::u16string& program_files = is_wow64(c) ? f.program_files_x86 : f.program_files;
    const std::u16string& program_files_x86 = c.windows64 ? f.program_files_x86 : f.program_files;
    switch (csidl) {
        case csidl_personal: path = f.documents; break;
        case csidl_desktopdirectory: path = f.desktop; break;
        case csidl_appdata: path = f.roaming; break;
        case csidl_local_appdata: path = f.local; break;
        case csidl_common_appdata: path = f.program_data; break;
        case csidl_windows: path = f.windows; break;
        case csidl_system: path = f.system; break;
        case csidl_program_files: path = program_files; break;
        case csidl_profile: path = f.profile; break;
        case csidl_program_filesx86: path = program_files_x86; break;
        case csidl_program_files_common: path = program_files + u"\\Common Files"; break;
        case csidl_program_files_commonx86: path = program_files_x86 + u"\\Common Files"; break;
        default: path.clear(); return false;
    }
    return true;
}

bool get_downloads_folder_path(std::u16string& path) {
    path = well_known_folders(sim::config()).downloads;
    return true;
}

std::vector<std::u16string> get_known_folder_paths() {
    const sim::MachineConfig& c = sim::config();
    const WellKnownFolders f = well_known_folders(c);
    const std::u16string roaming_windows = f.roaming + u"\\Microsoft\\Windows";
    const std::u16string common_windows = f.program_data + u"\\Microsoft\\Windows";
    std::vector<std::u16string> paths = {
        f.windows, f.system, f.windows + u"\\Fonts", f.windows + u"\\Resources", f.program_files,
        f.program_files + u"\\Common Files", f.program_data, u"C:\\Users", f.users_public,
        f.users_public + u"\\Desktop", f.users_public + u"\\Documents", f.users_public + u"\\Music",
        f.users_public + u"\\Pictures", f.users_public + u"\\Videos", f.users_public + u"\\Downloads",
        common_windows + u"\\Start Menu", common_windows + u"\\Start Menu\\Programs",
        common_windows + u"\\Start Menu\\Programs\\Startup",
        common_windows + u"\\Start Menu\\Programs\\Administrative Tools", common_windows + u"\\Templates",
        f.profile, f.desktop, f.documents, f.downloads, f.profile + u"\\Music", f.profile + u"\\Pictures",
        f.profile + u"\\Videos", f.profile + u"\\Favorites", f.profile + u"\\OneDrive", f.profile + u"\\Links",
        f.profile + u"\\Contacts", f.profile + u"\\Saved Games", f.profile + u"\\Searches", f.roaming, f.local,
        f.profile + u"\\AppData\\LocalLow", f.local + u"\\Programs", f.local + u"\\Programs\\Common",
        roaming_windows + u"\\Start Menu", roaming_windows + u"\\Start Menu\\Programs",
        roaming_windows + u"\\Start Menu\\Programs\\Startup",
        roaming_windows + u"\\Start Menu\\Programs\\Administrative Tools", roaming_windows + u"\\SendTo",
        roaming_windows + u"\\Recent", roaming_windows + u"\\Templates", roaming_windows + u"\\Network Shortcuts",
        roaming_windows + u"\\Libraries", f.local + u"\\Microsoft\\Windows\\History",
        f.local + u"\\Microsoft\\Windows\\INetCache",
    };
    if (c.windows64) {
        paths.push_back(f.syswow64);
        paths.push_back(f.program_files_x86);
        paths.push_back(f.program_files_x86 + u"\\Common Files");
    }
    return paths;
}

std::u16string get_module_file_name() {
    auto lock = lock_machine();
    return machine().own_image;
}

std::uint32_t get_current_process_id() {
    auto lock = lock_machine();
    return machine().own_pid;
}

void sleep_ms(std::uint32_t milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace vorlix::os
