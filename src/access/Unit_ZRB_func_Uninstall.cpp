#include "access/Unit_ZRB_func_Uninstall.h"

#include <algorithm>
#include <string_view>

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix {

namespace {

// Installer commands that uninstall one product by its code, with nothing
// else on the line; only these get " /norestart".
constexpr char16_t msi_uninstall_pattern[] = uR"re(^MsiExec(\.exe)? \/x\{[A-Z0-9\-]+\}$)re";

constexpr char16_t slash_message[] = u"8 cmd is error ! ";
constexpr char16_t dash_message[] = u"9 cmd is error ! ";

bool contains(const std::u16string& text, std::u16string_view part) {
    return text.find(part) != std::u16string::npos;
}

bool ends_with(const std::u16string& text, std::u16string_view part) {
    return text.size() >= part.size() && text.compare(text.size() - part.size(), part.size(), part) == 0;
}

std::u16string left_trimmed(const std::u16string& text) {
    const auto first = std::find_if(text.begin(), text.end(), [](char16_t unit) { return unit > u' '; });
    return std::u16string(first, text.end());
}

// Every exact occurrence removed; the runner compares ASCII-upper-cased texts exactly.
std::u16string remove_every(std::u16string text, std::u16string_view part) {
    for (std::size_t found = text.find(part); found != std::u16string::npos; found = text.find(part, found)) {
        text.erase(found, part.size());
    }
    return text;
}

// Joins pieces[1..], each written as prefix + piece + suffix.
std::u16string join_rest(const StringList& pieces, std::u16string_view prefix, std::u16string_view suffix) {
    std::u16string joined;
    for (std::size_t index = 1; index < pieces.size(); ++index) {
        joined.append(prefix).append(pieces[index]).append(suffix);
    }
    return joined;
}

void plan_windows_installer(const StringList& pieces, UninstallPlan& plan) {
    plan.form = 1;
    plan.file = pieces[0];
    std::u16string parameters = join_rest(pieces, u"", u" ");
    if (RegEx_IsMatchText(plan.fallback, msi_uninstall_pattern)) {
        parameters += u" /norestart";
    }
    plan.parameters = Str_Trim(parameters);
}

void plan_slash_switches(const std::u16string& command, UninstallPlan& plan) {
    plan.form = 5;
    std::u16string working = command;
    StringList pieces;
    SplitPieces(working, u'/', pieces);
    if (pieces.size() < 2) {
        // The slash may stand inside quotation marks, as in a fully quoted command line.
        std::replace(working.begin(), working.end(), u'"', u' ');
        SplitPieces(working, u'/', pieces);
    }
    if (pieces.size() < 2) {
        plan.message = slash_message;
    }
    if (pieces.empty()) {
        // Only slashes: nothing to start.
        plan.form = 0;
        return;
    }
    plan.file = left_trimmed(pieces[0]);
    plan.parameters = Str_Trim(join_rest(pieces, u"/", u""));
}

void plan_dash_switches(const std::u16string& command, bool double_dash, UninstallPlan& plan) {
    plan.form = double_dash ? 6 : 7;
    StringList pieces;
    SplitPieces(command, u'-', pieces);
    if (pieces.size() < 2) {
        plan.message = dash_message;
    }
    // The command holds ".EXE -", so the split always yields a first piece.
    plan.file = pieces.empty() ? std::u16string() : left_trimmed(pieces[0]);
    plan.parameters = (double_dash ? u"-" : u"") + join_rest(pieces, u"-", u"");
}

}  // namespace

UninstallPlan PlanUninstallCommand(const std::u16string& str_param_Command) {
    UninstallPlan plan;
    plan.fallback = Str_Trim(str_param_Command);
    StringList pieces;
    // A command of blanks and control characters only has nothing to start,
    // even where a tab makes a piece of it.
    if (plan.fallback.empty() || !SplitPieces(str_param_Command, u' ', pieces)) {
        return plan;
    }
    const std::u16string first_upper = Str_UpperAscii(pieces[0]);
    const std::u16string command_upper = Str_UpperAscii(str_param_Command);

    if (contains(first_upper, u"MSIEXEC.EXE") || first_upper == u"MSIEXEC") {
        plan_windows_installer(pieces, plan);
        return plan;
    }
    if (first_upper == u"RUNDLL32.EXE" || first_upper == u"RUNDLL32" || first_upper == u"REGSVR32" ||
        contains(first_upper, u"UNWISE.EXE")) {
        plan.form = 2;
        plan.file = pieces[0];
        plan.parameters = join_rest(pieces, u"", u" ");
        return plan;
    }
    const bool has_slash = contains(str_param_Command, u"/");
    const bool has_exe_dash = contains(command_upper, u".EXE -");
    if (!has_slash && !has_exe_dash) {
        // The end is looked at untrimmed: "UNINSTALL " is not this form.
        if (contains(command_upper, u".EXE UNINSTALL") && ends_with(command_upper, u"UNINSTALL")) {
            plan.form = 3;
            plan.file = Str_Trim(remove_every(command_upper, u"UNINSTALL"));
            plan.parameters = u"UNINSTALL";
        } else {
            plan.form = 4;
            plan.file = plan.fallback;
        }
        return plan;
    }
    if (has_slash) {
        plan_slash_switches(str_param_Command, plan);
    } else {
        plan_dash_switches(str_param_Command, contains(command_upper, u".EXE --"), plan);
    }
    return plan;
}

UninstallStart RunUninstallCommand(os::Handle handle_param_Owner, const std::u16string& str_param_Command) {
    const UninstallPlan plan = PlanUninstallCommand(str_param_Command);
    if (plan.message) {
        // No owner window: the box is centred on the screen, modal to this thread.
        os::message_box(0, *plan.message, u"Vorlix", os::mb_ok | os::mb_iconerror | os::mb_taskmodal);
    }
    UninstallStart start;
    if (plan.form == 0) {
        return start;
    }
    // Whatever the uninstaller prints must not mix with our own output, and
    // it must not read the answers meant for us.
    const auto saved = os::redirect_standard_handles_to_null();
    // An empty file would leave the choice of what to open to the shell; it
    // counts as a refusal.
    const std::intptr_t result =
        plan.file.empty() ? 0
                          : os::shell_execute(handle_param_Owner, u"Open", plan.file, plan.parameters, u"",
                                              os::sw_shownormal, &start.process);
    if (result > 32) {
        start.started = true;
    } else {
        // The command as received, as Unicode: an ANSI start could not carry
        // characters outside the code page.
        start.started = os::create_process(plan.fallback, os::sw_shownormal, &start.process);
        if (!start.started) start.error = os::get_last_error();
    }
    os::restore_standard_handles(saved);
    return start;
}

}  // namespace vorlix
