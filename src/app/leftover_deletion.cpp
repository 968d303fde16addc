// The deletion of the ticked leftovers, the registry backup before it and the
// check of every entry after it.
#include <algorithm>
#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Process.h"
#include "access/Unit_ZRB_func_Str.h"
#include "app/decimal_text.h"
#include "app/deletion_rows.h"
#include "app/fs_redirection.h"
#include "app/leftover_session.h"
#include "app/registry_backup.h"
#include "app/registry_entry.h"
#include "app/result_files.h"
#include "app/stay_index.h"
#include "leftovers/location_guard.h"
#include "platform/os.h"

namespace vorlix {

namespace {

constexpr std::uint32_t after_termination_ms = 500;
constexpr const char16_t* holds_others_reason = u"holds what is not the program's";

enum class FileAction {
    keep,    // unticked
    remove,  // a file, or a folder with everything in it
    empty,   // a ticked folder that holds an unticked entry: only its ticked entries go
    prune    // a ticked folder that holds what stays: everything else in it goes
};

bool contains_microsoft(const std::u16string& publisher) {
    return Str_UpperAscii(publisher).find(u"MICROSOFT") != std::u16string::npos;
}

// Upper-cased, without trailing backslashes: the install location is stored
// with one, the folders below it without.
std::u16string folder_key(const std::u16string& path) {
    auto key = Str_UpperFull(Str_Trim(path));
    while (!key.empty() && key.back() == u'\\') key.pop_back();
    return key;
}

std::vector<FileAction> plan_file_actions(const StringList& entries, std::size_t folder_count,
                                          const std::vector<bool>& rows) {
    std::vector<FileAction> actions(entries.size(), FileAction::keep);
    std::unordered_map<std::u16string, std::vector<std::size_t>> ticked_folders;
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (!is_ticked(rows, index)) continue;
        actions[index] = FileAction::remove;
        if (index < folder_count) ticked_folders[folder_key(entries[index])].push_back(index);
    }
    // Every ticked folder above an unticked entry may only be emptied.
    for (std::size_t index = 0; index < entries.size(); ++index) {
        if (actions[index] != FileAction::keep) continue;
        auto key = folder_key(entries[index]);
        for (auto slash = key.rfind(u'\\'); slash != std::u16string::npos; slash = key.rfind(u'\\')) {
            key.resize(slash);
            const auto found = ticked_folders.find(key);
            if (found == ticked_folders.end()) continue;
            for (const auto folder : found->second) actions[folder] = FileAction::empty;
        }
    }
    return actions;
}

bool lists_a_shared_folder(const StringList& folders, const LocationGuard& guard) {
    return std::any_of(folders.begin(), folders.end(),
                       [&guard](const std::u16string& folder) { return guard.is_shared_or_above(folder); });
}

bool names_an_executable(const std::u16string& path) {
    const auto name_start = path.find_last_of(u"\\:");
    const auto name = name_start == std::u16string::npos ? path : path.substr(name_start + 1);
    return Str_UpperAscii(name).find(u".EXE") != std::u16string::npos;
}

// Through the \\?\ form: a name ending in a dot or a blank would otherwise read as gone.
bool path_exists(const std::u16string& path) {
    return os::get_file_attributes(ExtendedLengthPath(path)) != os::invalid_file_attributes;
}

// Every entry still inside the folders that stay, by name, after the listed
// ones: otherwise a name the deletion could not reach hides behind its folder.
void report_folder_contents(StringList& remaining) {
    std::unordered_set<std::u16string> listed;
    for (const auto& path : remaining) listed.insert(Str_UpperFull(path));
    const auto count = remaining.size();
    for (std::size_t index = 0; index < count; ++index) {
        if (!IsDirectory(ExtendedLengthPath(remaining[index]))) continue;
        for (const auto& inner : ListFolderTree(remaining[index]))
            if (listed.insert(Str_UpperFull(inner)).second) remaining.push_back(inner);
    }
}

bool lies_below(const std::u16string& path, const std::u16string& folder) {
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == u'\\';
}

// Empties the folder of everything the index lets go. A kept folder is not
// entered; a folder above something kept stays and is emptied in turn.
void prune_folder(const std::u16string& folder, StayIndex& index, DeletionReport& report) {
    std::u16string done;  // the last entry kept or deleted: what lies below it is settled
    for (const auto& entry : ListFolderTree(folder)) {
        if (!done.empty() && lies_below(entry, done)) continue;
        if (const auto reason = index.kept_reason(entry)) {
            report.kept.push_back({entry, *reason});
            done = entry;
        } else if (!index.holds(entry)) {
            DeleteFileOrFolder(entry);
            if (path_exists(entry)) report.remaining_files_folders.push_back(entry);
            done = entry;
        }
    }
}

struct RegistryRow {
    const std::u16string* text = nullptr;
    std::optional<RegistryEntry> entry;
    // A vendor's key: it goes only when what went before has emptied it.
    bool only_when_empty = false;
};

// Entries that something staying uses are kept; a folder holding one is only emptied.
// A file row may be a folder by now (it was missing when the analysis met it).
void keep_what_stays(const StringList& entries, StayIndex& index, std::vector<FileAction>& actions,
                     DeletionReport& report) {
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (actions[at] != FileAction::remove) continue;
        if (const auto reason = index.kept_reason(entries[at])) {
            actions[at] = FileAction::keep;
            report.kept.push_back({entries[at], *reason});
        } else if (index.holds(entries[at])) {
            actions[at] = FileAction::prune;
        }
    }
}

void delete_files(const StringList& entries, const std::vector<FileAction>& actions, StayIndex& stay,
                  DeletionReport& report) {
    // A running program of the package holds its files: end it first.
    for (std::size_t index = 0; index < entries.size(); ++index)
        if (actions[index] == FileAction::remove && names_an_executable(entries[index]) &&
            TerminateProcessByPath(entries[index])) {
            os::sleep_ms(after_termination_ms);
            DeleteFileOrFolder(entries[index]);
        }
    // Folders come first: a folder taken whole leaves nothing for the entries below it.
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (actions[at] == FileAction::remove) DeleteFileOrFolder(entries[at]);
        if (actions[at] == FileAction::prune) prune_folder(entries[at], stay, report);
    }
}

// A vendor's folder goes only when the deletion has emptied it.
void remove_emptied_folders(const StringList& folders, const LocationGuard& guard, StayIndex& index,
                            DeletionReport& report) {
    for (const auto& folder : folders) {
        if (const auto reason = index.kept_reason(folder)) {
            report.kept.push_back({folder, *reason});
            continue;
        }
        if (guard.deletable(folder)) os::remove_directory(ExtendedLengthPath(folder));
        if (path_exists(folder)) report.kept.push_back({folder, holds_others_reason});
    }
}

// An entry both listed and met while its folder was emptied is reported once.
void drop_repeated(std::vector<KeptItem>& kept) {
    std::unordered_set<std::u16string> seen;
    std::erase_if(kept, [&seen](const KeptItem& item) { return !seen.insert(item.path).second; });
}

// Backs every entry up that is there, then deletes those that are in the
// backup; nothing is deleted when the backup cannot be written.
void delete_registry_rows(const std::vector<RegistryRow>& rows, const LeftoverSession& session, bool view64,
                          DeletionReport& report) {
    regfile::Document backup;
    std::vector<const RegistryRow*> backed_up;
    for (const auto& row : rows)
        if (row.entry && registry_entry_exists(*row.entry, view64) && export_registry_entry(*row.entry, view64, backup))
            backed_up.push_back(&row);
    if (backed_up.empty()) return;
    report.backup_path = write_registry_backup(session.mpr_str_CurrentAppPath, session.mpr_str_SelUnstallSoftware,
                                               backup);
    if (report.backup_path.empty()) {
        report.backup_failed = true;
        return;
    }
    // Vendors' keys come last, after what lay in them.
    for (const auto* row : backed_up)
        if (!row->only_when_empty || registry_key_is_empty(*row->entry, view64))
            delete_registry_entry(*row->entry, view64);
}

StayIndex stay_index(const StringList& own_entries, const LocationGuard& guard, const std::vector<RegistryRow>& rows) {
    const auto image = os::get_module_file_name();
    StayInputs inputs{own_entries, {}, &guard.known_folders(), image.substr(0, image.rfind(u'\\') + 1)};
    // Read as this deletion leaves the machine: the rows about to go name nothing that has to stay.
    // A vendor's key may stay, and with it what lies in it.
    for (const auto& row : rows)
        if (!row.only_when_empty) inputs.going.add(*row.text);
    return build_stay_index(inputs);
}

}  // namespace

std::u16string deletion_message(const DeletionReport& report) {
    const auto count = report.remaining_count();
    const auto kept = report.kept.size();
    if (count == 0 && kept == 0) return u"All leftovers have been completely removed.";
    std::u16string message;
    if (count > 0)
        message = decimal_text(count) +
                  (count == 1 ? u" leftover could not be removed." : u" leftovers could not be removed.");
    if (report.protected_publisher)
        message += u" Nothing of a program published by Microsoft is deleted.";
    else if (report.shared_folder)
        message += u" The leftovers lie in a folder that other programs share, so nothing was deleted.";
    else if (report.backup_failed)
        message += u" The registry backup could not be written, so no registry entry was deleted.";
    if (kept > 0)
        message += std::u16string(message.empty() ? u"" : u" ") + decimal_text(kept) +
                   (kept == 1 ? u" entry was kept" : u" entries were kept") +
                   u" because other programs, a user profile, Windows or Vorlix still use them.";
    return message;
}

bool LeftoverSession::publisher_is_protected() {
    // The publisher known since the analysis counts as well as the one in the
    // file, so that a missing or damaged file cannot lift the protection.
    bool is_protected = contains_microsoft(mpr_str_SelUnstallSoftware_PU);
    const auto config = mpr_str_CurrentAppPath + result_file_config;
    StringList lines;
    if (load_result_file(config, lines)) {
        mpr_strlist_SIConfigItem = lines;
        if (lines.size() == 2) {
            mpr_str_SelUnstallSoftware_PU = lines[1];
            is_protected = is_protected || contains_microsoft(lines[1]);
        }
    }
    return is_protected;
}

DeletionReport LeftoverSession::delete_leftovers(const LeftoverSelection& selection) {
    DeletionReport report;
    report.protected_publisher = publisher_is_protected();
    // One capture of the known folders serves both checks.
    const LocationGuard guard(other_locations);
    report.shared_folder =
        lists_a_shared_folder(mpr_strlist_LF_Folders, guard) || lists_a_shared_folder(settings.folders, guard);
    const bool allowed = !report.protected_publisher && !report.shared_folder;

    // Checked again before anything goes: what now lies behind a link, or belongs
    // to another program, stays (and so does every folder above it).
    auto [entries, folder_count, file_rows, vendor_folders] = file_entries(*this, selection.file_rows);
    const auto& vendor_keys = settings.only_when_empty;
    std::vector<RegistryRow> registry_rows;
    const auto registry = LeftoverSession::registry_rows();
    for (std::size_t index = 0; index < registry.size(); ++index)
        if (is_ticked(selection.registry_rows, index))
            registry_rows.push_back({&registry[index], parse_registry_entry(registry[index]),
                                     index >= mpr_dic_LF_Registry.size() &&
                                         std::find(vendor_keys.begin(), vendor_keys.end(), registry[index]) !=
                                             vendor_keys.end()});
    {
        const FsRedirectionOff redirection(view64());
        std::vector<bool> refused(entries.size(), false);
        for (std::size_t index = 0; index < entries.size(); ++index) {
            refused[index] = file_rows[index] && !guard.deletable(entries[index]);
            if (refused[index]) file_rows[index] = false;
        }
        auto actions = plan_file_actions(entries, folder_count, file_rows);
        // A folder that holds another program's folder loses only what was listed in it.
        for (std::size_t index = 0; index < folder_count; ++index)
            if (actions[index] == FileAction::remove && guard.holds_others(entries[index]))
                actions[index] = FileAction::empty;
        if (allowed) {
            auto index = stay_index(own_entries, guard, registry_rows);
            keep_what_stays(entries, index, actions, report);
            delete_files(entries, actions, index, report);
            remove_emptied_folders(vendor_folders, guard, index, report);
            drop_repeated(report.kept);
            delete_registry_rows(registry_rows, *this, view64(), report);
        }
        // Checked again one by one: only what is really gone counts as removed.
        for (std::size_t index = 0; index < entries.size(); ++index)
            if ((actions[index] == FileAction::remove || refused[index]) && path_exists(entries[index]))
                report.remaining_files_folders.push_back(entries[index]);
        if (!allowed)
            for (const auto& folder : vendor_folders)
                if (path_exists(folder)) report.remaining_files_folders.push_back(folder);
        if (allowed) report_folder_contents(report.remaining_files_folders);
        for (const auto& row : registry_rows) {
            if (row.entry && !registry_entry_exists(*row.entry, view64())) continue;
            // A vendor's key that still holds something stays by design, once its backup was possible.
            if (row.only_when_empty && allowed && !report.backup_failed)
                report.kept.push_back({*row.text, holds_others_reason});
            else
                report.remaining_registry.push_back(*row.text);
        }
    }
    delete_result_files(mpr_str_CurrentAppPath);
    return report;
}

}  // namespace vorlix
