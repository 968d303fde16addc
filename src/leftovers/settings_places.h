// The program's settings and data beyond its install folder: folders and keys
// named exactly after it where programs keep their settings, found by exact
// evidence only.
#pragma once

#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/location_guard.h"

namespace vorlix {

// HKCU\Software, HKLM\SOFTWARE and its Wow6432Node; the roaming, local and
// LocalLow application data and ProgramData: each `<vendor>\<name>` and
// `<name>` whose name equals one of the program's telling names (ignoring
// case), that no other program of the list answers to or has as its vendor,
// that the guard lets the program claim and that the analysis has not listed
// already. A vendor's folder or key is listed (to go only when empty) when
// no other program of the list has that vendor and nothing else is in it.
SettingsFindings find_settings(const ZRB_InstalledSoftware& record, const ZRB_InstalledSoftwareList& list,
                               const LocationGuard& guard, bool view64);

}  // namespace vorlix
