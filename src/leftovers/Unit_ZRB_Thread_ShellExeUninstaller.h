// Supervises a started uninstaller: looks for it in the process list, waits
// for its end, and drives the two steps of the waiting screen through
// callbacks run on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "inventory/pacing.h"
#include "inventory/ui_dispatcher.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/process_tree_watch.h"

namespace vorlix {

using SHTU_EventCallback = std::function<std::uint32_t()>;
using SHTU_StepCallback = std::function<std::uint32_t(std::int32_t)>;

// Step types of the waiting screen.
inline constexpr std::int32_t step_uninstaller_runs = 2;
inline constexpr std::int32_t step_uninstaller_over = 3;

// The executable file name an uninstall command line starts ("unins000.exe"
// from a quoted path with switches), or empty text when it names no ".exe".
std::u16string uninstaller_exe_name(const std::u16string& uninstall_string);

class ZRB_Thread_ShellExeUninstaller : public std::enable_shared_from_this<ZRB_Thread_ShellExeUninstaller> {
public:
    SHTU_EventCallback mpu_dword_cb_SHTU_Start;
    SHTU_EventCallback mpu_dword_cb_SHTU_End;
    SHTU_StepCallback mpu_dword_cb_SHTU_StepTip_Start;
    SHTU_StepCallback mpu_dword_cb_SHTU_StepTip_End;

    // `pacing` serves the pauses that only pace the screens; `polling` the
    // waits between looks at the process list, which must really pass time
    // (the default), or the waits for the uninstaller would end at once.
    explicit ZRB_Thread_ShellExeUninstaller(
        std::shared_ptr<ZRB_InstalledSoftwareList> class_param_SWL,
        std::shared_ptr<UiDispatcher> dispatcher = std::make_shared<ImmediateDispatcher>(),
        std::shared_ptr<Pacing> pacing = std::make_shared<NoPacing>(),
        std::shared_ptr<Pacing> polling = std::make_shared<RealPacing>());

    // Looks the record up by its lower-case name; an unknown name leaves none.
    void mpu_pro_SetUninstallSoftware(const std::u16string& str_param_SoftwareName);
    // The start to wait for, from the launching thread. Without it only the
    // look-up by executable names applies.
    void watch_start(std::shared_ptr<StartedUninstaller> started);
    // Bounds the whole wait, in the time of the pauses between looks. Without
    // it the supervision waits for as long as the uninstaller runs (the
    // window's way: the uninstaller may be asking the user something).
    void set_wait_limit(std::uint64_t milliseconds);
    // After Execute: true when the wait limit passed while the uninstaller,
    // or a process of it that holds the supervision, still ran.
    bool still_running() const { return limit_passed; }

    std::thread start();
    void Execute();

private:
    std::int32_t mpr_int_StepType = 0;
    InstalledSoftwarePtr mpr_class_UninstallSoftware;
    std::shared_ptr<ZRB_InstalledSoftwareList> mpr_pclass_SWL;
    std::shared_ptr<StartedUninstaller> started;
    // Follows the started process from the first look on, so that the
    // processes it starts are known however soon it exits.
    std::optional<ProcessTreeWatch> tree;
    std::shared_ptr<UiDispatcher> dispatcher;
    std::shared_ptr<Pacing> pacing;
    std::shared_ptr<Pacing> polling;
    WaitBudget budget;
    bool limit_passed = false;

    // Five passes over the known names; true when any pass found one. `name`
    // is where the fifth pass stopped.
    bool detect_known_uninstaller(std::u16string& name);
    bool detect_own_uninstaller(std::u16string& name);
    void wait_while_running(const std::u16string& name);
    void wait_for_started_tree();
    // Starts following the started process (not 0), once.
    void watch_tree(os::Handle process);
    // One look at the started process tree, when the start is known by now.
    void look_at_started_tree();
    // The wait between two looks at the process list by name.
    void poll_pause();

    void report(const SHTU_EventCallback& callback);
    void report_step(const SHTU_StepCallback& callback, std::int32_t step);
};

}  // namespace vorlix
