// Starting programs through the shell or directly, and message boxes.
#include "platform/win32/win_common.h"

#include <shellapi.h>

#include <algorithm>
#include <vector>

namespace vorlix::os {

namespace {

// hInstApp values above this mean success, as ShellExecuteW returns them.
constexpr std::intptr_t shell_success_limit = 32;

// A failure must read as a value of 32 or less even when the shell left
// hInstApp unset: fall back to the thread's error code where it fits.
std::intptr_t failure_code(std::intptr_t inst_app) {
    if (inst_app >= 0 && inst_app <= shell_success_limit) return inst_app;
    const DWORD error = GetLastError();
    return error <= shell_success_limit ? static_cast<std::intptr_t>(error) : 0;
}

}  // namespace

std::intptr_t shell_execute(Handle owner, const std::u16string& verb, const std::u16string& file,
                            const std::u16string& parameters, const std::u16string& directory, int show,
                            Handle* process) {
    if (process != nullptr) *process = 0;
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // Callers handle a failure themselves (the uninstall start falls back to
    // CreateProcess): the shell's own error box would block the calling
    // worker until someone closes it.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = win::to_hwnd(owner);
    info.lpVerb = verb.empty() ? nullptr : win::wide(verb);  // null: the file's default verb
    info.lpFile = win::wide(file);
    info.lpParameters = win::wide(parameters);
    info.lpDirectory = win::wide(directory);
    info.nShow = show;
    const bool started = ShellExecuteExW(&info) != FALSE;
    const auto inst_app = reinterpret_cast<std::intptr_t>(info.hInstApp);
    if (!started) {
        if (info.hProcess != nullptr) CloseHandle(info.hProcess);
        return failure_code(inst_app);
    }
    if (info.hProcess != nullptr) {
        if (process != nullptr) {
            *process = win::from_pointer(info.hProcess);
        } else {
            CloseHandle(info.hProcess);
        }
    }
    return inst_app > shell_success_limit ? inst_app : shell_success_limit + 1;
}

bool create_process(const std::u16string& command_line, int show, Handle* process) {
    if (process != nullptr) *process = 0;
    // CreateProcessW may write into the command line: hand it a private copy.
    std::vector<wchar_t> buffer(command_line.size() + 1, L'\0');
    std::copy(command_line.begin(), command_line.end(), buffer.begin());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(show);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    CloseHandle(info.hThread);
    if (process != nullptr) {
        *process = win::from_pointer(info.hProcess);
    } else {
        CloseHandle(info.hProcess);
    }
    return true;
}

int message_box(Handle owner, const std::u16string& text, const std::u16string& caption, std::uint32_t flags) {
    return MessageBoxW(win::to_hwnd(owner), win::wide(text), win::wide(caption), flags);
}

}  // namespace vorlix::os
