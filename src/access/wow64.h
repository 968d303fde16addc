// The 32/64-bit environment of the running process.
#pragma once

namespace vorlix {

// Bitness codes of Sys_GetBitness.
inline constexpr int bitness_unknown = -1;     // Windows too old to tell
inline constexpr int bitness_windows32 = 0;    // 32-bit Windows
inline constexpr int bitness_wow64 = 1;        // 32-bit process on 64-bit Windows
inline constexpr int bitness_native64 = 2;     // 64-bit process on 64-bit Windows

// Raises std::runtime_error("IsWow64Process: bad process handle") when the query fails.
bool Sys_IsWow64Process();
int Sys_GetBitness();
// Must be paired on the same thread with the same saved value.
bool Sys_DisableFsRedirection(void*& ptr_param_Saved);
bool Sys_RevertFsRedirection(void* ptr_param_Saved);

}  // namespace vorlix
