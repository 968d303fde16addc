// The knowledge base object: its folder-name table and the routing of one
// Uninstall entry through the product rules.
#include "knowledge/Unit_ZRB_SoftwareLib.h"

#include <array>
#include <iterator>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

using Rule = std::u16string (ZRB_Software_Lib::*)(const std::u16string&, bool) const;
using Lib = ZRB_Software_Lib;

struct RoutingRow {
    std::u16string guard;    // a location holding this word is trusted; empty: never trusted
    std::u16string trigger;  // the name contains this word, or
    std::u16string pattern;  // matches this pattern, ignoring case
    Rule rule;
};

// Every row is tried in this order; a later row sees the location the rows
// before it left, so when two rows name one program the later one decides.
const RoutingRow routing_table[] = {
    {u"Adobe After Effects", u"Adobe After Effects", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_AfterEffects},
    {u"Adobe Audition", u"Adobe Audition", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_Audition},
    {u"Adobe Creative Cloud", u"Adobe Creative Cloud", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_CreateCloud},
    {u"Adobe Character Animator", u"Adobe Character Animator", {},
     &Lib::mpu_fun_InstallLocation_For_Adobe_CharacterAnimtor},
    {u"Adobe Genuine Service", u"Adobe Genuine Service", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_GenuineService},
    {u"Adobe InCopy", u"Adobe InCopy", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_InCopy},
    {u"Adobe InDesign", u"Adobe InDesign", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_InDesign},
    {u"Adobe Lightroom Classic", u"Adobe Lightroom Classic", {},
     &Lib::mpu_fun_InstallLocation_For_Adobe_LightroomClassic},
    {u"Adobe Media Encoder", u"Adobe Media Encoder", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_MediaEncoder},
    {u"Adobe Premiere Pro", u"Adobe Premiere Pro", {}, &Lib::mpu_fun_InstallLocation_For_Adobe_Premiere},
    {u"3ds Max", u"Autodesk 3ds Max", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_3dsMax},
    {u"Maya", u"Autodesk Maya", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_Maya},
    {u"AutoCAD", u"Autodesk AutoCAD", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_AutoCAD},
    {u"Revit", u"Autodesk Revit", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_Revit},
    {u"Inventor", u"Autodesk Inventor Professional", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_Inventor},
    {{}, u"Autodesk Civil 3D", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_Civil3D},
    {u"webdeploy", u"Autodesk Fusion 360", {}, &Lib::mpu_fun_InstallLocation_For_Autodesk_Fusion360},
    {u"Navisworks Manage", {}, u"^Autodesk Navisworks Manage [0-9]{4}$",
     &Lib::mpu_fun_InstallLocation_For_Autodesk_NavisworksManage},
    {u"VMware Player", u"VMware Player", {}, &Lib::mpu_fun_InstallLocation_For_VMware_Player},
    {{}, u"VMware Workstation", {}, &Lib::mpu_fun_InstallLocation_For_VMware_Workstation},
    {u"Affinity Designer", u"Affinity Designer", {}, &Lib::mpu_fun_InstallLocation_For_Affinity_Designer},
    {u"Affinity Photo", u"Affinity Photo", {}, &Lib::mpu_fun_InstallLocation_For_Affinity_Photo},
    {u"Affinity Publisher", u"Affinity Publisher", {}, &Lib::mpu_fun_InstallLocation_For_Affinity_Publisher},
    {u"DaVinci Resolve", u"DaVinci Resolve", {}, &Lib::mpu_fun_InstallLocation_For_BlackmagicDesign_DaVinciResolve},
    {u"Blackmagic Fusion", u"Blackmagic Fusion", {}, &Lib::mpu_fun_InstallLocation_For_BlackmagicDesign_Fusion},
    {{}, u"Topaz Video AI", {}, &Lib::mpu_fun_InstallLocation_For_Topaz_VideoAI},
    {u"NordPass", u"NordPass", {}, &Lib::mpu_fun_InstallLocation_For_Other_NordPass},
    {u"Bitwarden", u"Bitwarden", {}, &Lib::mpu_fun_InstallLocation_For_Other_Bitwarden},
    {u"ExpressVPN", u"ExpressVPN", {}, &Lib::mpu_fun_InstallLocation_For_Other_ExpressVPN},
    {u"IPVanish", u"IPVanish", {}, &Lib::mpu_fun_InstallLocation_For_Other_IPVanishVPN},
    {u"PrivateVPN", u"PrivateVPN", {}, &Lib::mpu_fun_InstallLocation_For_Other_PrivateVPN},
    {u"Soda PDF Desktop", {}, u"^Soda PDF Desktop [0-9]+$", &Lib::mpu_fun_InstallLocation_For_Other_SodaPDFDesktop},
    {u"Oracle VM VirtualBox", {}, u"^Oracle VM VirtualBox [0-9\\.]+$",
     &Lib::mpu_fun_InstallLocation_For_Other_OracleVMVirtualBox},
    {u"Nextcloud", u"Nextcloud", {}, &Lib::mpu_fun_InstallLocation_For_Other_Nextcloud},
    {u"Joplin", {}, u"^Joplin [0-9\\.]+$", &Lib::mpu_fun_InstallLocation_For_Other_Joplin},
    {u"Signal", {}, u"^Signal [0-9\\.]+$", &Lib::mpu_fun_InstallLocation_For_Other_Signal},
    {u"Obsidian", u"Obsidian", {}, &Lib::mpu_fun_InstallLocation_For_Other_Obsidian},
    {u"draw.io", {}, u"^draw.io [0-9\\.]+$", &Lib::mpu_fun_InstallLocation_For_Other_drawio},
    {u"VueScan", u"VueScan x64", {}, &Lib::mpu_fun_InstallLocation_For_Other_VueScanx64},
    {u"PDF Tools", u"PDF Tools", {}, &Lib::mpu_fun_InstallLocation_For_Other_PDFTools},
    {u"Nik Collection", u"Nik Collection", {}, &Lib::mpu_fun_InstallLocation_For_Other_NikCollection},
    {u"Backblaze", u"Backblaze", {}, &Lib::mpu_fun_InstallLocation_For_Other_Backblaze},
    {u"Canva", u"Canva", {}, &Lib::mpu_fun_InstallLocation_For_Other_Canva},
    {u"DeepL", u"DeepL", {}, &Lib::mpu_fun_InstallLocation_For_Other_DeepL},
    {u"Serato DJ Pro", u"Serato DJ Pro", {}, &Lib::mpu_fun_InstallLocation_For_Other_SeratoDJPro},
    {u"Sync", u"Sync", {}, &Lib::mpu_fun_InstallLocation_For_Other_Sync},
    {u"Deezer", u"Deezer", {}, &Lib::mpu_fun_InstallLocation_For_Other_Deezer},
};
static_assert(std::size(routing_table) == 47, "one row per product rule");

// Product keys and the folders each product installs. The shipped table is
// empty; the lookup stays so that entries can be added here.
struct FolderTableRow {
    std::u16string_view key;
    std::span<const std::u16string_view> folders;
};
constexpr std::array<FolderTableRow, 0> folder_table{};

// A row's guard and trigger upper-cased, as the containment test compares
// them: each entry's name and location are then upper-cased once rather than
// once per row.
struct UpperRow {
    std::u16string guard;
    std::u16string trigger;
    std::u16string pattern_start;  // see literal_start
};

// The literal text an anchored pattern must start with (empty when it does
// not start with one). A caseless match of ASCII literals can only be made by
// the same ASCII letters in either case, so a name whose upper-cased form does
// not start with it cannot match, and the search is skipped.
std::u16string literal_start(std::u16string_view pattern) {
    if (!pattern.starts_with(u'^')) return {};
    constexpr std::u16string_view special = u"\\^$.[]|()?*+{";
    std::u16string literal;
    for (const char16_t unit : pattern.substr(1)) {
        if (unit >= 0x80 || special.find(unit) != std::u16string_view::npos) {
            // A quantifier may make the character before it optional.
            if (std::u16string_view(u"?*+{").find(unit) != std::u16string_view::npos && !literal.empty()) literal.pop_back();
            break;
        }
        literal.push_back(unit);
    }
    return Str_UpperFull(literal);
}

const std::vector<UpperRow>& upper_rows() {
    static const std::vector<UpperRow> rows = [] {
        std::vector<UpperRow> result;
        for (const RoutingRow& row : routing_table)
            result.push_back({Str_UpperFull(row.guard), Str_UpperFull(row.trigger), literal_start(row.pattern)});
        return result;
    }();
    return rows;
}

bool contains_upper(const std::u16string& text_upper, const std::u16string& part_upper) {
    return !text_upper.empty() && !part_upper.empty() && text_upper.find(part_upper) != std::u16string::npos;
}

// `has_location`: the location is not blank.
bool trusts(const UpperRow& row, const std::u16string& location_upper, bool has_location) {
    return has_location && contains_upper(location_upper, row.guard);
}

bool names_product(const RoutingRow& row, const UpperRow& upper, const std::u16string& name,
                   const std::u16string& name_upper) {
    if (row.pattern.empty()) return contains_upper(name_upper, upper.trigger);
    return name_upper.starts_with(upper.pattern_start) && RegEx_IsMatchText(name, row.pattern);
}

}  // namespace

void ZRB_Software_Lib::mpu_Free() { mpu_SDLMap_Lib_SoftwareName.clear(); }

void ZRB_Software_Lib::mpu_InitLib() {
    for (const FolderTableRow& row : folder_table) {
        register_product(std::u16string(row.key), StringList(row.folders.begin(), row.folders.end()));
    }
}

void ZRB_Software_Lib::register_product(const std::u16string& key, StringList folder_names) {
    auto entry = std::make_unique<ZRB_SoftwareInstall_Lib>();
    entry->mpu_SDLarry_Lib_FoldersName = std::move(folder_names);
    mpu_SDLMap_Lib_SoftwareName[key] = std::move(entry);
}

const StringList* ZRB_Software_Lib::folder_names_for(const std::u16string& name_low) const {
    const StringList* found = nullptr;
    // Case counts: the keys are lower case and so is the name.
    for (const auto& [key, entry] : mpu_SDLMap_Lib_SoftwareName) {
        if (name_low.find(key) != std::u16string::npos) found = &entry->mpu_SDLarry_Lib_FoldersName;
    }
    return found;
}

void ZRB_Software_Lib::route_install_location(std::u16string& location, const std::u16string& name,
                                              bool is64) const {
    // Worked out once per entry, and again only after a rule changed the location.
    const auto name_upper = Str_UpperFull(name);
    // The name decides for nearly every entry, so it is asked first and the
    // location is upper-cased only for an entry some row names.
    std::optional<std::u16string> location_upper;
    const auto& uppers = upper_rows();
    for (std::size_t at = 0; at < std::size(routing_table); ++at) {
        const RoutingRow& row = routing_table[at];
        if (!names_product(row, uppers[at], name, name_upper)) continue;
        if (!location_upper) location_upper = Str_UpperFull(location);
        if (trusts(uppers[at], *location_upper, !is_blank(location))) continue;
        location = (this->*row.rule)(name, is64);
        location_upper.reset();
    }
}

}  // namespace vorlix
