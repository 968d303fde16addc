#include "cli/cmd_uninstall.h"

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

#include "access/Unit_ZRB_func_Str.h"
#include "app/decimal_text.h"
#include "app/installer_engine.h"
#include "app/leftover_session.h"
#include "app/synchronous_cycle.h"
#include "app/uninstall_verdict.h"
#include "cli/cmd_analyze.h"
#include "cli/program_choice.h"
#include "cli/terminal_text.h"
#include "platform/os.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

namespace {

constexpr int exit_failed = 1;
constexpr int exit_leftovers_remain = 3;
constexpr int exit_still_running = 4;
constexpr int exit_still_installed = 5;
constexpr int exit_needs_window = 6;

// With --yes nobody may be watching: an uninstaller that hangs must not hold the command for ever.
constexpr std::uint64_t unattended_wait_limit_s = 3600;

// The folder of the running executable, where the result files go.
std::u16string result_folder() {
    const auto path = os::get_module_file_name();
    return path.substr(0, path.rfind(u'\\') + 1);
}

bool ask_on_console(const std::u16string& question) {
    print_progress(question + u" [y/N]");
    std::string answer;
    if (!std::getline(std::cin, answer)) return false;
    const auto reply = Str_LowerAscii(Str_Trim(from_utf8(answer)));
    return reply == u"y" || reply == u"yes";
}

std::size_t leftover_count(const LeftoverSession& session) {
    return session.mpr_strlist_LF_Folders.size() + session.mpr_strlist_LF_Files.size() +
           session.mpr_dic_LF_Registry.size() + session.settings.size();
}

void list_leftovers(const LeftoverSession& session, const UninstallTerminal& terminal) {
    terminal.progress(u"Leftovers still present:");
    for (const auto* list : {&session.mpr_strlist_LF_Folders, &session.mpr_strlist_LF_Files,
                             &session.mpr_dic_LF_Registry.keys()})
        for (const auto& entry : *list) terminal.progress(u"  " + entry);
    if (session.settings.size() == 0) return;
    terminal.progress(u"Settings and data beyond the install folder:");
    for (const auto* list : {&session.settings.folders, &session.settings.files, &session.settings.registry})
        for (const auto& entry : *list) terminal.progress(u"  " + entry);
}

// What one program's cycle did, for either output form.
struct Outcome {
    std::u16string name;
    std::u16string install_location;
    InstallerKind installer;
    bool quiet = false;
    bool analysed = false;
    bool started = false;
    const LeftoverSession* session = nullptr;
    UninstallerRun run;
    UninstallVerdict verdict = UninstallVerdict::not_started;
    bool forced = false;
    bool deleted = false;
    DeletionReport report;
    std::u16string message;
    int exit_code = 0;
};

std::string json_output(const Outcome& outcome) {
    nlohmann::ordered_json document;
    const auto& session = *outcome.session;
    document["name"] = to_utf8(outcome.name);
    document["install_location"] = to_utf8(outcome.install_location);
    document["analysed"] = outcome.analysed;
    document["uninstaller_started"] = outcome.started;
    document["uninstaller"] = {
        {"start_error", outcome.run.start_error},
        {"exit_code", outcome.run.exit_code ? nlohmann::ordered_json(*outcome.run.exit_code) : nullptr},
        {"still_running", outcome.run.still_running},
        {"entry_remains", outcome.run.entry_remains},
        {"verdict", verdict_name(outcome.verdict)}};
    document["forced"] = outcome.forced;
    document["leftovers"] = {{"folders", json_texts(session.mpr_strlist_LF_Folders)},
                             {"files", json_texts(session.mpr_strlist_LF_Files)},
                             {"registry", json_texts(session.mpr_dic_LF_Registry.keys())}};
    document["settings"] = json_settings(session.settings);
    document["deleted"] = outcome.deleted;
    document["backup"] = to_utf8(outcome.report.backup_path);
    document["not_removed"] = {{"files_folders", json_texts(outcome.report.remaining_files_folders)},
                               {"registry", json_texts(outcome.report.remaining_registry)}};
    document["not_removed_count"] = outcome.report.remaining_count();
    auto kept = nlohmann::ordered_json::array();
    for (const auto& item : outcome.report.kept)
        kept.push_back({{"path", to_utf8(item.path)}, {"reason", to_utf8(item.reason)}});
    document["kept"] = std::move(kept);
    document["message"] = to_utf8(outcome.message);
    document["installer"] = engine_name(outcome.installer.engine);
    document["quiet"] = outcome.quiet;
    document["restart_needed"] = needs_restart(outcome.run);
    document["exit_code"] = outcome.exit_code;
    return document.dump() + "\n";
}

std::string text_output(const Outcome& outcome) {
    std::string text;
    if (!outcome.message.empty()) text += terminal_text(outcome.message) + "\n";
    if (needs_restart(outcome.run)) text += "Windows must restart to finish: restart needed.\n";
    if (!outcome.report.backup_path.empty())
        text += "Registry backup: " + terminal_text(outcome.report.backup_path) + "\n";
    for (const auto* list : {&outcome.report.remaining_files_folders, &outcome.report.remaining_registry})
        for (const auto& entry : *list) text += "Not removed: " + terminal_text(entry) + "\n";
    for (const auto& item : outcome.report.kept)
        text += "Kept: " + terminal_text(item.path) + " (" + terminal_text(item.reason) + ")\n";
    return text;
}

// "--wait-limit SECONDS": false when the option is malformed.
bool take_wait_limit(Arguments& arguments, bool yes, std::optional<std::uint64_t>& limit_ms) {
    limit_ms = yes ? std::optional<std::uint64_t>(unattended_wait_limit_s * 1000) : std::nullopt;
    const auto found = std::find(arguments.begin(), arguments.end(), u"--wait-limit");
    if (found == arguments.end()) return true;
    if (found + 1 == arguments.end()) return false;
    const auto text = to_utf8(*(found + 1));
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    limit_ms = std::stoull(text) * 1000;
    arguments.erase(found, found + 2);
    return true;
}

struct Options {
    bool json = false;
    bool yes = false;
    bool force = false;
    bool quiet = false;
    bool keep_going = false;
    std::optional<std::uint64_t> wait_limit_ms;
};

// One program's whole cycle: analysis, its uninstaller and the supervision,
// the verdict, then the leftovers' backup and deletion.
Outcome uninstall_program(const FoundProgram& found, const Options& options, const UninstallTerminal& terminal,
                          LeftoverSession& session) {
    const auto& record = *found.record;
    const auto& list = found.scan.list;
    Outcome outcome;
    outcome.name = record.mpu_str_Name;
    outcome.session = &session;
    outcome.install_location = record.mpu_str_InstallLocation;
    outcome.installer = detect_installer(record);
    outcome.quiet = options.quiet;
    // Run loud behind the user's back, it could wait for a click nobody gives.
    if (options.quiet && outcome.installer.quiet_command.empty()) {
        outcome.message = u"The uninstaller needs its own window (installer: " +
                          from_utf8(engine_name(outcome.installer.engine)) + u"); skipped in quiet mode.";
        outcome.exit_code = exit_needs_window;
        return outcome;
    }
    session.select_program(record);
    // Programs whose location is unknown or must not be scanned only get their uninstaller.
    outcome.analysed = !Str_Trim(record.mpu_str_InstallLocation).empty() && record.mpu_bool_InstallLocation_Scan;
    if (outcome.analysed) {
        run_analysis(list, record.mpu_str_Name_low, &session, terminal.progress);
        if (leftover_count(session) == 0) {
            outcome.message = u"Program encountered problem during the uninstallation.";
            outcome.exit_code = exit_failed;
            return outcome;
        }
    }
    const auto& command = options.quiet ? outcome.installer.quiet_command : record.mpu_str_UninstallString;
    outcome.run = run_uninstaller(list, record.mpu_str_Name_low, command, outcome.analysed ? &session : nullptr,
                                  terminal.progress, terminal.polling, options.wait_limit_ms);
    outcome.started = outcome.run.started;
    outcome.verdict = judge_uninstall(outcome.run);
    const auto verdict_text = verdict_message(outcome.verdict, outcome.run);

    // A running uninstaller may still be removing things: nothing is touched, even with --force.
    if (outcome.verdict == UninstallVerdict::still_running) {
        outcome.message = verdict_text + u" Nothing was deleted.";
        outcome.exit_code = exit_still_running;
        return outcome;
    }
    if (outcome.verdict != UninstallVerdict::removed && !options.force) {
        outcome.message = verdict_text + u" Nothing was deleted; --force removes the leftovers of a program that "
                                         u"is still installed.";
        outcome.exit_code = outcome.verdict == UninstallVerdict::not_started ? exit_failed : exit_still_installed;
        return outcome;
    }
    outcome.forced = outcome.verdict != UninstallVerdict::removed;

    if (!outcome.analysed)
        outcome.message = verdict_text + u" The program's location is unknown or must not be scanned, "
                                         u"so no leftovers were searched.";
    if (outcome.analysed) {
        const auto count = leftover_count(session);
        if (count > 0) list_leftovers(session, terminal);
        const std::u16string what = outcome.forced ? u"Remove the still installed program: delete the " : u"Delete the ";
        outcome.deleted =
            count == 0 || options.yes || terminal.confirm(what + decimal_text(count) + u" leftovers listed above?");
        if (outcome.deleted) {
            // The command line has no check boxes: everything that remains goes.
            outcome.report = session.delete_leftovers({});
            outcome.message = deletion_message(outcome.report);
            // Kept entries count as entries left, as those refused at the last check do.
            if (outcome.report.remaining_count() > 0 || !outcome.report.kept.empty())
                outcome.exit_code = exit_leftovers_remain;
        } else {
            outcome.message = u"The leftovers were kept.";
        }
        if (outcome.forced) outcome.message = verdict_text + u" Forced removal: " + outcome.message;
    }
    return outcome;
}

// Whether the batch may go on after this program. A program whose uninstaller
// was left running stops it even with --keep-going: the next uninstaller would
// run beside it (two Windows Installer products at once among them).
bool batch_goes_on(const Outcome& outcome, bool keep_going) {
    if (outcome.exit_code == exit_still_running) return false;
    const bool failed = outcome.exit_code == exit_failed || outcome.exit_code == exit_still_installed;
    return !failed || keep_going;
}

struct Summary {
    std::size_t programs = 0, removed = 0, restart_needed = 0, failed = 0, needs_window = 0, not_run = 0;
    int exit_code = 0;

    void add(const Outcome& outcome) {
        if (outcome.exit_code == exit_needs_window)
            ++needs_window;
        else if (outcome.verdict == UninstallVerdict::removed)
            ++removed;
        else
            ++failed;
        if (needs_restart(outcome.run)) ++restart_needed;
        if (exit_code == 0) exit_code = outcome.exit_code;
    }

    std::string json() const {
        nlohmann::ordered_json document;
        document["summary"] = {{"programs", programs}, {"removed", removed}, {"restart_needed", restart_needed},
                               {"failed", failed},     {"needs_own_window", needs_window},
                               {"not_run", not_run},   {"exit_code", exit_code}};
        return document.dump() + "\n";
    }

    std::string text() const {
        return "Summary: " + std::to_string(programs) + " programs, " + std::to_string(removed) + " removed (" +
               std::to_string(restart_needed) + " restart needed), " + std::to_string(failed) + " failed, " +
               std::to_string(needs_window) + " need their own window, " + std::to_string(not_run) + " not run.\n";
    }
};

}  // namespace

UninstallTerminal console_terminal() {
    return {print_progress, ask_on_console, std::make_shared<RealPacing>(), [](const std::string& report) {
                std::fwrite(report.data(), 1, report.size(), stdout);
                std::fflush(stdout);
            }};
}

Output cmd_uninstall(Arguments arguments, const UninstallTerminal& terminal) {
    Options options;
    options.json = take_flag(arguments, u"--json");
    options.yes = take_flag(arguments, u"--yes");
    options.force = take_flag(arguments, u"--force");
    options.quiet = take_flag(arguments, u"--quiet");
    options.keep_going = take_flag(arguments, u"--keep-going");
    if (!take_wait_limit(arguments, options.yes, options.wait_limit_ms))
        return usage_error("--wait-limit takes a number of seconds");
    if (arguments.empty()) return usage_error("uninstall takes the names of the programs (quote each)");

    // Every name must name one program before anything runs.
    std::vector<std::optional<FoundProgram>> programs;
    for (const auto& name : arguments) {
        Output refusal;
        auto found = find_program(name, refusal);
        if (!found) return refusal;
        for (const auto& earlier : programs)
            if (earlier->record->mpu_str_Name_low == found->record->mpu_str_Name_low)
                return usage_error("'" + terminal_text(found->record->mpu_str_Name) + "' is named twice");
        programs.push_back(std::move(found));
    }

    Output output;
    const auto deliver = [&](const std::string& text) {
        if (terminal.report)
            terminal.report(text);
        else
            output.out += text;
    };
    const bool batch = programs.size() > 1;
    Summary summary;
    summary.programs = programs.size();
    // One after another: each cycle returns only once its supervision is
    // over, Windows Installer's processes included, so no two uninstallers overlap.
    for (std::size_t index = 0; index < programs.size(); ++index) {
        // The machine changed under the earlier programs: each cycle sees it as it is now.
        Output refusal;
        if (index > 0) programs[index] = find_program(arguments[index], refusal);
        LeftoverSession session(result_folder());
        Outcome outcome;
        if (programs[index]) {
            if (batch) terminal.progress(u"[" + programs[index]->record->mpu_str_Name + u"]");
            outcome = uninstall_program(*programs[index], options, terminal, session);
        } else {
            terminal.progress(from_utf8(refusal.err));
            outcome.name = arguments[index];
            outcome.session = &session;
            outcome.message = u"The program is no longer installed as it was named.";
            outcome.exit_code = exit_failed;
        }
        summary.add(outcome);
        const auto heading = batch ? "[" + terminal_text(outcome.name) + "]\n" : std::string();
        deliver(options.json ? json_output(outcome) : heading + text_output(outcome));
        if (!batch_goes_on(outcome, options.keep_going)) {
            summary.not_run = programs.size() - index - 1;
            break;
        }
    }
    if (batch) deliver(options.json ? summary.json() : summary.text());
    output.exit_code = summary.exit_code;
    return output;
}

}  // namespace vorlix::cli
