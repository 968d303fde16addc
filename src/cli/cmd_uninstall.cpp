#include "cli/cmd_uninstall.h"

#include <algorithm>
#include <iostream>
#include <optional>

#include <nlohmann/json.hpp>

#include "access/Unit_ZRB_func_Str.h"
#include "app/decimal_text.h"
#include "app/leftover_session.h"
#include "app/synchronous_cycle.h"
#include "app/uninstall_verdict.h"
#include "cli/cmd_analyze.h"
#include "cli/terminal_text.h"
#include "platform/os.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

namespace {

constexpr int exit_failed = 1;
constexpr int exit_leftovers_remain = 3;
constexpr int exit_still_running = 4;
constexpr int exit_still_installed = 5;

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

// What one run did, for either output form.
struct Outcome {
    const ZRB_InstalledSoftware* record = nullptr;
    bool analysed = false;
    bool started = false;
    const LeftoverSession* session = nullptr;
    UninstallerRun run;
    UninstallVerdict verdict = UninstallVerdict::not_started;
    bool forced = false;
    bool deleted = false;
    DeletionReport report;
    std::u16string message;
};

std::string json_output(const Outcome& outcome) {
    nlohmann::ordered_json document;
    const auto& session = *outcome.session;
    document["name"] = to_utf8(outcome.record->mpu_str_Name);
    document["install_location"] = to_utf8(outcome.record->mpu_str_InstallLocation);
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
    return document.dump() + "\n";
}

std::string text_output(const Outcome& outcome) {
    std::string text;
    if (!outcome.message.empty()) text += terminal_text(outcome.message) + "\n";
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

}  // namespace

UninstallTerminal console_terminal() { return {print_progress, ask_on_console, std::make_shared<RealPacing>()}; }

Output cmd_uninstall(Arguments arguments, const UninstallTerminal& terminal) {
    const bool json = take_flag(arguments, u"--json");
    const bool yes = take_flag(arguments, u"--yes");
    const bool force = take_flag(arguments, u"--force");
    std::optional<std::uint64_t> wait_limit_ms;
    if (!take_wait_limit(arguments, yes, wait_limit_ms))
        return usage_error("--wait-limit takes a number of seconds");
    if (arguments.size() != 1) return usage_error("uninstall takes exactly one program name (quote it)");
    Output refusal;
    const auto found = find_program(arguments.front(), refusal);
    if (!found) return refusal;

    const auto& record = *found->record;
    const auto& list = found->scan.list;
    LeftoverSession session(result_folder());
    session.select_program(record);
    Outcome outcome{&record, false, false, &session, {}, UninstallVerdict::not_started, false, false, {}, {}};
    // Programs whose location is unknown or must not be scanned only get their uninstaller.
    outcome.analysed = !Str_Trim(record.mpu_str_InstallLocation).empty() && record.mpu_bool_InstallLocation_Scan;
    if (outcome.analysed) {
        run_analysis(list, record.mpu_str_Name_low, &session, terminal.progress);
        if (leftover_count(session) == 0)
            return {exit_failed, {}, "vorlix-cli: Program encountered problem during the uninstallation.\n"};
    }
    outcome.run = run_uninstaller(list, record.mpu_str_Name_low, outcome.analysed ? &session : nullptr,
                                  terminal.progress, terminal.polling, wait_limit_ms);
    outcome.started = outcome.run.started;
    outcome.verdict = judge_uninstall(outcome.run);
    const auto verdict_text = verdict_message(outcome.verdict, outcome.run);

    // A running uninstaller may still be removing things: nothing is touched, even with --force.
    if (outcome.verdict == UninstallVerdict::still_running) {
        outcome.message = verdict_text + u" Nothing was deleted.";
        return {exit_still_running, json ? json_output(outcome) : text_output(outcome), {}};
    }
    if (outcome.verdict != UninstallVerdict::removed && !force) {
        outcome.message = verdict_text + u" Nothing was deleted; --force removes the leftovers of a program that "
                                         u"is still installed.";
        const int code = outcome.verdict == UninstallVerdict::not_started ? exit_failed : exit_still_installed;
        return {code, json ? json_output(outcome) : text_output(outcome), {}};
    }
    outcome.forced = outcome.verdict != UninstallVerdict::removed;

    int exit_code = 0;
    if (!outcome.analysed)
        outcome.message = verdict_text + u" The program's location is unknown or must not be scanned, "
                                         u"so no leftovers were searched.";
    if (outcome.analysed) {
        const auto count = leftover_count(session);
        if (count > 0) list_leftovers(session, terminal);
        const std::u16string what = outcome.forced ? u"Remove the still installed program: delete the " : u"Delete the ";
        outcome.deleted = count == 0 || yes || terminal.confirm(what + decimal_text(count) + u" leftovers listed above?");
        if (outcome.deleted) {
            // The command line has no check boxes: everything that remains goes.
            outcome.report = session.delete_leftovers({});
            outcome.message = deletion_message(outcome.report);
            // Kept entries count as entries left, as those refused at the last check do.
            if (outcome.report.remaining_count() > 0 || !outcome.report.kept.empty()) exit_code = exit_leftovers_remain;
        } else {
            outcome.message = u"The leftovers were kept.";
        }
        if (outcome.forced) outcome.message = verdict_text + u" Forced removal: " + outcome.message;
    }
    return {exit_code, json ? json_output(outcome) : text_output(outcome), {}};
}

}  // namespace vorlix::cli
