#include "cli/cmd_env.h"

#include <nlohmann/json.hpp>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/wow64.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

Output cmd_env(Arguments arguments) {
    const bool json = take_flag(arguments, u"--json");
    if (!arguments.empty()) return usage_error("env takes no argument besides --json");

    std::u16string program_files, program_files64;
    Sys_GetProgramFilesDirs(program_files, program_files64);
    const std::pair<const char*, std::u16string> folders[] = {
        {"system", Sys_GetSystemDir()},
        {"windows", Sys_GetWindowsDir()},
        {"desktop", Sys_GetDesktopDir()},
        {"appdata", Sys_GetAppDataDir()},
        {"local_appdata", Sys_GetLocalAppDataDir()},
        {"program_files", program_files},
        {"program_files64", program_files64},
    };
    const int bitness = Sys_GetBitness();

    Output output;
    if (json) {
        nlohmann::ordered_json document;
        document["bitness"] = bitness;
        for (const auto& [name, path] : folders) document[name] = to_utf8(path);
        output.out = document.dump() + "\n";
    } else {
        output.out = "bitness: " + std::to_string(bitness) + "\n";
        for (const auto& [name, path] : folders) output.out += std::string(name) + ": " + to_utf8(path) + "\n";
    }
    return output;
}

}  // namespace vorlix::cli
