#pragma once

#include "cli/cli_commands.h"

namespace vorlix::cli {

// vorlix-cli env [--json]: bitness code and the special folders.
Output cmd_env(Arguments arguments);

}  // namespace vorlix::cli
