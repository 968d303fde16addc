// The result-file reader on any file content (a file of an earlier version,
// a damaged or edited one), and the registry entries read from it. Properties:
// no line holds a line break; what was read, saved and read again is the same
// (unpaired surrogates come back as U+FFFD); an entry that parses names a
// known root and a key path without a backslash at either end.
#include "app/registry_entry.h"
#include "app/result_files.h"
#include "fuzz_support.h"
#include "platform/sim/sim.h"

namespace {

using vorlix::StringList;
using vorlix::fuzz::check;

const std::u16string read_path = u"C:\\Vorlix\\SLF_RG.txt";
const std::u16string written_path = u"C:\\Vorlix\\SLF_FL.txt";

void check_entry(const std::u16string& line) {
    const auto entry = vorlix::parse_registry_entry(line);
    if (!entry) return;
    check(entry->root != 0, "a parsed entry has a root");
    check(entry->root_name == u"HKLM" || entry->root_name == u"HKCU" || entry->root_name == u"HKU" ||
              entry->root_name == u"HKCR",
          "only the four root names");
    check(!entry->path.empty() && entry->path.front() != u'\\' && entry->path.back() != u'\\',
          "a key path without edge backslashes");
    check(entry->is_value || entry->value_name.empty(), "a key entry names no value");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vorlix::sim::reset();
    vorlix::sim::add_folder(u"C:\\Vorlix");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorlix::sim::add_file(read_path, std::string(reinterpret_cast<const char*>(data), size));
    StringList lines{u"stale"};
    check(vorlix::load_result_file(read_path, lines), "an existing file is read");
    for (const auto& line : lines) {
        check(line.find_first_of(u"\r\n") == std::u16string::npos, "no line holds a line break");
        check_entry(line);
    }

    check(vorlix::save_result_file(written_path, lines), "the lines are saved");
    StringList again;
    check(vorlix::load_result_file(written_path, again), "the saved file is read");
    check(again.size() == lines.size(), "every saved line is read back");
    for (std::size_t at = 0; at < lines.size(); ++at)
        check(again[at] == vorlix::from_utf8(vorlix::to_utf8(lines[at])), "a saved line reads back the same");
    return 0;
}
