#include "app/leftover_session.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "app/fs_redirection.h"
#include "app/registry_entry.h"
#include "app/result_files.h"
#include "app/registry_recheck.h"
#include "leftovers/location_guard.h"
#include "platform/os.h"

namespace vorlix {

namespace {

bool path_exists(const std::u16string& path) { return os::get_file_attributes(path) != os::invalid_file_attributes; }

void keep_existing_paths(StringList& paths) {
    std::erase_if(paths, [](const std::u16string& path) { return !path_exists(path); });
}

}  // namespace

LeftoverSession::LeftoverSession(std::u16string str_param_CurrentAppPath)
    : mpr_str_CurrentAppPath(std::move(str_param_CurrentAppPath)) {}

void LeftoverSession::select_program(const ZRB_InstalledSoftware& record) {
    mpr_str_SelUnstallSoftware = record.mpu_str_Name;
    mpr_str_SelUnstallSoftware_PU = record.mpu_str_Publisher;
    mpr_int_UninstallType = record.mpu_int_Is64Bit;
    own_entries.clear();
    own_source.clear();
    if (!record.mpu_str_InstallRegPath.empty()) own_entries.push_back(record.mpu_str_InstallRegPath);
    if (const auto entry = parse_registry_entry(record.mpu_str_InstallRegPath); entry && !entry->is_value)
        Reg_ReadString(entry->root, entry->path, u"InstallSource", true, own_source);
    for (const auto& source : record.sources)
        if (!source.reg_path.empty() && at_own_location(record, source)) own_entries.push_back(source.reg_path);
}

void LeftoverSession::analysis_started() {
    mpr_strlist_SIConfigItem.clear();
    mpr_strlist_LF_Folders.clear();
    mpr_strlist_LF_Files.clear();
    mpr_dic_LF_Registry.clear();
    settings = {};
    files_folders_count = 0;
    registry_count = 0;
    delete_result_files(mpr_str_CurrentAppPath);
}

void LeftoverSession::file_folder_found(const std::u16string& path, std::uint32_t count) {
    // A path that is gone by now counts as a file.
    (IsDirectory(path) ? mpr_strlist_LF_Folders : mpr_strlist_LF_Files).push_back(path);
    files_folders_count = count;
}

void LeftoverSession::registry_found(std::uint32_t count) { registry_count = count; }

bool LeftoverSession::registry_listed(const std::u16string& path) {
    return !path.empty() && mpr_dic_LF_Registry.add(path);
}

bool LeftoverSession::save_results() {
    mpr_strlist_SIConfigItem.push_back(mpr_str_SelUnstallSoftware);
    mpr_strlist_SIConfigItem.push_back(mpr_str_SelUnstallSoftware_PU);
    const auto& folder = mpr_str_CurrentAppPath;
    // Every file is attempted, whatever happened to the one before.
    const bool config = save_result_file(folder + result_file_config, mpr_strlist_SIConfigItem);
    const bool files = save_result_file(folder + result_file_files, mpr_strlist_LF_Files);
    const bool folders = save_result_file(folder + result_file_folders, mpr_strlist_LF_Folders);
    const bool registry = save_result_file(folder + result_file_registry, mpr_dic_LF_Registry.keys());
    return config && files && folders && registry;
}

void LeftoverSession::load_results() {
    // The files may narrow the lists, never widen them: a line the analysis
    // of this cycle did not report (a damaged or edited file) is dropped. For
    // the same reason the registry file is not read back: an empty set means
    // the analysis attributed no registry entry, so the file could only add
    // entries that are not the program's.
    std::unordered_set<std::u16string> reported(mpr_strlist_LF_Files.begin(), mpr_strlist_LF_Files.end());
    reported.insert(mpr_strlist_LF_Folders.begin(), mpr_strlist_LF_Folders.end());
    const auto& folder = mpr_str_CurrentAppPath;
    for (const auto& [file, list] : {std::pair{result_file_files, &mpr_strlist_LF_Files},
                                     std::pair{result_file_folders, &mpr_strlist_LF_Folders}}) {
        StringList lines;
        if (!load_result_file(folder + file, lines)) continue;
        std::erase_if(lines, [&reported](const std::u16string& line) { return reported.count(line) == 0; });
        *list = std::move(lines);
    }

    // What the uninstaller removed is no leftover. An entry in a form that
    // cannot be checked stays, so that it is not silently dropped.
    const FsRedirectionOff redirection(view64());
    keep_existing_paths(mpr_strlist_LF_Files);
    keep_existing_paths(mpr_strlist_LF_Folders);
    TextSet existing;
    for (const auto& text : mpr_dic_LF_Registry.keys()) {
        const auto entry = parse_registry_entry(text);
        if (!entry || registry_entry_exists(*entry, view64())) existing.add(text);
    }
    recheck_registry_findings(existing, view64());
    mpr_dic_LF_Registry = std::move(existing);

    keep_existing_paths(settings.folders);
    keep_existing_paths(settings.files);
    const auto gone = [this](const std::u16string& text) {
        const auto entry = parse_registry_entry(text);
        return !entry || !registry_entry_exists(*entry, view64());
    };
    std::erase_if(settings.registry, gone);
    std::erase_if(settings.only_when_empty,
                  [&gone](const std::u16string& text) { return !path_exists(text) && gone(text); });
}

StringList LeftoverSession::file_rows() const {
    StringList rows;
    for (const auto* list : {&mpr_strlist_LF_Folders, &mpr_strlist_LF_Files, &settings.folders, &settings.files})
        for (const auto& path : *list) {
            if (rows.size() == leftover_row_limit) return rows;
            rows.push_back(path);
        }
    return rows;
}

StringList LeftoverSession::registry_rows() const {
    auto rows = mpr_dic_LF_Registry.keys();
    rows.insert(rows.end(), settings.registry.begin(), settings.registry.end());
    return rows;
}

}  // namespace vorlix
