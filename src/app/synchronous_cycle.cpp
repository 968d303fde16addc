#include "app/synchronous_cycle.h"

#include <string>

#include "app/decimal_text.h"
#include "leftovers/Unit_ZRB_Thread_ShellCallUninstall.h"
#include "leftovers/Unit_ZRB_Thread_ShellExeUninstaller.h"
#include "leftovers/Unit_ZRB_Thread_Uninstaller.h"
#include "leftovers/location_guard.h"

namespace vorlix {

namespace {

constexpr std::int32_t analysis_of_inventory = 1;

void tell(const ProgressFunction& progress, const std::u16string& line) {
    if (progress) progress(line);
}

}  // namespace

AnalysisCounts run_analysis(const std::shared_ptr<ZRB_InstalledSoftwareList>& list, const std::u16string& name_low,
                            LeftoverSession* session, const ProgressFunction& progress) {
    AnalysisCounts counts;
    auto thread = std::make_shared<ZRB_Thread_Uninstaller>(list);
    thread->mpu_int_UninstallMode = analysis_of_inventory;
    thread->mpu_dword_cb_TU_Start = [&]() -> std::uint32_t {
        if (session) session->analysis_started();
        return 0;
    };
    thread->mpu_dword_cb_TU_FileFolderCount = [&](const char16_t* path, std::uint32_t count) -> std::uint32_t {
        counts.files_folders = count;
        if (session) session->file_folder_found(path, count);
        return 0;
    };
    thread->mpu_dword_cb_TU_RegCount = [&](const char16_t*, std::uint32_t count) -> std::uint32_t {
        counts.registry = count;
        if (session) session->registry_found(count);
        return 0;
    };
    thread->mpu_dword_cb_TU_RegList = [&](const char16_t* path) -> std::uint32_t {
        if (session) session->registry_listed(path);
        return 0;
    };
    thread->mpu_pro_SetUninstallSoftware(name_low);
    if (session) session->other_locations = other_program_locations(*list, list->find(name_low));
    tell(progress, u"Analysing the program's files, folders and registry entries...");
    thread->start().join();
    const auto* record = list->find(name_low);
    const auto settings = record ? record->settings : SettingsFindings{};
    if (session) session->settings = settings;
    const auto files_folders = counts.files_folders + settings.folders.size() + settings.files.size();
    tell(progress, u"Analysis completed. " + decimal_text(files_folders) + u" files/folders and " +
                       decimal_text(counts.registry + settings.registry.size()) + u" registry entries found.");
    return counts;
}

UninstallerRun run_uninstaller(const std::shared_ptr<ZRB_InstalledSoftwareList>& list,
                               const std::u16string& name_low, const std::u16string& command,
                               LeftoverSession* session, const ProgressFunction& progress,
                               std::shared_ptr<Pacing> polling,
                               std::optional<std::uint64_t> wait_limit_ms) {
    UninstallerRun run;
    const auto* record = list->find(name_low);
    if (!record) return run;
    auto started = std::make_shared<StartedUninstaller>();
    tell(progress, u"Starting the uninstaller: " + command);
    auto launcher = std::make_shared<ZRB_Thread_ShellCallUninstall>(0, record->mpu_int_Is64Bit == 1, command, started);
    auto launch = launcher->start();

    auto supervisor = std::make_shared<ZRB_Thread_ShellExeUninstaller>(
        list, std::make_shared<ImmediateDispatcher>(), std::make_shared<NoPacing>(), std::move(polling));
    if (wait_limit_ms) supervisor->set_wait_limit(*wait_limit_ms);
    supervisor->mpu_dword_cb_SHTU_StepTip_Start = [&](std::int32_t step) -> std::uint32_t {
        if (step == step_uninstaller_runs) tell(progress, u"Waiting for the uninstaller to finish...");
        return 0;
    };
    // Raw: the callback is the supervisor's own.
    auto* watcher = supervisor.get();
    supervisor->mpu_dword_cb_SHTU_StepTip_End = [&, watcher](std::int32_t step) -> std::uint32_t {
        if (step != step_uninstaller_runs) return 0;
        // The supervision is over: what the uninstaller did can be judged now.
        run = observe_uninstaller(*started, watcher->still_running(), *record);
        tell(progress, verdict_message(judge_uninstall(run), run));
        if (session && !session->save_results()) tell(progress, u"The result files could not be written.");
        return 0;
    };
    supervisor->mpu_dword_cb_SHTU_End = [&]() -> std::uint32_t {
        if (session) session->load_results();
        return 0;
    };
    supervisor->mpu_pro_SetUninstallSoftware(name_low);
    supervisor->watch_start(started);
    supervisor->start().join();
    launch.join();
    return run;
}

}  // namespace vorlix
