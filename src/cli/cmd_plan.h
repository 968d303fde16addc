#pragma once

#include "cli/cli_commands.h"

namespace vorlix::cli {

// vorlix-cli plan "<uninstall command>" [--json]: what the runner would start.
Output cmd_plan(Arguments arguments);

}  // namespace vorlix::cli
