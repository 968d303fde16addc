// Install-location rules of single products of other vendors.
#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "knowledge/rule_kit.h"

namespace vorlix {

using namespace knowledge;

namespace {

constexpr os::Hkey hklm = os::hkey_local_machine;
const Processing placeholder_only{.removes = {quoted_placeholder}};
const Processing trimmed_only{};

const CacheRule nordpass{contains(u"NordPass"), Cache::compatibility_store, u"NordPass.exe", {}};
const CacheRule bitwarden{contains(u"Bitwarden"), Cache::compatibility_store, u"Bitwarden.exe", {}};
const ValueRule expressvpn{contains(u"ExpressVPN"), open_command(ClassRoot::machine, u"expressvpn"),
                           {.removes = {quoted_placeholder, u"expressvpn-ui\\ExpressVPN.exe"}}};
const CacheRule ipvanish{contains(u"IPVanish"), Cache::shell_name_cache, u"IPVanish.exe.FriendlyAppName", {}};
const ValueRule privatevpn{contains(u"PrivateVPN"), service_image(u"PrivateVPN Daemon"),
                           {.removes = {u"PrivateVpnDaemon.exe"}}};
const ValueRule soda_pdf_desktop{contains(u"Soda PDF Desktop"), open_command(ClassRoot::machine, u"soda"),
                                 {.removes = {quoted_placeholder, u"--command --url-protocol", u"soda.exe"}}};
const ValueRule virtualbox{contains(u"Oracle VM VirtualBox"),
                           {hklm, u"SOFTWARE\\Oracle\\VirtualBox", u"InstallDir", {}}, trimmed_only};
const ValueRule nextcloud{contains(u"Nextcloud"),
                          {hklm, u"SOFTWARE\\Nextcloud GmbH\\Nextcloud", {},
                           u"SOFTWARE\\WOW6432Node\\Nextcloud GmbH\\Nextcloud"},
                          trimmed_only};
const ValueRule joplin{contains(u"Joplin"), open_command(ClassRoot::user, u"joplin"), placeholder_only};
const ValueRule signal{contains(u"Signal"), open_command(ClassRoot::user, u"sgnl"), placeholder_only};
const ValueRule obsidian{contains(u"Obsidian"), open_command(ClassRoot::user, u"obsidian"), placeholder_only};
const ValueRule drawio{contains(u"draw.io"), open_command(ClassRoot::machine, u"draw.io Diagram"), placeholder_only};
const ValueRule vuescan_x64{contains(u"VueScan x64"),
                            {hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VueScan x64",
                             u"DisplayIcon", {}},
                            {.removes = {u"vuescan.exe"}}};
const ValueRule pdf_tools{contains(u"PDF Tools"), open_command(ClassRoot::machine, u"PDFXTools.PDTEX"),
                          {.removes = {quoted_placeholder, u"/open:showui=yes"}}};
const ValueRule nik_collection{contains(u"Nik Collection"),
                               {hklm, u"SOFTWARE\\DxO\\Nik Collection", u"InstallPath",
                                u"SOFTWARE\\WOW6432Node\\DxO\\Nik Collection"},
                               {.removes = {u"bin"}}};
const ValueRule backblaze{contains(u"Backblaze"),
                          {hklm, u"SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Backblaze",
                           u"DisplayIcon", {}},
                          {.removes = {u"bzlogo.ico"}}};
const ValueRule canva{equals(u"Canva"), open_command(ClassRoot::classes_root, u"canva"),
                      {.removes = {quoted_placeholder, u"Canva.exe"}}};
const ValueRule deepl{equals(u"DeepL"), {os::hkey_current_user, u"SOFTWARE\\Zero Install", u"InstallLocation", {}},
                      trimmed_only};
const ValueRule serato_dj_pro{contains(u"Serato DJ Pro"),
                              {hklm, u"SOFTWARE\\Classes\\Serato.serato-stems\\DefaultIcon", {}, {}},
                              {.removes = {u"stems.ico"}}};
const ValueRule deezer{contains(u"Deezer"), open_command(ClassRoot::classes_root, u"deezer"),
                       {.removes = {quoted_placeholder, u"Deezer.exe"}}};

}  // namespace

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_NordPass(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return nordpass.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Bitwarden(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return bitwarden.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_ExpressVPN(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return expressvpn.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_IPVanishVPN(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return ipvanish.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_PrivateVPN(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return privatevpn.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_SodaPDFDesktop(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    if (!soda_pdf_desktop.name_test.passes(str_param_Software_Name)) return {};
    const std::u16string location = soda_pdf_desktop.run(str_param_Software_Name, bool_param_IsWow64);
    return location.empty() ? cache_search(Cache::compatibility_store, u"soda.exe", {}, bool_param_IsWow64) : location;
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_OracleVMVirtualBox(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return virtualbox.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Nextcloud(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return nextcloud.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Joplin(const std::u16string& str_param_Software_Name,
                                                                          bool bool_param_IsWow64) const {
    return joplin.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Signal(const std::u16string& str_param_Software_Name,
                                                                          bool bool_param_IsWow64) const {
    return signal.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Obsidian(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return obsidian.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_drawio(const std::u16string& str_param_Software_Name,
                                                                          bool bool_param_IsWow64) const {
    return drawio.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_VueScanx64(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return vuescan_x64.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_PDFTools(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return pdf_tools.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_NikCollection(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return nik_collection.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Backblaze(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return backblaze.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Canva(const std::u16string& str_param_Software_Name,
                                                                         bool bool_param_IsWow64) const {
    return canva.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_DeepL(const std::u16string& str_param_Software_Name,
                                                                         bool bool_param_IsWow64) const {
    return deepl.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_SeratoDJPro(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return serato_dj_pro.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Sync(const std::u16string& str_param_Software_Name,
                                                                        bool bool_param_IsWow64) const {
    if (!Str_SameText(str_param_Software_Name, u"Sync")) return {};
    // The folder list names the Sync folder with its trailing backslash; the
    // worker executable tells it from other folders of that name.
    for (const std::u16string& folder : installer_folders(bool_param_IsWow64)) {
        if (Sys_FileExists(folder + u"sync-worker.exe")) return folder;
    }
    return {};
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Other_Deezer(const std::u16string& str_param_Software_Name,
                                                                          bool bool_param_IsWow64) const {
    return deezer.run(str_param_Software_Name, bool_param_IsWow64);
}

}  // namespace vorlix
