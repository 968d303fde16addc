// Whether a text read from the registry belongs to the program being
// analysed: it lies in one of the program's folders. A bare file name never
// does: Windows looks for it elsewhere first, and many programs ship one. Built once per analysis, after the file-system walk
// has sorted the record's lists; it reads the record and changes nothing.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>

#include "access/string_types.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/folder_automaton.h"
#include "leftovers/location_guard.h"

namespace vorlix {

// Quotation marks blanked and a short (8.3) path expanded; empty when the
// short path's folder no longer exists or the text cannot be read as one.
std::u16string NormalizeRegistryPath(const std::u16string& value);

// "\" + pieces[k] followed by "\" + each piece up to the last but one: the
// part of a path after its last short component, without its file name
// (pieces[k] at least).
std::u16string short_form_tail(const StringList& pieces, std::size_t k);

class ProgramMatcher {
public:
    // The environment's Program Files folders are read here, once. Nothing
    // `guard` protects (another program's location, a folder of the system)
    // is the program's; the guard outlives the matcher. `location` is the
    // record's install location as guard.claimable gave it to the walk.
    ProgramMatcher(const ZRB_InstalledSoftware& record, const LocationGuard& guard, const std::u16string& location);
    // Guarded against the shared and system folders only.
    explicit ProgramMatcher(const ZRB_InstalledSoftware& record);
    virtual ~ProgramMatcher() = default;
    ProgramMatcher(const ProgramMatcher&) = delete;
    ProgramMatcher& operator=(const ProgramMatcher&) = delete;

    // The caller trims the value.
    bool RefersToProgram(const std::u16string& value) const;

protected:
    const ZRB_InstalledSoftware& program() const { return record; }
    // Whether a folder of the program claims `text` at a path boundary. With
    // a short component found (`k` > 0), every folder on `drive` (upper case)
    // is first cut to short_form_tail of its pieces from k; folders with fewer
    // pieces, and those on another drive, take no part.
    virtual bool folders_claim(const std::u16string& text, std::size_t k, char16_t drive) const;

private:
    // Without `claimed_location`, the guard is asked for the location.
    ProgramMatcher(const ZRB_InstalledSoftware& record, const LocationGuard* shared_guard,
                   std::unique_ptr<const LocationGuard> owned_guard, const std::u16string* claimed_location);

    const ZRB_InstalledSoftware& record;
    // Only for the one-argument form.
    std::unique_ptr<const LocationGuard> own_guard;
    const LocationGuard& guard;
    std::u16string location;
    std::u16string program_files_x86;
    std::u16string program_files_w6432;
    // Upper-cased (a to z) folders of the program.
    FolderAutomaton folders;
    // The folders of one drive cut from k pieces on, built when a value first
    // needs it. The matcher serves one analysis thread, so the cache needs no lock.
    mutable std::map<std::pair<std::size_t, char16_t>, std::unique_ptr<FolderAutomaton>> folders_from_piece;

    // Whether the install location claims a value resolved against a Program Files folder.
    bool location_claims(const std::u16string& joined) const;
    bool refers_to_own(const std::u16string& value) const;
    const FolderAutomaton& cut_folders(std::size_t k, char16_t drive) const;
};

}  // namespace vorlix
