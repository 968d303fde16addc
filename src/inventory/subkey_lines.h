// Walking the key lines of a path over all its Wow6432Node variants.
#pragma once

#include <string>

#include "access/Unit_ZRB_func_RegistryEx.h"

namespace vorlix {

// Calls `visit(variant path, subkey name)` for every name of every key line of
// `path`, in line order and then name order.
template <typename Visit>
void for_each_subkey_of_variants(os::Hkey root, const std::u16string& path, bool view64, Visit visit) {
    StringList lines, pieces;
    Reg_CollectSubKeyLines(root, path, lines, view64);
    for (const auto& line : lines) {
        SplitPieces(line, u'|', pieces);
        for (std::size_t at = 1; at < pieces.size(); ++at) visit(pieces[0], pieces[at]);
    }
}

}  // namespace vorlix
