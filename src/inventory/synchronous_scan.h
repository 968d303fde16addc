// One whole inventory scan for programs without a user interface (the CLI):
// no pauses, reports taken on the scan's own thread, result on return.
#pragma once

#include <memory>
#include <vector>

#include "inventory/Unit_ZRB_Struct.h"

namespace vorlix {

class ZRB_Software_Lib;

struct ScanResult {
    std::shared_ptr<ZRB_InstalledSoftwareList> list;
    // The records in the order the scan reported them.
    std::vector<InstalledSoftwarePtr> reported;
};

ScanResult scan_installed_software(std::shared_ptr<const ZRB_Software_Lib> knowledge_base);

}  // namespace vorlix
