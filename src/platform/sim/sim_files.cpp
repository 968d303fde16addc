// The file calls of the seam, answered from the model's file tree with the
// error codes of the Win32 calls.
#include "platform/sim/sim_files.h"

namespace vorlix::os {

using namespace sim::detail;

namespace {

constexpr std::uint32_t settable_attributes = file_attribute_readonly | file_attribute_hidden | file_attribute_system |
                                              file_attribute_archive | 0x0100 /*temporary*/ | 0x1000 /*offline*/ |
                                              0x2000 /*not content indexed*/;

bool fail(std::uint32_t error) {
    set_last_error(error);
    return false;
}

bool is_read_only(const FsNode& node) { return (node.attributes & file_attribute_readonly) != 0; }

// Why a file cannot be opened for reading or writing, or error_success.
std::uint32_t open_error(const FsNode& node, bool for_writing) {
    if (is_folder(node)) return error_access_denied;
    if (node.locked) return error_sharing_violation;
    if (for_writing && is_read_only(node)) return error_access_denied;
    return error_success;
}

}  // namespace

std::uint32_t get_file_attributes(const std::u16string& path) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    if (!found.node) {
        set_last_error(found.error);
        return invalid_file_attributes;
    }
    return reported_attributes(*found.node);
}

bool set_file_attributes(const std::u16string& path, std::uint32_t attributes) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    if (!found.node) return fail(found.error);
    found.node->attributes = (found.node->attributes & ~settable_attributes) | (attributes & settable_attributes);
    return true;
}

bool delete_file(const std::u16string& path) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    if (!found.node) return fail(found.error);
    FsNode& node = *found.node;
    if (is_folder(node) || is_read_only(node)) return fail(error_access_denied);
    if (node.locked) return fail(error_sharing_violation);
    detach(node);
    return true;
}

bool create_directory(const std::u16string& path) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    if (found.node) return fail(error_already_exists);
    if (found.error != error_file_not_found) return fail(found.error);
    attach(*found.folder, make_entry(found.name, file_attribute_directory));
    return true;
}

bool remove_directory(const std::u16string& path) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    if (!found.node) return fail(found.error);
    FsNode& node = *found.node;
    if (!found.folder) return fail(error_access_denied);  // a drive root
    if (!is_folder(node)) return fail(error_directory);
    // A junction goes as a link: what it points at is not touched.
    if (!is_junction(node)) {
        if (is_read_only(node)) return fail(error_access_denied);
        if (!node.children.empty()) return fail(error_dir_not_empty);
    }
    detach(node);
    return true;
}

bool copy_file(const std::u16string& from, const std::u16string& to, bool fail_if_exists) {
    count_file_call();
    auto lock = lock_machine();
    Machine& m = machine();
    const Lookup source = locate(m, from);
    if (!source.node) return fail(source.error);
    if (const auto error = open_error(*source.node, false)) return fail(error);
    const Lookup target = locate(m, to);
    if (target.node) {
        if (fail_if_exists) return fail(error_file_exists);
        if (target.node == source.node) return fail(error_sharing_violation);
        if (const auto error = open_error(*target.node, true)) return fail(error);
        target.node->bytes = source.node->bytes;
        target.node->attributes = source.node->attributes;
        return true;
    }
    if (target.error != error_file_not_found) return fail(target.error);
    FsNode& copy = attach(*target.folder, make_entry(target.name, source.node->attributes));
    copy.bytes = source.node->bytes;
    return true;
}

bool move_file(const std::u16string& from, const std::u16string& to) {
    count_file_call();
    auto lock = lock_machine();
    Machine& m = machine();
    const Lookup source = locate(m, from);
    if (!source.node) return fail(source.error);
    if (!source.folder) return fail(error_access_denied);
    FsNode& node = *source.node;
    if (node.locked) return fail(error_sharing_violation);
    const Lookup target = locate(m, to);
    // Renaming an entry to its own name in another case is allowed.
    if (target.node && target.node != &node) return fail(error_already_exists);
    if (!target.node && target.error != error_file_not_found) return fail(target.error);
    if (is_folder(node)) {
        if (&drive_root_of(*target.folder) != &drive_root_of(node)) return fail(error_not_same_device);
        if (is_inside(*target.folder, node)) return fail(error_sharing_violation);
    }
    auto owned = detach(node);
    owned->name = target.name;
    owned->short_name.clear();
    attach(*target.folder, std::move(owned));
    return true;
}

std::uint32_t get_final_path_name(const std::u16string& path, std::u16string& final_path) {
    final_path.clear();
    auto lock = lock_machine();
    Machine& m = machine();
    const Lookup found = locate(m, path);
    // Opening a junction opens what it points at.
    const FsNode* node = found.node ? follow(m, found.node) : nullptr;
    if (!node) {
        const auto error = found.node ? error_file_not_found : found.error;
        set_last_error(error);
        return error;
    }
    final_path = u"\\\\?\\" + full_path(*node);
    return error_success;
}

std::uint32_t probe_open_for_read(const std::u16string& path) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    const std::uint32_t error = found.node ? open_error(*found.node, false) : found.error;
    if (error != error_success) set_last_error(error);
    return error;
}

bool read_file_bytes(const std::u16string& path, std::string& bytes) {
    count_file_call();
    auto lock = lock_machine();
    const Lookup found = locate(machine(), path);
    if (!found.node) return fail(found.error);
    if (const auto error = open_error(*found.node, false)) return fail(error);
    bytes = found.node->bytes;
    return true;
}

bool read_file_parts(const std::u16string& path, const std::function<void(const FilePartReader&)>& use) {
    std::string content;
    if (!read_file_bytes(path, content)) return false;
    // The reader works on what the open saw, without the machine's lock: the
    // caller may ask the machine for more while it reads.
    use([&content](std::uint64_t offset, std::size_t size, std::string& bytes) {
        bytes = offset < content.size() ? content.substr(static_cast<std::size_t>(offset), size) : std::string();
        return true;
    });
    return true;
}

bool write_file_bytes(const std::u16string& path, const std::string& bytes) {
    count_file_call();
    auto lock = lock_machine();
    Machine& m = machine();
    const Lookup found = locate(m, path);
    if (found.node) {
        if (const auto error = open_error(*found.node, true)) return fail(error);
        found.node->bytes = bytes;
        return true;
    }
    if (found.error != error_file_not_found) return fail(found.error);
    attach(*found.folder, make_entry(found.name, file_attribute_archive)).bytes = bytes;
    return true;
}

}  // namespace vorlix::os
