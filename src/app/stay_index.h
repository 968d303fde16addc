// The index of what stays: every file and folder that the registry data
// remaining after a deletion names, every user profile, the folders Windows
// keeps and Vorlix's own folder. Built from the live machine when the
// deletion starts, so that whatever the analysis claimed, the deletion never
// takes what something that stays still uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "access/string_types.h"
#include "inventory/folder_forms.h"
#include "inventory/known_folders.h"

namespace vorlix {

// The local drive path a registry text names, placeholders expanded and
// quotes and the kernel's \\??\\ prefix taken off, a path rooted without a
// drive put on the system's drive and a local drive's administrative share
// (\\localhost\C$\...) read as the drive; empty for anything else (a bare
// file name names no place on its own).
std::u16string named_path(const std::u16string& text);
// The file a command line starts (and, for rundll32, the library it loads),
// placeholders expanded; empty when the command names no local drive path.
StringList command_paths(const std::u16string& command);
// The file of an icon text "file,index"; empty when it names no local drive path.
std::u16string icon_path(const std::u16string& icon);

class StayIndex {
public:
    // How far a named path protects.
    enum class Reach {
        itself,  // the path; a folder is kept with what lies in it, unless listed apart
        tree     // the path and everything below it, listed or not
    };

    // Who names a path.
    enum class Source : std::uint8_t {
        other,    // a profile, Windows, Vorlix, a start or class entry
        program,  // another registered program: its uninstaller or icon
        named,    // named after a registered program without a place: a file
                  // so named makes its folder that program's (see `hold`)
        place     // another registered program's location or setup source, or
                  // another Windows Installer product's file: a folder above
                  // it is that program's too (see `shared_with`), and the
                  // folder holding such a file stays with all it holds
    };
    struct Keep {
        std::u16string reason;
        Source source;
    };

    void add(const std::u16string& path, Reach reach, const std::u16string& reason, Source source = Source::other);
    // The name of a registered program whose registration names no folder of
    // its own: it may live anywhere, and an entry whose name (up to its first
    // dot), or that of a folder above it, is that name stays with all it holds.
    void add_name(const std::u16string& word, const std::u16string& reason);

    // Why the path must stay: it is named, lies below a path named with its
    // whole tree, or is named after a program. Nothing when it may go.
    std::optional<Keep> kept(const std::u16string& path);
    // Whether a named path lies below the folder: it may then only be emptied.
    bool holds(const std::u16string& folder);
    // Why the folder is another registered program's too: a path it registers
    // lies below. Nothing in such a folder is the deleted program's by being
    // there; only what the analysis listed in it may go.
    std::optional<std::u16string> shared_with(const std::u16string& folder);
    // The folder, with all it holds, stays for the reason.
    void hold(const std::u16string& folder, const std::u16string& reason);

    std::size_t size() const { return named_.size(); }

private:
    struct Named {
        Reach reach;
        Keep keep;
    };
    // The path upper-cased without trailing backslash, in the forms it may be
    // written in (8.3 names resolved where the path holds one).
    StringList keys(const std::u16string& path);

    std::unordered_map<std::u16string, Named> named_;
    // Upper-cased words, with the reason.
    std::unordered_map<std::u16string, std::u16string> names_;
    // Every folder above a named path.
    std::unordered_set<std::u16string> holders_;
    // Every folder above a registered path, with its reason.
    std::unordered_map<std::u16string, std::u16string> shared_;
    // Every folder that holds a registered file, with its reason.
    std::unordered_map<std::u16string, std::u16string> roots_;
    FolderForms forms_;
};

// What the deletion about to run takes, by which the index tells registry
// data that goes from data that stays.
class RegistryGoing {
public:
    // Rows in their stored form: "ROOT|key" or "ROOT|key|value".
    void add(const std::u16string& row);
    // The rows in the hive of this user also stand for its HKCU rows: the
    // current user's hive is seen under both names.
    void alias_user(const std::u16string& sid);
    // Whether the key (with everything below it) or the value goes. `root` is
    // "HKLM", "HKCU" or "HKU" (with the user's SID leading the key): a row of
    // one user's hive never stands for another user's key of the same name.
    bool covers(const std::u16string& root, const std::u16string& key, const std::u16string* value = nullptr) const;
    // Whether the value itself is one of the rows (its key being known to stay).
    bool takes_value(const std::u16string& root, const std::u16string& key, const std::u16string& value) const;

private:
    std::unordered_set<std::u16string> keys_;
    std::unordered_set<std::u16string> values_;
};

struct StayInputs {
    // The program's own Uninstall entries as "HKLM|path" (with "|64" when
    // read in the 64-bit view), which protect nothing.
    StringList own_entries;
    // The program's own InstallSource: where its setup ran from stays.
    std::u16string own_source;
    RegistryGoing going;
    const KnownFolders* known = nullptr;
    // The running executable's folder, with a trailing backslash.
    std::u16string own_folder;
};

// Reads every source of the index in one pass over the registry.
StayIndex build_stay_index(const StayInputs& inputs);

}  // namespace vorlix
