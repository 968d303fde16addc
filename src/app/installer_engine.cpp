#include "app/installer_engine.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <functional>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "app/registry_entry.h"
#include "app/stay_index.h"
#include "platform/os.h"

namespace vorlix {

namespace {

// An NSIS executable is its stub, a Windows program, followed by its data,
// which opens with a header: four bytes of flags, then the signature word
// and magic text (as makensis writes installers and uninstallers alike).
// NSIS looks for that header at 512-byte steps of its own file, and makensis
// writes it right where the stub's last section ends, which its stubs align
// to 512. So only the stub's headers and that one block are read, and only
// within the file's first megabyte: a few kilobytes of each uninstaller, not
// a megabyte of each (a cold machine would read a gigabyte for a full list).
constexpr std::uint64_t nsis_search_bytes = 1024 * 1024;
constexpr std::uint64_t nsis_header_step = 512;
constexpr std::string_view nsis_signature("\xEF\xBE\xAD\xDE" "NullsoftInst", 16);
constexpr std::size_t nsis_signature_at = 4;
// The stub's DOS and PE headers and its section table; makensis's stubs keep
// them in the first kilobyte.
constexpr std::size_t stub_headers_bytes = 4096;

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

std::uint32_t little_endian(std::string_view bytes, std::size_t at, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t index = width; index-- > 0;)
        value = value << 8 | static_cast<unsigned char>(bytes[at + index]);
    return value;
}

// Where the sections of a Windows program's file end (the end of its image
// in the file, where appended data begins); nothing when the headers read are
// not a Windows program's.
std::optional<std::uint64_t> image_end(std::string_view headers) {
    constexpr std::size_t pe_offset_at = 0x3C, file_header_bytes = 24, section_bytes = 40;
    if (headers.size() < pe_offset_at + 4 || !headers.starts_with("MZ")) return std::nullopt;
    const std::size_t pe = little_endian(headers, pe_offset_at, 4);
    if (pe > headers.size() || headers.size() - pe < file_header_bytes ||
        headers.substr(pe, 4) != std::string_view("PE\0\0", 4))
        return std::nullopt;
    const std::size_t sections = little_endian(headers, pe + 6, 2);
    const std::size_t table = pe + file_header_bytes + little_endian(headers, pe + 20, 2);
    if (table + sections * section_bytes > headers.size()) return std::nullopt;
    std::uint64_t end = 0;
    for (std::size_t section = table; section < table + sections * section_bytes; section += section_bytes)
        end = std::max<std::uint64_t>(
            end, std::uint64_t{little_endian(headers, section + 16, 4)} + little_endian(headers, section + 20, 4));
    return end;
}

bool has_nsis_signature(const std::u16string& program) {
    if (program.empty()) return false;
    bool found = false;
    os::read_file_parts(program, [&found](const os::FilePartReader& read) {
        std::string bytes;
        if (!read(0, stub_headers_bytes, bytes)) return;
        const auto header = image_end(bytes);
        if (!header || *header % nsis_header_step != 0 ||
            *header + nsis_signature_at + nsis_signature.size() > nsis_search_bytes)
            return;
        found = read(*header + nsis_signature_at, nsis_signature.size(), bytes) && bytes == nsis_signature;
    });
    return found;
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

std::vector<InstallerKind> detect_installers(const std::vector<InstalledSoftwarePtr>& records) {
    // Opens in flight at once; each worker mostly waits, so this does not follow the processor count.
    constexpr std::size_t workers_at_most = 4;
    std::vector<InstallerKind> kinds(records.size());
    std::atomic<std::size_t> next{0};
    std::vector<std::exception_ptr> failures(std::min(workers_at_most, records.size()));
    const auto work = [&](std::exception_ptr& failure) {
        try {
            for (auto at = next++; at < records.size(); at = next++) kinds[at] = detect_installer(*records[at]);
        } catch (...) {
            failure = std::current_exception();
            next = records.size();
        }
    };
    std::vector<std::thread> threads;
    for (std::size_t worker = 1; worker < failures.size(); ++worker) {
        // Without another thread the ones there (this one at least) do all the work.
        try {
            threads.emplace_back(work, std::ref(failures[worker]));
        } catch (const std::system_error&) {
            break;
        }
    }
    if (!failures.empty()) work(failures[0]);
    for (auto& thread : threads) thread.join();
    for (const auto& failure : failures)
        if (failure) std::rethrow_exception(failure);
    return kinds;
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
