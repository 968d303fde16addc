#include "app/Unit_VX_Main.h"

#include <string>
#include <thread>
#include <utility>

#include "access/Unit_ZRB_func_Str.h"
#include "app/decimal_text.h"
#include "app/maker_addresses.h"
#include "app/update_check.h"
#include "app/web_links.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "leftovers/Unit_ZRB_Thread_ShellCallUninstall.h"

namespace vorlix {

namespace {

std::u16string dotted(const FileVersion& version) {
    return decimal_text(version.major) + u"." + decimal_text(version.minor) + u"." + decimal_text(version.release) +
           u"." + decimal_text(version.build);
}

// "%s" of a message replaced by the text, as the message's own format gives it.
std::u16string format_one(std::u16string_view format, const std::u16string& text) {
    std::u16string result(format);
    const auto at = result.find(u"%s");
    if (at != std::u16string::npos) result.replace(at, 2, text);
    return result;
}

}  // namespace

std::u16string executable_folder(const std::u16string& module_path) {
    const auto separator = module_path.find_last_of(u"\\/:");
    std::u16string folder = separator == std::u16string::npos ? std::u16string() : module_path.substr(0, separator + 1);
    while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.pop_back();
    return folder + u'\\';
}

std::u16string version_label_text(const FileVersion& version) { return u"Version: 2023 " + dotted(version); }

TForm_Main::TForm_Main(View& view_param, BackgroundTasks& tasks_param, std::shared_ptr<UiDispatcher> dispatcher_param,
                       std::shared_ptr<Pacing> pacing_param)
    : view(view_param), tasks(tasks_param), dispatcher(std::move(dispatcher_param)), pacing(std::move(pacing_param)) {}

TForm_Main::~TForm_Main() { FormClose(); }

void TForm_Main::FormCreate() {
    SelectedSoftware = nullptr;
    mpr_bool_DisableResize = false;
    installed_ = std::make_shared<ZRB_InstalledSoftwareList>();
    knowledge_ = std::make_shared<ZRB_Software_Lib>();
    knowledge_->mpu_InitLib();
}

void TForm_Main::FormShow() {
    mpr_bool_DisableResize = true;
    view.set_update_label_visible(false);
    mpr_int_UninstallMode = -1;
    mpr_str_CurrentAppPath = executable_folder(os::get_module_file_name());
    const FileVersion version = view.file_version().value_or(FileVersion{});
    version_numbers_ = dotted(version);
    view.set_version_text(version_label_text(version));
    mpr_pro_CreateClassifiedPanels();
    mpr_pro_EndListUpdate();
    show_card(Card::Card_Step1);
    view.set_search_text(search_placeholder, placeholder_colour);
    mpr_pro_StartGetSoftwareList();
    mpr_pro_CheckIsNeedUpdate(version_numbers_, mpr_str_CurrentAppPath, maker_update_document);
}

void TForm_Main::FormClose() {
    // Reports of workers still running find the token gone and return at once.
    alive.reset();
    mpr_list_Search_InstalledSWName.clear();
    leftover_lists = {};
    session.reset();
    // A scan may still hold the list and the knowledge base: dropping this
    // window's share lets the last owner free them.
    installed_.reset();
    knowledge_.reset();
    SelectedSoftware = nullptr;
}

bool TForm_Main::FormCanResize() const { return !mpr_bool_DisableResize; }

void TForm_Main::FormMouseWheel(int delta) {
    constexpr int notch = 120;
    if ((delta < 0) != (wheel_rest_ < 0)) wheel_rest_ = 0;
    wheel_rest_ += delta;
    for (; wheel_rest_ >= notch; wheel_rest_ -= notch) view.scroll_list_lines(-1);
    for (; wheel_rest_ <= -notch; wheel_rest_ += notch) view.scroll_list_lines(1);
}

void TForm_Main::later(std::uint32_t milliseconds, std::function<void()> task) {
    tasks.after(milliseconds, [open = std::weak_ptr<int>(alive), task = std::move(task)] {
        if (!open.expired()) task();
    });
}

void TForm_Main::show_card(Card card) {
    active_card_ = card;
    view.show_card(card);
}

// Loading window. The scan's start report cannot show it itself (the scan
// waits for the report, and only the scan's end closes the window), so it
// posts a request. A close that overtakes the request cancels it: otherwise a
// quick scan would leave the modal window up with nothing left to close it.
void TForm_Main::mpr_pro_ShowLoading() {
    if (view.loading_visible()) return;
    view.show_loading_modal();
}

void TForm_Main::mpr_pro_CloseLoading() {
    loading_request_pending = false;
    view.close_loading();
}

void TForm_Main::on_show_loading_message() {
    if (!loading_request_pending) return;
    loading_request_pending = false;
    mpr_pro_ShowLoading();
}

void TForm_Main::mpr_pro_StartGetSoftwareList() {
    auto scan = std::make_shared<ZRB_Thread_GetInstalledSoftwareList>(installed_, knowledge_, mpr_str_CurrentAppPath,
                                                                      dispatcher, pacing);
    scan->decimal_separator = view.decimal_separator();
    scan->mpu_dword_cb_TGS_GetSoftwareList_Start = guarded(&TForm_Main::mpu_pro_cb_InstallerSoftwarelist_Start);
    // The scan reports name, publisher, version, size, location, icon, index.
    scan->mpu_dword_cb_TGS_GetSoftwareList =
        [this, open = std::weak_ptr<int>(alive)](const char16_t* name, const char16_t* publisher,
                                                 const char16_t* version, const char16_t* size,
                                                 const char16_t* location, const char16_t* icon,
                                                 std::int32_t icon_index) -> std::uint32_t {
        if (!open.expired()) mpu_pro_cb_InstallerSoftwarelist(name, publisher, icon_index, icon, location, size, version);
        return 0;
    };
    scan->mpu_dword_cb_TGS_GetSoftwareList_End = guarded(&TForm_Main::mpu_pro_cb_InstallerSoftwarelist_End);
    installed_->mpu_bool_IsSearch = false;
    tasks.adopt(scan->start());
}

void TForm_Main::mpu_pro_cb_InstallerSoftwarelist_Start() {
    loading_request_pending = true;
    view.post_show_loading();
}

void TForm_Main::mpu_pro_cb_InstallerSoftwarelist(const std::u16string& str_param_SoftwareName,
                                                  const std::u16string& str_param_SoftwarePublisher,
                                                  std::int32_t int_param_SoftwareIcon_ID,
                                                  const std::u16string& str_param_SoftwareIcon,
                                                  const std::u16string& str_param_SoftwareInstallLocation,
                                                  const std::u16string& str_param_SoftwareEstimatedSize,
                                                  const std::u16string& str_param_SoftwareVersion) {
    mpr_str_SoftwareName = str_param_SoftwareName;
    mpr_str_SoftwarePublisher = str_param_SoftwarePublisher;
    mpr_int_SoftwareIcon_ID = int_param_SoftwareIcon_ID;
    mpr_str_SoftwareIcon = str_param_SoftwareIcon;
    mpr_str_SoftwareInstallLocation = str_param_SoftwareInstallLocation;
    mpr_str_SoftwareEstimatedSize = str_param_SoftwareEstimatedSize;
    mpr_str_SoftwareVersion = str_param_SoftwareVersion;
    mpu_prosyncb_InstallerSoftwarelist_Ex();
    view.process_pending_messages();
}

void TForm_Main::mpu_pro_cb_InstallerSoftwarelist_End() {
    view.scroll_list(ListPosition::top);
    mpr_pro_CloseLoading();
}

// The Uninstall button of a row.
void TForm_Main::mpu_pro_cb_BnClick_Uninstall(const std::u16string& str_param_SoftwareName) {
    if (!view.message_box(format_one(u"Are you sure you want to uninstall %s ?", str_param_SoftwareName),
                          MessageKind::question))
        return;
    // A row whose program is no longer listed has nothing left to uninstall.
    if (!installed_) return;
    const auto& programs = installed_->mpu_SDLMap_InstalledSoftware;
    const auto found = programs.find(Str_LowerAscii(str_param_SoftwareName));
    if (found == programs.end()) return;
    SelectedSoftware = found->second;
    if (!Str_Trim(SelectedSoftware->mpu_str_InstallLocation).empty() && SelectedSoftware->mpu_bool_InstallLocation_Scan) {
        Bn_RunAnalysisClick();
        return;
    }
    mpr_pro_CallUninstall();
    mpr_list_Uninstalled_InstalledSWName.push_back(str_param_SoftwareName);
    uninstalled_names.insert(str_param_SoftwareName);
    hide_row(str_param_SoftwareName);
}

void TForm_Main::Bn_RunAnalysisClick() {
    mpr_str_SelUnstallSoftware = SelectedSoftware->mpu_str_Name;
    mpr_str_SelUnstallSoftware_PU = SelectedSoftware->mpu_str_Publisher;
    mpr_int_UninstallType = SelectedSoftware->mpu_int_Is64Bit;
    mpr_int_UninstallMode = 1;
    mpr_pro_StartAnalysis();
}

void TForm_Main::mpr_pro_CheckIsNeedUpdate(const std::u16string& str_param_Version, const std::u16string& folder,
                                           const std::u16string& str_param_UpdateInfo_Url) {
    if (str_param_Version.empty() || folder.empty()) return;
    // The worker holds nothing of the window: it may outlive it.
    tasks.adopt(std::thread([download = view.downloader(), version = str_param_Version, folder,
                             address = str_param_UpdateInfo_Url, ui = dispatcher, open = std::weak_ptr<int>(alive),
                             this] {
        run_update_check(download, version, folder, address, [&] {
            ui->run([&] {
                if (!open.expired()) view.set_update_label_visible(true);
            });
        });
    }));
}

void TForm_Main::lb_Main_CanUpdateInfoClick() { open_web_address(view.window_handle(), maker_sign_in_page); }

void TForm_Main::mpr_pro_CallUninstall() {
    mpr_str_SelUnstallSoftware = SelectedSoftware->mpu_str_Name;
    mpr_str_SelUnstallSoftware_PU = SelectedSoftware->mpu_str_Publisher;
    started_uninstaller = std::make_shared<StartedUninstaller>();
    auto launcher = std::make_shared<ZRB_Thread_ShellCallUninstall>(view.window_handle(),
                                                                    SelectedSoftware->mpu_int_Is64Bit == 1,
                                                                    SelectedSoftware->mpu_str_UninstallString,
                                                                    started_uninstaller);
    tasks.adopt(launcher->start());
}

}  // namespace vorlix
