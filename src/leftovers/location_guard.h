// What an install location may claim. Only a fully qualified local folder
// that is where the file system really puts it, that nobody else owns and
// that holds no folder of Windows, of the shell or of another program
// registered on the machine.
#pragma once

#include <string>

#include "access/string_types.h"
#include "inventory/known_folders.h"
#include "inventory/Unit_ZRB_Struct.h"
#include "leftovers/folder_automaton.h"

namespace vorlix {

// A path of the form X:\..., without wildcards, streams or forward slashes.
bool is_local_drive_path(const std::u16string& path);

// Environment placeholders replaced as ExpandEnvironmentStrings does; a
// placeholder that names no variable stays as it is.
std::u16string expand_placeholders(const std::u16string& text);

// The folder of the file a command starts or an icon names, when that is a
// file in a folder of a local drive.
std::u16string folder_of_file(const std::u16string& text);

// Whether the path is spelled as the file system resolves it: the final path
// of the path (or of its deepest existing folder, followed by the rest) is
// the path itself, up to case. No link, 8.3 name, "." or ".." on the way.
bool is_final_path(const std::u16string& path);

// The install locations of every program of the list except `record`, and
// the folders of their uninstallers and icons.
StringList other_program_locations(const ZRB_InstalledSoftwareList& list, const ZRB_InstalledSoftware* record);

// Whether an entry merged into the record lies at the record's own location:
// entries merged under one name with another location are other programs.
bool at_own_location(const ZRB_InstalledSoftware& record, const EntrySource& source);

class LocationGuard {
public:
    // The locations of the programs that stay registered while this one goes.
    explicit LocationGuard(const StringList& other_locations = {});

    // The location with its placeholders expanded, or empty when it may claim
    // nothing: not a final local drive path, a folder of the system, the
    // shell or Windows, a folder above one, a folder inside Windows, or a
    // folder at or below another program's location.
    std::u16string claimable(const std::u16string& location) const;

    // A location that is itself a junction or symbolic link claims only the
    // link: its expanded form when the link could go as a link (its folder
    // final and guarded as above), otherwise empty.
    std::u16string claimable_link(const std::u16string& location) const;

    // Whether the text names a place at or below another program's location.
    bool refers_to_others(const std::u16string& text) const;

    // Whether another program's location lies below the folder: the folder
    // may then only be emptied, never removed with everything in it.
    bool holds_others(const std::u16string& folder) const;

    // Whether a file or folder the analysis listed may still be deleted: a
    // local drive path whose folder is still where it was (a link placed on
    // the way since would lead elsewhere) and that no other program owns.
    bool deletable(const std::u16string& path) const;

    // A folder shared by many programs, or a folder above one.
    bool is_shared_or_above(const std::u16string& folder) const;

    // Whether a folder known only from an uninstall command is shared: another
    // program's location, uninstaller or icon lies at or below it, or it is a
    // vendor's folder below Common Files. Such a folder is no program's own.
    bool is_shared_by_commands(const std::u16string& folder) const;

    const KnownFolders& known_folders() const { return known; }

private:
    KnownFolders known;
    // The other programs' locations upper-cased, without trailing backslash.
    StringList other_upper;
    FolderAutomaton others;
    // Upper-cased, with a trailing backslash.
    StringList common_files;

    // A folder of the system, the shell, Windows or another program, or above one.
    bool is_guarded(const std::u16string& path) const;
};

}  // namespace vorlix
