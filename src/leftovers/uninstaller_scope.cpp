#include "leftovers/uninstaller_scope.h"

#include <algorithm>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "platform/os.h"

namespace vorlix {

namespace {

// Upper-case and long: GetTempPath may give an 8.3 form of a folder whose
// processes report their long paths.
std::u16string comparable(const std::u16string& path) {
    const auto trimmed = Str_Trim(path);
    const auto long_form = GetLongPath(trimmed);
    return Str_UpperFull(long_form.empty() ? trimmed : long_form);
}

std::u16string wow64_system_folder() {
    if (!os::get_system_wow64_directory_available()) return {};
    std::u16string buffer(261, u'\0');
    const auto length = os::get_system_wow64_directory(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    return length > 0 && length < buffer.size() ? buffer.substr(0, length) : std::u16string();
}

}  // namespace

UninstallerScope UninstallerScope::for_program(const std::u16string& install_location) {
    UninstallerScope scope;
    scope.everything = false;
    const auto windows = Sys_GetWindowsDir();
    for (const auto& folder : {temp_folder_path(), windows.empty() ? windows : windows + u"Temp", install_location})
        if (!Str_Trim(folder).empty()) scope.folders.push_back(Str_EnsureTrailingBackslash(comparable(folder)));
    // Both system folders: a 32-bit process sees the 64-bit one under its own name.
    for (const auto& system : {Sys_GetSystemDir(), wow64_system_folder()})
        if (!system.empty()) scope.programs.push_back(comparable(Str_EnsureTrailingBackslash(system) + u"msiexec.exe"));
    return scope;
}

bool UninstallerScope::holds(const std::u16string& image_path) const {
    if (everything || Str_Trim(image_path).empty()) return true;
    const auto image = comparable(image_path);
    return std::find(programs.begin(), programs.end(), image) != programs.end() ||
           std::any_of(folders.begin(), folders.end(),
                       [&image](const std::u16string& folder) { return image.starts_with(folder); });
}

}  // namespace vorlix
