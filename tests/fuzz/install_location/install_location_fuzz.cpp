// The inventory's install-location steps (fallback chain, normalisation,
// inference from the uninstall command, check) through a whole scan of one
// Uninstall entry on the simulated machine. Input: the values InstallLocation,
// UninstallString, DisplayName, InstallSource and "Inno Setup: App Path",
// separated by the byte 0x1E; a missing field leaves its value absent.
// Properties: every listed program has a name and a command, and a location
// that is empty or ends with a backslash; a location that exists on the
// machine is, however spelled, neither a drive root, nor a shared folder or a
// folder above one, nor anything inside the Windows folder.
#include <array>
#include <memory>

#include "access/Unit_ZRB_func_Str.h"
#include "fuzz_support.h"
#include "inventory/Unit_ZRB_Thread_GetInstalledSoftwareList.h"
#include "knowledge/Unit_ZRB_SoftwareLib.h"
#include "platform/sim/sim.h"

namespace {

using vorlix::fuzz::check;
namespace os = vorlix::os;
namespace sim = vorlix::sim;

const std::u16string entry_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fuzzed";
constexpr std::array<const char16_t*, 5> value_names{u"InstallLocation", u"UninstallString", u"DisplayName",
                                                     u"InstallSource", u"Inno Setup: App Path"};

// The default simulated machine's shared folders, upper-cased, as Windows resolves them.
constexpr std::array<std::u16string_view, 16> shared_folders{
    u"C:\\PROGRAM FILES\\",          u"C:\\PROGRAM FILES (X86)\\",
    u"C:\\PROGRAM FILES\\COMMON FILES\\", u"C:\\PROGRAM FILES (X86)\\COMMON FILES\\",
    u"C:\\PROGRAMDATA\\",            u"C:\\USERS\\",
    u"C:\\USERS\\PUBLIC\\",          u"C:\\USERS\\USER\\",
    u"C:\\USERS\\USER\\APPDATA\\ROAMING\\", u"C:\\USERS\\USER\\APPDATA\\LOCAL\\",
    u"C:\\USERS\\USER\\APPDATA\\LOCAL\\TEMP\\", u"C:\\USERS\\USER\\DESKTOP\\",
    u"C:\\USERS\\USER\\DOCUMENTS\\", u"C:\\USERS\\USER\\DOWNLOADS\\",
    u"C:\\WINDOWS\\",                u"C:\\WINDOWS\\SYSTEM32\\"};

std::shared_ptr<vorlix::ZRB_Software_Lib> knowledge_base;

// The long, upper-cased form of an existing folder, without \\?\ and with a
// trailing backslash; empty when the machine has no such folder.
std::u16string resolved(const std::u16string& location) {
    std::u16string buffer(4096, u'\0');
    const auto length = os::get_long_path_name(location, buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return {};
    buffer.resize(length);
    if (buffer.starts_with(u"\\\\?\\")) buffer.erase(0, 4);
    return vorlix::Str_UpperAscii(vorlix::Str_EnsureTrailingBackslash(buffer));
}

void check_location(const std::u16string& location) {
    if (location.empty()) return;
    check(location.back() == u'\\', "a location ends with a backslash");
    const auto folder = resolved(location);
    if (folder.empty()) return;
    check(folder.size() > 3, "never a drive root");
    check(!folder.starts_with(u"C:\\WINDOWS\\"), "never inside the Windows folder");
    for (const auto shared : shared_folders)
        check(!shared.starts_with(folder), "never a shared folder or a folder above one");
}

void set_entry(const std::uint8_t* data, std::size_t size) {
    os::reg_delete_key(os::hkey_local_machine, entry_path);
    sim::create_key(os::hkey_local_machine, entry_path);
    sim::set_string(os::hkey_local_machine, entry_path, u"DisplayName", u"Fuzzed Program");
    std::size_t field = 0, start = 0;
    for (std::size_t at = 0; at <= size && field < value_names.size(); ++at) {
        if (at < size && data[at] != 0x1E) continue;
        sim::set_string(os::hkey_local_machine, entry_path, value_names[field++],
                        vorlix::fuzz::text_of(data + start, at - start));
        start = at + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    sim::reset();
    sim::add_file(u"C:\\Program Files\\Tool\\tool.exe");
    sim::add_file(u"C:\\Program Files\\Tool\\unins000.exe");
    sim::add_file(u"C:\\tool.exe");
    sim::add_file(u"C:\\Users\\user\\AppData\\Roaming\\Tool\\tool.exe");
    sim::set_short_name(u"C:\\Program Files", u"PROGRA~1");
    sim::set_short_name(u"C:\\Program Files (x86)", u"PROGRA~2");
    knowledge_base = std::make_shared<vorlix::ZRB_Software_Lib>();
    knowledge_base->mpu_InitLib();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    set_entry(data, size);
    auto list = std::make_shared<vorlix::ZRB_InstalledSoftwareList>();
    auto scan = std::make_shared<vorlix::ZRB_Thread_GetInstalledSoftwareList>(list, knowledge_base, u"C:\\Vorlix\\");
    scan->Execute();
    for (const auto& record : list->mpu_SDLarry_InstalledSoftware) {
        check(!record->mpu_str_Name.empty(), "a listed program has a name");
        check(!record->mpu_str_UninstallString.empty(), "a listed program has an uninstall command");
        check_location(record->mpu_str_InstallLocation);
    }
    return 0;
}
