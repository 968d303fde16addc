// A leftover registry entry in its stored form: "HKLM|key path" names a key
// with everything below it, "HKLM|key path|value name" one value.
#pragma once

#include <optional>
#include <string>

#include "platform/os.h"

namespace vorlix {

struct RegistryEntry {
    std::u16string root_name;  // "HKLM", "HKCU", "HKU" or "HKCR"
    os::Hkey root = 0;
    std::u16string path;       // no backslash at either end
    bool is_value = false;
    std::u16string value_name;  // empty for the default value
};

// Nothing for a text that is neither form: an unknown root, an empty key
// path, or more bars than the two forms hold (a name containing a bar would
// be cut). An empty last piece names the default value, never the key.
std::optional<RegistryEntry> parse_registry_entry(const std::u16string& text);

// Whether the key, or the value, is there; read access is enough to tell.
bool registry_entry_exists(const RegistryEntry& entry, bool view64);

// Deletes the key tree or the value; true when it is gone.
bool delete_registry_entry(const RegistryEntry& entry, bool view64);

}  // namespace vorlix
