// The registry scans of the leftover analysis: fourteen groups of locations
// searched, in this order, for keys and values that belong to the program.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "access/string_types.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/program_matcher.h"
#include "platform/os.h"

namespace vorlix {

// Marks a finding that the "ROOT|key|value" form cannot hold.
inline constexpr char16_t not_removable_prefix[] = u"Not removable: ";

// "ROOT|key", or "ROOT|key|value" when `value` is given. A key path or value
// name holding a "|" would be read back as another entry (the key
// "Tool|UninstallString" as the value UninstallString of the key "Tool"), so
// such a finding is marked as not removable: no root name begins with the
// mark, so nothing ever reads it as an entry to back up or delete.
std::u16string registry_finding(const std::u16string& root_name, const std::u16string& key,
                                const std::u16string* value = nullptr);

// What every scan works with. `report` appends one root-prefixed finding to
// the record's registry list and reports it to the window.
struct LeftoverScanContext {
    const ZRB_InstalledSoftware& record;
    const ProgramMatcher& matcher;
    bool view64 = false;
    std::function<void(const std::u16string&)> report;

    // "ROOT|key" and "ROOT|key|value".
    void record_key(const std::u16string& root_name, const std::u16string& key) const;
    void record_value(const std::u16string& root_name, const std::u16string& key, const std::u16string& name) const;
    // RefersToProgram of the trimmed text.
    bool refers(const std::u16string& text) const;
    // The default value of a key; false when it cannot be read.
    bool read_default(os::Hkey root, const std::u16string& key, std::u16string& text) const;
};

// One existing Wow6432Node variant of a location and the names found in it,
// exactly as the registry holds them (a "|" in a name stays).
struct KeyLine {
    std::u16string variant;
    StringList names;
};
std::vector<KeyLine> subkey_lines(os::Hkey root, const std::u16string& path, bool view64);

// Value names are kept as the registry holds them, not trimmed and never cut
// at a "|" they contain (tests trim them, findings do not): a finding must
// name exactly the value that was tested, not another program's value whose
// name is the trimmed one. Otherwise as Reg_EnumValueNames and
// Reg_CollectValueNameLines.
bool raw_value_names(os::Hkey root, const std::u16string& path, bool view64, StringList& names);
std::vector<KeyLine> value_name_lines(os::Hkey root, const std::u16string& path, bool view64);

// The values of every variant of the Run keys whose data starts a file of the
// program, under the names they really have (a blank-padded name trimmed
// would name another program's value).
struct RunValue {
    std::u16string key, name;
};
struct ProgramRunValues {
    std::vector<RunValue> machine, user;
};
ProgramRunValues program_run_values(const LeftoverScanContext& context);

// File classes of the machine and their extensions.
void scan_machine_file_classes(const LeftoverScanContext& context);
// File classes of the user.
void scan_user_file_classes(const LeftoverScanContext& context);
// Windows Installer folders, then shared DLL counters.
void scan_installer_folders(const LeftoverScanContext& context);
// Type libraries, classes, interfaces and the shell and browser extensions that use them.
void scan_com_classes(const LeftoverScanContext& context);
// Windows Installer products with their patches and components.
void scan_installer_products(const LeftoverScanContext& context);
// Windows Installer components by key path, with their products.
void scan_installer_components(const LeftoverScanContext& context);
void scan_compatibility_layers(const LeftoverScanContext& context);
void scan_mui_caches(const LeftoverScanContext& context);
void scan_shared_components(const LeftoverScanContext& context);
void scan_feature_usage(const LeftoverScanContext& context);
void scan_compatibility_assistant(const LeftoverScanContext& context);
// The program's Run values, read once for the two scans that need them.
void scan_startup_approval(const LeftoverScanContext& context, const ProgramRunValues& run);
void scan_elevation_policies(const LeftoverScanContext& context);
void scan_run_entries(const LeftoverScanContext& context, const ProgramRunValues& run);

// All fourteen, in order.
void run_registry_scans(const LeftoverScanContext& context);

}  // namespace vorlix
