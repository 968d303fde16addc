// Starting a program's uninstaller from its uninstall command line. Choosing
// what to start is a pure step (PlanUninstallCommand) so that the choice can
// be shown and tested without starting anything.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/os.h"

namespace vorlix {

struct UninstallPlan {
    int form = 0;                           // 1 to 7; 0 when nothing is started
    std::u16string file;                    // handed to the shell
    std::u16string parameters;              // handed to the shell
    std::optional<std::u16string> message;  // "8 cmd is error ! " or "9 cmd is error ! "
    std::u16string fallback;                // the trimmed command for the Unicode fallback start
};

UninstallPlan PlanUninstallCommand(const std::u16string& str_param_Command);

struct UninstallStart {
    bool started = false;        // the shell or the fallback started something
    os::Handle process = 0;      // the started process, when the start gave one (caller closes it)
    std::uint32_t error = 0;     // the system's error code when nothing was started
};

// Shows the plan's message (modal, caption "Vorlix"), asks the shell to open
// the file and, when it refuses, starts the command as received with
// CreateProcessW. Never waits for the started process. The started program
// gets standard handles of its own (the null device), never the caller's.
UninstallStart RunUninstallCommand(os::Handle handle_param_Owner, const std::u16string& str_param_Command);

}  // namespace vorlix
