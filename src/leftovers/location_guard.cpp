#include "leftovers/location_guard.h"

#include <algorithm>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/Unit_ZRB_func_Uninstall.h"
#include "inventory/folder_forms.h"
#include "platform/os.h"

namespace vorlix {

namespace {

std::u16string without_trailing_backslashes(std::u16string path) {
    while (path.size() > 3 && path.back() == u'\\') path.pop_back();
    return path;
}

// The final path without the \\?\ prefix; empty when there is none or it is not on a drive.
std::u16string final_path_of(const std::u16string& path) {
    std::u16string final_path;
    if (os::get_final_path_name(path, final_path) != os::error_success) return {};
    if (final_path.starts_with(u"\\\\?\\")) final_path.erase(0, 4);
    return is_local_drive_path(final_path) ? final_path : std::u16string();
}

// The other programs' locations, upper-cased, without trailing backslash, in every spelling that names them.
StringList other_forms(const StringList& locations) {
    StringList forms;
    // The programs share their vendors' and Program Files' folders: each is looked up once.
    FolderForms looked_up;
    for (const auto& location : locations) {
        const auto expanded = Str_Trim(expand_placeholders(Str_Trim(location)));
        if (!is_local_drive_path(expanded)) continue;
        for (auto& form : looked_up.of(expanded)) {
            form = without_trailing_backslashes(form);
            // A drive root belongs to no program (and would cover every path).
            if (form.size() > 3) forms.push_back(std::move(form));
        }
    }
    return forms;
}

// Windows drops a name's trailing dots and blanks, and "." and ".." steps, so
// a path holding one never is its own final path.
bool has_name_windows_rewrites(const std::u16string& path) {
    for (std::size_t start = 3; start < path.size();) {
        auto end = path.find(u'\\', start);
        if (end == std::u16string::npos) end = path.size();
        if (end == start || path[end - 1] == u'.' || path[end - 1] == u' ') return true;
        start = end + 1;
    }
    return false;
}


// The Common Files folders of both Program Files, upper-cased, with a trailing backslash.
StringList common_files_forms() {
    StringList forms;
    for (const auto* name : {u"CommonProgramFiles", u"CommonProgramFiles(x86)", u"CommonProgramW6432"}) {
        const auto folder = Sys_GetEnvironmentVariable(name);
        if (!is_local_drive_path(folder)) continue;
        for (auto& form : KnownFolders::comparable_forms(folder)) forms.push_back(std::move(form));
    }
    return forms;
}

}  // namespace

std::u16string folder_of_file(const std::u16string& text) {
    const auto path = Str_StripQuotes(Str_Trim(text));
    const auto slash = path.rfind(u'\\');
    if (!is_local_drive_path(path) || slash == std::u16string::npos || slash < 3) return {};
    return path.substr(0, slash);
}

bool is_local_drive_path(const std::u16string& path) {
    if (path.size() < 3 || path[1] != u':' || path[2] != u'\\') return false;
    const auto drive = path[0];
    if (!((drive >= u'a' && drive <= u'z') || (drive >= u'A' && drive <= u'Z'))) return false;
    return std::none_of(path.begin() + 2, path.end(), [](char16_t unit) {
        return unit < u' ' || unit == u':' || unit == u'/' || unit == u'*' || unit == u'?' || unit == u'"' ||
               unit == u'<' || unit == u'>' || unit == u'|';
    });
}

std::u16string expand_placeholders(const std::u16string& text) {
    if (text.find(u'%') == std::u16string::npos) return text;
    std::u16string buffer(text.size() + 1, u'\0');
    for (;;) {
        const auto needed = os::expand_environment_strings(text, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
        if (needed == 0) return text;
        if (needed <= buffer.size()) {
            buffer.resize(needed - 1);
            return buffer;
        }
        buffer.assign(needed, u'\0');
    }
}

bool is_final_path(const std::u16string& path) {
    if (!is_local_drive_path(path)) return false;
    const auto literal = without_trailing_backslashes(path);
    if (has_name_windows_rewrites(literal)) return false;
    // A missing folder has no final path: its deepest existing folder must have one.
    for (auto existing = literal;;) {
        const auto final_path = final_path_of(existing);
        if (!final_path.empty())
            return Str_UpperFull(without_trailing_backslashes(final_path) + literal.substr(existing.size())) ==
                   Str_UpperFull(literal);
        if (existing.size() <= 3) return false;
        const auto slash = existing.rfind(u'\\');
        existing.resize(slash == 2 ? 3 : slash);
    }
}

StringList other_program_locations(const ZRB_InstalledSoftwareList& list, const ZRB_InstalledSoftware* record) {
    StringList locations;
    const auto add = [&locations](const std::u16string& location) {
        if (!Str_Trim(location).empty()) locations.push_back(location);
    };
    const auto own = record ? Str_UpperAscii(Str_EnsureTrailingBackslash(Str_Trim(record->mpu_str_InstallLocation)))
                            : std::u16string();
    // A program registered without a location still lives where its
    // uninstaller and its icon are: below the program's folder, that folder is
    // its own. In a folder known only from the program's uninstall command, it
    // makes the whole folder shared. Elsewhere the files themselves are kept
    // by the deletion, and a program that borrows the icon of the one that
    // goes does not make its folder another's.
    const bool inferred = record && record->location_from_command;
    const auto lives_in_own = [&own, inferred](const std::u16string& folder) {
        if (folder.empty() || own.size() <= 3) return false;
        const auto upper = Str_UpperAscii(Str_EnsureTrailingBackslash(folder));
        return upper.starts_with(own) && (inferred || upper.size() > own.size());
    };
    for (const auto& other : list.mpu_SDLarry_InstalledSoftware) {
        if (!other) continue;
        if (other.get() != record) {
            add(other->mpu_str_InstallLocation);
            for (const auto& folder : {folder_of_file(PlanUninstallCommand(other->mpu_str_UninstallString).file),
                                       folder_of_file(other->mpu_str_DisplayIcon)})
                if (lives_in_own(folder)) add(folder);
        }
        // Entries merged under one name may be different programs: each keeps its own folder.
        for (const auto& source : other->sources)
            if (other.get() != record || !at_own_location(*record, source)) add(source.install_location);
    }
    return locations;
}

bool at_own_location(const ZRB_InstalledSoftware& record, const EntrySource& source) {
    const auto folder = [](const std::u16string& location) {
        return Str_UpperAscii(Str_EnsureTrailingBackslash(Str_Trim(location)));
    };
    return folder(source.install_location) == folder(record.mpu_str_InstallLocation);
}

LocationGuard::LocationGuard(const StringList& other_locations)
    : known(KnownFolders::capture()),
      other_upper(other_forms(other_locations)),
      others(other_upper),
      common_files(common_files_forms()) {}

bool LocationGuard::is_shared_by_commands(const std::u16string& folder) const {
    if (holds_others(folder) || refers_to_others(folder)) return true;
    const auto forms = KnownFolders::comparable_forms(Str_Trim(folder));
    return std::any_of(forms.begin(), forms.end(), [this](const std::u16string& form) {
        return std::any_of(common_files.begin(), common_files.end(),
                           [&form](const std::u16string& common) { return form.starts_with(common); });
    });
}

bool LocationGuard::is_shared_or_above(const std::u16string& folder) const {
    // The comparable forms are upper-cased and end with a backslash already.
    return known.is_shared_or_above(Str_Trim(folder));
}

bool LocationGuard::is_guarded(const std::u16string& path) const {
    if (known.is_shared_or_above(path) || refers_to_others(path)) return true;
    const auto windows = Str_UpperAscii(known.windows_dir);
    return !windows.empty() && Str_UpperAscii(Str_EnsureTrailingBackslash(path)).starts_with(windows);
}

std::u16string LocationGuard::claimable(const std::u16string& location) const {
    const auto expanded = Str_Trim(expand_placeholders(Str_Trim(location)));
    return is_final_path(expanded) && !is_guarded(expanded) ? expanded : std::u16string();
}

std::u16string LocationGuard::claimable_link(const std::u16string& location) const {
    const auto expanded = Str_Trim(expand_placeholders(Str_Trim(location)));
    const auto attributes = os::get_file_attributes(expanded);
    const bool link = attributes != os::invalid_file_attributes && (attributes & os::file_attribute_reparse_point) != 0;
    return link && deletable(expanded) && !is_guarded(expanded) ? expanded : std::u16string();
}

bool LocationGuard::refers_to_others(const std::u16string& text) const { return others.claims(Str_UpperAscii(text)); }

bool LocationGuard::holds_others(const std::u16string& folder) const {
    const auto below = Str_UpperAscii(Str_EnsureTrailingBackslash(Str_Trim(folder)));
    return std::any_of(other_upper.begin(), other_upper.end(),
                       [&below](const std::u16string& other) { return other.starts_with(below); });
}

bool LocationGuard::deletable(const std::u16string& path) const {
    const auto literal = without_trailing_backslashes(Str_Trim(path));
    const auto slash = literal.rfind(u'\\');
    if (!is_local_drive_path(literal) || slash == std::u16string::npos || slash < 2) return false;
    // The entry itself may be a link, removed as a link; its folder must be where it was.
    return is_final_path(literal.substr(0, slash == 2 ? 3 : slash)) && !refers_to_others(literal);
}

}  // namespace vorlix
