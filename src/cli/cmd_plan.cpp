#include "cli/cmd_plan.h"

#include <nlohmann/json.hpp>

#include "access/Unit_ZRB_func_Uninstall.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

Output cmd_plan(Arguments arguments) {
    const bool json = take_flag(arguments, u"--json");
    if (arguments.size() != 1) return usage_error("plan takes exactly one uninstall command (quote it)");

    const auto plan = PlanUninstallCommand(arguments.front());
    Output output;
    if (json) {
        nlohmann::ordered_json document;
        document["form"] = plan.form;
        document["file"] = to_utf8(plan.file);
        document["parameters"] = to_utf8(plan.parameters);
        document["message"] = plan.message ? nlohmann::ordered_json(to_utf8(*plan.message)) : nullptr;
        output.out = document.dump() + "\n";
    } else {
        output.out = "form: " + std::to_string(plan.form) + "\nfile: " + to_utf8(plan.file) +
                     "\nparameters: " + to_utf8(plan.parameters) + "\n";
        if (plan.message) output.out += "message: " + to_utf8(*plan.message) + "\n";
        if (plan.form == 0) output.out += "nothing would be started\n";
    }
    return output;
}

}  // namespace vorlix::cli
