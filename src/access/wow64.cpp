#include "access/wow64.h"

#include <stdexcept>

#include "platform/os.h"

namespace vorlix {

namespace {
constexpr std::uint32_t wow64_directory_chars = 260;
}

bool Sys_IsWow64Process() {
    if (!os::is_wow64_process_available()) return false;
    bool wow64 = false;
    if (!os::is_wow64_process(wow64)) throw std::runtime_error("IsWow64Process: bad process handle");
    return wow64;
}

int Sys_GetBitness() {
    if (Sys_IsWow64Process()) return bitness_wow64;
    if (!os::get_system_wow64_directory_available()) return bitness_unknown;
    char16_t buffer[wow64_directory_chars] = {};
    return os::get_system_wow64_directory(buffer, wow64_directory_chars) != 0 ? bitness_native64 : bitness_windows32;
}

bool Sys_DisableFsRedirection(void*& ptr_param_Saved) {
    try {
        if (Sys_IsWow64Process()) os::wow64_disable_fs_redirection(ptr_param_Saved);
    } catch (...) {
        return false;
    }
    return true;
}

bool Sys_RevertFsRedirection(void* ptr_param_Saved) {
    try {
        if (Sys_IsWow64Process()) os::wow64_revert_fs_redirection(ptr_param_Saved);
    } catch (...) {
        return false;
    }
    return true;
}

}  // namespace vorlix
