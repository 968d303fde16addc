// Registry calls of the seam on advapi32.
#include "platform/win32/win_common.h"

#include <vector>

namespace vorlix::os {

namespace {

// Win32 takes DWORD (unsigned long) where the seam has std::uint32_t: copy in,
// call, copy back, keeping null pointers null.
class DwordOut {
public:
    explicit DwordOut(std::uint32_t* target) : target_(target), value_(target != nullptr ? *target : 0) {}
    ~DwordOut() {
        if (target_ != nullptr) *target_ = value_;
    }
    DwordOut(const DwordOut&) = delete;
    DwordOut& operator=(const DwordOut&) = delete;
    DWORD* get() { return target_ != nullptr ? &value_ : nullptr; }

private:
    std::uint32_t* target_;
    DWORD value_;
};

std::uint32_t open_or_create(bool create, Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                             std::uint32_t options) {
    HKEY key = nullptr;
    const LONG result = create ? RegCreateKeyExW(win::to_hkey(root), win::wide(path), 0, nullptr, options, sam, nullptr,
                                                 &key, nullptr)
                               : RegOpenKeyExW(win::to_hkey(root), win::wide(path), options, sam, &key);
    out = result == ERROR_SUCCESS ? win::from_pointer(key) : 0;
    return static_cast<std::uint32_t>(result);
}

}  // namespace

std::uint32_t reg_open_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                              std::uint32_t options) {
    return open_or_create(false, root, path, sam, out, options);
}

std::uint32_t reg_create_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, Hkey& out,
                                std::uint32_t options) {
    return open_or_create(true, root, path, sam, out, options);
}

std::uint32_t reg_close_key(Hkey key) { return static_cast<std::uint32_t>(RegCloseKey(win::to_hkey(key))); }

std::uint32_t reg_query_info_key(Hkey key, std::uint32_t* sub_keys, std::uint32_t* max_sub_key_len,
                                 std::uint32_t* values, std::uint32_t* max_value_name_len,
                                 std::uint32_t* max_value_len) {
    DwordOut sub_keys_out(sub_keys), max_sub_key_out(max_sub_key_len), values_out(values),
        max_value_name_out(max_value_name_len), max_value_out(max_value_len);
    return static_cast<std::uint32_t>(RegQueryInfoKeyW(win::to_hkey(key), nullptr, nullptr, nullptr, sub_keys_out.get(),
                                                       max_sub_key_out.get(), nullptr, values_out.get(),
                                                       max_value_name_out.get(), max_value_out.get(), nullptr,
                                                       nullptr));
}

std::uint32_t reg_enum_key_ex(Hkey key, std::uint32_t index, char16_t* name, std::uint32_t& name_len) {
    DwordOut length(&name_len);
    return static_cast<std::uint32_t>(
        RegEnumKeyExW(win::to_hkey(key), index, win::wide(name), length.get(), nullptr, nullptr, nullptr, nullptr));
}

std::uint32_t reg_enum_value(Hkey key, std::uint32_t index, char16_t* name, std::uint32_t& name_len,
                             std::uint32_t* type, std::uint8_t* data, std::uint32_t* data_len) {
    DwordOut name_length(&name_len), type_out(type), data_length(data_len);
    return static_cast<std::uint32_t>(RegEnumValueW(win::to_hkey(key), index, win::wide(name), name_length.get(),
                                                    nullptr, type_out.get(), data, data_length.get()));
}

std::uint32_t reg_query_value_ex(Hkey key, const std::u16string& name, std::uint32_t* type, std::uint8_t* data,
                                 std::uint32_t* data_len) {
    DwordOut type_out(type), data_length(data_len);
    return static_cast<std::uint32_t>(
        RegQueryValueExW(win::to_hkey(key), win::wide(name), nullptr, type_out.get(), data, data_length.get()));
}

std::uint32_t reg_set_value_ex(Hkey key, const std::u16string& name, std::uint32_t type, const std::uint8_t* data,
                               std::uint32_t data_len) {
    const auto set = [&](const std::uint8_t* bytes) {
        return static_cast<std::uint32_t>(RegSetValueExW(win::to_hkey(key), win::wide(name), 0, type, bytes, data_len));
    };
    const bool text_type = type == reg_sz || type == reg_expand_sz || type == reg_multi_sz;
    if (!text_type || data == nullptr || data_len < sizeof(char16_t) || data_len % sizeof(char16_t) != 0) return set(data);
    // For text data without a terminating null, the system peeks at the
    // character after the counted bytes and, when it is a null, stores one
    // more character than asked. Backups must restore values byte for byte,
    // so the data is handed over followed by a character that is not null.
    std::vector<std::uint8_t> copy(data, data + data_len);
    copy.push_back(0xFF);
    copy.push_back(0xFF);
    return set(copy.data());
}

std::uint32_t reg_delete_key(Hkey root, const std::u16string& path) {
    return static_cast<std::uint32_t>(RegDeleteKeyW(win::to_hkey(root), win::wide(path)));
}

std::uint32_t reg_delete_key_ex(Hkey root, const std::u16string& path, std::uint32_t sam, std::uint32_t reserved) {
    using RegDeleteKeyExFunction = LONG(WINAPI*)(HKEY, LPCWSTR, REGSAM, DWORD);
    const auto function = win::find_export<RegDeleteKeyExFunction>(L"advapi32.dll", "RegDeleteKeyExW");
    if (function == nullptr) return error_proc_not_found;
    return static_cast<std::uint32_t>(function(win::to_hkey(root), win::wide(path), sam, reserved));
}

std::uint32_t nt_delete_key(Hkey key) {
    // RegDeleteKeyW would open the name again and follow a link to its target:
    // only the native call deletes the very key a handle was opened on.
    using NtDeleteKeyFunction = LONG(WINAPI*)(HANDLE);
    using StatusToErrorFunction = ULONG(WINAPI*)(LONG);
    const auto function = win::find_export<NtDeleteKeyFunction>(L"ntdll.dll", "NtDeleteKey");
    const auto to_error = win::find_export<StatusToErrorFunction>(L"ntdll.dll", "RtlNtStatusToDosError");
    if (function == nullptr || to_error == nullptr) return error_proc_not_found;
    const LONG status = function(win::to_hkey(key));
    return status == 0 ? error_success : static_cast<std::uint32_t>(to_error(status));
}

std::uint32_t reg_delete_value(Hkey key, const std::u16string& name) {
    return static_cast<std::uint32_t>(RegDeleteValueW(win::to_hkey(key), win::wide(name)));
}

}  // namespace vorlix::os
