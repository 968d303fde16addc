#pragma once

#include <functional>
#include <memory>
#include <string>

#include "cli/cli_commands.h"
#include "inventory/pacing.h"

namespace vorlix::cli {

// Where the uninstall command talks to its user and how it waits.
struct UninstallTerminal {
    // One progress line (UTF-16 text, no line end).
    std::function<void(const std::u16string&)> progress;
    // A yes/no question; true only for an explicit yes.
    std::function<bool(const std::u16string&)> confirm;
    // The waits between looks at the process list.
    std::shared_ptr<Pacing> polling;
    // Each program's report as soon as the program is done (and a batch's
    // summary); without one the reports are the returned output.
    std::function<void(const std::string&)> report;
};

// Progress on stderr, questions answered on stdin, real waits, reports on stdout.
UninstallTerminal console_terminal();

// vorlix-cli uninstall "<program name>"... [--yes] [--force] [--quiet]
// [--keep-going] [--wait-limit SECONDS] [--json]: the whole cycle of the
// wizard without windows, for each program in turn.
Output cmd_uninstall(Arguments arguments, const UninstallTerminal& terminal = console_terminal());

}  // namespace vorlix::cli
