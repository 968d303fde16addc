// SplitPieces on each separator the system uses. The first input character
// picks the separator ("|", "\" or ","; any other byte picks by its value).
// Properties: no empty piece, pieces appear in the text in order, and what
// lies between them is only separators and line breaks; outside a quoted run
// a piece holds no separator and no line break.
#include <array>

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "fuzz_support.h"

namespace {

using vorlix::fuzz::check;

bool ends_piece(char16_t c, char16_t separator) { return c == separator || c == u'\r' || c == u'\n'; }

void check_piece(const std::u16string& piece, char16_t separator) {
    check(!piece.empty(), "no piece is empty");
    check(piece.front() != u'\r' && piece.front() != u'\n', "a piece never starts with a line break");
    char16_t quote = 0;
    for (const char16_t c : piece) {
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else {
            check(!ends_piece(c, separator), "outside quotes a piece holds no separator or line break");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    constexpr std::array<char16_t, 3> separators{u'|', u'\\', u','};
    char16_t separator = separators[data[0] % separators.size()];
    for (const char16_t candidate : separators)
        if (data[0] == candidate) separator = candidate;
    const std::u16string text = vorlix::fuzz::text_of(data + 1, size - 1);

    vorlix::StringList pieces{u"stale"};
    const bool produced = vorlix::SplitPieces(text, separator, pieces);
    check(produced == !pieces.empty(), "the result says whether a piece was produced");

    std::size_t cursor = 0;
    const auto skip_enders = [&](std::size_t until) {
        for (; cursor < until; ++cursor) check(ends_piece(text[cursor], separator), "only separators are dropped");
    };
    for (const auto& piece : pieces) {
        check_piece(piece, separator);
        const auto at = text.find(piece, cursor);
        check(at != std::u16string::npos, "pieces appear in the text in order");
        skip_enders(at);
        cursor = at + piece.size();
    }
    skip_enders(text.size());
    return 0;
}
