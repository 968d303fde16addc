#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"

#include <algorithm>
#include <array>
#include <exception>
#include <utility>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "access/wow64.h"
#include "inventory/entry_values.h"

namespace vorlix {

namespace {

constexpr std::uint32_t pace_ms = 2000;
// RegEnumKeyExW capacity, null included.
constexpr std::uint32_t subkey_name_capacity = 255;
// Uninstall commands of this many characters or more are only kept, not used for the location.
constexpr std::uint32_t short_command_limit = 255;
// Uninstall commands of this many characters or more drop the entry.
constexpr std::uint32_t command_limit = 1024;
constexpr std::uint32_t quiet_command_limit = 32767;
constexpr std::int32_t no_icon_index = 65535;
const std::u16string uninstall_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

std::u16string root_prefix(os::Hkey root) { return root == os::hkey_current_user ? u"HKCU|" : u"HKLM|"; }

// The bitness, or "unknown" when the system cannot tell (also when the query
// fails): the scan then reads nothing but still frames its reports.
int scan_bitness() {
    try {
        return Sys_GetBitness();
    } catch (const std::exception&) {
        return bitness_unknown;
    }
}

}  // namespace

ZRB_Thread_GetInstalledSoftwareList::ZRB_Thread_GetInstalledSoftwareList(
    std::shared_ptr<ZRB_InstalledSoftwareList> class_param_SWL, std::shared_ptr<const ZRB_Software_Lib> class_param_SWLib,
    std::u16string str_param_CurrentAppPath, std::shared_ptr<UiDispatcher> dispatcher_param,
    std::shared_ptr<Pacing> pacing_param)
    : mpr_pclass_SWL(std::move(class_param_SWL)),
      mpr_pclass_SWLib(std::move(class_param_SWLib)),
      mpr_str_CurrentAppPath(std::move(str_param_CurrentAppPath)),
      dispatcher(std::move(dispatcher_param)),
      pacing(std::move(pacing_param)) {}

std::thread ZRB_Thread_GetInstalledSoftwareList::start() {
    return std::thread([self = shared_from_this()] { self->Execute(); });
}

void ZRB_Thread_GetInstalledSoftwareList::Execute() {
    mpr_prosyn_GetSoftwareList_Start();
    pacing->pause(pace_ms);

    mpr_SDLMap_InstalledSoftwareICO.clear();
    mpr_strlist_InstalledSoftwareDefICO.clear();
    mpr_strlist_InstalledSoftwareExeName.clear();
    const auto scan_all = [this](bool view64) {
        folders = KnownFolders::capture();
        mpr_pro_Collect_IconSources(view64);
        mpr_pro_Scan_UninstallRoot(os::hkey_local_machine, view64);
        mpr_pro_Scan_UninstallRoot(os::hkey_current_user, view64);
        mpr_pro_Scan_InstallerProducts(view64);
    };
    switch (scan_bitness()) {
        case bitness_wow64: {
            void* saved = nullptr;
            Sys_DisableFsRedirection(saved);
            scan_all(true);
            Sys_RevertFsRedirection(saved);
            break;
        }
        case bitness_native64: scan_all(true); break;
        case bitness_windows32: scan_all(false); break;
        default: break;
    }

    mpr_pro_InstalledInfo_Optimize();
    auto& list = *mpr_pclass_SWL;
    std::sort(list.mpu_list_InstalledSoftwareName.begin(), list.mpu_list_InstalledSoftwareName.end());
    pacing->pause(pace_ms);

    for (const auto& key : list.mpu_list_InstalledSoftwareName) {
        const auto* record = list.find(key);
        if (!record) continue;
        mpr_str_Software_Name = record->mpu_str_Name;
        mpr_str_Software_Publisher = record->mpu_str_Publisher;
        mpr_str_Software_Version = record->mpu_str_DisplayVersion;
        mpr_str_Software_EstimatedSize = record->mpu_str_EstimatedSize;
        mpr_str_Software_InstallLocation = record->mpu_str_InstallLocation;
        mpr_str_Software_DisplayIcon = record->mpu_str_DisplayIcon;
        mpr_int_Software_DisplayIcon_ID = record->mpu_int_DisplayIcon_ID;
        mpr_prosyn_GetSoftwareList();
    }

    mpr_SDLMap_InstalledSoftwareICO.clear();
    mpr_strlist_InstalledSoftwareDefICO.clear();
    mpr_strlist_InstalledSoftwareExeName.clear();
    exe_name_keys.clear();
    def_icon_keys.clear();
    def_icon_upper.clear();
    def_icon_by_segment.clear();
    pacing->pause(pace_ms);
    mpr_prosyn_GetSoftwareList_End();
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_prosyn_GetSoftwareList_Start() {
    dispatcher->run([this] {
        if (mpu_dword_cb_TGS_GetSoftwareList_Start) mpu_dword_cb_TGS_GetSoftwareList_Start();
    });
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_prosyn_GetSoftwareList() {
    dispatcher->run([this] {
        if (mpu_dword_cb_TGS_GetSoftwareList)
            mpu_dword_cb_TGS_GetSoftwareList(mpr_str_Software_Name.c_str(), mpr_str_Software_Publisher.c_str(),
                                             mpr_str_Software_Version.c_str(), mpr_str_Software_EstimatedSize.c_str(),
                                             mpr_str_Software_InstallLocation.c_str(),
                                             mpr_str_Software_DisplayIcon.c_str(), mpr_int_Software_DisplayIcon_ID);
    });
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_prosyn_GetSoftwareList_End() {
    dispatcher->run([this] {
        if (mpu_dword_cb_TGS_GetSoftwareList_End) mpu_dword_cb_TGS_GetSoftwareList_End();
    });
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Scan_UninstallRoot(os::Hkey root, bool view64) {
    StringList paths;
    if (!Reg_PathVariants(uninstall_path, true, paths)) return;
    for (const auto& path : paths) mpr_pro_Scan_UninstallKey(root, path, view64);
}

void ZRB_Thread_GetInstalledSoftwareList::mpr_pro_Scan_UninstallKey(os::Hkey root, const std::u16string& key_path,
                                                                    bool view64) {
    const auto access = Reg_AccessMask(view64);
    os::Hkey key = 0;
    if (os::reg_open_key_ex(root, key_path, access, key) != os::error_success) return;
    std::uint32_t count = 0;
    os::reg_query_info_key(key, &count, nullptr, nullptr, nullptr, nullptr);
    // Room for every entry of the key at once instead of one rehash per doubling.
    auto& records = mpr_pclass_SWL->mpu_SDLMap_InstalledSoftware;
    records.reserve(records.size() + count);
    std::array<char16_t, subkey_name_capacity> name_buffer{};
    const auto path_prefix = root_prefix(root) + key_path;
    for (std::uint32_t index = 0; index < count; ++index) {
        auto name_length = subkey_name_capacity;
        // A name that cannot be read (gone, or too long) would otherwise open
        // the Uninstall key itself; such an index is skipped.
        if (os::reg_enum_key_ex(key, index, name_buffer.data(), name_length) != os::error_success) continue;
        const auto name = Str_Trim(std::u16string(name_buffer.data(), name_length));
        os::Hkey entry = 0;
        if (name.empty() || os::reg_open_key_ex(key, name, access, entry) != os::error_success) continue;
        run_entry_pipeline(entry, view64, {true, Str_Trim(path_prefix + name)});
        os::reg_close_key(entry);
    }
    os::reg_close_key(key);
}

void ZRB_Thread_GetInstalledSoftwareList::run_entry_pipeline(os::Hkey entry_key, bool view64, EntryOrigin origin) {
    entry_values.read(entry_key);
    const EntryValues& values = entry_values;
    std::u16string display_name, publisher, version;
    values.read_text(u"DisplayName", display_name);
    values.read_text(u"Publisher", publisher);
    values.read_text(u"DisplayVersion", version);

    auto location = location_fallback_chain(values);
    if (origin.uninstall_entry) mpr_pro_InstallLocation_For_SoftwareLib(location, display_name, view64);
    if (!is_blank(location)) mpr_pro_Normalize_InstallLocation(location);

    std::u16string command;
    bool location_from_command = false;
    if (const auto size = values.size(u"UninstallString")) {
        const auto characters = *size / 2;
        if (characters >= command_limit) return;
        if (characters < short_command_limit) {
            values.read_text(u"UninstallString", command);
            if (is_blank(location)) {
                location = mpr_pro_InstallLocation_From_UninstallString(command);
                location_from_command = !location.empty();
            }
        } else {
            values.read_text(u"UninstallString", command, command_limit);
        }
    }
    if (!location.empty()) check_install_location(location);

    for (const auto* fallback : {u"UninstallPath", u"ModifyPath"})
        if (is_blank(command)) values.read_text(fallback, command);
    if (is_blank(command) && values.read_text(u"LocalPackage", command) &&
        Str_LowerAscii(command).find(u":\\windows\\installer\\") == std::u16string::npos)
        command.clear();
    if (!is_blank(command)) mpr_pro_Normalize_UninstallString(command);

    auto icon = icon_fallback_chain(values, display_name, location);
    std::int32_t icon_index = no_icon_index;
    mpr_pro_Resolve_DisplayIcon(icon, icon_index);
    icon_index = std::max(icon_index, 0);

    std::uint32_t size_kb = 0;
    std::u16string size_text;
    if (const auto kilobytes = values.read_dword(u"EstimatedSize")) {
        size_kb = *kilobytes;
        size_text = FormatByteSize(std::uint64_t{size_kb} * 1024, decimal_separator);
    }

    const auto scan_flag = mpr_fun_InstallLocation_ScanFlag(display_name, publisher, location);

    // A blank name or command is treated as none: every listed program must be
    // one the user can recognise and uninstall, and blank names (a REG_DWORD
    // read as text, say) would all merge into one record under the empty key.
    if (mpr_fun_IsHiddenSoftware(display_name) || is_blank(display_name) || is_blank(command))
        return;

    auto record = std::make_shared<ZRB_InstalledSoftware>();
    // The entry's texts are not used again: each moves into the record.
    record->mpu_str_Name = Str_Trim(std::move(display_name));
    record->mpu_str_Name_low = Str_LowerAscii(record->mpu_str_Name);
    record->mpu_str_Publisher = Str_Trim(std::move(publisher));
    record->mpu_str_InstallLocation = Str_Trim(std::move(location));
    record->mpu_str_UninstallString = Str_Trim(std::move(command));
    record->mpu_str_DisplayIcon = Str_Trim(std::move(icon));
    record->mpu_int_DisplayIcon_ID = icon_index;
    record->mpu_str_DisplayVersion = Str_Trim(std::move(version));
    record->mpu_dowrd_EstimatedSize = size_kb;
    record->mpu_str_EstimatedSize = Str_Trim(std::move(size_text));
    record->mpu_str_InstallRegPath = std::move(origin.reg_path);
    record->mpu_int_Is64Bit = view64 ? 1 : 0;
    record->mpu_bool_InstallLocation_Scan = scan_flag;
    record->location_from_command = location_from_command;
    // A quiet command is run as it stands, so it is kept whole or not at all.
    if (const auto size = values.size(u"QuietUninstallString"); size && *size / 2 < quiet_command_limit)
        values.read_text(u"QuietUninstallString", record->quiet_uninstall_string, quiet_command_limit);
    record->quiet_uninstall_string = Str_Trim(record->quiet_uninstall_string);
    record->windows_installer = values.read_dword(u"WindowsInstaller") == 1u;
    record->inno_setup_version = values.size(u"Inno Setup: Setup Version").has_value();
    record->mpu_SDLarry_Lib_FolderName = lib_folder_names(record->mpu_str_Name_low);
    record->sources.push_back({record->mpu_str_InstallRegPath, record->mpu_int_Is64Bit, record->mpu_str_InstallLocation,
                               record->mpu_str_UninstallString, scan_flag, location_from_command});
    merge_or_add(std::move(record));
}

void ZRB_Thread_GetInstalledSoftwareList::merge_or_add(InstalledSoftwarePtr record) {
    auto& list = *mpr_pclass_SWL;
    // A new key is the usual case: one look-up adds it.
    if (list.add(record)) return;
    auto* existing = list.find(record->mpu_str_Name_low);
    existing->sources.push_back(record->sources.front());
    if (!record->mpu_str_InstallLocation.empty() && existing->mpu_str_InstallLocation.empty()) {
        existing->mpu_str_InstallLocation = record->mpu_str_InstallLocation;
        existing->location_from_command = record->location_from_command;
        // The flag was decided without a location; a vendor's family folder must not come back scannable.
        existing->mpu_bool_InstallLocation_Scan =
            existing->mpu_bool_InstallLocation_Scan &&
            mpr_fun_InstallLocation_ScanFlag(existing->mpu_str_Name, existing->mpu_str_Publisher,
                                             existing->mpu_str_InstallLocation);
    }
    if (Str_ContainsText(existing->mpu_str_UninstallString, u"MsiExec.exe") &&
        !Str_ContainsText(record->mpu_str_UninstallString, u"MsiExec.exe") &&
        Str_ContainsText(record->mpu_str_UninstallString, u".exe"))
        existing->mpu_str_UninstallString = record->mpu_str_UninstallString;
    if (existing->mpu_dowrd_EstimatedSize < record->mpu_dowrd_EstimatedSize) {
        existing->mpu_dowrd_EstimatedSize = record->mpu_dowrd_EstimatedSize;
        existing->mpu_str_EstimatedSize = record->mpu_str_EstimatedSize;
    }
}

bool ZRB_Thread_GetInstalledSoftwareList::mpr_fun_IsHiddenSoftware(const std::u16string& display_name) const {
    // One search for all hidden names (each anchored as a whole).
    static const std::u16string hidden = u"^(?:PDF-Tools|NikCollection|Acronis Drivers)$";
    return RegEx_IsMatchText(display_name, hidden);
}

}  // namespace vorlix
