// The installed-software model: one record per program and the container of
// all records, keyed by the program's lower-case name.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "access/string_types.h"

namespace vorlix {

// One registry entry that went into a record. Entries whose names differ
// only in letter case merge into one record, which may then hide that they
// name different programs.
struct EntrySource {
    std::u16string reg_path;  // "HKLM|...\\Uninstall\\key"; empty for Installer products
    std::int32_t is64bit = 0;
    std::u16string install_location;
    std::u16string uninstall_string;
    bool scan_location = false;
    bool location_from_command = false;
};

// What the program keeps beyond its install folder: settings and data
// folders with what lies in them, and settings keys. A vendor's folder or key
// listed in `only_when_empty` goes only when nothing is left in it.
struct SettingsFindings {
    StringList folders;
    StringList files;
    StringList registry;
    StringList only_when_empty;

    std::size_t size() const { return folders.size() + files.size() + registry.size(); }
};

class ZRB_InstalledSoftware {
public:
    std::u16string mpu_str_Name;
    std::u16string mpu_str_Name_low;
    std::u16string mpu_str_Publisher;
    std::u16string mpu_str_InstallLocation;
    std::u16string mpu_str_UninstallString;
    std::u16string mpu_str_DisplayIcon;
    std::int32_t mpu_int_DisplayIcon_ID = 0;
    std::u16string mpu_str_DisplayVersion;
    std::uint32_t mpu_dowrd_EstimatedSize = 0;
    std::u16string mpu_str_EstimatedSize;
    std::u16string mpu_str_InstallRegPath;
    std::int32_t mpu_int_Is64Bit = 0;
    bool mpu_bool_InstallLocation_Scan = false;
    // The location was inferred from the uninstall command, not registered.
    bool location_from_command = false;
    // What the entry tells about its installer engine, read with its other values.
    std::u16string quiet_uninstall_string;
    bool windows_installer = false;   // WindowsInstaller = 1
    bool inno_setup_version = false;  // an "Inno Setup: Setup Version" value
    StringList mpu_SDLarry_AXCFiles;
    StringList mpu_SDLarry_Folders;
    StringList mpu_SDLarry_Files;
    StringList mpu_SDLarry_Registry;
    SettingsFindings settings;
    // Borrowed from the knowledge base, which outlives every use of it; null when no entry matched.
    const StringList* mpu_SDLarry_Lib_FolderName = nullptr;
    // Every entry merged into this record, in scan order, the first included.
    std::vector<EntrySource> sources;
};

using InstalledSoftwarePtr = std::shared_ptr<ZRB_InstalledSoftware>;

class ZRB_InstalledSoftwareList {
public:
    // Every record once, in the order the scan added them.
    std::vector<InstalledSoftwarePtr> mpu_SDLarry_InstalledSoftware;
    // The key of every record once; sorted by the scan before reporting.
    StringList mpu_list_InstalledSoftwareName;
    // mpu_str_Name_low -> record; exact, case-sensitive keys.
    std::unordered_map<std::u16string, InstalledSoftwarePtr> mpu_SDLMap_InstalledSoftware;
    bool mpu_bool_IsSearch = false;

    void mpu_Free();
    void mpu_Clean();
    void mpu_Search_Clean();

    // The record with this key, or null.
    ZRB_InstalledSoftware* find(const std::u16string& name_low) const;
    // Appends a record whose key is not yet held; false (and nothing changes) when it is.
    bool add(InstalledSoftwarePtr record);
};

// Display text of a byte count: "0 Byte", "%d Byte", or two decimals with KB, MB or GB.
std::u16string FormatByteSize(std::uint64_t bytes, char16_t decimal_separator = u'.');

}  // namespace vorlix
