// Windows Installer products: every product recorded per user below
// Installer\UserData goes through the same entry pipeline as an Uninstall entry.
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "inventory/subkey_lines.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"

namespace vorlix {

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Scan_InstallerProducts(bool view64) {
    StringList users;
    Reg_EnumInstallerUserKeys(users, view64);
    const auto access = Reg_AccessMask(view64);
    for (const auto& user : users) {
        const auto base = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\" + user + u"\\Products\\";
        // Whichever variant lists a product, its properties are read below the plain path.
        for_each_subkey_of_variants(os::hkey_local_machine, base, view64,
                                    [&](const std::u16string&, const std::u16string& product) {
                                        const auto path = Str_Trim(base + product + u"\\InstallProperties\\");
                                        os::Hkey key = 0;
                                        if (os::reg_open_key_ex(os::hkey_local_machine, path, access, key) !=
                                            os::error_success)
                                            return;
                                        run_entry_pipeline(key, view64, {});
                                        os::reg_close_key(key);
                                    });
    }
}

}  // namespace vorlix
