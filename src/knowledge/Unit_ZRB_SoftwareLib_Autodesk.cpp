// Install-location rules of Autodesk products. Most Autodesk installers name
// a shared vendor folder in their Uninstall entry; the real folder shows in
// the UPI list, which holds the path of every product's UPI.dll.
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "knowledge/rule_kit.h"

namespace vorlix {

using namespace knowledge;

namespace {

const UpiRule maya{{}, u"Maya", u"bin\\UPI\\UPI.dll"};
const UpiRule revit{contains(u"Autodesk Revit"), u"Autodesk\\Revit", u"UPI\\UPI.dll"};
const UpiRule civil_3d{contains(u"Autodesk Civil 3D"), u"Autodesk\\AutoCAD", u"C3D\\UPI\\UPI.dll"};
const UpiRule navisworks_manage{contains(u"Autodesk Navisworks Manage"), u"Autodesk\\Navisworks Manage",
                                u"UPI\\UPI.dll"};

// 3ds Max and AutoCAD install an Inventor Server whose registration tool
// lies directly in the product folder.
constexpr std::u16string_view inventor_server_tool = u"Inventor Server\\Bin\\RegisterInventorServer.exe";

std::u16string executable_value(const std::u16string& key, bool view64) {
    std::u16string value;
    Reg_ReadString(os::hkey_local_machine, key, u"Executable", view64, value);
    return Str_Trim(std::move(value));
}

std::u16string version_in(const std::u16string& name, std::u16string_view pattern) {
    return named_group({name}, pattern, u"ver");
}

// The LT folder of the first qualifying UPI text; the search ends at that
// text even when its path does not have the expected form.
std::u16string autocad_lt_folder(const StringList& texts, const std::u16string& version) {
    const std::u16string* hit = find_upi_text(texts, u"AutoCAD LT", u"\\UPI\\UPI.dll", version);
    if (!hit) return {};
    return Str_Trim(named_group({*hit}, uR"re(^(?<installedpath>[a-zA-Z]:\\.+\\AutoCAD LT [0-9]+\\).+$)re",
                                u"installedpath"));
}

// Any LT folder named in the UPI list, of the name's version when it has one.
// Neither a full AutoCAD nor another LT release may take it: its leftovers
// would be another product's files.
std::u16string any_autocad_lt_folder(const StringList& texts, const std::u16string& version) {
    StringList candidates;
    for (const std::u16string& candidate : texts) {
        if (version.empty() || Str_ContainsText(candidate, version)) candidates.push_back(candidate);
    }
    return named_group(candidates, uR"re(^(?<installedpath>[a-zA-Z]:\\.+\\AutoCAD LT [^\\]+\\).+$)re",
                       u"installedpath");
}

std::u16string autocad_folder(const StringList& texts, const std::u16string& version) {
    const std::u16string* hit = find_upi_text(texts, u"AutoCAD", u"ACAOE\\UPI\\UPI.dll", version);
    return hit ? Str_Trim(Str_RemoveText(*hit, u"ACAOE\\UPI\\UPI.dll")) : std::u16string();
}

}  // namespace

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_3dsMax(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    if (Str_ContainsText(str_param_Software_Name, u"Autodesk 3ds Max")) {
        const std::u16string executable =
            executable_value(u"SOFTWARE\\Autodesk\\3dsMax\\Current Version", bool_param_IsWow64);
        if (!executable.empty()) return Str_Trim(Str_RemoveText(executable, std::u16string(inventor_server_tool)));
    }
    return named_group(installer_folders(bool_param_IsWow64),
                       uR"re(^(?<installedpath>[a-zA-Z]:\\.+(3ds Max).+\\)AMG\\Config\\$)re", u"installedpath");
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_Maya(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return maya.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_AutoCAD(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    if (!Str_ContainsText(str_param_Software_Name, u"Autodesk AutoCAD")) return {};
    const bool lt = Str_ContainsText(str_param_Software_Name, u"Autodesk AutoCAD LT");
    const std::u16string version =
        version_in(str_param_Software_Name, lt ? u"^Autodesk AutoCAD LT (?<ver>[0-9]{4}) ?.*$"
                                               : u"^Autodesk AutoCAD (?<ver>[0-9]{4}) ?.*$");
    if (!lt) {
        std::u16string executable =
            executable_value(u"SOFTWARE\\Autodesk\\Inventor Server for AutoCAD\\Current Version", bool_param_IsWow64);
        // The Inventor Server of another AutoCAD release says nothing about this one.
        if (!executable.empty() && !version.empty() && !Str_ContainsText(executable, version)) executable.clear();
        if (!executable.empty()) return Str_Trim(Str_RemoveText(executable, std::u16string(inventor_server_tool)));
    }
    const StringList texts = upi_texts(bool_param_IsWow64);
    if (!lt) return autocad_folder(texts, version);
    const std::u16string result = autocad_lt_folder(texts, version);
    return result.empty() ? any_autocad_lt_folder(texts, version) : result;
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_Revit(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return revit.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_Inventor(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    const std::u16string version =
        version_in(str_param_Software_Name, u"^Autodesk Inventor Professional (?<ver>[0-9]{4}) ?.*$");
    if (!Str_ContainsText(str_param_Software_Name, u"Autodesk Inventor Professional")) return {};
    return upi_search(u"Autodesk\\Inventor", u"Bin\\INVRO\\UPI\\UPI.dll", version, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_Civil3D(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return civil_3d.run(str_param_Software_Name, bool_param_IsWow64);
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_Fusion360(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    if (!Str_ContainsText(str_param_Software_Name, u"Autodesk Fusion 360")) return {};
    // Fusion 360 updates itself into a new hashed folder below webdeploy; the
    // launcher command names the current one.
    const std::u16string command = read_value(open_command(ClassRoot::user, u"fusion360"), {}, bool_param_IsWow64);
    if (command.empty()) return {};
    return named_group({command}, uR"re(^"(?<installedpath>[a-zA-Z]:\\.+\\webdeploy\\).+\\NLauncher.exe" "%1"$)re",
                       u"installedpath");
}

std::u16string ZRB_Software_Lib::mpu_fun_InstallLocation_For_Autodesk_NavisworksManage(
    const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const {
    return navisworks_manage.run(str_param_Software_Name, bool_param_IsWow64);
}

}  // namespace vorlix
