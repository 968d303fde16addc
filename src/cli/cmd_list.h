#pragma once

#include "cli/cli_commands.h"

namespace vorlix::cli {

// vorlix-cli list [--json]: the installed programs in the order the scan reports them.
Output cmd_list(Arguments arguments);

}  // namespace vorlix::cli
