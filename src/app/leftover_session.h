// The leftover bookkeeping of one uninstall cycle, as the main window keeps
// it and as the command line uses it: the lists filled by the analysis
// reports, the result files written while the uninstaller runs and read back
// when it is over, and the deletion of what the user leaves ticked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "access/string_types.h"
#include "app/text_set.h"
#include "inventory/Unit_ZRB_Struct.h"

namespace vorlix {

// At most this many files and folders get a row (and a check box).
inline constexpr std::size_t leftover_row_limit = 3000;

// The check boxes of the leftover screen, row by row: the file rows are the
// folders followed by the files, the registry rows the registry entries in
// their order. A row past the end of a vector has no box and counts as
// ticked, so an empty selection selects everything.
struct LeftoverSelection {
    std::vector<bool> file_rows;
    std::vector<bool> registry_rows;
};

// A ticked entry the deletion left because something that stays uses it.
struct KeptItem {
    std::u16string path;
    std::u16string reason;  // "used by <program>", "a user profile", ...
};

struct DeletionReport {
    // Nothing was touched: the publisher is Microsoft.
    bool protected_publisher = false;
    // Nothing was touched: a listed folder is a folder shared by many
    // programs (or lies above one), so the findings cannot be the program's own.
    bool shared_folder = false;
    // The registry backup could not be written, so no registry entry was deleted.
    bool backup_failed = false;
    // The .reg file written before the registry deletion; empty when none was needed.
    std::u16string backup_path;
    // Ticked entries that are still there after the deletion, in list order.
    StringList remaining_files_folders;
    StringList remaining_registry;
    // Kept because registry data that stays names it, or it is a profile, a
    // folder Windows keeps or Vorlix's own; a folder holding one was only emptied.
    std::vector<KeptItem> kept;

    std::size_t remaining_count() const { return remaining_files_folders.size() + remaining_registry.size(); }
};

// "All leftovers have been completely removed." only when nothing remains
// and nothing was kept; otherwise how many entries stay, and why, where that is known.
std::u16string deletion_message(const DeletionReport& report);

class LeftoverSession {
public:
    // The folder of the result files, with a trailing backslash.
    explicit LeftoverSession(std::u16string str_param_CurrentAppPath);

    // The window's own leftover fields, shared with the command line.
    std::u16string mpr_str_CurrentAppPath;
    StringList mpr_strlist_LF_Files;
    StringList mpr_strlist_LF_Folders;
    TextSet mpr_dic_LF_Registry;
    StringList mpr_strlist_SIConfigItem;
    std::u16string mpr_str_SelUnstallSoftware;
    std::u16string mpr_str_SelUnstallSoftware_PU;
    std::int32_t mpr_int_UninstallType = 0;
    // The install locations of the programs that stay registered: nothing at
    // or below one of them is deleted.
    StringList other_locations;
    // The program's own Uninstall entries ("HKLM|path"): what they name does
    // not have to stay.
    StringList own_entries;
    // What the program keeps beyond its install folder, as the analysis found it.
    SettingsFindings settings;
    // Where the program's setup ran from (its entry's InstallSource), read
    // while the entry is still there: that folder is no part of the install.
    std::u16string own_source;
    // The latest counts the analysis reported (0 until one is reported).
    std::uint32_t files_folders_count = 0;
    std::uint32_t registry_count = 0;

    // The program the cycle is about: name, publisher and bitness.
    void select_program(const ZRB_InstalledSoftware& record);

    // Analysis reports.
    void analysis_started();
    void file_folder_found(const std::u16string& path, std::uint32_t count);
    void registry_found(std::uint32_t count);
    // True when the entry is new and so gets a row.
    bool registry_listed(const std::u16string& path);

    // The uninstaller's step is over: writes the four result files.
    bool save_results();
    // The supervision is over: reads the result files back (they may narrow
    // the lists, never widen them), keeps only the leftovers that still exist
    // and narrows registry keys others share to the program's own values.
    void load_results();

    // Folders then files, then the settings' folders and files, as many as get a row.
    StringList file_rows() const;
    // The registry entries, then the settings' keys.
    StringList registry_rows() const;

    // Deletes the ticked leftovers, checks every one again and removes the
    // result files.
    DeletionReport delete_leftovers(const LeftoverSelection& selection);

private:
    bool view64() const { return mpr_int_UninstallType == 1; }
    bool publisher_is_protected();
};

}  // namespace vorlix
