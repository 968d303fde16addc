#include "app/deletion_rows.h"

#include <algorithm>

#include "access/registry_key.h"

namespace vorlix {

FileEntries file_entries(const LeftoverSession& session, const std::vector<bool>& rows) {
    const auto& vendors = session.settings.only_when_empty;
    StringList folders, files;
    std::vector<bool> folder_ticks, file_ticks;
    FileEntries entries;
    std::size_t row = 0;
    for (const auto* list : {&session.mpr_strlist_LF_Folders, &session.mpr_strlist_LF_Files, &session.settings.folders,
                             &session.settings.files}) {
        const bool of_folders = list != &session.mpr_strlist_LF_Files && list != &session.settings.files;
        for (const auto& path : *list) {
            const bool ticked = is_ticked(rows, row++);
            if (list == &session.settings.folders && std::find(vendors.begin(), vendors.end(), path) != vendors.end()) {
                if (ticked) entries.vendor_folders.push_back(path);
                continue;
            }
            (of_folders ? folders : files).push_back(path);
            (of_folders ? folder_ticks : file_ticks).push_back(ticked);
        }
    }
    entries.folder_count = folders.size();
    entries.paths = std::move(folders);
    entries.paths.insert(entries.paths.end(), files.begin(), files.end());
    entries.ticked = std::move(folder_ticks);
    entries.ticked.insert(entries.ticked.end(), file_ticks.begin(), file_ticks.end());
    return entries;
}

bool registry_key_is_empty(const RegistryEntry& entry, bool view64) {
    const RegistryKey key(entry.root, entry.path, view64, true);
    if (!key.is_open() || key.is_link()) return false;
    const auto info = key.info();
    return info.values == 0 && info.sub_keys == 0;
}

}  // namespace vorlix
