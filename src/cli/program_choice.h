// Which program a command line names: its name as the list shows it (in any
// letter case), or the registry path of its Uninstall entry.
#pragma once

#include <optional>
#include <string>

#include "cli/cli_commands.h"
#include "inventory/synchronous_scan.h"

namespace vorlix::cli {

// The inventory and the program in it.
struct FoundProgram {
    ScanResult scan;
    InstalledSoftwarePtr record;
};

// Nothing, with `refusal` set, for an unknown program, and for a name under
// which entries with different locations or uninstall commands merged: the
// refusal lists their registry paths. A registry path (such as
// "HKLM|SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\key") chooses that
// entry's location and uninstall command for the record.
std::optional<FoundProgram> find_program(const std::u16string& argument, Output& refusal);

}  // namespace vorlix::cli
