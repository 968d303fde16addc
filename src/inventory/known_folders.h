// The well-known folders one scan works with, read once when the scan starts
// instead of once per entry (they cannot change while it runs).
#pragma once

#include <string>
#include <unordered_set>

#include "access/string_types.h"

namespace vorlix {

struct KnownFolders {
    // Each ends with a backslash; empty when the system knows no such folder.
    std::u16string system_dir;
    std::u16string desktop_dir;
    std::u16string windows_dir;
    std::u16string app_data_dir;
    std::u16string local_app_data_dir;
    // LocalLow, beside the local application data.
    std::u16string local_low_dir;
    std::u16string program_data_dir;
    std::u16string program_files;
    std::u16string program_files64;
    // Upper-cased (a to z), with a trailing backslash, without duplicates: the
    // folders shared by many programs, every folder the shell knows and those
    // Windows keeps for itself below Program Files, Common Files, ProgramData
    // and AppData. An install location that is one of them,
    // or lies above one, would hand the whole shared folder to the leftover analysis.
    StringList shared_upper;
    // Each of shared_upper and every folder above it, for look-ups per entry.
    std::unordered_set<std::u16string> shared_or_above_upper;

    static KnownFolders capture();

    std::u16string msiexec_path() const { return system_dir + u"msiexec.exe"; }
    // True when the folder is a drive or network-share root or a shared
    // folder, or lies above one, under any spelling that names the same
    // folder: forward slashes, doubled separators, "." and ".." components,
    // \\?\ and \\.\ prefixes, 8.3 short names.
    bool is_shared_or_above(const std::u16string& folder) const;
    // The same test on forms comparable_forms gave, for a caller that has them.
    bool is_any_shared_or_above(const StringList& forms) const;

    // The folder upper-cased (a to z) with a trailing backslash, as Windows
    // resolves its spelling and, when it exists, in its long form.
    static StringList comparable_forms(const std::u16string& folder);
};

}  // namespace vorlix
