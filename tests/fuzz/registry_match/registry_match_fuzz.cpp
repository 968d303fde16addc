// NormalizeRegistryPath and RefersToProgram on a fixed
// program, and the folder automaton against the plain search it replaces.
// The first input byte picks the check: even, the rest is a registry value;
// odd, the rest is a text and up to eight folders separated by the byte 0x1E.
// Properties: normalising blanks every quotation mark and touches nothing
// else in a text without a short path; a value is claimed only when it names
// one of the program's folders (or holds a short path or a known-folder
// identifier that stands for one); the automaton answers as the plain search does.
#include <algorithm>
#include <memory>

#include "access/Unit_ZRB_func_Str.h"
#include "fuzz_support.h"
#include "leftovers/folder_automaton.h"
#include "leftovers/program_matcher.h"
#include "platform/sim/sim.h"

namespace {

using vorlix::StringList;
using vorlix::fuzz::check;

vorlix::ZRB_InstalledSoftware program;
std::unique_ptr<vorlix::ProgramMatcher> matcher;

void check_value(const std::u16string& value) {
    const auto normalized = vorlix::NormalizeRegistryPath(value);
    check(normalized.find(u'"') == std::u16string::npos, "no quotation mark survives");
    const bool short_path = value.find(u":\\") != std::u16string::npos && value.find(u'~') != std::u16string::npos;
    if (!short_path) {
        auto blanked = value;
        std::replace(blanked.begin(), blanked.end(), u'"', u' ');
        check(normalized == blanked, "without a short path only the quotation marks change");
    }

    if (matcher->RefersToProgram(value)) {
        const auto upper = vorlix::Str_UpperAscii(normalized);
        const bool names_folder = std::any_of(program.mpu_SDLarry_Folders.begin(), program.mpu_SDLarry_Folders.end(),
                                              [&](const std::u16string& folder) {
                                                  return upper.find(vorlix::Str_UpperAscii(folder)) !=
                                                         std::u16string::npos;
                                              });
        check(names_folder || normalized.find(u'~') != std::u16string::npos || upper.starts_with(u"{"),
              "a claimed value names a folder of the program");
    }
}

void check_automaton(const std::uint8_t* data, std::size_t size) {
    StringList parts;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= size && parts.size() < 9; ++at) {
        if (at < size && data[at] != 0x1E) continue;
        parts.push_back(vorlix::fuzz::text_of(data + start, at - start));
        start = at + 1;
    }
    const auto text = parts.front();
    const StringList folders(parts.begin() + 1, parts.end());
    const bool plain = std::any_of(folders.begin(), folders.end(), [&](const std::u16string& folder) {
        return vorlix::claims_at_boundary(text, folder);
    });
    check(vorlix::FolderAutomaton(folders).claims(text) == plain, "the automaton answers as the plain search");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    namespace sim = vorlix::sim;
    sim::reset();
    sim::add_file(u"C:\\Program Files (x86)\\My App\\bin\\app.exe");
    sim::add_file(u"C:\\Program Files (x86)\\My App\\Data Files\\x\\helper.dll");
    sim::set_short_name(u"C:\\Program Files (x86)", u"PROGRA~2");
    sim::set_short_name(u"C:\\Program Files (x86)\\My App", u"MYAPP~1");
    sim::set_short_name(u"C:\\Program Files (x86)\\My App\\Data Files", u"DATAFI~1");
    program.mpu_str_Name = u"My App";
    program.mpu_str_InstallLocation = u"C:\\Program Files (x86)\\My App\\";
    program.mpu_SDLarry_Folders = {u"C:\\Program Files (x86)\\My App", u"C:\\Program Files (x86)\\My App\\Data Files",
                                   u"C:\\Program Files (x86)\\My App\\Data Files\\x",
                                   u"C:\\Program Files (x86)\\My App\\bin"};
    program.mpu_SDLarry_AXCFiles = {u"app.exe", u"helper.dll"};
    std::sort(program.mpu_SDLarry_Folders.begin(), program.mpu_SDLarry_Folders.end());
    matcher = std::make_unique<vorlix::ProgramMatcher>(program);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 0)
        check_value(vorlix::fuzz::text_of(data + 1, size - 1));
    else
        check_automaton(data + 1, size - 1);
    return 0;
}
