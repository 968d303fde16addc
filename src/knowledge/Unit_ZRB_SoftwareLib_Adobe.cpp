// Install-location rules of Adobe products.
#include "access/Unit_ZRB_Registry_GValue.h"
#include "access/Unit_ZRB_func_Str.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "knowledge/rule_kit.h"

namespace vorlix {

using namespace knowledge;

namespace {

const Processing trailing_backslash{.ensure_backslash = true};

const ValueRule after_effects{contains(u"Adobe After Effects"), app_path(u"AfterFX.exe"),
                              {.removes = {u"Support Files\\", u"Support Files"}}};
const ValueRule audition{contains(u"Adobe Audition"), app_path(u"Adobe Audition.exe"),
                         {.strip_quotes = true, .ensure_backslash = true}};
const CacheRule creative_cloud{contains(u"Adobe Creative Cloud"), Cache::compatibility_store,
                               u"ACC\\Creative Cloud.exe", u"Adobe Creative Cloud"};
const ValueRule genuine_service{contains(u"Adobe Genuine Service"), service_image(u"AGMService"),
                                {.strip_quotes = true, .removes = {u"AGMService.exe"}}};
const ValueRule incopy{contains(u"Adobe InCopy"), app_path(u"InCopy.exe"), trailing_backslash};
const ValueRule indesign{contains(u"Adobe InDesign"), app_path(u"InDesign.exe"), trailing_backslash};
const ValueRule lightroom_classic{contains(u"Adobe Lightroom Classic"),
                                  open_command(ClassRoot::machine, u"Adobe.AdobeLightroom"),
                                  {.removes = {quoted_l_placeholder, u"Lightroom.exe"}}};
const ValueRule media_encoder{contains(u"Adobe Media Encoder"), app_path(u"Adobe Media Encoder.exe"),
                              trailing_backslash};
const ValueRule premiere{contains(u"Adobe Premiere Pro"), app_path(u"Adobe Premiere Pro.exe"), trailing_backslash};

// The project file type's class name carries a version number, so the open
// command is found below the first class whose name matches.
const Processing character_animator_command{
    .removes = {quoted_placeholder, u"Support Files\\Character Animator.exe"}};

}  // namespace

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_AfterEffects(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return after_effects.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_Audition(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return audition.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_CreateCloud(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return creative_cloud.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_CharacterAnimtor(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    if (!Str_ContainsText(str_param_Software_Name, u"Adobe Character Animator")) return {};
    for (const std::u16string& typed : typed_paths(bool_param_IsWow64)) {
        if (Str_ContainsText(typed, u"Adobe Character Animator")) return Str_Trim(Str_EnsureTrailingBackslash(typed));
    }
    std::u16string command;
    Reg_ReadValueUnderMatchingSubKey(os::hkey_local_machine, u"SOFTWARE\\Classes",
                                     u"^Adobe\\.CharacterAnimator\\.Project\\.[1-9]+$", u"shell\\open\\command", u"",
                                     command, bool_param_IsWow64);
    return command.empty() ? command : character_animator_command.apply(command);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_GenuineService(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return genuine_service.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_InCopy(const std::u16string& str_param_Software_Name,
                                                                          bool bool_param_IsWow64) const {
    return incopy.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_InDesign(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return indesign.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_LightroomClassic(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return lightroom_classic.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_MediaEncoder(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return media_encoder.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Adobe_Premiere(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return premiere.run(str_param_Software_Name, bool_param_IsWow64);
}

}  // namespace vorlix
