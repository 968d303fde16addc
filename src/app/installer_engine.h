// Which installer engine put a program on the machine, and the command that
// removes it without a window of its own, for unattended uninstalls.
#pragma once

#include <string>

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

// "registered_quiet", "msi", "inno", "nsis", "installshield", "unknown".
const char* engine_name(InstallerEngine engine);

}  // namespace vorlix
