// The analysis, waiting and leftover cards of the main window: the analysis
// of the selected program, the supervision of its uninstaller, and the
// deletion of what the user leaves ticked.
#include <algorithm>
#include <unordered_set>

#include "app/Unit_VX_Main.h"
#include "app/decimal_text.h"
#include "leftovers/Unit_ZRB_Thread_ShellExeUninstaller.h"
#include "leftovers/Unit_ZRB_Thread_Uninstaller.h"
#include "leftovers/location_guard.h"

namespace vorlix {

namespace {

// The live counter shows every count below this, then only its multiples.
constexpr std::uint32_t counter_step = 100;
constexpr std::uint32_t supervision_delay_ms = 1000;
constexpr std::uint32_t tip_delay_ms = 500;

constexpr const char16_t* step3_text =
    u"Clear all the remaining files, floders and registry entries to free up disk space.";
constexpr const char16_t* program_remains_text =
    u" Deleting the leftovers now would force the removal of a program that may still be installed.";

std::size_t index(LeftoverList list) { return static_cast<std::size_t>(list); }

}  // namespace

std::u16string window_deletion_message(const DeletionReport& report, std::size_t unticked) {
    // Rows the user left unticked stay by choice: "completely removed" would not be true.
    std::u16string message = report.remaining_count() == 0 && unticked > 0
                                 ? u"Every ticked leftover has been removed."
                                 : deletion_message(report);
    if (unticked > 0)
        message += u"\r\n" + decimal_text(unticked) +
                   (unticked == 1 ? u" unticked entry was kept." : u" unticked entries were kept.");
    if (!report.backup_path.empty())
        message += u"\r\nThe deleted registry entries were saved to " + report.backup_path;
    return message;
}

namespace {

std::u16string delete_question(std::size_t unticked) {
    if (unticked == 0) return u"Are you sure you want to delete all leftovers?";
    return u"Are you sure you want to delete the ticked leftovers?\r\n" + decimal_text(unticked) +
           (unticked == 1 ? u" unticked entry will be kept." : u" unticked entries will be kept.");
}

}  // namespace

std::u16string forced_removal_question(const std::u16string& program, UninstallVerdict verdict,
                                       const UninstallerRun& run) {
    return verdict_message(verdict, run) + u"\r\n" + program +
           u" may still be installed. Deleting its leftovers removes it by force and may leave it broken.\r\n"
           u"Do you want to force its removal?";
}

const StringList& TForm_Main::leftover_rows(LeftoverList list) const { return leftover_lists[index(list)].rows; }

bool TForm_Main::has_leftover_rows(LeftoverList files, LeftoverList registry) const {
    return !leftover_rows(files).empty() || !leftover_rows(registry).empty();
}

bool TForm_Main::leftover_ticked(LeftoverList list, std::size_t row) const {
    const auto& ticked = leftover_lists[index(list)].ticked;
    return row < ticked.size() && ticked[row];
}

void TForm_Main::set_leftover_ticked(LeftoverList list, std::size_t row, bool ticked) {
    auto& rows = leftover_lists[index(list)];
    if (row < rows.ticked.size()) rows.ticked[row] = ticked;
}

void TForm_Main::add_leftover_row(LeftoverList list, const std::u16string& text, bool ticked) {
    auto& rows = leftover_lists[index(list)];
    rows.rows.push_back(text);
    rows.ticked.push_back(ticked);
}

void TForm_Main::clear_leftover_lists() {
    for (const auto list : {LeftoverList::step2_files, LeftoverList::step2_registry, LeftoverList::step3_files,
                            LeftoverList::step3_registry}) {
        leftover_lists[index(list)] = {};
        view.leftover_rows_changed(list);
    }
}

// Analysis.

void TForm_Main::mpr_pro_StartAnalysis() {
    session = std::make_shared<LeftoverSession>(mpr_str_CurrentAppPath);
    session->select_program(*SelectedSoftware);
    session->other_locations = other_program_locations(*installed_, SelectedSoftware.get());
    verdict_.reset();

    auto analysis = std::make_shared<ZRB_Thread_Uninstaller>(installed_, dispatcher, pacing);
    analysis->mpu_int_UninstallMode = mpr_int_UninstallMode;
    analysis->mpu_dword_cb_TU_Start = guarded(&TForm_Main::mpu_pro_cb_UninstallSoftware_Start);
    analysis->mpu_dword_cb_TU_End = guarded(&TForm_Main::mpu_pro_cb_UninstallSoftware_End);
    analysis->mpu_dword_cb_TU_FileFolderCount = guarded(&TForm_Main::mpu_pro_cb_InstalledSoftwareFileCount);
    analysis->mpu_dword_cb_TU_FileFolderList = guarded(&TForm_Main::mpu_pro_cb_InstalledSoftwareFilePath);
    analysis->mpu_dword_cb_TU_RegCount = guarded(&TForm_Main::mpu_pro_cb_InstalledSoftwareRegCount);
    analysis->mpu_dword_cb_TU_RegList = guarded(&TForm_Main::mpu_pro_cb_InstalledSoftwareRegPath);
    analysis->mpu_pro_SetUninstallSoftware(SelectedSoftware->mpu_str_Name_low);

    mpr_pro_ShowAnalyzingAnimation();
    view.set_files_folders_count(u"0");
    view.set_registry_count(u"0");
    show_card(Card::Card_Analyzing);
    view.set_analyzing_name(mpr_str_SelUnstallSoftware);
    tasks.adopt(analysis->start());
}

void TForm_Main::mpr_pro_ShowAnalyzingAnimation() { view.start_analyzing_animation(); }

void TForm_Main::mpu_pro_cb_UninstallSoftware_Start() {
    session->analysis_started();
    clear_leftover_lists();
    view.set_leftover_lists_redraw(false);
}

void TForm_Main::mpu_pro_cb_InstalledSoftwareFileCount(const std::u16string& path, std::uint32_t count) {
    session->file_folder_found(path, count);
    if (count < counter_step || count % counter_step == 0) view.set_files_folders_count(decimal_text(count));
}

void TForm_Main::mpu_pro_cb_InstalledSoftwareRegCount(const std::u16string&, std::uint32_t count) {
    session->registry_found(count);
    view.set_registry_count(decimal_text(count));
}

void TForm_Main::mpu_pro_cb_InstalledSoftwareFilePath(const std::u16string& path) {
    add_leftover_row(LeftoverList::step2_files, path);
    view.leftover_rows_changed(LeftoverList::step2_files);
}

void TForm_Main::mpu_pro_cb_InstalledSoftwareRegPath(const std::u16string& path) {
    if (!session->registry_listed(path)) return;
    add_leftover_row(LeftoverList::step2_registry, path);
    view.leftover_rows_changed(LeftoverList::step2_registry);
}

void TForm_Main::mpu_pro_cb_UninstallSoftware_End() {
    // The settings beyond the install folder follow the analysis's rows, as many as get one.
    session->settings = SelectedSoftware->settings;
    const auto& settings = session->settings;
    for (const auto* list : {&settings.folders, &settings.files})
        for (const auto& path : *list)
            if (leftover_rows(LeftoverList::step2_files).size() < leftover_row_limit)
                add_leftover_row(LeftoverList::step2_files, path);
    for (const auto& key : settings.registry) add_leftover_row(LeftoverList::step2_registry, key);
    view.leftover_rows_changed(LeftoverList::step2_files);
    view.leftover_rows_changed(LeftoverList::step2_registry);
    view.set_leftover_lists_redraw(true);
    // The summary counts the rows below it: the counter misses the program's
    // own folder. Only past the list's limit does the counter know more.
    const std::size_t files_folders =
        std::max<std::size_t>(leftover_rows(LeftoverList::step2_files).size(), session->files_folders_count);
    view.set_step2_summary(u"Analysis completed. " + decimal_text(files_folders) +
                           u" files/folders and " + decimal_text(leftover_rows(LeftoverList::step2_registry).size()) +
                           u" registry entries found.");
    Bn_Step2_FileslistClick();
    show_card(Card::Card_Step2);
}

// Step 2.

void TForm_Main::Bn_Step2_FileslistClick() { view.show_leftover_tab(LeftoverList::step2_files); }

void TForm_Main::Bn_Step2_RegistrylistClick() { view.show_leftover_tab(LeftoverList::step2_registry); }

void TForm_Main::Bn_Step2_BackToSoftwareListClick() {
    SelectedSoftware = nullptr;
    show_card(Card::Card_Step1);
    Bn_RefreshClick();
}

void TForm_Main::Bn_StartUninstallClick() {
    if (!has_leftover_rows(LeftoverList::step2_files, LeftoverList::step2_registry)) {
        view.message_box(u"Program encountered problem during the uninstallation.", MessageKind::error);
        return;
    }
    mpr_pro_CallUninstall();
    set_waiting_steps({}, {});
    view.set_scan_leftovers_enabled(false);
    show_card(Card::Card_Waiting);
    // Clicks on the window must not pull it over the uninstaller's own windows.
    view.set_no_activate(true);
    later(supervision_delay_ms, [this] { start_supervision(); });
    later(tip_delay_ms, [this] { show_uninstall_tip(); });
}

void TForm_Main::show_uninstall_tip() {
    if (!view.uninstall_tip_visible()) view.show_uninstall_tip_modal();
}

// Waiting.

void TForm_Main::start_supervision() {
    // The window waits for as long as the uninstaller runs, so its looks at
    // the process list pause for real in the window.
    auto supervisor = std::make_shared<ZRB_Thread_ShellExeUninstaller>(installed_, dispatcher, pacing, pacing);
    supervisor->mpu_dword_cb_SHTU_Start = guarded(&TForm_Main::mpu_pro_cb_SHTU_UninstallSoftware_Start);
    supervisor->mpu_dword_cb_SHTU_End = guarded(&TForm_Main::mpu_pro_cb_SHTU_UninstallSoftware_End);
    supervisor->mpu_dword_cb_SHTU_StepTip_Start = guarded(&TForm_Main::mpu_pro_cb_UninstallStepTip_Start);
    supervisor->mpu_dword_cb_SHTU_StepTip_End = guarded(&TForm_Main::mpu_pro_cb_UninstallStepTip_End);
    supervisor->mpu_pro_SetUninstallSoftware(SelectedSoftware->mpu_str_Name_low);
    supervisor->watch_start(started_uninstaller);
    tasks.adopt(supervisor->start());
}

void TForm_Main::set_waiting_steps(WaitingStep first, WaitingStep second) {
    waiting_steps = {first, second};
    view.set_waiting_step(1, first);
    view.set_waiting_step(2, second);
}

void TForm_Main::mpu_pro_cb_SHTU_UninstallSoftware_Start() { set_waiting_steps({true, true}, {false, false}); }

void TForm_Main::mpu_pro_cb_UninstallStepTip_Start(std::int32_t step) {
    auto [first, second] = waiting_steps;
    if (step == step_uninstaller_runs) {
        first.animated = true;
    } else if (step == step_uninstaller_over) {
        first.animated = false;
        second = {true, true};
    } else {
        return;
    }
    set_waiting_steps(first, second);
}

void TForm_Main::mpu_pro_cb_UninstallStepTip_End(std::int32_t step) {
    if (step == step_uninstaller_runs) session->save_results();
}

void TForm_Main::mpu_pro_cb_SHTU_UninstallSoftware_End() {
    auto [first, second] = waiting_steps;
    first.animated = second.animated = false;
    set_waiting_steps(first, second);
    mpr_pro_LoadLeftoverResults();
}

// Reading the results back re-checks every listed path and registry entry:
// seconds on a large program, so it runs on a worker while Scan Leftovers
// stays disabled.
void TForm_Main::mpr_pro_LoadLeftoverResults() {
    auto run = std::make_shared<UninstallerRun>();
    on_worker(
        [run, session = session, started = started_uninstaller, record = SelectedSoftware] {
            // The supervision waited for the launch, so its outcome is known by now.
            *run = observe_uninstaller(*started, false, *record);
            session->load_results();
        },
        [this, run] {
            uninstaller_run = *run;
            verdict_ = judge_uninstall(uninstaller_run);
            fill_step3();
            view.set_scan_leftovers_enabled(true);
        });
}

void TForm_Main::on_worker(std::function<void()> work, std::function<void()> done) {
    tasks.adopt(std::thread([work = std::move(work), done = std::move(done), ui = dispatcher,
                             open = std::weak_ptr<int>(alive)] {
        work();
        ui->run([&] {
            if (!open.expired()) done();
        });
    }));
}

void TForm_Main::fill_step3() {
    // A row the user unticked on step 2 stays unticked on step 3.
    std::unordered_set<std::u16string> unticked;
    for (const auto list : {LeftoverList::step2_files, LeftoverList::step2_registry}) {
        const auto& rows = leftover_rows(list);
        for (std::size_t row = 0; row < rows.size(); ++row)
            if (!leftover_ticked(list, row)) unticked.insert(rows[row]);
    }
    for (const auto list : {LeftoverList::step3_files, LeftoverList::step3_registry}) {
        leftover_lists[index(list)] = {};
        const auto rows =
            list == LeftoverList::step3_files ? session->file_rows() : session->registry_rows();
        for (const auto& text : rows) add_leftover_row(list, text, unticked.count(text) == 0);
        view.leftover_rows_changed(list);
    }
    const bool removed = verdict_ == UninstallVerdict::removed;
    view.set_step3_text(removed ? std::u16string(step3_text)
                                : verdict_message(*verdict_, uninstaller_run) + program_remains_text);
}

void TForm_Main::Bn_ScanLeftoversClick() {
    // The uninstaller has ended: the window may come to the front again.
    view.set_no_activate(false);
    Bn_Step3_FileslistClick();
    show_card(Card::Card_Step3);
}

// Step 3.

void TForm_Main::Bn_Step3_FileslistClick() { view.show_leftover_tab(LeftoverList::step3_files); }

void TForm_Main::Bn_Step3_RegistrylistClick() { view.show_leftover_tab(LeftoverList::step3_registry); }

LeftoverSelection TForm_Main::step3_selection() const {
    return {leftover_lists[index(LeftoverList::step3_files)].ticked,
            leftover_lists[index(LeftoverList::step3_registry)].ticked};
}

bool TForm_Main::forced_removal_confirmed() {
    if (!verdict_ || *verdict_ == UninstallVerdict::removed) return true;
    return view.message_box(forced_removal_question(mpr_str_SelUnstallSoftware, *verdict_, uninstaller_run),
                            MessageKind::risky_question);
}

bool TForm_Main::leftovers_selected() const {
    // Leftovers past the file rows have no box and count as ticked.
    const auto listed = session->mpr_strlist_LF_Folders.size() + session->mpr_strlist_LF_Files.size() +
                        session->settings.folders.size() + session->settings.files.size();
    if (listed > leftover_rows(LeftoverList::step3_files).size()) return true;
    for (const auto list : {LeftoverList::step3_files, LeftoverList::step3_registry}) {
        const auto& ticked = leftover_lists[index(list)].ticked;
        if (std::find(ticked.begin(), ticked.end(), true) != ticked.end()) return true;
    }
    return false;
}

void TForm_Main::Bn_DeleteLeftoversClick() {
    const bool listed = has_leftover_rows(LeftoverList::step3_files, LeftoverList::step3_registry);
    // Otherwise the report would call an untouched program completely removed.
    if (listed && !leftovers_selected()) {
        view.message_box(u"No leftover is ticked, so nothing was deleted.", MessageKind::information);
        return;
    }
    if (!forced_removal_confirmed()) return;
    const auto selection = step3_selection();
    std::size_t unticked = 0;
    for (const auto* ticked : {&selection.file_rows, &selection.registry_rows})
        unticked += static_cast<std::size_t>(std::count(ticked->begin(), ticked->end(), false));
    if (!view.message_box(delete_question(unticked), MessageKind::question)) return;
    // A large program takes seconds to delete: the loading window covers the
    // worker, as it covers a scan. Nothing pumps messages before the loading
    // window's loop, so the worker's end is served inside it.
    auto report = std::make_shared<DeletionReport>();
    auto ended = std::make_shared<bool>(false);
    on_worker([report, selection, session = session] { *report = session->delete_leftovers(selection); },
              [this, ended] {
                  *ended = true;
                  mpr_pro_CloseLoading();
              });
    if (!*ended) mpr_pro_ShowLoading();
    // The loop also ends when the application quits.
    if (!*ended) return;
    clear_leftover_lists();
    view.message_box(window_deletion_message(*report, unticked), MessageKind::information);
    mpr_pro_BackToSoftwareList();
}

void TForm_Main::Bn_Step3_BackToSoftwareListClick() {
    const bool listed = has_leftover_rows(LeftoverList::step3_files, LeftoverList::step3_registry);
    if (listed && !view.message_box(u"The current uninstall process has not yet completed.\r\n"
                                    u"Are you sure you want to cancel the current uninstall process?",
                                    MessageKind::question))
        return;
    mpr_pro_BackToSoftwareList();
}

void TForm_Main::mpr_pro_BackToSoftwareList() {
    SelectedSoftware = nullptr;
    if (mpr_int_UninstallMode != 1) return;
    show_card(Card::Card_Step1);
    Bn_RefreshClick();
}

}  // namespace vorlix
