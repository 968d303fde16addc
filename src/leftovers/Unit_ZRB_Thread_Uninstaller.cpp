#include "leftovers/Unit_ZRB_Thread_Uninstaller.h"

#include <algorithm>
#include <utility>

#include "access/Unit_ZRB_func_Str.h"
#include "access/wow64.h"
#include "leftovers/leftover_scans.h"
#include "leftovers/program_matcher.h"
#include "leftovers/settings_places.h"
#include "platform/os.h"

namespace vorlix {

namespace {

constexpr std::uint32_t pace_ms = 3000;
constexpr std::size_t listed_files_folders_limit = 3000;

bool has(std::uint32_t attributes, std::uint32_t flag) { return (attributes & flag) != 0; }

// A junction or symbolic link: listed, never entered, because what it points
// at lies outside the install location and belongs to someone else.
bool is_link(std::uint32_t attributes) {
    return attributes != os::invalid_file_attributes && has(attributes, os::file_attribute_reparse_point);
}

// The whole path is tested, not only the extension: ".AX" also stands for
// longer extensions, and a folder named like "tools.exe.d" marks its files.
bool is_program_binary(const std::u16string& path) {
    static constexpr const char16_t* markers[] = {u".DLL", u".EXE", u".AX", u".OCX"};
    const auto upper = Str_UpperAscii(path);
    return std::any_of(std::begin(markers), std::end(markers),
                       [&upper](const char16_t* marker) { return upper.find(marker) != std::u16string::npos; });
}

std::int32_t count_of(std::size_t size) { return static_cast<std::int32_t>(size); }

}  // namespace

ZRB_Thread_Uninstaller::ZRB_Thread_Uninstaller(std::shared_ptr<ZRB_InstalledSoftwareList> class_param_SWL,
                                               std::shared_ptr<UiDispatcher> dispatcher_param,
                                               std::shared_ptr<Pacing> pacing_param)
    : mpr_pclass_SWL(std::move(class_param_SWL)),
      dispatcher(std::move(dispatcher_param)),
      pacing(std::move(pacing_param)) {}

void ZRB_Thread_Uninstaller::mpu_pro_SetUninstallSoftware(const std::u16string& str_param_SoftwareName) {
    mpr_class_UninstallSoftware.reset();
    if (!mpr_pclass_SWL) return;
    const auto& map = mpr_pclass_SWL->mpu_SDLMap_InstalledSoftware;
    const auto found = map.find(str_param_SoftwareName);
    if (found != map.end()) mpr_class_UninstallSoftware = found->second;
}

std::thread ZRB_Thread_Uninstaller::start() {
    return std::thread([self = shared_from_this()] { self->Execute(); });
}

void ZRB_Thread_Uninstaller::Execute() {
    report(mpu_dword_cb_TU_Start);
    pacing->pause(pace_ms);
    if (const auto record = mpr_class_UninstallSoftware) analyse(*record);
    report(mpu_dword_cb_TU_End);
}

void ZRB_Thread_Uninstaller::analyse(ZRB_InstalledSoftware& record) {
    const bool view64 = record.mpu_int_Is64Bit == 1;
    // A 64-bit program's files are deleted with the redirection off; the walk
    // must see the same folders, or it would list files of the 32-bit system
    // folders under the names the deletion then removes from the 64-bit ones.
    void* saved_redirection = nullptr;
    if (view64) Sys_DisableFsRedirection(saved_redirection);
    // One guard for the walk and the registry matching: it captures every known folder.
    const LocationGuard guard(other_program_locations(*mpr_pclass_SWL, &record));
    const auto location = mpr_pro_Scan_InstallLocation(record, guard);
    std::sort(record.mpu_SDLarry_Folders.begin(), record.mpu_SDLarry_Folders.end());
    std::sort(record.mpu_SDLarry_Files.begin(), record.mpu_SDLarry_Files.end());
    std::sort(record.mpu_SDLarry_AXCFiles.begin(), record.mpu_SDLarry_AXCFiles.end());

    // The program's own Uninstall key, in the form every finding takes.
    const auto& own_key = record.mpu_str_InstallRegPath;
    const auto root_end = own_key.find(u'|');
    add_registry_finding(record, root_end == std::u16string::npos
                                     ? own_key
                                     : registry_finding(own_key.substr(0, root_end), own_key.substr(root_end + 1)));
    {
        const ProgramMatcher matcher(record, guard, location);
        run_registry_scans({record, matcher, view64,
                            [this, &record](const std::u16string& finding) { add_registry_finding(record, finding); }});
    }
    // Beyond the install folder, apart from what the scans above attribute.
    record.settings = find_settings(record, *mpr_pclass_SWL, guard, view64);
    if (view64) Sys_RevertFsRedirection(saved_redirection);

    std::size_t listed = 0;
    for (const auto* list : {&record.mpu_SDLarry_Folders, &record.mpu_SDLarry_Files})
        for (auto entry = list->begin(); entry != list->end() && listed < listed_files_folders_limit; ++entry, ++listed)
            report_path(mpu_dword_cb_TU_FileFolderList, mpr_str_FilesFolders_Path, *entry);

    std::sort(record.mpu_SDLarry_Registry.begin(), record.mpu_SDLarry_Registry.end());
    for (const auto& entry : record.mpu_SDLarry_Registry) report_path(mpu_dword_cb_TU_RegList, mpr_str_RegistryEntries_Path, entry);
}

std::u16string ZRB_Thread_Uninstaller::mpr_pro_Scan_InstallLocation(ZRB_InstalledSoftware& record,
                                                                    const LocationGuard& guard) {
    record.mpu_SDLarry_Folders.clear();
    record.mpu_SDLarry_AXCFiles.clear();
    record.mpu_SDLarry_Files.clear();
    record.mpu_SDLarry_Registry.clear();
    // A folder known only from the uninstall command is the program's only when nothing else lives there.
    if (record.location_from_command && guard.is_shared_by_commands(record.mpu_str_InstallLocation)) return {};
    // A location that is a link gives only the link; what it leads to is someone else's.
    const auto location = guard.claimable(record.mpu_str_InstallLocation);
    const auto link = location.empty() ? guard.claimable_link(record.mpu_str_InstallLocation) : std::u16string();
    if (location.empty() && link.empty()) return location;
    record.mpu_SDLarry_Folders.push_back(location.empty() ? link : location);
    report_file_folder(record.mpu_SDLarry_Folders.back(), count_of(record.mpu_SDLarry_Folders.size()));
    if (!location.empty()) mpr_pro_Scan_Folder(record, location, guard);
    return location;
}

void ZRB_Thread_Uninstaller::mpr_pro_Scan_Folder(ZRB_InstalledSoftware& record, const std::u16string& folder,
                                                 const LocationGuard& guard) {
    const auto base = Str_EnsureTrailingBackslash(folder);
    os::FindData data;
    const auto find = os::find_first_file(base + u"*.*", data);
    if (find == os::invalid_handle_value) return;
    auto& folders = record.mpu_SDLarry_Folders;
    auto& files = record.mpu_SDLarry_Files;
    do {
        const auto path = base + data.name;
        if (data.name == u"." || data.name == u".." || guard.refers_to_others(path)) continue;
        if (has(data.attributes, os::file_attribute_directory)) {
            if (!is_link(data.attributes)) mpr_pro_Scan_Folder(record, path, guard);
            folders.push_back(Str_Trim(path));
            report_file_folder(path, count_of(files.size() + folders.size()));
        } else {
            if (is_program_binary(path)) record.mpu_SDLarry_AXCFiles.push_back(Str_LowerAscii(Str_Trim(data.name)));
            files.push_back(path);
            report_file_folder(path, count_of(files.size()));
        }
    } while (os::find_next_file(find, data));
    os::find_close(find);
}

void ZRB_Thread_Uninstaller::add_registry_finding(ZRB_InstalledSoftware& record, const std::u16string& finding) {
    record.mpu_SDLarry_Registry.push_back(finding);
    mpr_str_RegistryEntries_Path = finding;
    mpr_dword_RegistryEntries_Count = static_cast<std::uint32_t>(record.mpu_SDLarry_Registry.size());
    dispatcher->run([this] {
        if (mpu_dword_cb_TU_RegCount)
            mpu_dword_cb_TU_RegCount(mpr_str_RegistryEntries_Path.c_str(), mpr_dword_RegistryEntries_Count);
    });
}

void ZRB_Thread_Uninstaller::report(const TU_EventCallback& callback) {
    dispatcher->run([&callback] {
        if (callback) callback();
    });
}

void ZRB_Thread_Uninstaller::report_path(const TU_PathCallback& callback, std::u16string& field,
                                         const std::u16string& path) {
    field = path;
    dispatcher->run([&callback, &field] {
        if (callback) callback(field.c_str());
    });
}

void ZRB_Thread_Uninstaller::report_file_folder(const std::u16string& path, std::int32_t count) {
    mpr_str_FilesFolders_Path = path;
    mpr_dword_FilesFolders_Count = count;
    dispatcher->run([this] {
        if (mpu_dword_cb_TU_FileFolderCount)
            mpu_dword_cb_TU_FileFolderCount(mpr_str_FilesFolders_Path.c_str(),
                                            static_cast<std::uint32_t>(mpr_dword_FilesFolders_Count));
    });
}

}  // namespace vorlix
