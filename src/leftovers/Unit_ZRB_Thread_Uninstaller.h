// The leftover analysis: a worker thread that collects everything that
// belongs to one installed program (the files and folders below its install
// location, the registry keys and values that refer to it) into the record's
// four findings lists, and reports them through callbacks run on the
// user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "inventory/pacing.h"
#include "inventory/ui_dispatcher.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/location_guard.h"

namespace vorlix {

// Texts passed to callbacks are valid only during the call; results are ignored.
using TU_EventCallback = std::function<std::uint32_t()>;
using TU_PathCountCallback = std::function<std::uint32_t(const char16_t*, std::uint32_t)>;
using TU_PathCallback = std::function<std::uint32_t(const char16_t*)>;

class ZRB_Thread_Uninstaller : public std::enable_shared_from_this<ZRB_Thread_Uninstaller> {
public:
    TU_EventCallback mpu_dword_cb_TU_Start;
    TU_EventCallback mpu_dword_cb_TU_End;
    TU_PathCountCallback mpu_dword_cb_TU_FileFolderCount;
    TU_PathCallback mpu_dword_cb_TU_FileFolderList;
    TU_PathCountCallback mpu_dword_cb_TU_RegCount;
    TU_PathCallback mpu_dword_cb_TU_RegList;
    // -1 until the window chooses; 1 analyses a program of the inventory.
    std::int32_t mpu_int_UninstallMode = -1;

    // The list is shared so that it, and the record taken from it, outlive an
    // analysis whose owner has gone.
    explicit ZRB_Thread_Uninstaller(std::shared_ptr<ZRB_InstalledSoftwareList> class_param_SWL,
                                    std::shared_ptr<UiDispatcher> dispatcher = std::make_shared<ImmediateDispatcher>(),
                                    std::shared_ptr<Pacing> pacing = std::make_shared<NoPacing>());

    // Takes the record whose lower-case name is given; an unknown name leaves
    // none, and the analysis then finds nothing.
    void mpu_pro_SetUninstallSoftware(const std::u16string& str_param_SoftwareName);

    // Runs Execute on a new thread that keeps this object alive until it ends;
    // the caller joins or detaches the thread. Must be owned by a shared_ptr.
    std::thread start();
    // The whole analysis on the calling thread.
    void Execute();

private:
    std::u16string mpr_str_FilesFolders_Path;
    std::int32_t mpr_dword_FilesFolders_Count = 0;
    std::u16string mpr_str_RegistryEntries_Path;
    std::uint32_t mpr_dword_RegistryEntries_Count = 0;
    InstalledSoftwarePtr mpr_class_UninstallSoftware;
    std::shared_ptr<ZRB_InstalledSoftwareList> mpr_pclass_SWL;
    std::shared_ptr<UiDispatcher> dispatcher;
    std::shared_ptr<Pacing> pacing;

    void analyse(ZRB_InstalledSoftware& record);
    // The file-system walk: empties the four lists, then lists the install
    // location and everything below it that no other program owns. Returns
    // the location as the guard lets it be claimed (empty when it may not).
    std::u16string mpr_pro_Scan_InstallLocation(ZRB_InstalledSoftware& record, const LocationGuard& guard);
    void mpr_pro_Scan_Folder(ZRB_InstalledSoftware& record, const std::u16string& folder, const LocationGuard& guard);
    void add_registry_finding(ZRB_InstalledSoftware& record, const std::u16string& finding);

    // Reporting, each run on the user-interface thread.
    void report(const TU_EventCallback& callback);
    // Stages `path` in `field` (the file or the registry staging text) and reports it.
    void report_path(const TU_PathCallback& callback, std::u16string& field, const std::u16string& path);
    void report_file_folder(const std::u16string& path, std::int32_t count);
};

}  // namespace vorlix
