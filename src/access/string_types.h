// Types shared by the whole engine.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vorlix {

// An ordered text list: insertion order, duplicates kept.
using StringList = std::vector<std::u16string>;
// A text-to-text map, as filled by RegEx_GetNamedGroups.
using StringMap = std::map<std::u16string, std::u16string>;

}  // namespace vorlix
