// Reg_PathVariants on any key path, and the operations that open every
// variant on a small simulated registry. The first input byte holds the
// with-path flag (bit 0) and the view (bit 1); the rest is the path.
// Properties: failure leaves the list untouched and happens exactly for an
// empty path or one without a backslash; each further variant is the path's
// components with "\Wow6432Node" inserted after one of them, in order, never
// after the last; a trailing backslash stays on every variant.
#include "access/Unit_ZRB_func_RegistryEx.h"
#include "fuzz_support.h"
#include "platform/sim/sim.h"

namespace {

using vorlix::StringList;
using vorlix::fuzz::check;

constexpr std::u16string_view wow_node = u"\\Wow6432Node";

void check_variants(const std::u16string& path, bool with_path, const StringList& variants) {
    StringList components;
    vorlix::SplitPieces(path, u'\\', components);
    const bool trailing = path.back() == u'\\';
    const std::size_t inserted = components.empty() ? 0 : components.size() - 1;
    check(variants.size() == (with_path ? 1 : 0) + inserted, "one variant per component but the last");
    if (with_path) check(variants.front() == path, "the path itself comes first");

    std::u16string joined;
    std::size_t insert_at = 0;
    for (std::size_t i = 0; i < inserted; ++i) {
        if (i > 0) joined += u'\\';
        joined += components[i];
        insert_at = joined.size();
        const auto& variant = variants[(with_path ? 1 : 0) + i];
        check(variant.size() >= insert_at + wow_node.size(), "a variant is longer than its insertion point");
        check(variant.compare(insert_at, wow_node.size(), wow_node) == 0, "Wow6432Node after the component");
        check(variant.ends_with(u'\\') == trailing, "a trailing backslash stays");
        check(!variant.ends_with(wow_node) && !variant.ends_with(std::u16string(wow_node) + u'\\'),
              "the last component never gets one");
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    vorlix::sim::reset();
    for (const auto* key : {u"SOFTWARE\\Vendor\\App\\Settings", u"SOFTWARE\\Wow6432Node\\Vendor\\App\\Plugins",
                            u"SOFTWARE\\Vendor\\Wow6432Node\\App", u"SOFTWARE\\Classes\\CLSID\\{00000000-0000}"})
        vorlix::sim::create_key(vorlix::os::hkey_local_machine, key);
    vorlix::sim::set_string(vorlix::os::hkey_local_machine, u"SOFTWARE\\Vendor\\App", u"Path", u"C:\\App");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool with_path = (data[0] & 1) != 0;
    const bool view64 = (data[0] & 2) != 0;
    const std::u16string path = vorlix::fuzz::text_of(data + 1, size - 1);

    StringList variants{u"untouched"};
    if (!vorlix::Reg_PathVariants(path, with_path, variants)) {
        check(path.empty() || path.find(u'\\') == std::u16string::npos, "only pathless texts fail");
        check(variants == StringList{u"untouched"}, "failure leaves the list untouched");
        return 0;
    }
    check_variants(path, with_path, variants);

    // Opening every variant of a hostile path must stay within bounds.
    const auto root = vorlix::os::hkey_local_machine;
    StringList existing;
    int count = -1;
    vorlix::Reg_FindExistingVariants(root, path, view64, &existing, count);
    check(count == static_cast<int>(existing.size()), "the count matches the variants found");
    StringList lines;
    vorlix::Reg_CollectSubKeyLines(root, path, lines, view64);
    check(lines.size() <= variants.size() + (with_path ? 0 : 1), "at most one line per variant");
    return 0;
}
