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

bool walk(ProcessWalk step, Handle snapshot, ProcessEntry& entry) {
    PROCESSENTRY32W found{};
    found.dwSize = sizeof(found);
    if (!step(win::to_handle(snapshot), &found)) return false;
    entry.pid = found.th32ProcessID;
    entry.parent_pid = found.th32ParentProcessID;
    entry.exe_file = win::from_wide(found.szExeFile);
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

}  // namespace vorlix::os
