// The .reg reader and writer. Whatever the reader accepts, the writer writes
// so that reading it back gives the same keys and values, byte for byte, and
// writing that again gives the same file. The UTF-8 variant carries the same
// document, except that names with unpaired surrogates come back as U+FFFD.
#include <functional>

#include "fuzz_support.h"
#include "platform/portable/reg_file.h"

namespace {

using vorlix::fuzz::check;
using vorlix::regfile::Document;
using TextMap = std::function<std::u16string(const std::u16string&)>;

// A key line cannot carry a line break; the writer puts U+FFFD in its place.
std::u16string as_key_line(const std::u16string& path) {
    std::u16string out = path;
    for (auto& c : out)
        if (c == u'\r' || c == u'\n') c = u'\xFFFD';
    return out;
}

std::u16string through_utf8(const std::u16string& text) { return vorlix::from_utf8(vorlix::to_utf8(text)); }

bool same_document(const Document& expected, const Document& actual, const TextMap& path_map,
                   const TextMap& name_map) {
    if (expected.keys.size() != actual.keys.size()) return false;
    for (std::size_t k = 0; k < expected.keys.size(); ++k) {
        const auto& a = expected.keys[k];
        const auto& b = actual.keys[k];
        if (a.root != b.root || path_map(a.path) != b.path || a.remove != b.remove ||
            a.values.size() != b.values.size())
            return false;
        for (std::size_t v = 0; v < a.values.size(); ++v) {
            const auto& x = a.values[v];
            const auto& y = b.values[v];
            if (name_map(x.name) != y.name || x.remove != y.remove || x.type != y.type || x.data != y.data)
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto first = vorlix::regfile::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (!first) return 0;

    const std::string written = vorlix::regfile::write(*first);
    vorlix::regfile::ParseError error;
    const auto second = vorlix::regfile::parse(written, &error);
    check(second.has_value(), "the reader accepts what the writer wrote");
    const TextMap same = [](const std::u16string& text) { return text; };
    check(same_document(*first, *second, as_key_line, same), "written and read back, the document is the same");
    check(vorlix::regfile::write(*second) == written, "writing the read-back document gives the same file");

    const auto third = vorlix::regfile::parse(vorlix::regfile::write_utf8(*first));
    check(third.has_value(), "the reader accepts the UTF-8 variant");
    const TextMap utf8_key = [](const std::u16string& path) { return through_utf8(as_key_line(path)); };
    check(same_document(*first, *third, utf8_key, through_utf8), "the UTF-8 variant carries the same document");
    return 0;
}
