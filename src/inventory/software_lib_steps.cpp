// The scan's steps that ask the product knowledge base.
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"

namespace vorlix {

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_InstallLocation_For_SoftwareLib(std::u16string& location,
                                                                                  const std::u16string& name,
                                                                                  bool is64) const {
    if (mpr_pclass_SWLib) mpr_pclass_SWLib->route_install_location(location, name, is64);
}

bool ZRB_Thread_GetInstalledSoftwareList::mpr_fun_InstallLocation_ScanFlag(const std::u16string& name,
                                                                           const std::u16string& publisher,
                                                                           const std::u16string& location) const {
    return !mpr_pclass_SWLib || mpr_pclass_SWLib->install_location_scan_flag(name, publisher, location);
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_InstalledInfo_Optimize() {
    if (mpr_pclass_SWLib) mpr_pclass_SWLib->mpu_pro_InstalledInfo_Optimize_For_Autodesk(*mpr_pclass_SWL);
}

const StringList* ZRB_Thread_GetInstalledSoftwareList::lib_folder_names(const std::u16string& name_low) const {
    return mpr_pclass_SWLib ? mpr_pclass_SWLib->folder_names_for(name_low) : nullptr;
}

}  // namespace vorlix
