// The inventory scan: a worker thread that fills the installed-software list
// from the Uninstall keys of the machine and the current user and from the
// Windows Installer product data, then reports every program, sorted by its
// lower-case name, through callbacks run on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "access/string_types.h"
#include "inventory/entry_values.h"
#include "inventory/folder_forms.h"
#include "inventory/known_folders.h"
#include "inventory/pacing.h"
#include "inventory/ui_dispatcher.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "platform/os.h"

namespace vorlix {

class ZRB_Software_Lib;

// Program report: name, publisher, version, size text, install location, icon
// file (each valid only during the call) and icon index. The result is ignored.
using TGS_SoftwareCallback = std::function<std::uint32_t(const char16_t*, const char16_t*, const char16_t*,
                                                         const char16_t*, const char16_t*, const char16_t*,
                                                         std::int32_t)>;
using TGS_EventCallback = std::function<std::uint32_t()>;

class ZRB_Thread_GetInstalledSoftwareList
    : public std::enable_shared_from_this<ZRB_Thread_GetInstalledSoftwareList> {
public:
    TGS_SoftwareCallback mpu_dword_cb_TGS_GetSoftwareList;
    TGS_EventCallback mpu_dword_cb_TGS_GetSoftwareList_Start;
    TGS_EventCallback mpu_dword_cb_TGS_GetSoftwareList_End;
    // Decimal separator of the size texts; the windowed program sets the user's.
    char16_t decimal_separator = u'.';

    // The list and the knowledge base are shared so that both outlive a scan
    // whose owner has gone. A null knowledge base routes nothing and flags every
    // location as scannable.
    ZRB_Thread_GetInstalledSoftwareList(std::shared_ptr<ZRB_InstalledSoftwareList> class_param_SWL,
                                        std::shared_ptr<const ZRB_Software_Lib> class_param_SWLib,
                                        std::u16string str_param_CurrentAppPath,
                                        std::shared_ptr<UiDispatcher> dispatcher = std::make_shared<ImmediateDispatcher>(),
                                        std::shared_ptr<Pacing> pacing = std::make_shared<NoPacing>());

    // Runs Execute on a new thread that keeps this object alive until it ends;
    // the caller joins or detaches the thread. Must be owned by a shared_ptr.
    std::thread start();
    // The whole scan on the calling thread.
    void Execute();

private:
    // Where an entry comes from: Uninstall entries are routed through the
    // product rules and remember their registry path; Installer products do not.
    struct EntryOrigin {
        bool uninstall_entry = false;
        std::u16string reg_path;
    };

    // Staging copies of the program being reported.
    std::u16string mpr_str_Software_Name;
    std::u16string mpr_str_Software_Publisher;
    std::u16string mpr_str_Software_Version;
    std::u16string mpr_str_Software_EstimatedSize;
    std::u16string mpr_str_Software_InstallLocation;
    std::u16string mpr_str_Software_DisplayIcon;
    std::int32_t mpr_int_Software_DisplayIcon_ID = 0;
    std::shared_ptr<ZRB_InstalledSoftwareList> mpr_pclass_SWL;
    std::shared_ptr<const ZRB_Software_Lib> mpr_pclass_SWLib;
    // Icon sources, gathered once per scan (the first value per product name stays).
    std::unordered_map<std::u16string, std::u16string> mpr_SDLMap_InstalledSoftwareICO;
    StringList mpr_strlist_InstalledSoftwareDefICO;
    StringList mpr_strlist_InstalledSoftwareExeName;
    std::u16string mpr_str_CurrentAppPath;

    std::shared_ptr<UiDispatcher> dispatcher;
    std::shared_ptr<Pacing> pacing;
    KnownFolders folders;
    // The forms of the install locations checked so far: entries below one
    // vendor's folder look its names up once per scan, not once per entry.
    mutable FolderForms folder_forms;
    // Hashed companions of the two icon lists (upper-cased a to z): duplicate
    // tests and look-ups stay constant-time however large the machine is.
    std::unordered_set<std::u16string> exe_name_keys;
    std::unordered_set<std::u16string> def_icon_keys;
    // The DefaultIcon texts upper-cased, index for index.
    StringList def_icon_upper;
    // Upper-cased folder name -> indices (ascending) of the DefaultIcon texts
    // that hold that name between two backslashes.
    std::unordered_map<std::u16string, std::vector<std::size_t>> def_icon_by_segment;
    // The values of the entry being read; its buffers serve every entry in turn.
    EntryValues entry_values;

    // Scan steps.
    void mpr_pro_Scan_UninstallRoot(os::Hkey root, bool view64);
    void mpr_pro_Scan_UninstallKey(os::Hkey root, const std::u16string& key_path, bool view64);
    void mpr_pro_Scan_InstallerProducts(bool view64);
    // Pipeline steps 2 to 16 for one open entry key.
    void run_entry_pipeline(os::Hkey entry_key, bool view64, EntryOrigin origin);
    void merge_or_add(InstalledSoftwarePtr record);
    bool mpr_fun_IsHiddenSoftware(const std::u16string& display_name) const;

    // Reporting, each run on the user-interface thread.
    void mpr_prosyn_GetSoftwareList_Start();
    void mpr_prosyn_GetSoftwareList();
    void mpr_prosyn_GetSoftwareList_End();

    // Install location.
    std::u16string location_fallback_chain(const EntryValues& values) const;
    void mpr_pro_Normalize_InstallLocation(std::u16string& location) const;
    std::u16string mpr_pro_InstallLocation_From_UninstallString(const std::u16string& command) const;
    void check_install_location(std::u16string& location) const;
    void mpr_pro_Normalize_UninstallString(std::u16string& command) const;
    // Replaces the first "%APPDATA%\" (or, when the text names no %APPDATA%,
    // the first "%LOCALAPPDATA%\") by its folder; false when neither is named.
    bool expand_app_data(std::u16string& text) const;

    // Icons.
    void mpr_pro_Collect_IconSources(bool view64);
    void add_installer_product_icon(os::Hkey root, const std::u16string& product_key, bool view64);
    void add_exe_name(const std::u16string& name);
    void add_default_icon(const std::u16string& text);
    std::u16string icon_fallback_chain(const EntryValues& values, const std::u16string& display_name,
                                       const std::u16string& location) const;
    std::u16string first_default_icon_containing(const std::u16string& location) const;
    void mpr_pro_Resolve_DisplayIcon(std::u16string& icon, std::int32_t& index) const;

    // Knowledge base.
    void mpr_pro_InstallLocation_For_SoftwareLib(std::u16string& location, const std::u16string& name,
                                                 bool is64) const;
    bool mpr_fun_InstallLocation_ScanFlag(const std::u16string& name, const std::u16string& publisher,
                                          const std::u16string& location) const;
    void mpr_pro_InstalledInfo_Optimize();
    // The knowledge base's folder names for a new record, or null.
    const StringList* lib_folder_names(const std::u16string& name_low) const;
};

}  // namespace vorlix
