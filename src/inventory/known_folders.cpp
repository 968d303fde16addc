#include "inventory/known_folders.h"

#include <algorithm>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "platform/os.h"

namespace vorlix {

namespace {

std::u16string special_folder(int csidl) {
    std::u16string path;
    return os::get_special_folder_path(csidl, path) ? path : std::u16string();
}

std::u16string parent_folder(const std::u16string& folder) {
    const auto trimmed = Str_Trim(folder);
    const auto without_slash = !trimmed.empty() && trimmed.back() == u'\\' ? trimmed.substr(0, trimmed.size() - 1)
                                                                             : trimmed;
    const auto slash = without_slash.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : without_slash.substr(0, slash + 1);
}

// The folder as Windows resolves its spelling: backslashes only, no \\?\ or
// \\.\ prefix (\\?\UNC\ becomes \\), no empty or "." components, trailing
// dots and blanks of a component dropped, ".." taken back (never above the
// drive, nor above the share of a network path), a trailing backslash.
std::u16string lexical_folder(const std::u16string& folder) {
    auto text = Str_Trim(folder);
    std::replace(text.begin(), text.end(), u'/', u'\\');
    if (text.starts_with(u"\\\\?\\UNC\\"))
        text.erase(2, 6);
    else if (text.starts_with(u"\\\\?\\") || text.starts_with(u"\\\\.\\"))
        text.erase(0, 4);
    const bool network = text.starts_with(u"\\\\");
    if (!network && (text.size() < 2 || text[1] != u':')) return Str_EnsureTrailingBackslash(text);
    // The server and the share stay whatever follows them.
    const std::size_t fixed = network ? 2 : 0;
    StringList parts;
    for (std::size_t start = 2; start <= text.size();) {
        auto end = text.find(u'\\', start);
        if (end == std::u16string::npos) end = text.size();
        auto part = text.substr(start, end - start);
        if (part == u"..") {
            if (parts.size() > fixed) parts.pop_back();
        } else if (part != u".") {
            part.erase(part.find_last_not_of(u". ") + 1);
            if (!part.empty()) parts.push_back(std::move(part));
        }
        start = end + 1;
    }
    auto result = network ? std::u16string(u"\\\\") : text.substr(0, 2) + u"\\";
    for (const auto& part : parts) result += part + u"\\";
    return result;
}

// A drive root, or the root of a network share (nothing below server and share).
bool is_root(const std::u16string& form) {
    if (form.size() <= 3) return true;
    return form.starts_with(u"\\\\") && std::count(form.begin() + 2, form.end(), u'\\') <= 2;
}

// Every spelling of a shared folder that the system reports counts.
void add_shared(StringList& list, const std::u16string& folder) {
    if (Str_Trim(folder).empty()) return;
    for (auto& form : KnownFolders::comparable_forms(folder))
        if (std::find(list.begin(), list.end(), form) == list.end()) list.push_back(std::move(form));
}

// Whether asking for the long form can tell anything the spelling does not:
// only a name that could be an 8.3 short name (at most eight characters, a dot
// and three more), a wildcard, or a name beyond ASCII (case is then the file
// system's to decide) can come back other than in another ASCII case. Each
// asked-for name costs the file system a folder lookup.
bool long_form_may_differ(const std::u16string& path) {
    std::size_t start = 0;
    if (path.size() >= 2 && path[1] == u':') start = 2;
    while (start <= path.size()) {
        auto end = path.find_first_of(u"\\/", start);
        if (end == std::u16string::npos) end = path.size();
        auto name = path.substr(start, end - start);
        name.erase(name.find_last_not_of(u". ") + 1);
        if (!name.empty()) {
            const auto dot = name.rfind(u'.');
            const auto base = dot == std::u16string::npos ? name.size() : dot;
            const auto extension = dot == std::u16string::npos ? 0 : name.size() - dot - 1;
            if (base <= 8 && extension <= 3) return true;
            if (std::any_of(name.begin(), name.end(), [](char16_t unit) { return unit >= 0x80 || unit == u'*' || unit == u'?'; }))
                return true;
        }
        start = end + 1;
    }
    return false;
}

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

template <std::size_t count>
void add_kept_below(StringList& list, const StringList& roots, const char16_t* const (&names)[count]) {
    for (const auto& root : roots)
        if (!Str_Trim(root).empty())
            for (const auto* name : names) add_shared(list, Str_EnsureTrailingBackslash(Str_Trim(root)) + name);
}

void add_windows_kept(StringList& list) {
    StringList program_files{special_folder(os::csidl_program_files), special_folder(os::csidl_program_filesx86)};
    for (const auto* name : {u"ProgramFiles", u"ProgramFiles(x86)", u"ProgramW6432"})
        program_files.push_back(Sys_GetEnvironmentVariable(name));
    StringList common_files{special_folder(os::csidl_program_files_common),
                            special_folder(os::csidl_program_files_commonx86)};
    for (const auto* name : {u"CommonProgramFiles", u"CommonProgramFiles(x86)", u"CommonProgramW6432"})
        common_files.push_back(Sys_GetEnvironmentVariable(name));
    for (const auto& folder : program_files)
        if (!Str_Trim(folder).empty()) common_files.push_back(Str_EnsureTrailingBackslash(Str_Trim(folder)) + u"Common Files");
    const auto local = special_folder(os::csidl_local_appdata);
    const StringList app_data{special_folder(os::csidl_appdata), local,
                              local.empty() ? std::u16string() : parent_folder(local) + u"LocalLow"};
    add_kept_below(list, program_files, kept_below_program_files);
    add_kept_below(list, common_files, kept_below_common_files);
    add_kept_below(list, {special_folder(os::csidl_common_appdata), Sys_GetEnvironmentVariable(u"ProgramData")},
                   kept_below_program_data);
    add_kept_below(list, app_data, kept_below_app_data);
}

}  // namespace

KnownFolders KnownFolders::capture() {
    KnownFolders folders;
    folders.system_dir = Sys_GetSystemDir();
    folders.desktop_dir = Sys_GetDesktopDir();
    folders.windows_dir = Sys_GetWindowsDir();
    folders.app_data_dir = Sys_GetAppDataDir();
    folders.local_app_data_dir = Sys_GetLocalAppDataDir();
    Sys_GetProgramFilesDirs(folders.program_files, folders.program_files64);

    auto& shared = folders.shared_upper;
    for (const auto* folder : {&folders.system_dir, &folders.desktop_dir, &folders.windows_dir, &folders.app_data_dir,
                               &folders.local_app_data_dir, &folders.program_files, &folders.program_files64})
        add_shared(shared, *folder);
    for (const int csidl : {os::csidl_program_files, os::csidl_program_filesx86, os::csidl_program_files_common,
                            os::csidl_program_files_commonx86, os::csidl_common_appdata, os::csidl_profile,
                            os::csidl_appdata, os::csidl_local_appdata, os::csidl_personal,
                            os::csidl_desktopdirectory})
        add_shared(shared, special_folder(csidl));
    // Both bitnesses' Program Files and Common Files, whatever this process is.
    for (const auto* name : {u"ProgramFiles", u"ProgramFiles(x86)", u"ProgramW6432", u"CommonProgramFiles",
                             u"CommonProgramFiles(x86)", u"CommonProgramW6432", u"ProgramData", u"ALLUSERSPROFILE",
                             u"PUBLIC", u"USERPROFILE", u"APPDATA", u"LOCALAPPDATA", u"TEMP", u"TMP"})
        add_shared(shared, Sys_GetEnvironmentVariable(name));
    // Each Program Files folder holds its Common Files.
    for (std::size_t at = 0, count = shared.size(); at < count; ++at)
        if (shared[at].ends_with(u"\\PROGRAM FILES\\") || shared[at].ends_with(u"\\PROGRAM FILES (X86)\\"))
            add_shared(shared, shared[at] + u"COMMON FILES\\");
    std::u16string downloads;
    if (os::get_downloads_folder_path(downloads)) add_shared(shared, downloads);
    std::u16string temp(261, u'\0');
    const auto temp_length = os::get_temp_path(temp.data(), static_cast<std::uint32_t>(temp.size()));
    if (temp_length > 0 && temp_length < temp.size()) add_shared(shared, temp.substr(0, temp_length));
    // The Users folder holds every profile.
    add_shared(shared, parent_folder(special_folder(os::csidl_profile)));
    add_shared(shared, parent_folder(Sys_GetEnvironmentVariable(u"PUBLIC")));
    // Every folder the shell knows, and those Windows keeps below the shared roots.
    for (const auto& known : os::get_known_folder_paths()) add_shared(shared, known);
    add_windows_kept(shared);
    for (const auto& folder : shared)
        for (auto slash = folder.find(u'\\'); slash != std::u16string::npos; slash = folder.find(u'\\', slash + 1))
            folders.shared_or_above_upper.insert(folder.substr(0, slash + 1));
    return folders;
}

StringList KnownFolders::comparable_forms(const std::u16string& folder) {
    StringList forms{Str_UpperAscii(lexical_folder(folder))};
    if (!long_form_may_differ(folder)) return forms;
    const auto long_form = GetLongPath(folder);
    if (!long_form.empty()) forms.push_back(Str_UpperAscii(lexical_folder(long_form)));
    return forms;
}

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
