#pragma once

#include <memory>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "access/string_types.h"
#include "cli/cli_commands.h"
#include "cli/program_choice.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "inventory/synchronous_scan.h"

namespace vorlix::cli {

// vorlix-cli analyze "<program name>" [--json]: the leftover analysis of one
// listed program, without changing anything.
Output cmd_analyze(Arguments arguments);

// Shared with the uninstall command.

// One line on stderr at once, so that a long run shows where it is.
void print_progress(const std::u16string& line);

nlohmann::ordered_json json_texts(const StringList& texts);
// The settings group: {"folders", "files", "registry"}.
nlohmann::ordered_json json_settings(const SettingsFindings& settings);

}  // namespace vorlix::cli
