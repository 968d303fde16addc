// WOW64 queries, file-system redirection, system folders, environment and
// the shell's special folders.
#include "platform/win32/win_common.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <cwchar>
#include <vector>

namespace vorlix::os {

namespace {

using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
using GetSystemWow64DirectoryFunction = UINT(WINAPI*)(LPWSTR, UINT);
using Wow64DisableFunction = BOOL(WINAPI*)(PVOID*);
using Wow64RevertFunction = BOOL(WINAPI*)(PVOID);

template <typename Function>
Function kernel32_export(const char* name) {
    return win::find_export<Function>(L"kernel32.dll", name);
}

// FOLDERID_Downloads, spelled out so that no GUID library is needed at link time.
constexpr GUID folderid_downloads = {0x374de290, 0x123f, 0x4565, {0x91, 0x64, 0x39, 0xc4, 0x92, 0x5e, 0x46, 0x7b}};

// The known-folder manager's class and interface, spelled out for the same reason.
constexpr GUID clsid_known_folder_manager = {0x4df0c730, 0xdf9d, 0x4ae3, {0x91, 0x53, 0xaa, 0x6b, 0x82, 0xe9, 0x79, 0x5a}};
constexpr GUID iid_known_folder_manager = {0x8be2d872, 0x86aa, 0x4d47, {0xb7, 0x76, 0x32, 0xcc, 0xa4, 0x0c, 0x70, 0x18}};

// The path of one known folder, or nothing for a virtual folder. The shell's
// function form answers as the folder object's GetPath does, without building
// a folder object (and reading its description) per id. Some shells answer a
// virtual folder with a namespace path ("...\::{GUID}"), which names no folder.
void add_known_folder_path(const KNOWNFOLDERID& id, std::vector<std::u16string>& paths) {
    PWSTR text = nullptr;
    if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &text)) && text != nullptr &&
        *text != L'\0' && std::wcsstr(text, L"\\::") == nullptr)
        paths.push_back(win::from_wide(text));
    CoTaskMemFree(text);
}

}  // namespace

bool is_wow64_process_available() { return kernel32_export<IsWow64ProcessFunction>("IsWow64Process") != nullptr; }

bool is_wow64_process(bool& wow64) {
    wow64 = false;
    const auto function = kernel32_export<IsWow64ProcessFunction>("IsWow64Process");
    if (function == nullptr) return false;
    BOOL result = FALSE;
    if (!function(GetCurrentProcess(), &result)) return false;
    wow64 = result != FALSE;
    return true;
}

bool get_system_wow64_directory_available() {
    return kernel32_export<GetSystemWow64DirectoryFunction>("GetSystemWow64DirectoryW") != nullptr;
}

std::uint32_t get_system_wow64_directory(char16_t* buffer, std::uint32_t size) {
    const auto function = kernel32_export<GetSystemWow64DirectoryFunction>("GetSystemWow64DirectoryW");
    if (function == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return 0;
    }
    return function(win::wide(buffer), size);
}

bool wow64_disable_fs_redirection(void*& old_value) {
    const auto function = kernel32_export<Wow64DisableFunction>("Wow64DisableWow64FsRedirection");
    return function != nullptr && function(&old_value) != FALSE;
}

bool wow64_revert_fs_redirection(void* old_value) {
    const auto function = kernel32_export<Wow64RevertFunction>("Wow64RevertWow64FsRedirection");
    return function != nullptr && function(old_value) != FALSE;
}

std::uint32_t get_system_directory(char16_t* buffer, std::uint32_t size) {
    return GetSystemDirectoryW(win::wide(buffer), size);
}

std::uint32_t get_windows_directory(char16_t* buffer, std::uint32_t size) {
    return GetWindowsDirectoryW(win::wide(buffer), size);
}

std::uint32_t get_temp_path(char16_t* buffer, std::uint32_t size) { return GetTempPathW(size, win::wide(buffer)); }

std::uint32_t get_environment_variable(const std::u16string& name, char16_t* buffer, std::uint32_t size) {
    return GetEnvironmentVariableW(win::wide(name), win::wide(buffer), size);
}

std::uint32_t expand_environment_strings(const std::u16string& source, char16_t* buffer, std::uint32_t size) {
    return ExpandEnvironmentStringsW(win::wide(source), win::wide(buffer), size);
}

bool get_special_folder_path(int csidl, std::u16string& path) {
    path.clear();
    PIDLIST_ABSOLUTE list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || list == nullptr) return false;
    wchar_t buffer[MAX_PATH] = {};
    const bool found = SHGetPathFromIDListW(list, buffer) != FALSE;
    CoTaskMemFree(list);
    if (found) path = win::from_wide(buffer);
    return found && !path.empty();
}

bool get_downloads_folder_path(std::u16string& path) {
    path.clear();
    PWSTR text = nullptr;
    const bool found = SUCCEEDED(SHGetKnownFolderPath(folderid_downloads, 0, nullptr, &text)) && text != nullptr;
    if (found) path = win::from_wide(text);
    CoTaskMemFree(text);  // the shell allocates even on failure; null is harmless
    return found && !path.empty();
}

std::vector<std::u16string> get_known_folder_paths() {
    std::vector<std::u16string> paths;
    // Any thread may ask; one that has COM already keeps its own model. A
    // thread of its own joins the multithreaded apartment, which needs no
    // hidden window (and so, under Wine, no desktop process).
    const HRESULT com = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    IKnownFolderManager* manager = nullptr;
    if (SUCCEEDED(CoCreateInstance(clsid_known_folder_manager, nullptr, CLSCTX_INPROC_SERVER, iid_known_folder_manager,
                                   reinterpret_cast<void**>(&manager))) &&
        manager != nullptr) {
        KNOWNFOLDERID* ids = nullptr;
        UINT count = 0;
        if (SUCCEEDED(manager->GetFolderIds(&ids, &count)) && ids != nullptr)
            for (UINT index = 0; index < count; ++index) add_known_folder_path(ids[index], paths);
        CoTaskMemFree(ids);
        manager->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return paths;
}

std::uint32_t get_current_process_id() { return GetCurrentProcessId(); }

std::u16string get_module_file_name() {
    // Long paths exceed MAX_PATH; grow until the name fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD size = static_cast<DWORD>(buffer.size());
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
        if (length == 0) return {};
        if (length < size) return win::from_wide(buffer.data());
        buffer.resize(buffer.size() * 2);
    }
}

std::uint32_t get_last_error() { return GetLastError(); }

void sleep_ms(std::uint32_t milliseconds) { Sleep(milliseconds); }

}  // namespace vorlix::os
