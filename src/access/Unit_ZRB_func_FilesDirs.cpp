#include "access/Unit_ZRB_func_FilesDirs.h"

#include <cstdint>
#include <string_view>

#include "access/Unit_ZRB_func_Str.h"
#include "platform/os.h"

namespace vorlix {

namespace {

constexpr std::uint32_t system_dir_chars = 256;

bool has(std::uint32_t attributes, std::uint32_t flag) { return (attributes & flag) != 0; }

// A text Windows writes into a buffer the caller sizes: a first try with room
// for a usual path; a longer text makes the call answer the size needed.
template <typename Query>
std::u16string read_sized_text(Query query) {
    std::u16string buffer(260, u'\0');
    auto length = query(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    if (length >= buffer.size()) {
        buffer.assign(length, u'\0');
        length = query(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        if (length >= buffer.size()) return {};
    }
    buffer.resize(length);
    return buffer;
}

}  // namespace

bool Sys_FileExists(const std::u16string& str_param_Path) {
    // A name ending with a separator names a folder: Windows answers "invalid
    // name" for a file so written, so no file can answer and nothing is asked.
    if (!str_param_Path.empty() && (str_param_Path.back() == u'\\' || str_param_Path.back() == u'/')) return false;
    const auto attributes = os::get_file_attributes(str_param_Path);
    if (attributes != os::invalid_file_attributes) {
        if (!has(attributes, os::file_attribute_reparse_point)) return !has(attributes, os::file_attribute_directory);
        // A link is followed: a link to a folder is no file, any other counts
        // when its target opens or is merely in use.
        if (has(attributes, os::file_attribute_directory)) return false;
        const auto status = os::probe_open_for_read(str_param_Path);
        return status == os::error_success || status == os::error_sharing_violation;
    }
    const auto error = os::get_last_error();
    if (error == os::error_file_not_found || error == os::error_path_not_found || error == os::error_invalid_name)
        return false;
    os::FindData data;
    const auto find = os::find_first_file(str_param_Path, data);
    if (find == os::invalid_handle_value) return false;
    os::find_close(find);
    return !has(data.attributes, os::file_attribute_directory);
}

std::u16string Sys_GetEnvironmentVariable(const std::u16string& str_param_Name) {
    return read_sized_text([&str_param_Name](char16_t* buffer, std::uint32_t size) {
        return os::get_environment_variable(str_param_Name, buffer, size);
    });
}

std::u16string Sys_GetSystemDir() {
    char16_t buffer[system_dir_chars] = {};
    const auto length = os::get_system_directory(buffer, system_dir_chars);
    return Str_EnsureTrailingBackslash(std::u16string(buffer, length < system_dir_chars ? length : 0));
}

std::u16string temp_folder_path() {
    return read_sized_text([](char16_t* buffer, std::uint32_t size) { return os::get_temp_path(buffer, size); });
}

std::u16string special_folder_path(int csidl) {
    std::u16string path;
    os::get_special_folder_path(csidl, path);
    return Str_EnsureTrailingBackslash(path);
}

std::u16string Sys_GetDesktopDir() { return special_folder_path(os::csidl_desktopdirectory); }
std::u16string Sys_GetWindowsDir() { return special_folder_path(os::csidl_windows); }
std::u16string Sys_GetAppDataDir() { return special_folder_path(os::csidl_appdata); }
std::u16string Sys_GetLocalAppDataDir() { return special_folder_path(os::csidl_local_appdata); }

void Sys_GetProgramFilesDirs(std::u16string& str_param_ProgramFiles, std::u16string& str_param_ProgramFiles64) {
    str_param_ProgramFiles = special_folder_path(os::csidl_program_files);
    str_param_ProgramFiles64 = native_program_files(str_param_ProgramFiles);
}

std::u16string native_program_files(const std::u16string& program_files) {
    // Only a 32-bit process on 64-bit Windows sees the x86 folder as its Program Files.
    if (program_files.find(u"86") == std::u16string::npos) return {};
    return Str_Trim(Str_ReplaceText(program_files, u"(x86)\\", u" ", true)) + u"\\";
}

bool IsDirectory(const std::u16string& str_param_Path) {
    const auto attributes = os::get_file_attributes(str_param_Path);
    return attributes != os::invalid_file_attributes && has(attributes, os::file_attribute_directory);
}

namespace {

// The \\?\ form takes every name literally, so it only suits a path without
// "." or ".." parts, forward slashes or empty names.
bool is_canonical(const std::u16string& path, std::size_t from) {
    if (path.find(u'/') != std::u16string::npos || path.find(u"\\\\", from) != std::u16string::npos) return false;
    auto text = path + u"\\";
    return text.find(u"\\.\\") == std::u16string::npos && text.find(u"\\..\\") == std::u16string::npos;
}

}  // namespace

std::u16string ExtendedLengthPath(const std::u16string& path) {
    if (path.starts_with(u"\\\\?\\") || path.starts_with(u"\\\\.\\")) return path;
    if (!is_canonical(path, 2)) return path;
    if (path.starts_with(u"\\\\")) return u"\\\\?\\UNC\\" + path.substr(2);
    const bool drive_path = path.size() >= 3 && path[1] == u':' && path[2] == u'\\';
    return drive_path ? u"\\\\?\\" + path : path;
}

namespace {

// Where a file or folder really lies, upper-cased, with a trailing backslash
// for a folder given with one and without the \\?\ prefix; empty when the
// system cannot tell.
std::u16string final_form(const std::u16string& path) {
    std::u16string final_path;
    if (os::get_final_path_name(path, final_path) != os::error_success) return {};
    if (final_path.starts_with(u"\\\\?\\")) final_path.erase(0, 4);
    if (path.ends_with(u'\\')) final_path = Str_EnsureTrailingBackslash(final_path);
    return Str_UpperFull(final_path);
}

// A plain file is deleted only where it really lies: in the folder it was
// found in. Wine shows a Unix symbolic link as a plain file, and deleting that
// deletes its target, which may be anyone's. Only the folder is compared, as
// a name the system cannot spell back (a trailing dot or blank) may come back
// in another form or not open at all; a link whose target exists always opens.
// A reparse point goes as the link it is.
void delete_file_in_place(const std::u16string& folder_final, const std::u16string& path, std::uint32_t attributes) {
    if (!has(attributes, os::file_attribute_reparse_point) && !folder_final.empty()) {
        const auto final_path = final_form(path);
        const auto slash = final_path.rfind(u'\\');
        if (slash != std::u16string::npos && std::u16string_view(final_path).substr(0, slash + 1) != folder_final)
            return;
    }
    os::delete_file(path);
}

void delete_tree(const std::u16string& path) {
    // A junction or symbolic link is removed as a link: emptying it would
    // delete the contents of its target, which belong to someone else.
    const auto own = os::get_file_attributes(path);
    if (own != os::invalid_file_attributes && has(own, os::file_attribute_reparse_point)) {
        os::remove_directory(path);
        return;
    }
    const auto base = Str_EnsureTrailingBackslash(path);
    const auto base_final = final_form(base);
    os::FindData data;
    const auto find = os::find_first_file(base + u"*.*", data);
    if (find == os::invalid_handle_value) return;
    do {
        if (!has(data.attributes, os::file_attribute_directory)) {
            delete_file_in_place(base_final, base + data.name, data.attributes);
        } else if (data.name != u"." && data.name != u"..") {
            if (!has(data.attributes, os::file_attribute_reparse_point)) delete_tree(base + data.name);
            os::remove_directory(base + data.name);
        }
    } while (os::find_next_file(find, data));
    os::find_close(find);
    os::remove_directory(path);
}

void list_tree(const std::u16string& shown, const std::u16string& reached, StringList& entries) {
    os::FindData data;
    const auto find = os::find_first_file(Str_EnsureTrailingBackslash(reached) + u"*.*", data);
    if (find == os::invalid_handle_value) return;
    do {
        if (data.name == u"." || data.name == u"..") continue;
        entries.push_back(Str_EnsureTrailingBackslash(shown) + data.name);
        // A copy: the entries the call adds may move the vector and with it entries.back().
        if (has(data.attributes, os::file_attribute_directory) && !has(data.attributes, os::file_attribute_reparse_point))
            list_tree(std::u16string(entries.back()), Str_EnsureTrailingBackslash(reached) + data.name, entries);
    } while (os::find_next_file(find, data));
    os::find_close(find);
}

}  // namespace

// Names are used as found, through the \\?\ form, so that a name Win32
// would alter (a trailing dot or blank) is deleted too.
void DeleteFileOrFolder(const std::u16string& str_param_Path) {
    const auto path = ExtendedLengthPath(str_param_Path);
    const auto attributes = os::get_file_attributes(path);
    if (attributes == os::invalid_file_attributes) return;
    if (has(attributes, os::file_attribute_directory)) {
        delete_tree(path);
        return;
    }
    const auto slash = path.rfind(u'\\');
    if (slash == std::u16string::npos) return;
    delete_file_in_place(final_form(path.substr(0, slash + 1)), path, attributes);
}

void DeleteFolderTree(const std::u16string& str_param_Path) { delete_tree(ExtendedLengthPath(str_param_Path)); }

StringList ListFolderTree(const std::u16string& folder) {
    StringList entries;
    list_tree(folder, ExtendedLengthPath(folder), entries);
    return entries;
}

std::u16string GetLongPath(const std::u16string& str_param_Path) {
    return read_sized_text([&str_param_Path](char16_t* buffer, std::uint32_t size) {
        return os::get_long_path_name(str_param_Path, buffer, size);
    });
}

}  // namespace vorlix
