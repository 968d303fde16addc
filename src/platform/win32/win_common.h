// Shared plumbing of the Win32 backend: text and handle conversions between
// the portable seam and the Windows types, and run-time export lookup.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/os.h"

namespace vorlix::os::win {

// char16_t and wchar_t are both UTF-16 code units on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

inline const wchar_t* wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }
inline const wchar_t* wide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }
inline wchar_t* wide(char16_t* buffer) { return reinterpret_cast<wchar_t*>(buffer); }
inline std::u16string from_wide(const wchar_t* text) { return std::u16string(reinterpret_cast<const char16_t*>(text)); }

inline HANDLE to_handle(Handle handle) { return reinterpret_cast<HANDLE>(handle); }
inline HKEY to_hkey(Hkey key) { return reinterpret_cast<HKEY>(key); }
inline HWND to_hwnd(Handle window) { return reinterpret_cast<HWND>(window); }
template <typename T>
Handle from_pointer(T* pointer) {
    return reinterpret_cast<Handle>(pointer);
}

// Looks an export up at run time so that the program still starts on Windows
// versions that lack it; null when the module or the export is missing.
template <typename Function>
Function find_export(const wchar_t* module, const char* name) {
    HMODULE handle = GetModuleHandleW(module);
    if (handle == nullptr) return nullptr;
    // Through void(*)(): the one function pointer type every other converts to without a warning.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(handle, name)));
}

}  // namespace vorlix::os::win
