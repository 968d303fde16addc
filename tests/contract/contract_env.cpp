#include "contract/contract_env.h"

#include <vector>

#include "platform/os.h"
#if !defined(_WIN32)
#include "platform/sim/sim.h"
#endif

namespace vorlix::contract {

namespace {

#if defined(_WIN32)
// A link a test left behind is removed as a link, never entered.
void delete_key_tree(const std::u16string& path) {
    os::Hkey key = 0;
    if (os::reg_open_key_ex(os::hkey_current_user, path, os::key_all_access, key, os::reg_option_open_link) !=
        os::error_success)
        return;
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (os::reg_query_value_ex(key, u"SymbolicLinkValue", &type, nullptr, &size) == os::error_success &&
        type == os::reg_link) {
        os::nt_delete_key(key);
        os::reg_close_key(key);
        return;
    }
    std::vector<std::u16string> names;
    char16_t name[256];
    for (std::uint32_t i = 0;; ++i) {
        std::uint32_t length = 256;
        if (os::reg_enum_key_ex(key, i, name, length) != os::error_success) break;
        names.emplace_back(name, length);
    }
    os::reg_close_key(key);
    for (const auto& child : names) delete_key_tree(path + u"\\" + child);
    os::reg_delete_key(os::hkey_current_user, path);
}

// Read-only entries are made writable first; links are removed, not entered.
void delete_folder_tree(const std::u16string& folder) {
    os::FindData data;
    const os::Handle find = os::find_first_file(folder + u"\\*", data);
    if (find != os::invalid_handle_value) {
        do {
            if (data.name == u"." || data.name == u"..") continue;
            const std::u16string path = folder + u"\\" + data.name;
            os::set_file_attributes(path, os::file_attribute_normal);
            if (!(data.attributes & os::file_attribute_directory)) {
                os::delete_file(path);
                continue;
            }
            if (!(data.attributes & os::file_attribute_reparse_point)) delete_folder_tree(path);
            os::remove_directory(path);
        } while (os::find_next_file(find, data));
        os::find_close(find);
    }
    os::set_file_attributes(folder, os::file_attribute_normal);
    os::remove_directory(folder);
}
#endif

}  // namespace

std::u16string scratch_folder() {
    char16_t temp[512];
    const std::uint32_t length = os::get_temp_path(temp, 512);
    return std::u16string(temp, length) + u"VorlixContract\\";
}

void prepare() {
#if defined(_WIN32)
    delete_key_tree(scratch_key);
    const std::u16string folder = scratch_folder();
    delete_folder_tree(folder.substr(0, folder.size() - 1));
#else
    sim::reset();
#endif
    ASSERT_TRUE(os::create_directory(scratch_folder()));
}

bool same_ignoring_case(std::u16string_view a, std::u16string_view b) {
    const auto upper = [](char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upper(a[i]) != upper(b[i])) return false;
    return true;
}

}  // namespace vorlix::contract
