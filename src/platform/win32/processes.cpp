// Process snapshot, process handles and waits of the seam on kernel32 and psapi.
#include "platform/win32/win_common.h"

#include <tlhelp32.h>

// psapi.dll itself rather than the K32 forwarders of kernel32, which older
// Windows versions lack.
#define PSAPI_VERSION 1
#include <psapi.h>

namespace vorlix::os {

namespace {

using ProcessWalk = BOOL(WINAPI*)(HANDLE, LPPROCESSENTRY32W);

std::uint64_t filetime_value(const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}

// 0 when the process cannot be opened for a query (system processes, or it has ended).
std::uint64_t creation_time_of(DWORD pid) {
    if (pid == 0) return 0;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return 0;
    std::uint64_t time = 0;
    get_process_creation_time(win::from_pointer(process), time);
    CloseHandle(process);
    return time;
}

bool walk(ProcessWalk step, Handle snapshot, ProcessEntry& entry) {
    PROCESSENTRY32W found{};
    found.dwSize = sizeof(found);
    if (!step(win::to_handle(snapshot), &found)) return false;
    entry.pid = found.th32ProcessID;
    entry.parent_pid = found.th32ParentProcessID;
    entry.exe_file = win::from_wide(found.szExeFile);
    entry.creation_time = creation_time_of(found.th32ProcessID);
    return true;
}

}  // namespace

Handle create_process_snapshot() {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    return snapshot == INVALID_HANDLE_VALUE ? invalid_handle_value : win::from_pointer(snapshot);
}

bool process32_first(Handle snapshot, ProcessEntry& entry) { return walk(Process32FirstW, snapshot, entry); }

bool process32_next(Handle snapshot, ProcessEntry& entry) { return walk(Process32NextW, snapshot, entry); }

Handle open_process(std::uint32_t access, std::uint32_t pid) {
    return win::from_pointer(OpenProcess(access, FALSE, pid));
}

bool terminate_process(Handle process, std::uint32_t exit_code) {
    return TerminateProcess(win::to_handle(process), exit_code) != FALSE;
}

bool close_handle(Handle handle) { return CloseHandle(win::to_handle(handle)) != FALSE; }

std::uint32_t get_module_file_name_ex(Handle process, char16_t* buffer, std::uint32_t size) {
    return GetModuleFileNameExW(win::to_handle(process), nullptr, win::wide(buffer), size);
}

std::uint32_t wait_for_single_object(Handle handle, std::uint32_t milliseconds) {
    return WaitForSingleObject(win::to_handle(handle), milliseconds);
}

std::uint32_t get_process_id(Handle process) { return GetProcessId(win::to_handle(process)); }

bool get_process_creation_time(Handle process, std::uint64_t& creation_time) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(win::to_handle(process), &created, &exited, &kernel, &user)) return false;
    creation_time = filetime_value(created);
    return true;
}

bool get_exit_code_process(Handle process, std::uint32_t& exit_code) {
    DWORD code = 0;
    if (!GetExitCodeProcess(win::to_handle(process), &code)) return false;
    exit_code = code;
    return true;
}

bool query_full_process_image_name(Handle process, std::u16string& path) {
    // Absent before Vista: looked up at run time like the other late exports.
    using Query = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
    static const auto query = win::find_export<Query>(L"kernel32.dll", "QueryFullProcessImageNameW");
    if (query == nullptr) return false;
    std::u16string buffer(32768, u'\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!query(win::to_handle(process), 0, win::wide(buffer.data()), &size)) return false;
    path.assign(buffer.data(), size);
    return true;
}

SavedStandardHandles redirect_standard_handles_to_null() {
    SavedStandardHandles saved;
    // Inheritable, so that the started program's copies are valid handles of its own.
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE null_device = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           &inherit, OPEN_EXISTING, 0, nullptr);
    if (null_device == INVALID_HANDLE_VALUE) return saved;
    saved.input = win::from_pointer(GetStdHandle(STD_INPUT_HANDLE));
    saved.output = win::from_pointer(GetStdHandle(STD_OUTPUT_HANDLE));
    saved.error = win::from_pointer(GetStdHandle(STD_ERROR_HANDLE));
    saved.null_device = win::from_pointer(null_device);
    for (const DWORD which : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE}) SetStdHandle(which, null_device);
    return saved;
}

void restore_standard_handles(const SavedStandardHandles& saved) {
    if (saved.null_device == 0) return;
    SetStdHandle(STD_INPUT_HANDLE, win::to_handle(saved.input));
    SetStdHandle(STD_OUTPUT_HANDLE, win::to_handle(saved.output));
    SetStdHandle(STD_ERROR_HANDLE, win::to_handle(saved.error));
    CloseHandle(win::to_handle(saved.null_device));
}

}  // namespace vorlix::os
