#include "inventory/known_folders.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "inventory/folder_forms.h"
#include "platform/os.h"

namespace vorlix {

namespace {

std::u16string parent_folder(const std::u16string& folder) {
    const auto trimmed = Str_Trim(folder);
    const auto without_slash = !trimmed.empty() && trimmed.back() == u'\\' ? trimmed.substr(0, trimmed.size() - 1)
                                                                             : trimmed;
    const auto slash = without_slash.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : without_slash.substr(0, slash + 1);
}

// A drive root, or the root of a network share (nothing below server and share).
bool is_root(const std::u16string& form) {
    if (form.size() <= 3) return true;
    return form.starts_with(u"\\\\") && std::count(form.begin() + 2, form.end(), u'\\') <= 2;
}

// The shared folders being gathered, with what the gathering has already
// asked: many sources name the same folders, and nearly all of them lie
// below a few others, whose long names are looked up once.
class SharedList {
public:
    explicit SharedList(StringList& list) : list_(list), seen_(list.begin(), list.end()) {}

    // Every spelling of a shared folder that the system reports counts.
    void add(const std::u16string& folder) {
        if (is_blank(folder)) return;
        for (const auto& form : forms(folder)) add_form(form);
    }
    // A form as comparable_forms gives it (upper case, trailing backslash).
    void add_form(std::u16string form) {
        if (seen_.insert(form).second) list_.push_back(std::move(form));
    }
    // The shell gives its folders with a trailing backslash, the environment
    // without: both spellings share one entry.
    const StringList& forms(const std::u16string& folder) {
        auto key = Str_EnsureTrailingBackslash(Str_Trim(folder));
        auto found = forms_.find(key);
        if (found == forms_.end()) {
            auto forms = folder_forms_.of(key);
            found = forms_.emplace(std::move(key), std::move(forms)).first;
        }
        return found->second;
    }
    const std::u16string& special(int csidl) {
        auto found = specials_.find(csidl);
        if (found == specials_.end()) found = specials_.emplace(csidl, special_folder_path(csidl)).first;
        return found->second;
    }
    const StringList& list() const { return list_; }

private:
    StringList& list_;
    std::unordered_set<std::u16string> seen_;
    std::unordered_map<std::u16string, StringList> forms_;
    FolderForms folder_forms_;
    std::unordered_map<int, std::u16string> specials_;
};

// Folders Windows keeps for itself below the shared roots. The shell does not
// know them, yet none is ever a program's own.
constexpr const char16_t* kept_below_program_files[] = {
    u"Internet Explorer", u"Windows NT", u"Windows Defender", u"Windows Defender Advanced Threat Protection",
    u"Windows Mail", u"Windows Media Player", u"Windows Photo Viewer", u"Windows Portable Devices",
    u"Windows Security", u"Windows Sidebar", u"Windows Journal", u"WindowsApps", u"ModifiableWindowsApps",
    u"WindowsPowerShell", u"Reference Assemblies", u"MSBuild", u"Uninstall Information", u"Common Files"};
constexpr const char16_t* kept_below_common_files[] = {u"System", u"Microsoft Shared", u"Services",
                                                       u"SpeechEngines", u"Designer"};
constexpr const char16_t* kept_below_program_data[] = {
    u"Microsoft", u"Microsoft\\Windows", u"Microsoft\\Crypto", u"Package Cache", u"Packages",
    u"regid.1991-06.com.microsoft", u"USOPrivate", u"USOShared", u"SoftwareDistribution"};
constexpr const char16_t* kept_below_app_data[] = {
    u"Microsoft", u"Microsoft\\Windows", u"Microsoft\\Credentials", u"Microsoft\\Crypto", u"Microsoft\\Protect",
    u"Microsoft\\SystemCertificates", u"Microsoft\\Vault", u"Microsoft\\Internet Explorer", u"Packages",
    u"Programs", u"Temp", u"VirtualStore", u"ConnectedDevicesPlatform", u"CrashDumps"};

// The root's forms are worked out once; a kept name is only ever compared
// below them (whatever short name the folder may also answer to is not the
// kept folder's own), so it is never looked up on disk.
template <std::size_t count>
void add_kept_below(SharedList& list, const StringList& roots, const char16_t* const (&names)[count]) {
    for (const auto& root : roots) {
        if (is_blank(root)) continue;
        for (const auto& form : list.forms(root))
            for (const auto* name : names) list.add_form(form + Str_UpperAscii(name) + u"\\");
    }
}

void add_windows_kept(SharedList& list, const KnownFolders& folders) {
    StringList program_files{list.special(os::csidl_program_files), list.special(os::csidl_program_filesx86)};
    for (const auto* name : {u"ProgramFiles", u"ProgramFiles(x86)", u"ProgramW6432"})
        program_files.push_back(Sys_GetEnvironmentVariable(name));
    StringList common_files{list.special(os::csidl_program_files_common),
                            list.special(os::csidl_program_files_commonx86)};
    for (const auto* name : {u"CommonProgramFiles", u"CommonProgramFiles(x86)", u"CommonProgramW6432"})
        common_files.push_back(Sys_GetEnvironmentVariable(name));
    for (const auto& folder : program_files)
        if (!Str_Trim(folder).empty()) common_files.push_back(Str_EnsureTrailingBackslash(Str_Trim(folder)) + u"Common Files");
    const StringList app_data{folders.app_data_dir, folders.local_app_data_dir, folders.local_low_dir};
    add_kept_below(list, program_files, kept_below_program_files);
    add_kept_below(list, common_files, kept_below_common_files);
    add_kept_below(list, {folders.program_data_dir, Sys_GetEnvironmentVariable(u"ProgramData")},
                   kept_below_program_data);
    add_kept_below(list, app_data, kept_below_app_data);
}

}  // namespace

KnownFolders KnownFolders::capture() {
    KnownFolders folders;
    // The shell is asked once per folder, here and for the shared list below.
    SharedList shared(folders.shared_upper);
    folders.system_dir = Sys_GetSystemDir();
    folders.desktop_dir = shared.special(os::csidl_desktopdirectory);
    folders.windows_dir = shared.special(os::csidl_windows);
    folders.app_data_dir = shared.special(os::csidl_appdata);
    folders.local_app_data_dir = shared.special(os::csidl_local_appdata);
    if (!folders.local_app_data_dir.empty()) folders.local_low_dir = parent_folder(folders.local_app_data_dir) + u"LocalLow\\";
    folders.program_data_dir = shared.special(os::csidl_common_appdata);
    folders.program_files = shared.special(os::csidl_program_files);
    folders.program_files64 = native_program_files(folders.program_files);

    for (const auto* folder : {&folders.system_dir, &folders.desktop_dir, &folders.windows_dir, &folders.app_data_dir,
                               &folders.local_app_data_dir, &folders.program_files, &folders.program_files64})
        shared.add(*folder);
    for (const int csidl : {os::csidl_program_files, os::csidl_program_filesx86, os::csidl_program_files_common,
                            os::csidl_program_files_commonx86, os::csidl_common_appdata, os::csidl_profile,
                            os::csidl_appdata, os::csidl_local_appdata, os::csidl_personal,
                            os::csidl_desktopdirectory})
        shared.add(shared.special(csidl));
    // Both bitnesses' Program Files and Common Files, whatever this process is.
    for (const auto* name : {u"ProgramFiles", u"ProgramFiles(x86)", u"ProgramW6432", u"CommonProgramFiles",
                             u"CommonProgramFiles(x86)", u"CommonProgramW6432", u"ProgramData", u"ALLUSERSPROFILE",
                             u"PUBLIC", u"USERPROFILE", u"APPDATA", u"LOCALAPPDATA", u"TEMP", u"TMP"})
        shared.add(Sys_GetEnvironmentVariable(name));
    // Each Program Files folder holds its Common Files.
    for (std::size_t at = 0, count = shared.list().size(); at < count; ++at) {
        const auto& form = shared.list()[at];
        if (form.ends_with(u"\\PROGRAM FILES\\") || form.ends_with(u"\\PROGRAM FILES (X86)\\"))
            shared.add(form + u"COMMON FILES\\");
    }
    std::u16string downloads;
    if (os::get_downloads_folder_path(downloads)) shared.add(downloads);
    shared.add(temp_folder_path());
    // The Users folder holds every profile.
    shared.add(parent_folder(shared.special(os::csidl_profile)));
    shared.add(parent_folder(Sys_GetEnvironmentVariable(u"PUBLIC")));
    // Every folder the shell knows, and those Windows keeps below the shared roots.
    for (const auto& known : os::get_known_folder_paths()) shared.add(known);
    add_windows_kept(shared, folders);
    for (const auto& folder : folders.shared_upper)
        for (auto slash = folder.find(u'\\'); slash != std::u16string::npos; slash = folder.find(u'\\', slash + 1))
            folders.shared_or_above_upper.insert(folder.substr(0, slash + 1));
    return folders;
}

StringList KnownFolders::comparable_forms(const std::u16string& folder) { return FolderForms::single(folder); }

bool KnownFolders::is_shared_or_above(const std::u16string& folder) const {
    return is_any_shared_or_above(comparable_forms(folder));
}

bool KnownFolders::is_any_shared_or_above(const StringList& forms) const {
    // A form ends with a backslash, so a shared folder starting with it lies
    // below it or is it: the form is one of the set's folders.
    return std::any_of(forms.begin(), forms.end(),
                       [this](const std::u16string& form) { return is_root(form) || shared_or_above_upper.contains(form); });
}

}  // namespace vorlix
