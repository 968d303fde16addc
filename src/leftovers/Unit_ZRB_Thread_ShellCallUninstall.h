// Starts one program's uninstaller, once, on a thread of its own, so that the
// user-interface thread never waits for the shell or for the runner's messages.
#pragma once

#include <memory>
#include <string>
#include <thread>

#include "leftovers/process_tree_watch.h"
#include "platform/os.h"

namespace vorlix {

class ZRB_Thread_ShellCallUninstall : public std::enable_shared_from_this<ZRB_Thread_ShellCallUninstall> {
public:
    // `started`, when given, receives what the start gave (the process, or
    // none), for the supervision to wait on.
    ZRB_Thread_ShellCallUninstall(os::Handle handle_param_App, bool bool_param_IsWow64,
                                  std::u16string str_param_Uninstall,
                                  std::shared_ptr<StartedUninstaller> started = nullptr);

    // Runs Execute on a new thread that keeps this object alive until it ends;
    // the caller joins or detaches the thread. Must be owned by a shared_ptr.
    std::thread start();
    void Execute();

private:
    os::Handle mpr_handle_App;
    bool mpr_bool_IsWow64;
    std::u16string mpr_str_Uninstall;
    std::shared_ptr<StartedUninstaller> started;
};

}  // namespace vorlix
