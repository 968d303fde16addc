// Install-location inference: the fallback chain over other values, the
// normalisation, the inference from the uninstall command and the final check
// that keeps shared and system folders out of the leftover analysis.
#include <algorithm>
#include <utility>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "inventory/entry_values.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"

namespace vorlix {

namespace {

// The folder of a file path; a file directly on a drive keeps the root's backslash.
std::u16string folder_of(const std::u16string& path) {
    const auto slash = path.rfind(u'\\');
    if (slash == std::u16string::npos) return path;
    if (slash == 2 && path[1] == u':') return path.substr(0, 3);
    return path.substr(0, slash);
}

}  // namespace

std::u16string ZRB_Thread_GetInstalledSoftwareList::location_fallback_chain(const EntryValues& values) const {
    std::u16string location;
    values.read_text(u"InstallLocation", location);
    // InstallSource is never one: it names where setup ran from, often another
    // program's folder of redistributables.
    if (is_blank(location)) {
        location.clear();
        values.read_text(u"Inno Setup: App Path", location);
    }
    return location;
}

bool ZRB_Thread_GetInstalledSoftwareList::expand_app_data(std::u16string& text) const {
    if (contains_upper_ascii(text, u"%APPDATA%")) {
        text = Str_ReplaceText(text, u"%APPDATA%\\", folders.app_data_dir, false);
        return true;
    }
    if (contains_upper_ascii(text, u"%LOCALAPPDATA%\\")) {
        text = Str_ReplaceText(text, u"%LOCALAPPDATA%\\", folders.local_app_data_dir, false);
        return true;
    }
    return false;
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Normalize_InstallLocation(std::u16string& location) const {
    if (location.find(u"\"%1\"") != std::u16string::npos)
        location = Str_Trim(Str_ReplaceText(location, u"\"%1\"", u" ", false));
    location = Str_StripQuotes(std::move(location));
    expand_app_data(location);
    if (Sys_FileExists(location)) location = folder_of(location);
}

std::u16string ZRB_Thread_GetInstalledSoftwareList::mpr_pro_InstallLocation_From_UninstallString(
    const std::u16string& command) const {
    if (command.empty()) return {};
    auto copy = command;
    mpr_pro_Normalize_UninstallString(copy);
    const auto upper = Str_UpperAscii(copy);
    auto name_at = std::u16string::npos;
    for (const auto* name : {u"UNINSTALL.EXE", u"UNINS000.EXE", u"UNINST.EXE", u"UNINSTAL.EXE"}) {
        name_at = upper.find(name);
        if (name_at != std::u16string::npos) break;
    }
    if (name_at == std::u16string::npos) return {};
    const auto drive_at = upper.find(u":\\");
    // From the drive letter to the character before the file name.
    if (drive_at == std::u16string::npos || name_at < drive_at) return {};
    const auto start = drive_at == 0 ? 0 : drive_at - 1;
    return copy.substr(start, name_at - drive_at + 1);
}

void ZRB_Thread_GetInstalledSoftwareList::check_install_location(std::u16string& location) const {
    if (!location.empty() && location.back() != u'\\') location.push_back(u'\\');
    const auto equals_folder = [&location](const std::u16string& folder) {
        return !folder.empty() && Str_SameText(location, folder);
    };
    // Every way of writing a folder inside Windows counts, not only the plain
    // one; a name is looked up only where its long form can still lead into
    // Windows (below a drive or inside it) or to a shared folder.
    const auto forms = folder_forms.of(location, [this](const std::u16string& form) {
        return folders.is_shared_or_above_form(form) || form.find(u":\\WINDOWS\\") != std::u16string::npos;
    });
    const bool in_windows = std::any_of(forms.begin(), forms.end(), [](const std::u16string& form) {
        return form.find(u":\\WINDOWS\\") != std::u16string::npos;
    });
    if (location.size() <= 3 || equals_folder(folders.system_dir) || equals_folder(folders.desktop_dir) ||
        equals_folder(folders.windows_dir) || contains_upper_ascii(location, u":\\WINDOWS\\") ||
        equals_folder(folders.program_files) || equals_folder(folders.program_files64) || in_windows ||
        folders.is_any_shared_or_above(forms))
        location.clear();
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Normalize_UninstallString(std::u16string& command) const {
    expand_app_data(command);
    if (contains_upper_ascii(command, u"MSIEXEC.EXE /L"))
        command = Str_ReplaceText(command, u"msiexec.exe /l", u"msiexec.exe /x", false);
    else if (contains_upper_ascii(command, u"MSIEXEC.EXE /I"))
        command = Str_ReplaceText(command, u"msiexec.exe /I", u"msiexec.exe /x", false);
}

}  // namespace vorlix
