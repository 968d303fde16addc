// The platform seam: a narrow set of calls shaped like the Win32 functions the
// engine needs. Same arguments, same error codes, same buffer behaviour on both
// backends. Windows builds link platform/win32, host builds link platform/sim.
//
// Texts are UTF-16 (char16_t). Buffers are passed as pointer and capacity in
// characters (or bytes, where Win32 counts bytes), exactly as the Win32 calls
// take them, so that the code above can follow buffer limits to the letter.
//
// Names are the Win32 names in snake_case so that they never collide with the
// macros of <windows.h> in the win32 backend.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorlix::os {

// ---------------------------------------------------------------- types

using Handle = std::intptr_t;  // HANDLE, HKEY, HWND, find and snapshot handles
using Hkey = Handle;

inline constexpr Handle invalid_handle_value = -1;

// Predefined roots, sign-extended as Windows defines them.
inline constexpr Hkey hkey_classes_root = static_cast<Hkey>(static_cast<std::int32_t>(0x80000000u));
inline constexpr Hkey hkey_current_user = static_cast<Hkey>(static_cast<std::int32_t>(0x80000001u));
inline constexpr Hkey hkey_local_machine = static_cast<Hkey>(static_cast<std::int32_t>(0x80000002u));
inline constexpr Hkey hkey_users = static_cast<Hkey>(static_cast<std::int32_t>(0x80000003u));

// ---------------------------------------------------------------- error codes

inline constexpr std::uint32_t error_success = 0;
inline constexpr std::uint32_t error_file_not_found = 2;
inline constexpr std::uint32_t error_path_not_found = 3;
inline constexpr std::uint32_t error_access_denied = 5;
inline constexpr std::uint32_t error_invalid_handle = 6;
inline constexpr std::uint32_t error_no_more_files = 18;
inline constexpr std::uint32_t error_sharing_violation = 32;
inline constexpr std::uint32_t error_invalid_parameter = 87;
inline constexpr std::uint32_t error_insufficient_buffer = 122;
inline constexpr std::uint32_t error_invalid_name = 123;
inline constexpr std::uint32_t error_proc_not_found = 127;
inline constexpr std::uint32_t error_dir_not_empty = 145;
inline constexpr std::uint32_t error_already_exists = 183;
inline constexpr std::uint32_t error_more_data = 234;
inline constexpr std::uint32_t error_no_more_items = 259;
inline constexpr std::uint32_t error_key_deleted = 1018;

// ---------------------------------------------------------------- registry

inline constexpr std::uint32_t key_query_value = 0x0001;
inline constexpr std::uint32_t key_set_value = 0x0002;
inline constexpr std::uint32_t key_create_sub_key = 0x0004;
inline constexpr std::uint32_t key_enumerate_sub_keys = 0x0008;
inline constexpr std::uint32_t key_read = 0x20019;
inline constexpr std::uint32_t key_all_access = 0xF003F;
inline constexpr std::uint32_t key_wow64_64key = 0x0100;
inline constexpr std::uint32_t key_wow64_32key = 0x0200;
inline constexpr std::uint32_t key_create_link = 0x0020;

// Options of RegOpenKeyExW and RegCreateKeyExW. A symbolic link key holds its
// target ("\Registry\Machine\...") in the value SymbolicLinkValue of type
// REG_LINK; opening the key follows the link unless reg_option_open_link asks
// for the link key itself (only the last name of a path: links on the way are
// always followed).
inline constexpr std::uint32_t reg_option_create_link = 0x0002;
inline constexpr std::uint32_t reg_option_open_link = 0x0008;

inline constexpr std::uint32_t reg_none = 0;
inline constexpr std::uint32_t reg_sz = 1;
inline constexpr std::uint32_t reg_expand_sz = 2;
inline constexpr std::uint32_t reg_binary = 3;
inline constexpr std::uint32_t reg_dword = 4;
inline constexpr std::uint32_t reg_dword_big_endian = 5;
inline constexpr std::uint32_t reg_link = 6;
inline constexpr std::uint32_t reg_multi_sz = 7;
inline constexpr std::uint32_t reg_qword = 11;

// RegOpenKeyExW(root, path, options, sam, &out). `root` may be a predefined
// root or an open key. An empty path opens a new handle to `root` itself.
std::uint32_t reg_open_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                              std::uint32_t options = 0);

// RegCreateKeyExW(root, path, 0, nullptr, options, sam, nullptr, &out, nullptr).
std::uint32_t reg_create_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                                std::uint32_t options = 0);

std::uint32_t reg_close_key(Hkey key);

// RegQueryInfoKeyW. Any out pointer may be null. Lengths are in characters and
// exclude the terminating null, as Windows reports them.
std::uint32_t reg_query_info_key(Hkey key, std::uint32_t* sub_keys, std::uint32_t* max_sub_key_len,
                                 std::uint32_t* values, std::uint32_t* max_value_name_len,
                                 std::uint32_t* max_value_len);

// RegEnumKeyExW(key, index, name, &name_len, ...). On entry name_len is the
// capacity in characters including the null; on success it is the length
// without the null. A name that does not fit gives error_more_data.
std::uint32_t reg_enum_key_ex(Hkey key, std::uint32_t index, char16_t* name, std::uint32_t& name_len);

// RegEnumValueW. `data` may be null to learn the size only (then data_len may
// be null too). Sizes of data are in bytes.
std::uint32_t reg_enum_value(Hkey key, std::uint32_t index, char16_t* name, std::uint32_t& name_len,
                             std::uint32_t* type, std::uint8_t* data, std::uint32_t* data_len);

// RegQueryValueExW. `name` empty reads the default value. With a null `data`
// it reports the size in `data_len`; a buffer that is too small gives
// error_more_data and the needed size.
std::uint32_t reg_query_value_ex(Hkey key, const std::u16string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* data_len);

std::uint32_t reg_set_value_ex(Hkey key, const std::u16string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t data_len);

// RegDeleteKeyW: deletes a key that has no subkeys. A link as the last name is
// followed: its target goes, the link stays.
std::uint32_t reg_delete_key(Hkey root, const std::u16string& path);

// NtDeleteKey, as a Win32 error code: deletes the key the handle stands for
// (a link key itself when it was opened with reg_option_open_link). A key
// with subkeys is not deleted.
std::uint32_t nt_delete_key(Hkey key);

// RegDeleteKeyExW, looked up at run time: gives error_proc_not_found where the
// system lacks it.
std::uint32_t reg_delete_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam,
                                std::uint32_t reserved);

std::uint32_t reg_delete_value(Hkey key, const std::u16string& name);

// ---------------------------------------------------------------- WOW64 and system

// Each returns false when the export does not exist on this system; the
// result of the call itself goes to the out parameter.
// is_wow64_process: `ok` is false when the export exists but the call failed.
bool is_wow64_process_available();
bool is_wow64_process(bool& wow64);
bool get_system_wow64_directory_available();
std::uint32_t get_system_wow64_directory(char16_t* buffer, std::uint32_t size);
bool wow64_disable_fs_redirection(void*& old_value);
bool wow64_revert_fs_redirection(void* old_value);

std::uint32_t get_system_directory(char16_t* buffer, std::uint32_t size);
std::uint32_t get_windows_directory(char16_t* buffer, std::uint32_t size);
std::uint32_t get_temp_path(char16_t* buffer, std::uint32_t size);
std::uint32_t get_environment_variable(const std::u16string& name, char16_t* buffer, std::uint32_t size);
std::uint32_t expand_environment_strings(const std::u16string& source, char16_t* buffer, std::uint32_t size);

// CSIDL values of the special folders the system asks for.
inline constexpr int csidl_personal = 0x0005;
inline constexpr int csidl_desktopdirectory = 0x0010;
inline constexpr int csidl_appdata = 0x001a;
inline constexpr int csidl_local_appdata = 0x001c;
inline constexpr int csidl_common_appdata = 0x0023;
inline constexpr int csidl_windows = 0x0024;
inline constexpr int csidl_system = 0x0025;
inline constexpr int csidl_program_files = 0x0026;
inline constexpr int csidl_profile = 0x0028;
inline constexpr int csidl_program_filesx86 = 0x002a;
inline constexpr int csidl_program_files_common = 0x002b;
inline constexpr int csidl_program_files_commonx86 = 0x002c;

// SHGetSpecialFolderLocation + SHGetPathFromIDListW. False when the shell
// knows no such folder; `path` then is empty.
bool get_special_folder_path(int csidl, std::u16string& path);

// SHGetKnownFolderPath(FOLDERID_Downloads): the Downloads folder has no CSIDL.
bool get_downloads_folder_path(std::u16string& path);

// Every folder the shell knows (IKnownFolderManager::GetFolderIds, then
// IKnownFolder::GetPath with KF_FLAG_DONT_VERIFY): its path whether or not it
// exists yet. Virtual folders, which have no path, are left out.
std::vector<std::u16string> get_known_folder_paths();

// Full path of the running executable (GetModuleFileNameW(nullptr, ...)).
std::u16string get_module_file_name();

std::uint32_t get_last_error();
void sleep_ms(std::uint32_t milliseconds);

// SYSTEMTIME, the fields the system reads.
struct SystemTime {
    std::uint16_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
// GetLocalTime.
void get_local_time(SystemTime& time);

// MultiByteToWideChar(CP_ACP, 0, ...) of the whole text: bytes in the system
// ANSI code page to UTF-16.
std::u16string ansi_to_wide(const std::string& bytes);

// ---------------------------------------------------------------- files

inline constexpr std::uint32_t invalid_file_attributes = 0xFFFFFFFFu;
inline constexpr std::uint32_t file_attribute_readonly = 0x0001;
inline constexpr std::uint32_t file_attribute_hidden = 0x0002;
inline constexpr std::uint32_t file_attribute_system = 0x0004;
inline constexpr std::uint32_t file_attribute_directory = 0x0010;
inline constexpr std::uint32_t file_attribute_archive = 0x0020;
inline constexpr std::uint32_t file_attribute_normal = 0x0080;
inline constexpr std::uint32_t file_attribute_reparse_point = 0x0400;

// WIN32_FIND_DATAW, the fields the system reads.
struct FindData {
    std::uint32_t attributes = 0;
    std::uint64_t size = 0;
    std::u16string name;            // cFileName, at most 259 characters
    std::u16string alternate_name;  // cAlternateFileName, the 8.3 name or empty
};

// GetFileAttributesW; invalid_file_attributes and get_last_error() on failure.
std::uint32_t get_file_attributes(const std::u16string& path);
bool set_file_attributes(const std::u16string& path, std::uint32_t attributes);

// FindFirstFileW / FindNextFileW / FindClose. The pattern's last component may
// hold the wildcards * and ?. Folder searches report "." and ".." as Windows does.
Handle find_first_file(const std::u16string& pattern, FindData& data);
bool find_next_file(Handle find, FindData& data);
bool find_close(Handle find);

bool delete_file(const std::u16string& path);
bool create_directory(const std::u16string& path);
// A junction or symbolic link to a folder is removed as a link; its target stays.
bool remove_directory(const std::u16string& path);
bool copy_file(const std::u16string& from, const std::u16string& to, bool fail_if_exists);
bool move_file(const std::u16string& from, const std::u16string& to);

// GetLongPathNameW / GetShortPathNameW: length without null on success, the
// needed size with null when the buffer is too small, 0 on failure.
std::uint32_t get_long_path_name(const std::u16string& path, char16_t* buffer, std::uint32_t size);
std::uint32_t get_short_path_name(const std::u16string& path, char16_t* buffer, std::uint32_t size);

// CreateFileW(path, 0, share all, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS) and
// GetFinalPathNameByHandleW(FILE_NAME_NORMALIZED | VOLUME_NAME_DOS): where a file
// or folder really is, junctions and symbolic links followed, 8.3 names long,
// each name as the file system stores it, with the \\?\ prefix Windows gives
// it. Returns error_success or the error of the open or the query.
std::uint32_t get_final_path_name(const std::u16string& path, std::u16string& final_path);

// CreateFileW(path, GENERIC_READ, FILE_SHARE_READ|FILE_SHARE_WRITE, OPEN_EXISTING)
// followed at once by CloseHandle: error_success when the file opens for reading.
std::uint32_t probe_open_for_read(const std::u16string& path);

// Whole-file reads and writes (CreateFileW + ReadFile/WriteFile). Writing
// creates or truncates the file.
bool read_file_bytes(const std::u16string& path, std::string& bytes);
bool write_file_bytes(const std::u16string& path, const std::string& bytes);

// Reads parts of a file opened once for reading (CreateFileW, then ReadFile
// at each offset): `use` gets a reader that fills `bytes` with up to `size`
// bytes from `offset`, fewer where the file ends, and returns false when a
// read fails. False, with the open's error, when the file does not open.
using FilePartReader = std::function<bool(std::uint64_t offset, std::size_t size, std::string& bytes)>;
bool read_file_parts(const std::u16string& path, const std::function<void(const FilePartReader&)>& use);

// ---------------------------------------------------------------- processes

// PROCESSENTRY32W, the fields the system reads.
struct ProcessEntry {
    std::uint32_t pid = 0;
    std::uint32_t parent_pid = 0;
    std::u16string exe_file;  // szExeFile: file name without folder
    // The process's creation time (FILETIME, 100 ns units; GetProcessTimes),
    // 0 when the process could not be queried. Ids are reused; the time tells
    // a child from an older process that names a reused id as its parent.
    std::uint64_t creation_time = 0;
};

// CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0); invalid_handle_value on failure.
Handle create_process_snapshot();
bool process32_first(Handle snapshot, ProcessEntry& entry);
bool process32_next(Handle snapshot, ProcessEntry& entry);

inline constexpr std::uint32_t process_terminate = 0x0001;
inline constexpr std::uint32_t process_vm_read = 0x0010;
inline constexpr std::uint32_t process_query_information = 0x0400;
inline constexpr std::uint32_t process_query_limited_information = 0x1000;
inline constexpr std::uint32_t synchronize = 0x00100000;

// OpenProcess; 0 on failure.
Handle open_process(std::uint32_t access, std::uint32_t pid);
bool terminate_process(Handle process, std::uint32_t exit_code);
bool close_handle(Handle handle);
// GetModuleFileNameExW(process, nullptr, buffer, size): length copied, 0 on failure.
std::uint32_t get_module_file_name_ex(Handle process, char16_t* buffer, std::uint32_t size);

inline constexpr std::uint32_t wait_object_0 = 0;
inline constexpr std::uint32_t wait_timeout = 258;
inline constexpr std::uint32_t wait_failed = 0xFFFFFFFFu;
inline constexpr std::uint32_t infinite = 0xFFFFFFFFu;
std::uint32_t wait_for_single_object(Handle handle, std::uint32_t milliseconds);
std::uint32_t get_process_id(Handle process);
// GetCurrentProcessId.
std::uint32_t get_current_process_id();
// GetProcessTimes: the creation time as in ProcessEntry; false on failure.
bool get_process_creation_time(Handle process, std::uint64_t& creation_time);
// GetExitCodeProcess; still_active while the process runs.
inline constexpr std::uint32_t still_active = 259;
bool get_exit_code_process(Handle process, std::uint32_t& exit_code);
// QueryFullProcessImageNameW(process, 0, ...): the full path of the
// executable; needs only limited query access. False on failure.
bool query_full_process_image_name(Handle process, std::u16string& path);

// SetStdHandle of input, output and error to the null device, so that the
// programs started until restore_standard_handles get handles of their own
// rather than ours. Our own C runtime streams keep writing where they did.
struct SavedStandardHandles {
    Handle input = 0, output = 0, error = 0;
    Handle null_device = 0;  // 0 when the null device could not be opened: nothing was changed
};
SavedStandardHandles redirect_standard_handles_to_null();
void restore_standard_handles(const SavedStandardHandles& saved);

// ---------------------------------------------------------------- shell and windows

inline constexpr int sw_hide = 0;
inline constexpr int sw_shownormal = 1;

// ShellExecuteExW with SEE_MASK_NOCLOSEPROCESS. Returns hInstApp as
// ShellExecuteW would (greater than 32 on success). `process` receives the
// started process's handle when the shell gives one, otherwise 0; the caller
// closes it.
std::intptr_t shell_execute(Handle owner, const std::u16string& verb, const std::u16string& file,
                            const std::u16string& parameters, const std::u16string& directory, int show,
                            Handle* process);

// CreateProcessW(nullptr, command_line, ...) with the given show state. On
// success `process` (when not null) receives the process handle, otherwise it
// is closed.
bool create_process(const std::u16string& command_line, int show, Handle* process);

inline constexpr std::uint32_t mb_ok = 0x0000;
inline constexpr std::uint32_t mb_yesno = 0x0004;
inline constexpr std::uint32_t mb_iconerror = 0x0010;
inline constexpr std::uint32_t mb_iconquestion = 0x0020;
inline constexpr std::uint32_t mb_iconinformation = 0x0040;
inline constexpr std::uint32_t mb_taskmodal = 0x2000;
inline constexpr int idok = 1;
inline constexpr int idyes = 6;
inline constexpr int idno = 7;

// MessageBoxW; modal, centred on the screen when there is no owner.
int message_box(Handle owner, const std::u16string& text, const std::u16string& caption, std::uint32_t flags);

}  // namespace vorlix::os
