// The leftover screen's file rows in the order the deletion takes them, and
// the vendors' folders and keys that go only when they are empty.
#pragma once

#include <cstddef>
#include <vector>

#include "access/string_types.h"
#include "app/leftover_session.h"
#include "app/registry_entry.h"

namespace vorlix {

// A row past the end of the check boxes has none and counts as ticked.
inline bool is_ticked(const std::vector<bool>& rows, std::size_t index) { return index >= rows.size() || rows[index]; }

struct FileEntries {
    // Every folder before every file: the analysis's, then the settings'.
    StringList paths;
    std::size_t folder_count = 0;
    std::vector<bool> ticked;
    // Ticked vendors' folders, which go only when nothing is left in them.
    StringList vendor_folders;
};

// `rows` are the check boxes of the session's file rows, in their order.
FileEntries file_entries(const LeftoverSession& session, const std::vector<bool>& rows);

// Whether the key holds neither values nor subkeys (a link counts as not empty).
bool registry_key_is_empty(const RegistryEntry& entry, bool view64);

}  // namespace vorlix
