// Install-location rules of VMware, Affinity, Blackmagic Design and Topaz products.
#include "access/Unit_ZRB_func_Str.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "knowledge/rule_kit.h"

namespace vorlix {

using namespace knowledge;

namespace {

const ValueRule vmware_player{contains(u"VMware Player"), app_path(u"vmplayer.exe"), {.ensure_backslash = true}};
const ValueRule vmware_workstation{contains(u"VMware Workstation"),
                                   open_command(ClassRoot::machine, u"Applications\\vmware.exe"),
                                   {.removes = {u"-t \"%1\"", u"vmware.exe"}}};
const ValueRule blackmagic_fusion{contains(u"Blackmagic Fusion"),
                                  open_command(ClassRoot::machine, u"Fusion.Composition"),
                                  {.removes = {quoted_placeholder, u"/dde"}}};
const ValueRule topaz_video_ai{contains(u"Topaz Video AI"),
                               {os::hkey_local_machine, u"SOFTWARE\\Topaz Labs LLC\\Topaz Video AI", u"InstallDir", {}},
                               {.strip_quotes = true}};

// Version 2 of an Affinity application registers its file type under a new
// class name, so "<product> 2" is looked for first.
std::u16string affinity_rule(std::u16string_view product, const std::u16string& name, bool view64) {
    const std::u16string product_text(product);
    const std::u16string generation_2 = u"Affinity " + product_text + u" 2";
    std::u16string class_name;
    if (Str_ContainsText(name, generation_2)) {
        class_name = u"Affinity." + product_text + u" 2";
    } else if (Str_ContainsText(name, u"Affinity " + product_text)) {
        class_name = u"Affinity." + product_text;
    } else {
        return {};
    }
    const std::u16string exe_name = product_text + u".exe";
    return read_value(open_command(ClassRoot::machine, class_name), {.removes = {quoted_placeholder, exe_name}},
                      view64);
}

}  // namespace

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_VMware_Player(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return vmware_player.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_VMware_Workstation(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return vmware_workstation.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Affinity_Designer(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return affinity_rule(u"Designer", str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Affinity_Photo(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return affinity_rule(u"Photo", str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Affinity_Publisher(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return affinity_rule(u"Publisher", str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_BlackmagicDesign_DaVinciResolve(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    if (!Str_ContainsText(str_param_Software_Name, u"DaVinci Resolve")) return {};
    std::u16string location =
        cache_search(Cache::shell_name_cache, u"Resolve.exe.FriendlyAppName", {}, bool_param_IsWow64);
    if (location.empty()) {
        location = read_value(open_command(ClassRoot::user, u"ResolveBinFile"), {.removes = {quoted_placeholder}},
                              bool_param_IsWow64);
    }
    return location;
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_BlackmagicDesign_Fusion(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return blackmagic_fusion.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Topaz_VideoAI(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return topaz_video_ai.run(str_param_Software_Name, bool_param_IsWow64);
}

}  // namespace vorlix
