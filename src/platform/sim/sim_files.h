// The file tree of the model: path parsing, WOW64 redirection, lookups
// through junctions and 8.3 names.
#pragma once

#include <optional>

#include "platform/sim/sim_state.h"

namespace vorlix::sim::detail {

struct ParsedPath {
    std::u16string prefix;              // "\\?\" when the caller used it
    char16_t drive = 0;                 // upper case
    std::vector<std::u16string> names;  // below the drive root; "." and ".." resolved
    bool trailing_separator = false;
};

enum class Redirection {
    literal,  // the path as written (control surface, junction targets)
    caller,   // the file-system redirection of a WOW64 process's calling thread applies
};

// Parses a full path; "/" counts as "\". The wildcards * and ? are accepted
// in the last name only when `wildcards` is set.
std::optional<ParsedPath> parse_path(const Machine& m, std::u16string_view path, Redirection redirection,
                                     std::uint32_t& error, bool wildcards = false);

struct Lookup {
    std::uint32_t error = os::error_success;
    FsNode* folder = nullptr;  // holds the last name (junctions on the way followed); null for a drive root
    FsNode* node = nullptr;    // the entry itself, not followed; null when missing (then `error` says why)
    std::u16string name;       // the last name as asked
};
Lookup look_up(Machine& m, const ParsedPath& path);
// Parses with the caller's redirection and looks up.
Lookup locate(Machine& m, std::u16string_view path);
// The folder a junction leads to (through chains of junctions); the node itself otherwise.
FsNode* follow(Machine& m, FsNode* node);

// Per-thread state of Wow64DisableWow64FsRedirection.
bool& fs_redirection_disabled();

FsNode* child(const FsNode& folder, std::u16string_view name);  // by long or 8.3 name
FsNode& attach(FsNode& folder, std::shared_ptr<FsNode> node);
std::shared_ptr<FsNode> detach(FsNode& node);
std::shared_ptr<FsNode> make_entry(std::u16string_view name, std::uint32_t attributes);
bool is_folder(const FsNode& node);
bool is_junction(const FsNode& node);
bool is_inside(const FsNode& node, const FsNode& folder);  // `node` is `folder` or below it
const FsNode& drive_root_of(const FsNode& node);
std::u16string full_path(const FsNode& node);
std::uint32_t reported_attributes(const FsNode& node);
os::FindData find_data(const FsNode& node, std::u16string_view name);

// Builders for the control surface and reset(); literal paths, missing
// folders are made. Misuse (a file in the way, a bad path) throws.
ParsedPath parse_literal(const Machine& m, std::u16string_view path);
FsNode& make_folders(Machine& m, std::u16string_view path);
FsNode& make_parent_folders(Machine& m, const ParsedPath& path);
FsNode& make_file(Machine& m, std::u16string_view path, std::string bytes, std::uint32_t extra_attributes);

}  // namespace vorlix::sim::detail
