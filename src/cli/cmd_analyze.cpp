#include "cli/cmd_analyze.h"

#include <cstdio>

#include "app/synchronous_cycle.h"
#include "cli/terminal_text.h"
#include "platform/portable/utf.h"

namespace vorlix::cli {

namespace {

std::string text_section(const std::string& title, const StringList& texts) {
    std::string section = title + " (" + std::to_string(texts.size()) + "):\n";
    for (const auto& text : texts) section += "  " + terminal_text(text) + "\n";
    return section;
}

}  // namespace

void print_progress(const std::u16string& line) {
    const auto text = terminal_text(line) + "\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
}

nlohmann::ordered_json json_texts(const StringList& texts) {
    auto array = nlohmann::ordered_json::array();
    for (const auto& text : texts) array.push_back(to_utf8(text));
    return array;
}

nlohmann::ordered_json json_settings(const SettingsFindings& settings) {
    return {{"folders", json_texts(settings.folders)},
            {"files", json_texts(settings.files)},
            {"registry", json_texts(settings.registry)}};
}

Output cmd_analyze(Arguments arguments) {
    const bool json = take_flag(arguments, u"--json");
    if (arguments.size() != 1) return usage_error("analyze takes exactly one program name (quote it)");
    Output refusal;
    const auto found = find_program(arguments.front(), refusal);
    if (!found) return refusal;

    const auto& record = *found->record;
    const auto counts = run_analysis(found->scan.list, record.mpu_str_Name_low, nullptr, print_progress);
    Output output;
    if (json) {
        nlohmann::ordered_json document;
        document["name"] = to_utf8(record.mpu_str_Name);
        document["install_location"] = to_utf8(record.mpu_str_InstallLocation);
        document["folders"] = json_texts(record.mpu_SDLarry_Folders);
        document["files"] = json_texts(record.mpu_SDLarry_Files);
        document["binaries"] = json_texts(record.mpu_SDLarry_AXCFiles);
        document["registry"] = json_texts(record.mpu_SDLarry_Registry);
        document["settings"] = json_settings(record.settings);
        document["files_folders_count"] = counts.files_folders;
        document["registry_count"] = counts.registry;
        output.out = document.dump() + "\n";
    } else {
        output.out = "Name: " + terminal_text(record.mpu_str_Name) + "\nInstall location: " +
                     terminal_text(record.mpu_str_InstallLocation) + "\n" +
                     text_section("Folders", record.mpu_SDLarry_Folders) +
                     text_section("Files", record.mpu_SDLarry_Files) +
                     text_section("Binaries", record.mpu_SDLarry_AXCFiles) +
                     text_section("Registry entries", record.mpu_SDLarry_Registry) +
                     text_section("Settings folders", record.settings.folders) +
                     text_section("Settings files", record.settings.files) +
                     text_section("Settings registry entries", record.settings.registry) +
                     "Files/folders count: " + std::to_string(counts.files_folders) +
                     "\nRegistry count: " + std::to_string(counts.registry) + "\n";
    }
    return output;
}

}  // namespace vorlix::cli
