#include "leftovers/Unit_ZRB_Thread_ShellExeUninstaller.h"

#include <array>
#include <utility>

#include "access/Unit_ZRB_func_Process.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

constexpr std::uint32_t start_pace_ms = 2000;
constexpr std::uint32_t step_pace_ms = 5000;
constexpr std::uint32_t poll_ms = 1000;
constexpr int detection_passes = 5;
constexpr int bounded_polls = 5;

constexpr std::array<const char16_t*, 8> known_uninstallers = {
    u"MsiExec.exe", u"unins000.exe", u"unins001.exe", u"uninst.exe",
    u"Setup.exe",   u"uninstall.exe", u"install.exe", u"UNWISE.EXE"};

bool is_name_end(char16_t unit) { return unit == u'\\' || unit == u'"' || unit == u' '; }

}  // namespace

std::u16string uninstaller_exe_name(const std::u16string& uninstall_string) {
    const auto text = Str_Trim(uninstall_string);
    const auto dot = Str_UpperAscii(text).find(u".EXE");
    if (dot == std::u16string::npos || dot == 0) return {};
    auto begin = dot;
    while (begin > 0 && !is_name_end(text[begin - 1])) --begin;
    return text.substr(begin, dot + 4 - begin);
}

ZRB_Thread_ShellExeUninstaller::ZRB_Thread_ShellExeUninstaller(
    std::shared_ptr<ZRB_InstalledSoftwareList> class_param_SWL, std::shared_ptr<UiDispatcher> dispatcher_param,
    std::shared_ptr<Pacing> pacing_param, std::shared_ptr<Pacing> polling_param)
    : mpr_pclass_SWL(std::move(class_param_SWL)),
      dispatcher(std::move(dispatcher_param)),
      pacing(std::move(pacing_param)),
      polling(std::move(polling_param)) {}

void ZRB_Thread_ShellExeUninstaller::mpu_pro_SetUninstallSoftware(const std::u16string& str_param_SoftwareName) {
    const auto& map = mpr_pclass_SWL->mpu_SDLMap_InstalledSoftware;
    const auto found = map.find(str_param_SoftwareName);
    mpr_class_UninstallSoftware = found == map.end() ? nullptr : found->second;
}

void ZRB_Thread_ShellExeUninstaller::watch_start(std::shared_ptr<StartedUninstaller> started_param) {
    started = std::move(started_param);
}

void ZRB_Thread_ShellExeUninstaller::set_wait_limit(std::uint64_t milliseconds) { budget = WaitBudget(milliseconds); }

std::thread ZRB_Thread_ShellExeUninstaller::start() {
    return std::thread([self = shared_from_this()] { self->Execute(); });
}

void ZRB_Thread_ShellExeUninstaller::Execute() {
    report(mpu_dword_cb_SHTU_Start);
    pacing->pause(start_pace_ms);

    mpr_int_StepType = step_uninstaller_runs;
    report_step(mpu_dword_cb_SHTU_StepTip_Start, mpr_int_StepType);
    std::u16string name;
    bool found = detect_known_uninstaller(name);
    if (!found) found = detect_own_uninstaller(name);
    if (found) wait_while_running(name);
    // A name alone may belong to an unrelated program, so that wait stays
    // bounded; the process the launch started is waited for to its real end.
    wait_for_started_tree();
    mpr_int_StepType = step_uninstaller_runs;
    report_step(mpu_dword_cb_SHTU_StepTip_End, mpr_int_StepType);
    pacing->pause(step_pace_ms);

    mpr_int_StepType = step_uninstaller_over;
    report_step(mpu_dword_cb_SHTU_StepTip_Start, mpr_int_StepType);
    report_step(mpu_dword_cb_SHTU_StepTip_End, mpr_int_StepType);
    pacing->pause(step_pace_ms);
    report(mpu_dword_cb_SHTU_End);
}

bool ZRB_Thread_ShellExeUninstaller::detect_known_uninstaller(std::u16string& name) {
    bool found = false;
    for (int pass = 0; pass < detection_passes; ++pass) {
        for (const auto* known : known_uninstallers) {
            name = known;
            if (IsProcessRunning(name)) {
                found = true;
                break;
            }
        }
        poll_pause();
    }
    return found;
}

bool ZRB_Thread_ShellExeUninstaller::detect_own_uninstaller(std::u16string& name) {
    name = mpr_class_UninstallSoftware ? uninstaller_exe_name(mpr_class_UninstallSoftware->mpu_str_UninstallString)
                                       : std::u16string();
    for (int attempt = 0; attempt < bounded_polls; ++attempt) {
        if (!name.empty() && IsProcessRunning(name)) return true;
        poll_pause();
    }
    return false;
}

void ZRB_Thread_ShellExeUninstaller::wait_while_running(const std::u16string& name) {
    for (int attempt = 0; attempt < bounded_polls && IsProcessRunning(name); ++attempt) poll_pause();
}

void ZRB_Thread_ShellExeUninstaller::watch_tree(os::Handle process) {
    if (tree || process == 0) return;
    // The program's own folder, the temporary folders and Windows Installer
    // keep the supervision once the started process has ended; anything else
    // it opened (a browser with a farewell page) is the user's.
    tree.emplace(process, UninstallerScope::for_program(
                              mpr_class_UninstallSoftware ? mpr_class_UninstallSoftware->mpu_str_InstallLocation
                                                          : std::u16string()));
}

void ZRB_Thread_ShellExeUninstaller::look_at_started_tree() {
    os::Handle process = 0;
    if (started && started->peek(process)) watch_tree(process);
    if (tree) tree->look();
}

void ZRB_Thread_ShellExeUninstaller::poll_pause() {
    look_at_started_tree();
    // Past the limit the bounded looks go on without pauses; they end soon.
    if (budget.spend(poll_ms)) polling->pause(poll_ms);
}

void ZRB_Thread_ShellExeUninstaller::wait_for_started_tree() {
    if (!started) return;
    watch_tree(started->wait_for_start());
    if (tree) limit_passed = !tree->wait(*polling, budget);
    tree.reset();
}

void ZRB_Thread_ShellExeUninstaller::report(const SHTU_EventCallback& callback) {
    dispatcher->run([&callback] {
        if (callback) callback();
    });
}

void ZRB_Thread_ShellExeUninstaller::report_step(const SHTU_StepCallback& callback, std::int32_t step) {
    dispatcher->run([&callback, step] {
        if (callback) callback(step);
    });
}

}  // namespace vorlix
