// The runner's choice of form for any command line. Properties: the choice is
// deterministic; nothing is started for a blank command; the fallback is the
// trimmed command; each form hands the shell what its rule allows; the error
// messages come only with the forms that can raise them.
#include "access/Unit_ZRB_func_Str.h"
#include "access/Unit_ZRB_func_Uninstall.h"
#include "fuzz_support.h"

namespace {

using vorlix::fuzz::check;

bool same_plan(const vorlix::UninstallPlan& a, const vorlix::UninstallPlan& b) {
    return a.form == b.form && a.file == b.file && a.parameters == b.parameters && a.message == b.message &&
           a.fallback == b.fallback;
}

bool starts_with_blank(const std::u16string& text) { return !text.empty() && text.front() <= u' '; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u16string command = vorlix::fuzz::text_of(data, size);
    const auto plan = vorlix::PlanUninstallCommand(command);
    check(same_plan(plan, vorlix::PlanUninstallCommand(command)), "planning is deterministic");
    check(plan.form >= 0 && plan.form <= 7, "a known form");
    check(plan.fallback == vorlix::Str_Trim(command), "the fallback is the trimmed command as received");
    if (plan.fallback.empty()) check(plan.form == 0 && !plan.message, "a blank command starts nothing, silently");
    if (plan.form == 0) check(plan.file.empty() && plan.parameters.empty(), "form 0 hands nothing to the shell");
    check(plan.file.size() <= command.size(), "the file is cut from the command, never longer");

    const bool slash_message = plan.message == std::u16string(u"8 cmd is error ! ");
    const bool dash_message = plan.message == std::u16string(u"9 cmd is error ! ");
    check(!plan.message || slash_message || dash_message, "only the two runner messages");
    if (slash_message) check(plan.form == 5 || plan.form == 0, "message 8 belongs to the slash form");
    if (dash_message) check(plan.form == 6 || plan.form == 7, "message 9 belongs to the dash forms");

    switch (plan.form) {
        case 1:
        case 2: check(command.find(plan.file) != std::u16string::npos, "the file is the command's first piece"); break;
        case 3:
            check(plan.parameters == u"UNINSTALL", "form 3 passes UNINSTALL");
            check(vorlix::Str_UpperAscii(command).ends_with(u"UNINSTALL"), "form 3 needs the trailing word");
            check(plan.file == vorlix::Str_UpperAscii(plan.file), "form 3 starts the upper-cased command");
            check(plan.file.size() + 9 <= command.size(), "form 3 removed the trailing word");
            break;
        case 4: check(plan.file == plan.fallback && plan.parameters.empty(), "form 4 starts the whole command"); break;
        case 5:
            check(command.find(u'/') != std::u16string::npos, "form 5 needs a slash");
            check(plan.parameters.empty() || plan.parameters.front() == u'/', "slash switches start with a slash");
            check(!starts_with_blank(plan.file), "the file is left-trimmed");
            break;
        case 6:
        case 7:
            check(command.find(u'/') == std::u16string::npos, "dash forms have no slash");
            check(plan.form == 7 || plan.parameters.starts_with(u"-"), "double-dash parameters start with a dash");
            check(!starts_with_blank(plan.file), "the file is left-trimmed");
            break;
        default: break;
    }
    return 0;
}
