#include "app/registry_backup.h"

#include <string_view>
#include <vector>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Str.h"
#include "app/decimal_text.h"

namespace vorlix {

namespace {

constexpr std::uint32_t value_name_chars = 16384;
constexpr std::size_t program_part_chars = 80;

std::string to_bytes(const std::vector<std::uint8_t>& data, std::uint32_t size) {
    return std::string(data.begin(), data.begin() + size);
}

// A key opened for reading in the entry's view, closed when it goes out of
// scope. Opened as a link: a symbolic link is backed up as the link key with
// its own value, never with the data of the key it leads to.
class ReadKey {
public:
    ReadKey(os::Hkey root, const std::u16string& path, bool view64) {
        const auto access = os::key_read | (view64 ? os::key_wow64_64key : 0);
        if (os::reg_open_key_ex(root, path, access, handle, os::reg_option_open_link) != os::error_success) handle = 0;
    }
    ~ReadKey() {
        if (handle != 0) os::reg_close_key(handle);
    }
    ReadKey(const ReadKey&) = delete;
    ReadKey& operator=(const ReadKey&) = delete;
    os::Hkey handle = 0;
};

bool read_value(os::Hkey key, const std::u16string& name, regfile::Value& value) {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    if (os::reg_query_value_ex(key, name, &type, nullptr, &size) != os::error_success) return false;
    std::vector<std::uint8_t> data(size);
    // The value may grow between the two calls: ask again until it fits.
    for (std::uint32_t status; (status = os::reg_query_value_ex(key, name, &type, data.data(), &size)) !=
                               os::error_success;) {
        if (status != os::error_more_data) return false;
        data.resize(size);
    }
    value.name = name;
    value.type = type;
    value.data = to_bytes(data, size);
    return true;
}

bool export_values(os::Hkey key, regfile::Key& out) {
    std::vector<char16_t> name(value_name_chars);
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t name_length = value_name_chars;
        const auto status = os::reg_enum_value(key, index, name.data(), name_length, nullptr, nullptr, nullptr);
        if (status == os::error_no_more_items) return true;
        if (status != os::error_success) return false;
        regfile::Value value;
        if (!read_value(key, std::u16string(name.data(), name_length), value)) return false;
        out.values.push_back(std::move(value));
    }
}

// The key, then each subkey after its parent, as regedit exports them.
bool export_key_tree(const RegistryEntry& entry, const std::u16string& path, bool view64,
                     std::vector<regfile::Key>& keys) {
    const ReadKey key(entry.root, path, view64);
    if (key.handle == 0) return false;
    regfile::Key out;
    out.root = regfile::long_root_name(entry.root_name);
    out.path = path;
    if (!export_values(key.handle, out)) return false;
    keys.push_back(std::move(out));
    std::uint32_t max_name = 0;
    if (os::reg_query_info_key(key.handle, nullptr, &max_name, nullptr, nullptr, nullptr) != os::error_success)
        return false;
    std::vector<char16_t> name(max_name + 1);
    for (std::uint32_t index = 0;; ++index) {
        auto name_length = static_cast<std::uint32_t>(name.size());
        auto status = os::reg_enum_key_ex(key.handle, index, name.data(), name_length);
        if (status == os::error_more_data) {
            // A subkey added since the size was asked for.
            name.resize(256);
            name_length = static_cast<std::uint32_t>(name.size());
            status = os::reg_enum_key_ex(key.handle, index, name.data(), name_length);
        }
        if (status == os::error_no_more_items) return true;
        if (status != os::error_success ||
            !export_key_tree(entry, path + u"\\" + std::u16string(name.data(), name_length), view64, keys))
            return false;
    }
}

bool is_forbidden_in_file_name(char16_t unit) {
    return unit < 0x20 || std::u16string_view(u"<>:\"/\\|?*").find(unit) != std::u16string_view::npos;
}

std::u16string two_digits(int number) {
    return {static_cast<char16_t>(u'0' + number / 10 % 10), static_cast<char16_t>(u'0' + number % 10)};
}

bool exists(const std::u16string& path) { return os::get_file_attributes(path) != os::invalid_file_attributes; }

}  // namespace

bool export_registry_entry(const RegistryEntry& entry, bool view64, regfile::Document& document) {
    std::vector<regfile::Key> keys;
    if (entry.is_value) {
        const ReadKey key(entry.root, entry.path, view64);
        regfile::Value value;
        if (key.handle == 0 || !read_value(key.handle, entry.value_name, value)) return false;
        keys.push_back({regfile::long_root_name(entry.root_name), entry.path, false, {std::move(value)}});
    } else if (!export_key_tree(entry, entry.path, view64, keys)) {
        return false;
    }
    document.keys.insert(document.keys.end(), keys.begin(), keys.end());
    return true;
}

std::u16string backup_file_name(const std::u16string& program_name, const os::SystemTime& time) {
    std::u16string program;
    for (const char16_t unit : program_name) program.push_back(is_forbidden_in_file_name(unit) ? u'_' : unit);
    program = Str_Trim(program.substr(0, program_part_chars));
    // Windows drops trailing dots and blanks from file names.
    while (!program.empty() && (program.back() == u'.' || program.back() == u' ')) program.pop_back();
    if (program.empty()) program = u"Registry";
    const std::u16string year = two_digits(time.year / 100) + two_digits(time.year % 100);
    return program + u" " + year + u"-" + two_digits(time.month) + u"-" + two_digits(time.day) + u" " +
           two_digits(time.hour) + u"-" + two_digits(time.minute) + u"-" + two_digits(time.second) + u".reg";
}

std::u16string write_registry_backup(const std::u16string& folder, const std::u16string& program_name,
                                     const regfile::Document& document) {
    const auto backups = Str_EnsureTrailingBackslash(folder) + u"Backups";
    if (!IsDirectory(backups) && !os::create_directory(backups)) return {};
    os::SystemTime now;
    os::get_local_time(now);
    const auto name = backup_file_name(program_name, now);
    auto path = backups + u"\\" + name;
    // Two deletions within one second keep both backups.
    for (int copy = 2; exists(path); ++copy) {
        path = backups + u"\\" + name.substr(0, name.size() - 4) + u" (" + decimal_text(copy) + u").reg";
    }
    return os::write_file_bytes(path, regfile::write(document)) ? path : std::u16string();
}

}  // namespace vorlix
