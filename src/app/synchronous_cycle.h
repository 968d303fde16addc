// The uninstall cycle for a caller without windows (the command line, tests):
// the same threads the window starts, each waited for, their reports taken
// on the worker and handed to the leftover session as the window hands them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/leftover_session.h"
#include "app/uninstall_verdict.h"
#include "inventory/pacing.h"
#include "inventory/Unit_ZRB_Struct.h"

namespace vorlix {

// Receives one line of progress at a time.
using ProgressFunction = std::function<void(const std::u16string&)>;

struct AnalysisCounts {
    std::uint32_t files_folders = 0;  // the latest counts reported, 0 when none was
    std::uint32_t registry = 0;
};

// Runs the leftover analysis of the program with this key and waits for it.
// With a session, the reports fill it as they fill the window's lists (which
// also removes the result files of an earlier cycle).
AnalysisCounts run_analysis(const std::shared_ptr<ZRB_InstalledSoftwareList>& list, const std::u16string& name_low,
                            LeftoverSession* session, const ProgressFunction& progress);

// Starts `command` (the program's uninstall command, or its quiet form),
// supervises it and returns when the supervision has ended: when the started uninstaller and the processes of
// it that hold the supervision have ended, or when `wait_limit_ms` (counted
// in the pauses between looks) has passed. With a session, the result files
// are written when the uninstaller's step ends and read back at the end.
UninstallerRun run_uninstaller(const std::shared_ptr<ZRB_InstalledSoftwareList>& list,
                               const std::u16string& name_low, const std::u16string& command,
                               LeftoverSession* session, const ProgressFunction& progress,
                               std::shared_ptr<Pacing> polling = std::make_shared<RealPacing>(),
                               std::optional<std::uint64_t> wait_limit_ms = std::nullopt);

}  // namespace vorlix
