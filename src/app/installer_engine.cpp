#include "app/installer_engine.h"

#include <string_view>

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "app/registry_entry.h"
#include "app/stay_index.h"
#include "platform/os.h"

namespace vorlix {

namespace {

// NSIS looks for its header only at 512-byte steps of the executable, and the
// stub before it is a few hundred kilobytes at most.
constexpr std::size_t nsis_search_bytes = 1024 * 1024;
constexpr std::size_t nsis_header_step = 512;
// The header's signature word and magic text, after its four bytes of flags
// (as makensis writes them into installers and uninstallers alike).
constexpr std::string_view nsis_signature("\xEF\xBE\xAD\xDE" "NullsoftInst", 16);
constexpr std::size_t nsis_signature_at = 4;

// The product code an msiexec command names, or empty text. Taken as
// written: a malformed code still names the product the entry removes, and
// msiexec itself judges it, as it would in the registered command.
std::u16string msiexec_product_code(const std::u16string& command) {
    if (Str_UpperAscii(command).find(u"MSIEXEC") == std::u16string::npos) return {};
    const auto open = command.find(u'{');
    const auto close = command.find(u'}', open);
    if (open == std::u16string::npos || close == std::u16string::npos) return {};
    const auto code = command.substr(open, close + 1 - open);
    return code.find_first_of(u" \t\"") == std::u16string::npos ? code : std::u16string();
}

// The file the command starts; empty when it names no local drive path.
std::u16string command_program(const std::u16string& command) {
    const auto paths = command_paths(command);
    return paths.empty() ? std::u16string() : paths.front();
}

bool has_nsis_signature(const std::u16string& program) {
    std::string head;
    if (program.empty() || !os::read_file_bytes(program, head, nsis_search_bytes)) return false;
    for (std::size_t block = 0; block + nsis_signature_at + nsis_signature.size() <= head.size();
         block += nsis_header_step)
        if (std::string_view(head).substr(block + nsis_signature_at, nsis_signature.size()) == nsis_signature)
            return true;
    return false;
}

std::u16string quoted(const std::u16string& program) { return u"\"" + program + u"\""; }

// NSIS runs its uninstaller from a copy unless `_?=` names the folder; that
// argument takes the rest of the line, so it stays last, as registered.
std::u16string nsis_quiet_command(const std::u16string& program, const std::u16string& command) {
    const auto folder_argument = command.find(u"_?=");
    return quoted(program) + u" /S" +
           (folder_argument == std::u16string::npos ? std::u16string() : u" " + command.substr(folder_argument));
}

bool ends_with_inno_suffix(const std::u16string& key_name) {
    return Str_LowerAscii(key_name).ends_with(u"_is1");
}

}  // namespace

InstallerKind detect_installer(const ZRB_InstalledSoftware& record) {
    const auto& command = record.mpu_str_UninstallString;
    const auto entry = parse_registry_entry(record.mpu_str_InstallRegPath);
    const auto key_name =
        entry && !entry->is_value ? entry->path.substr(entry->path.rfind(u'\\') + 1) : std::u16string();
    const auto program = command_program(command);
    // Inno Setup registers "/SILENT" as its quiet command, which still shows its progress window.
    if (ends_with_inno_suffix(key_name) || record.inno_setup_version)
        return {InstallerEngine::inno_setup,
                program.empty() ? std::u16string() : quoted(program) + u" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART"};
    if (!record.quiet_uninstall_string.empty())
        return {InstallerEngine::registered_quiet, record.quiet_uninstall_string};
    auto product_code = msiexec_product_code(command);
    if (record.windows_installer || !product_code.empty()) {
        if (product_code.empty() && !packed_product_code(key_name).empty()) product_code = key_name;
        return {InstallerEngine::windows_installer,
                product_code.empty() ? std::u16string() : u"msiexec /x" + product_code + u" /qn /norestart"};
    }
    if (has_nsis_signature(program)) return {InstallerEngine::nsis, nsis_quiet_command(program, command)};
    if (Str_ContainsText(command, u"InstallShield Installation Information")) return {InstallerEngine::installshield, {}};
    return {};
}

const char* engine_name(InstallerEngine engine) {
    switch (engine) {
    case InstallerEngine::registered_quiet: return "registered_quiet";
    case InstallerEngine::windows_installer: return "msi";
    case InstallerEngine::inno_setup: return "inno";
    case InstallerEngine::nsis: return "nsis";
    case InstallerEngine::installshield: return "installshield";
    case InstallerEngine::unknown: return "unknown";
    }
    return "unknown";
}

}  // namespace vorlix
