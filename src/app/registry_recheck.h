// The registry findings checked again once the uninstaller has ended: what it
// gave back to others by then, and what others keep in a key the analysis
// took whole, is not deleted.
#pragma once

#include "app/text_set.h"

namespace vorlix {

// An extension key (".ext" below a Classes key) stays whole only while
// everything in it is the program's: its default value naming one of the
// program's classes found beside it, an OpenWithProgids list of those classes
// and nothing else. Otherwise only the program's own values replace it: the
// default value while it still names such a class, and the class's entry in
// OpenWithProgids.
void recheck_registry_findings(TextSet& findings, bool view64);

}  // namespace vorlix
