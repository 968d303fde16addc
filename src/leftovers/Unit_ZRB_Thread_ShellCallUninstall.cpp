#include "leftovers/Unit_ZRB_Thread_ShellCallUninstall.h"

#include <utility>

#include "access/Unit_ZRB_func_Uninstall.h"
#include "access/wow64.h"

namespace vorlix {

ZRB_Thread_ShellCallUninstall::ZRB_Thread_ShellCallUninstall(os::Handle handle_param_App, bool bool_param_IsWow64,
                                                             std::u16string str_param_Uninstall,
                                                             std::shared_ptr<StartedUninstaller> started_param)
    : mpr_handle_App(handle_param_App),
      mpr_bool_IsWow64(bool_param_IsWow64),
      mpr_str_Uninstall(std::move(str_param_Uninstall)),
      started(std::move(started_param)) {}

std::thread ZRB_Thread_ShellCallUninstall::start() {
    return std::thread([self = shared_from_this()] { self->Execute(); });
}

void ZRB_Thread_ShellCallUninstall::Execute() {
    // A 64-bit program's uninstaller path names the real system folders.
    void* saved = nullptr;
    if (mpr_bool_IsWow64) Sys_DisableFsRedirection(saved);
    const UninstallStart result = RunUninstallCommand(mpr_handle_App, mpr_str_Uninstall);
    if (mpr_bool_IsWow64) Sys_RevertFsRedirection(saved);
    if (started)
        started->publish(result);
    else if (result.process != 0)
        os::close_handle(result.process);
}

}  // namespace vorlix
