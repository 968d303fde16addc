#include "cli/program_choice.h"

#include <algorithm>

#include "access/Unit_ZRB_func_Str.h"
#include "cli/terminal_text.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"

namespace vorlix::cli {

namespace {

constexpr int exit_unknown = 1;
constexpr int exit_ambiguous = 2;

bool is_registry_path(const std::u16string& argument) {
    const auto upper = Str_UpperAscii(Str_Trim(argument));
    return upper.starts_with(u"HKLM|") || upper.starts_with(u"HKCU|");
}

bool same_text(const std::u16string& a, const std::u16string& b) {
    return Str_UpperFull(Str_Trim(a)) == Str_UpperFull(Str_Trim(b));
}

bool differ(const EntrySource& a, const EntrySource& b) {
    return !same_text(a.install_location, b.install_location) || !same_text(a.uninstall_string, b.uninstall_string);
}

// The record as that one entry alone would have made it.
void choose_entry(FoundProgram& found, const EntrySource& source) {
    auto chosen = std::make_shared<ZRB_InstalledSoftware>(*found.record);
    chosen->mpu_str_InstallLocation = source.install_location;
    chosen->mpu_str_UninstallString = source.uninstall_string;
    chosen->mpu_str_InstallRegPath = source.reg_path;
    chosen->mpu_int_Is64Bit = source.is64bit;
    chosen->mpu_bool_InstallLocation_Scan = source.scan_location;
    chosen->location_from_command = source.location_from_command;
    // The chosen entry first; the others stay known, so their folders remain theirs.
    std::stable_partition(chosen->sources.begin(), chosen->sources.end(),
                          [&source](const EntrySource& entry) { return entry.reg_path == source.reg_path; });
    auto& list = *found.scan.list;
    list.mpu_SDLMap_InstalledSoftware[chosen->mpu_str_Name_low] = chosen;
    std::replace(list.mpu_SDLarry_InstalledSoftware.begin(), list.mpu_SDLarry_InstalledSoftware.end(), found.record,
                 chosen);
    found.record = std::move(chosen);
}

Output ambiguity(const ZRB_InstalledSoftware& record) {
    std::string text = "vorlix-cli: several Uninstall entries are named '" + terminal_text(record.mpu_str_Name) +
                       "' and name different programs; name one by its registry path:\n";
    for (const auto& source : record.sources)
        text += "  " + terminal_text(source.reg_path) + "\n      location: " +
                terminal_text(source.install_location) + "\n      uninstall: " +
                terminal_text(source.uninstall_string) + "\n";
    return {exit_ambiguous, {}, text};
}

}  // namespace

std::optional<FoundProgram> find_program(const std::u16string& argument, Output& refusal) {
    auto knowledge_base = std::make_shared<ZRB_Software_Lib>();
    knowledge_base->mpu_InitLib();
    FoundProgram found{scan_installed_software(knowledge_base), nullptr};
    refusal = {exit_unknown, {},
               "vorlix-cli: no installed program is named '" + terminal_text(argument) + "' (see 'vorlix-cli list')\n"};
    if (is_registry_path(argument)) {
        for (const auto& record : found.scan.list->mpu_SDLarry_InstalledSoftware)
            for (const auto& source : record->sources)
                if (!source.reg_path.empty() && same_text(source.reg_path, argument)) {
                    found.record = record;
                    choose_entry(found, source);
                    return found;
                }
        return std::nullopt;
    }
    const auto& map = found.scan.list->mpu_SDLMap_InstalledSoftware;
    const auto record = map.find(Str_LowerAscii(argument));
    if (record == map.end()) return std::nullopt;
    const auto& sources = record->second->sources;
    if (std::any_of(sources.begin(), sources.end(),
                    [&sources](const EntrySource& source) { return differ(source, sources.front()); })) {
        refusal = ambiguity(*record->second);
        return std::nullopt;
    }
    found.record = record->second;
    return found;
}

}  // namespace vorlix::cli
