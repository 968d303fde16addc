// The product knowledge base: per-product rules that find an install location
// the Uninstall entry does not state, the routing that picks those rules for a
// program, the family scan flags and the Civil 3D/AutoCAD adjustment.
//
// Ownership: the window and every scan thread hold the object through a
// std::shared_ptr, so it outlives a scan that is still running when the window
// closes. The object does not change after mpu_InitLib, so any number of scans
// may read it at once without a lock.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "access/string_types.h"

namespace vorlix {

class ZRB_InstalledSoftwareList;

class ZRB_SoftwareInstall_Lib {
public:
    virtual ~ZRB_SoftwareInstall_Lib() = default;

    // Names of the folders the product installs.
    StringList mpu_SDLarry_Lib_FoldersName;
};

class ZRB_Software_Lib {
public:
    // Product key (lower case) -> entry. Records borrow the entries' folder lists.
    std::map<std::u16string, std::unique_ptr<ZRB_SoftwareInstall_Lib>> mpu_SDLMap_Lib_SoftwareName;

    // Frees every entry. Only the last owner may call it: an owner that shares
    // the object with a running scan releases its reference instead, and the
    // destructor frees the entries when the scan lets go.
    void mpu_Free();
    // Registers the built-in table of product folder names.
    void mpu_InitLib();

    // The product rules. Each returns the install location found, or the empty
    // text; `bool_param_IsWow64` true reads the 64-bit registry view.
    std::u16string mpu_fun_InstallLocation_For_Adobe_AfterEffects(const std::u16string& str_param_Software_Name,
                                                                  bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_Audition(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_CreateCloud(const std::u16string& str_param_Software_Name,
                                                                 bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_CharacterAnimtor(const std::u16string& str_param_Software_Name,
                                                                      bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_GenuineService(const std::u16string& str_param_Software_Name,
                                                                    bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_InCopy(const std::u16string& str_param_Software_Name,
                                                            bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_InDesign(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_LightroomClassic(const std::u16string& str_param_Software_Name,
                                                                      bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_MediaEncoder(const std::u16string& str_param_Software_Name,
                                                                  bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Adobe_Premiere(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_3dsMax(const std::u16string& str_param_Software_Name,
                                                               bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_Maya(const std::u16string& str_param_Software_Name,
                                                             bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_AutoCAD(const std::u16string& str_param_Software_Name,
                                                                bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_Revit(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_Inventor(const std::u16string& str_param_Software_Name,
                                                                 bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_Civil3D(const std::u16string& str_param_Software_Name,
                                                                bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_Fusion360(const std::u16string& str_param_Software_Name,
                                                                  bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Autodesk_NavisworksManage(const std::u16string& str_param_Software_Name,
                                                                         bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_VMware_Player(const std::u16string& str_param_Software_Name,
                                                             bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_VMware_Workstation(const std::u16string& str_param_Software_Name,
                                                                  bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Affinity_Designer(const std::u16string& str_param_Software_Name,
                                                                 bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Affinity_Photo(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Affinity_Publisher(const std::u16string& str_param_Software_Name,
                                                                  bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_BlackmagicDesign_DaVinciResolve(
        const std::u16string& str_param_Software_Name, bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_BlackmagicDesign_Fusion(const std::u16string& str_param_Software_Name,
                                                                       bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Topaz_VideoAI(const std::u16string& str_param_Software_Name,
                                                             bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_NordPass(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Bitwarden(const std::u16string& str_param_Software_Name,
                                                               bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_ExpressVPN(const std::u16string& str_param_Software_Name,
                                                                bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_IPVanishVPN(const std::u16string& str_param_Software_Name,
                                                                 bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_PrivateVPN(const std::u16string& str_param_Software_Name,
                                                                bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_SodaPDFDesktop(const std::u16string& str_param_Software_Name,
                                                                    bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_OracleVMVirtualBox(const std::u16string& str_param_Software_Name,
                                                                        bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Nextcloud(const std::u16string& str_param_Software_Name,
                                                               bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Joplin(const std::u16string& str_param_Software_Name,
                                                            bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Signal(const std::u16string& str_param_Software_Name,
                                                            bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Obsidian(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_drawio(const std::u16string& str_param_Software_Name,
                                                            bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_VueScanx64(const std::u16string& str_param_Software_Name,
                                                                bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_PDFTools(const std::u16string& str_param_Software_Name,
                                                              bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_NikCollection(const std::u16string& str_param_Software_Name,
                                                                   bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Backblaze(const std::u16string& str_param_Software_Name,
                                                               bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Canva(const std::u16string& str_param_Software_Name,
                                                           bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_DeepL(const std::u16string& str_param_Software_Name,
                                                           bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_SeratoDJPro(const std::u16string& str_param_Software_Name,
                                                                 bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Sync(const std::u16string& str_param_Software_Name,
                                                          bool bool_param_IsWow64) const;
    std::u16string mpu_fun_InstallLocation_For_Other_Deezer(const std::u16string& str_param_Software_Name,
                                                            bool bool_param_IsWow64) const;

    // Family scan flags: false when the program's install location belongs to
    // its family rather than to the program itself.
    bool mpu_fun_InstallLocation_ScanFlag_For_Autodesk(const std::u16string& str_param_Software_Name,
                                                       const std::u16string& str_param_Software_InstallLocation) const;
    // After a whole scan: a Civil 3D and an AutoCAD entry that share a folder
    // leave that folder to AutoCAD.
    void mpu_pro_InstalledInfo_Optimize_For_Autodesk(ZRB_InstalledSoftwareList& pclass_param_SWL) const;
    bool mpu_fun_InstallLocation_ScanFlag_For_SodaPDFDesktop(const std::u16string& str_param_Software_Name) const;
    bool mpu_fun_InstallLocation_ScanFlog_For_BlackmagicDesign(const std::u16string& str_param_Software_Name) const;

    // ---- entry points for the scan thread

    // Routes one Uninstall entry through the product table: every row whose
    // guard does not trust `location` and whose trigger names the program
    // replaces `location` by its rule's result (also by the empty text).
    // `name` is the display name as read, untrimmed.
    void route_install_location(std::u16string& location, const std::u16string& name, bool is64) const;

    // The scan flag of a new record from the entry's display name and
    // publisher as read and its location at that step.
    bool install_location_scan_flag(const std::u16string& name, const std::u16string& publisher,
                                    const std::u16string& location) const;

    // The folder list of the last product key (in map order) that occurs in
    // the lower-case name, or null.
    const StringList* folder_names_for(const std::u16string& name_low) const;

    // Adds one product to the folder-name table (mpu_InitLib's step, also
    // usable by tests). A key registered again replaces the earlier entry.
    void register_product(const std::u16string& key, StringList folder_names);
};

}  // namespace vorlix
