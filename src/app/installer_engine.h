// Which installer engine put a program on the machine, and the command that
// removes it without a window of its own, for unattended uninstalls.
#pragma once

#include <string>
#include <vector>

#include "inventory/Unit_ZRB_Struct.h"

namespace vorlix {

enum class InstallerEngine {
    registered_quiet,   // the entry registers its own quiet command
    windows_installer,
    inno_setup,
    nsis,
    installshield,
    unknown,
};

struct InstallerKind {
    InstallerEngine engine = InstallerEngine::unknown;
    // Empty when the engine has no known quiet form: such an uninstaller needs its own window.
    std::u16string quiet_command;
};

// The first evidence that holds, in this order: Inno Setup (whose own
// registered quiet command still shows a window), a registered quiet command,
// Windows Installer, the NSIS signature in the uninstaller's first megabyte,
// InstallShield; otherwise unknown.
InstallerKind detect_installer(const ZRB_InstalledSoftware& record);

// detect_installer of every record, in their order. The NSIS evidence opens
// each uninstaller the registry does not explain, and each open waits on the
// system (on a cold disk, on the disk): a few of them are kept in flight at once.
std::vector<InstallerKind> detect_installers(const std::vector<InstalledSoftwarePtr>& records);

// "registered_quiet", "msi", "inno", "nsis", "installshield", "unknown".
const char* engine_name(InstallerEngine engine);

}  // namespace vorlix
