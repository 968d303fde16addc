// Test control of the model's file tree, and the tree a fresh machine has.
#include <stdexcept>

#include "platform/sim/sim_files.h"

namespace vorlix::sim {

using namespace detail;

namespace {

FsNode* literal_node(Machine& m, std::u16string_view path) {
    std::uint32_t error = os::error_success;
    const auto parsed = parse_path(m, path, Redirection::literal, error);
    return parsed ? look_up(m, *parsed).node : nullptr;
}

FsNode& existing(Machine& m, std::u16string_view path) {
    if (FsNode* node = literal_node(m, path)) return *node;
    throw std::invalid_argument("sim: no such file or folder");
}

void list_below(const FsNode& node, const std::u16string& path, std::vector<std::u16string>& out) {
    out.push_back(path);
    if (is_junction(node)) return;
    const std::u16string base = path.back() == u'\\' ? path : path + u"\\";
    for (const auto& [key, entry] : node.children) list_below(*entry, base + entry->name, out);
}

}  // namespace

namespace detail {

void build_files(Machine& m) {
    const WellKnownFolders f = well_known_folders(m.config);
    const bool windows64 = m.config.windows64;
    for (const auto& folder : {f.system, f.desktop, f.documents, f.downloads, f.roaming, f.temp, f.users_public})
        make_folders(m, folder);
    make_folders(m, f.program_files + u"\\Common Files").short_name = u"COMMON~1";
    make_folders(m, f.program_files).short_name = u"PROGRA~1";
    if (windows64) {
        make_folders(m, f.syswow64);
        make_folders(m, f.program_files_x86 + u"\\Common Files").short_name = u"COMMON~1";
        make_folders(m, f.program_files_x86).short_name = u"PROGRA~2";
    }
    FsNode& program_data = make_folders(m, f.program_data);
    program_data.short_name = windows64 ? u"PROGRA~3" : u"PROGRA~2";
    program_data.attributes |= os::file_attribute_hidden;
    make_folders(m, f.profile + u"\\AppData").attributes |= os::file_attribute_hidden;
    make_folders(m, f.documents).short_name = u"DOCUME~1";
    make_folders(m, f.downloads).short_name = u"DOWNLO~1";

    for (const auto& program : {u"explorer.exe", u"regedit.exe"}) make_file(m, f.windows + u"\\" + program, {}, 0);
    for (const auto& program : {u"cmd.exe", u"msiexec.exe", u"regsvr32.exe", u"rundll32.exe"}) {
        make_file(m, f.system + u"\\" + program, {}, 0);
        if (windows64) make_file(m, f.syswow64 + u"\\" + program, {}, 0);
    }
    make_file(m, m.own_image, {}, 0);
}

}  // namespace detail

void add_folder(const std::u16string& path, std::uint32_t extra_attributes) {
    auto lock = lock_machine();
    make_folders(machine(), path).attributes |= extra_attributes;
}

void add_file(const std::u16string& path, const std::string& bytes, std::uint32_t extra_attributes) {
    auto lock = lock_machine();
    make_file(machine(), path, bytes, extra_attributes);
}

void add_junction(const std::u16string& path, const std::u16string& target) {
    auto lock = lock_machine();
    Machine& m = machine();
    const ParsedPath link = parse_literal(m, path);
    const ParsedPath aim = parse_literal(m, target);
    FsNode& parent = make_parent_folders(m, link);
    if (child(parent, link.names.back())) throw std::invalid_argument("sim: the junction's name is taken");
    FsNode& junction =
        attach(parent, make_entry(link.names.back(), os::file_attribute_directory | os::file_attribute_reparse_point));
    junction.junction_target = std::u16string{aim.drive, u':'};
    for (const auto& name : aim.names) junction.junction_target += u"\\" + name;
    if (aim.names.empty()) junction.junction_target += u"\\";
}

void set_short_name(const std::u16string& path, const std::u16string& short_name) {
    auto lock = lock_machine();
    existing(machine(), path).short_name = short_name;
}

void lock_file(const std::u16string& path, bool locked) {
    auto lock = lock_machine();
    existing(machine(), path).locked = locked;
}

bool path_exists(const std::u16string& path) {
    auto lock = lock_machine();
    return literal_node(machine(), path) != nullptr;
}

std::vector<std::u16string> list_tree(const std::u16string& root) {
    auto lock = lock_machine();
    std::vector<std::u16string> out;
    if (const FsNode* node = literal_node(machine(), root)) list_below(*node, full_path(*node), out);
    return out;
}

}  // namespace vorlix::sim
