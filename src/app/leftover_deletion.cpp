// The deletion of the ticked leftovers, the registry backup before it and the
// check of every entry after it.
#include <algorithm>
#include <optional>
#include <span>
#include <utility>
#include <unordered_map>
#include <unordered_set>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Process.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
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
#include "platform/portable/utf.h"

namespace vorlix {

namespace {

constexpr std::uint32_t after_termination_ms = 500;
constexpr const char16_t* holds_others_reason = u"holds what is not the program's";

enum class FileAction {
    keep,    // unticked
    remove,  // a file, or a folder with everything in it
    empty,   // a ticked folder that holds an unticked entry: only its ticked entries go
    prune    // a ticked folder: everything in it that may go goes, and the folder with it when nothing stays
};

bool contains_microsoft(const std::u16string& publisher) {
    return Str_UpperAscii(publisher).find(u"MICROSOFT") != std::u16string::npos;
}

// Upper-cased, without trailing backslashes: the install location is stored
// with one, the folders below it without.
std::u16string folder_key(const std::u16string& path) {
    return Str_ExcludeTrailingBackslashes(Str_UpperFull(Str_Trim(path)));
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

// A folder itself, not a link to one: only such a folder is entered.
bool is_real_folder(const std::u16string& path) {
    const auto attributes = os::get_file_attributes(ExtendedLengthPath(path));
    return attributes != os::invalid_file_attributes && (attributes & os::file_attribute_directory) != 0 &&
           (attributes & os::file_attribute_reparse_point) == 0;
}

// A file named after a program without a place lies where that program
// lives: its folder stays whole.
void hold_folders_of_named_files(const StringList& entries, StayIndex& index) {
    for (const auto& entry : entries)
        if (const auto keep = index.kept(entry);
            keep && keep->source == StayIndex::Source::named && !IsDirectory(ExtendedLengthPath(entry)))
            index.hold(entry.substr(0, entry.rfind(u'\\')), keep->reason);
}

// Empties the folder of everything the index lets go, and removes it when
// nothing in it stays. What is kept is not entered; a folder above something
// kept stays and is emptied in turn.
void prune_folder(const std::u16string& folder, StayIndex& index, DeletionReport& report) {
    const auto entries = ListFolderTree(folder);
    hold_folders_of_named_files(entries, index);
    const auto base = folder.find_last_not_of(u'\\') + 1;
    // What stays: each kept entry with what lies below it, every folder above
    // a named path, and every folder above either.
    std::vector<bool> stays(entries.size(), false);
    std::unordered_set<std::u16string> holding;
    std::u16string kept;
    for (std::size_t at = 0; at < entries.size(); ++at) {
        const auto& entry = entries[at];
        if (!kept.empty() && lies_below(entry, kept)) {
            stays[at] = true;
            continue;
        }
        auto reason = index.shared_with(entry);
        if (const auto keep = index.kept(entry)) reason = keep->reason;
        if (!reason && !index.holds(entry)) continue;
        if (reason) {
            report.kept.push_back({entry, *reason});
            kept = entry;
        }
        stays[at] = true;
        for (auto slash = entry.rfind(u'\\'); slash > base; slash = entry.rfind(u'\\', slash - 1))
            if (!holding.insert(entry.substr(0, slash)).second) break;
    }
    std::u16string done;  // the last entry deleted: what lies below it went with it
    StringList remaining;
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (stays[at] || holding.count(entries[at]) || (!done.empty() && lies_below(entries[at], done))) continue;
        DeleteFileOrFolder(entries[at]);
        if (path_exists(entries[at])) remaining.push_back(entries[at]);
        done = entries[at];
    }
    // The folder goes too when nothing in it stays; what it still holds then
    // is reported with it, as for a folder taken whole.
    if (std::find(stays.begin(), stays.end(), true) == stays.end()) {
        DeleteFileOrFolder(folder);
        remaining.clear();
        if (path_exists(folder)) remaining.push_back(folder);
    }
    report.remaining_files_folders.insert(report.remaining_files_folders.end(), remaining.begin(), remaining.end());
}

struct RegistryRow {
    const std::u16string* text = nullptr;
    std::optional<RegistryEntry> entry;
    // A vendor's key: it goes only when what went before has emptied it.
    bool only_when_empty = false;
};

// Entries that something staying uses are kept; a folder another registered
// program shares loses only what was listed in it; any other folder goes
// entry by entry, so that what stays in it, named or named after a program,
// is found.
// A file row may be a folder by now (it was missing when the analysis met it).
void keep_what_stays(const StringList& entries, StayIndex& index, std::vector<FileAction>& actions,
                     DeletionReport& report) {
    hold_folders_of_named_files(entries, index);
    for (std::size_t at = 0; at < entries.size(); ++at) {
        if (actions[at] != FileAction::remove) continue;
        if (const auto keep = index.kept(entries[at])) {
            actions[at] = FileAction::keep;
            report.kept.push_back({entries[at], keep->reason});
        } else if (const auto shared = index.shared_with(entries[at])) {
            actions[at] = FileAction::empty;
            report.kept.push_back({entries[at], *shared});
        } else if (is_real_folder(entries[at])) {
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
        if (const auto keep = index.kept(folder)) {
            report.kept.push_back({folder, keep->reason});
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

// The text pieces of a registry value as stored: one, or a multi-string's several (empty ones left out).
StringList value_texts(const regfile::Value& value) {
    StringList texts;
    if (value.type != os::reg_sz && value.type != os::reg_expand_sz && value.type != os::reg_multi_sz) return texts;
    for_each_piece(from_utf16le_bytes(value.data), u'\0', [&texts](std::u16string_view piece) {
        texts.emplace_back(piece);
        return true;
    });
    return texts;
}

// Why the keys read for one entry must stay: a value, by its name (as
// SharedDLLs names files) or its text, names a file or folder that another
// registered program keeps. (What only a start entry or a class keeps is no
// reason: that entry may be the program's own, left unticked.)
std::optional<std::u16string> names_what_stays(std::span<const regfile::Key> keys, StayIndex& stay) {
    for (const auto& key : keys)
        for (const auto& value : key.values) {
            StringList paths{named_path(value.name)};
            for (const auto& text : value_texts(value)) {
                const auto commands = command_paths(text);
                paths.insert(paths.end(), commands.begin(), commands.end());
                paths.push_back(icon_path(text));
            }
            for (const auto& path : paths)
                if (const auto keep = path.empty() ? std::nullopt : stay.kept(path);
                    keep && keep->source != StayIndex::Source::other)
                    return keep->reason;
        }
    return std::nullopt;
}

// What a kept row is known by to the rows that refer to it: a class or COM
// class by its key's name, a Run value by its name.
std::u16string handle_of(const RegistryEntry& entry) {
    return Str_UpperAscii(entry.is_value ? entry.value_name : entry.path.substr(entry.path.rfind(u'\\') + 1));
}

using Handles = std::unordered_map<std::u16string, std::u16string>;  // handle -> why its row stays

// The reason of the first handle a value names, by its name (an approval, an
// OpenWithProgids entry) or its text (an extension's class, a class's CLSID).
std::optional<std::u16string> refers_to(std::span<const regfile::Key> keys, const Handles& handles) {
    const auto find = [&handles](const std::u16string& text) {
        const auto found = handles.find(Str_UpperAscii(Str_Trim(text)));
        return found == handles.end() ? std::nullopt : std::optional(found->second);
    };
    for (const auto& key : keys)
        for (const auto& value : key.values) {
            if (auto reason = find(value.name)) return reason;
            for (const auto& text : value_texts(value))
                if (auto reason = find(text)) return reason;
        }
    return std::nullopt;
}

// Backs every entry up that is there, then deletes those that are in the
// backup; nothing is deleted when the backup cannot be written. An entry that
// names what stays is kept, and so is one that refers to a kept entry (to
// its end: an extension to its class to its COM class); kept ones leave the rows.
void delete_registry_rows(std::vector<RegistryRow>& rows, const LeftoverSession& session, bool view64, StayIndex& stay,
                          DeletionReport& report) {
    regfile::Document read;
    std::vector<std::size_t> bounds;  // each row's keys in `read`: from bounds[i] to bounds[i + 1]
    std::vector<std::optional<std::u16string>> kept(rows.size());
    Handles handles;
    for (std::size_t at = 0; at < rows.size(); ++at) {
        const auto& row = rows[at];
        bounds.push_back(read.keys.size());
        if (!row.entry || !registry_entry_exists(*row.entry, view64)) continue;
        const auto first = read.keys.size();
        // A row that cannot be read whole is not backed up, and so not deleted.
        if (!export_registry_entry(*row.entry, view64, read)) continue;
        kept[at] = names_what_stays(std::span(read.keys).subspan(first), stay);
        if (kept[at]) handles.emplace(handle_of(*row.entry), *kept[at]);
    }
    bounds.push_back(read.keys.size());
    const auto keys_of = [&](std::size_t at) {
        return std::span(read.keys).subspan(bounds[at], bounds[at + 1] - bounds[at]);
    };
    for (bool more = true; more;) {
        more = false;
        for (std::size_t at = 0; at < rows.size(); ++at)
            if (!kept[at] && !keys_of(at).empty() && (kept[at] = refers_to(keys_of(at), handles)))
                more = handles.emplace(handle_of(*rows[at].entry), *kept[at]).second || more;
    }
    regfile::Document backup;
    std::vector<RegistryRow> left;  // the rows without those kept; reserved, so that pointers into it hold
    left.reserve(rows.size());
    std::vector<const RegistryRow*> backed_up;
    for (std::size_t at = 0; at < rows.size(); ++at) {
        if (kept[at]) {
            report.kept.push_back({*rows[at].text, *kept[at]});
            continue;
        }
        const auto keys = keys_of(at);
        left.push_back(std::move(rows[at]));
        if (keys.empty()) continue;
        backup.keys.insert(backup.keys.end(), keys.begin(), keys.end());
        backed_up.push_back(&left.back());
    }
    rows = std::move(left);
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

StayIndex stay_index(const LeftoverSession& session, const LocationGuard& guard, const std::vector<RegistryRow>& rows) {
    const auto image = os::get_module_file_name();
    StayInputs inputs{session.own_entries, session.own_source, {}, &guard.known_folders(),
                      image.substr(0, image.rfind(u'\\') + 1)};
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
            auto index = stay_index(*this, guard, registry_rows);
            keep_what_stays(entries, index, actions, report);
            delete_files(entries, actions, index, report);
            remove_emptied_folders(vendor_folders, guard, index, report);
            drop_repeated(report.kept);
            delete_registry_rows(registry_rows, *this, view64(), index, report);
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
