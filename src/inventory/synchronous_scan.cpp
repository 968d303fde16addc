#include "inventory/synchronous_scan.h"

#include "access/Unit_ZRB_func_Str.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"
#include "platform/os.h"

namespace vorlix {

namespace {

std::u16string module_folder() {
    const auto path = os::get_module_file_name();
    const auto slash = path.rfind(u'\\');
    return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

}  // namespace

ScanResult scan_installed_software(std::shared_ptr<const ZRB_Software_Lib> knowledge_base) {
    ScanResult result{std::make_shared<ZRB_InstalledSoftwareList>(), {}};
    auto scan = std::make_shared<ZRB_Thread_GetInstalledSoftwareList>(result.list, std::move(knowledge_base),
                                                                      module_folder());
    scan->mpu_dword_cb_TGS_GetSoftwareList = [&result](const char16_t* name, const char16_t*, const char16_t*,
                                                       const char16_t*, const char16_t*, const char16_t*,
                                                       std::int32_t) -> std::uint32_t {
        const auto& map = result.list->mpu_SDLMap_InstalledSoftware;
        const auto found = map.find(Str_LowerAscii(name));
        if (found != map.end()) result.reported.push_back(found->second);
        return 0;
    };
    // A thread of its own, so that the file-system redirection the scan turns
    // off stays confined to it.
    scan->start().join();
    return result;
}

}  // namespace vorlix
