// What the run of a program's uninstaller says about the program, for the
// window and the command line alike. Deleting the files of a program that is
// still installed is a forced removal that only the user may ask for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/process_tree_watch.h"

namespace vorlix {

struct UninstallerRun {
    bool started = false;           // the shell or the fallback started something
    std::uint32_t start_error = 0;  // the system's error code when nothing was started
    // Once the started process has ended; nothing when the start gave no
    // process to ask (the shell handed the request to a running program).
    std::optional<std::uint32_t> exit_code;
    bool still_running = false;  // the wait limit passed first
    bool entry_remains = false;  // the program's Uninstall entry exists after the supervision
};

enum class UninstallVerdict {
    removed,          // the uninstaller ended and the program is gone
    not_started,      // nothing could be started
    still_running,    // it was still running at the wait limit
    failed,           // it ended with a failure or cancel code
    still_installed,  // it ended, but the program's Uninstall entry remains
};

// Failure and cancel codes of Windows Installer, and NTSTATUS errors such as
// an access violation. Other codes prove nothing by themselves: uninstallers
// give all sorts of codes on success.
bool is_failure_exit_code(std::uint32_t code);

UninstallVerdict judge_uninstall(const UninstallerRun& run);

// Windows Installer's "done, restart to finish" codes (3010, 1641): a success.
bool needs_restart(const UninstallerRun& run);

// Whether the Uninstall entry the record came from still exists (false for
// records without one).
bool uninstall_entry_exists(const ZRB_InstalledSoftware& record);

// What the launch and the supervision of the record's uninstaller tell once
// the supervision is over (waits for the launcher's start to be known).
UninstallerRun observe_uninstaller(StartedUninstaller& started, bool still_running,
                                   const ZRB_InstalledSoftware& record);

// One sentence on the outcome, with the code where there is one.
std::u16string verdict_message(UninstallVerdict verdict, const UninstallerRun& run);

// "removed", "not_started", "still_running", "failed", "still_installed".
const char* verdict_name(UninstallVerdict verdict);

}  // namespace vorlix
