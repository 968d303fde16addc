// Product-family scan flags. Language packs, shared components and add-ins of
// a product family often name the main product's or the vendor's folder as
// their own; analysing that folder for one member would offer the whole
// family's files as its leftovers, so such members are not scanned.
#include <algorithm>
#include <array>

#include "access/Unit_ZRB_func_Str.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"

namespace vorlix {

namespace {

// Family members by name, case-sensitive.
const std::array<std::u16string, 27> autodesk_member_patterns = {
    u"^AutoCAD LT [0-9]{4} - .*$",
    u"^AutoCAD LT [0-9]{4} Shared$",
    u"^AutoCAD LT [0-9]{4} Shared Language Pack - .+$",
    u"^Autodesk .+ Web .+ Mobile$",
    u"^ACA .+MEP [0-9]{4} Object Enabler$",
    u"^AutoCAD [0-9]{4} - .+$",
    u"^AutoCAD [0-9]{4} Shared$",
    u"^AutoCAD [0-9]{4} Shared Language Pack - .+$",
    u"^Autodesk AutoCAD Performance Feedback Tool [0-9.]+$",
    u"^Retopology Tools for 3ds Max [0-9]{4}$",
    u"^Autodesk 3ds Max [0-9]{4} CivilView [0-9.]+$",
    u"^Autodesk Inventor Electrical Catalog Browser [0-9]+$",
    u"^Autodesk Inventor Electrical Catalog Browser [0-9]{4} Language Pack - .+$",
    u"^Autodesk Inventor Professional [0-9]{4}$",
    u"^Autodesk Inventor Professional [0-9]{4} .+ Language Pack$",
    u"^Autodesk Revit Content Core-RVT [0-9]{4}$",
    u"^Autodesk Revit Product Feedback [0-9]{4}$",
    u"^Autodesk Revit Unit Schemas [0-9]{4}$",
    u"^Autodesk Steel Connections Core Content for Revit [0-9]{4}$",
    u"^Revit [0-9]{4}$",
    u"^AutoCAD Architecture [0-9]{4} Shared$",
    u"^Autodesk AutoCAD Map 3D [0-9]{4} Core$",
    u"^Autodesk AutoCAD Map 3D [0-9]{4} Language Pack - .+$",
    u"^Autodesk Civil 3D [0-9]{4}$",
    u"^Autodesk Civil 3D [0-9]{4} Language Pack - .+$",
    u"^Autodesk Civil 3D [0-9]{4} Object Enabler$",
    u"^Autodesk Civil 3D [0-9]{4} Private Pack$",
};

// Family members by a word of the name, ignoring case.
const std::array<std::u16string, 13> autodesk_member_words = {
    u"Personal Accelerator for Revit", u"Results Explorer Manager", u"RSA RoReinf", u"RSA Interop", u"RSA CommonData",
    u"RSA COM", u"REX Revit", u"REX Framework", u"REX Inventor", u"RSA Engine", u"ACAD Private",
    u"Autodesk App Manager", u"AutoCAD LT Private",
};

}  // namespace

bool ZRB_Software_Lib::install_location_scan_flag(const std::u16string& name, const std::u16string& publisher,
                                                  const std::u16string& location) const {
    if (name.empty() || publisher.empty()) return true;
    // Asked for every entry: the publishers' names are made once.
    static const std::u16string autodesk = u"Autodesk", avanquest = u"Avanquest Software",
                                blackmagic = u"Blackmagic Design";
    if (Str_ContainsText(publisher, autodesk)) {
        return mpu_fun_InstallLocation_ScanFlag_For_Autodesk(name, location);
    }
    if (Str_ContainsText(publisher, avanquest)) {
        return mpu_fun_InstallLocation_ScanFlag_For_SodaPDFDesktop(name);
    }
    if (Str_ContainsText(publisher, blackmagic)) {
        return mpu_fun_InstallLocation_ScanFlog_For_BlackmagicDesign(name);
    }
    return true;
}

bool ZRB_Software_Lib::mpu_fun_InstallLocation_ScanFlag_For_Autodesk(
    const std::u16string& str_param_Software_Name, const std::u16string& str_param_Software_InstallLocation) const {
    // The vendor's common folder, such as C:\Program Files\Autodesk\, is shared by the whole family.
    if (RegEx_IsMatchText(str_param_Software_InstallLocation, uR"re(^[a-zA-Z]:\\.+\\Autodesk\\$)re")) return false;
    const auto is_member_name = [&](const std::u16string& pattern) {
        return RegEx_IsMatch(str_param_Software_Name, pattern);
    };
    const auto has_member_word = [&](const std::u16string& word) {
        return Str_ContainsText(str_param_Software_Name, word);
    };
    return std::none_of(autodesk_member_patterns.begin(), autodesk_member_patterns.end(), is_member_name) &&
           std::none_of(autodesk_member_words.begin(), autodesk_member_words.end(), has_member_word);
}

bool ZRB_Software_Lib::mpu_fun_InstallLocation_ScanFlag_For_SodaPDFDesktop(
    const std::u16string& str_param_Software_Name) const {
    return !RegEx_IsMatchText(str_param_Software_Name, u"^Soda PDF Desktop [0-9]+ (View|Edit){1} Module$");
}

bool ZRB_Software_Lib::mpu_fun_InstallLocation_ScanFlog_For_BlackmagicDesign(
    const std::u16string& str_param_Software_Name) const {
    return !RegEx_IsMatchText(str_param_Software_Name, u"^DaVinci Resolve Control Panels$");
}

void ZRB_Software_Lib::mpu_pro_InstalledInfo_Optimize_For_Autodesk(ZRB_InstalledSoftwareList& pclass_param_SWL) const {
    const std::u16string* civil_3d = nullptr;
    const std::u16string* autocad = nullptr;
    static const std::u16string civil_3d_pattern = u"^Autodesk Civil 3D [0-9]{4} - .+$",
                                autocad_pattern = u"^Autodesk AutoCAD [0-9]{4} - .+$";
    for (const std::u16string& name : pclass_param_SWL.mpu_list_InstalledSoftwareName) {
        // The keys are lower case (a to z) and the patterns ignore only that
        // case, so a key that does not start so matches neither.
        if (!name.starts_with(u"autodesk ")) continue;
        if (RegEx_IsMatchText(name, civil_3d_pattern)) {
            civil_3d = &name;
        } else if (RegEx_IsMatchText(name, autocad_pattern)) {
            autocad = &name;
        }
    }
    if (!civil_3d || !autocad) return;
    ZRB_InstalledSoftware* civil_3d_record = pclass_param_SWL.find(*civil_3d);
    ZRB_InstalledSoftware* autocad_record = pclass_param_SWL.find(*autocad);
    if (!civil_3d_record || !autocad_record) return;
    // Civil 3D installs into AutoCAD's folder; only AutoCAD may claim it.
    if (Str_SameText(civil_3d_record->mpu_str_InstallLocation, autocad_record->mpu_str_InstallLocation)) {
        civil_3d_record->mpu_bool_InstallLocation_Scan = false;
        autocad_record->mpu_bool_InstallLocation_Scan = true;
    }
}

}  // namespace vorlix
