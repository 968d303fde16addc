// The file and protocol classes every Windows installation has. A program may
// take over one of their verbs, but the class itself stays Windows'.
#pragma once

#include <string>

namespace vorlix {

// `name` as the key is named below Classes, in any letter case, without blanks around it.
bool is_windows_class(const std::u16string& name);

}  // namespace vorlix
