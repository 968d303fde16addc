// The names a program answers to beyond its install folder: the names its
// settings folders and keys are given, and its vendor's.
#pragma once

#include <string>
#include <unordered_set>

#include "access/string_types.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "inventory/known_folders.h"

namespace vorlix {

// The display name without a trailing version, architecture or language:
// "Quillpad version 2.3.1", "Tool 4.2 (x64)" and "Tool en-US" give "Quillpad" and "Tool".
std::u16string bare_display_name(const std::u16string& display_name);
// The publisher without its legal form: "Quill Labs, Inc." gives "Quill Labs".
std::u16string bare_publisher(const std::u16string& publisher);

struct ProgramNames {
    StringList names;    // each once, ignoring case
    StringList vendors;  // each once, ignoring case
};

class NameRules {
public:
    // The folders the shell and Windows know lend their names to the names never taken.
    explicit NameRules(const KnownFolders& known);

    // Whether a folder or key of this name can be told to be one program's:
    // a single path component of four characters or more, neither generic
    // nor the name of a folder the shell or Windows knows.
    bool is_telling(const std::u16string& name) const;

    // Every name the record answers to and every vendor name it has, telling
    // or not; its install folder's only `with_location`.
    ProgramNames names_of(const ZRB_InstalledSoftware& record, bool with_location = true) const;

    // Every name another program may be known by, told wide: its names, its
    // vendors and the first word of each vendor (its short name, "Quill" of
    // "Quill Labs"), and the names of the folders its location in any form,
    // its uninstaller and its icon lie in, with their parents. The program
    // that goes claims none of them, so erring wide only leaves a leftover.
    StringList names_held_by(const ZRB_InstalledSoftware& other) const;

private:
    const KnownFolders& known_;
    // Upper-cased.
    std::unordered_set<std::u16string> known_names_;
};

}  // namespace vorlix
