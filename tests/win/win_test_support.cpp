#include "win/win_test_support.h"

#include <windows.h>

#include <algorithm>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"

namespace vorlix::test {

namespace {

std::u16string ascii(const std::string& text) { return std::u16string(text.begin(), text.end()); }

os::Hkey open_for_write(os::Hkey root, const std::u16string& path, std::uint32_t sam) {
    os::Hkey key = 0;
    const auto result = os::reg_create_key_ex(root, path, os::key_all_access | sam, key);
    EXPECT_EQ(result, os::error_success) << "cannot create the test key";
    return result == os::error_success ? key : 0;
}

void clear_read_only(const std::u16string& folder) {
    os::FindData data;
    const auto find = os::find_first_file(folder + u"*", data);
    if (find == os::invalid_handle_value) return;
    do {
        if (data.name == u"." || data.name == u"..") continue;
        const auto path = folder + data.name;
        os::set_file_attributes(path, os::file_attribute_normal);
        if ((data.attributes & os::file_attribute_directory) != 0) clear_read_only(path + u"\\");
    } while (os::find_next_file(find, data));
    os::find_close(find);
}

}  // namespace

bool under_wine() {
    // Wine's ntdll exports its version; Windows' does not.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::u16string unique_name(const std::u16string& stem) {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::u16string test = info != nullptr ? ascii(info->name()) : u"none";
    // A parameterised test's name holds a slash, which no file name may.
    std::replace(test.begin(), test.end(), u'/', u'_');
    return stem + u"_" + test + u"_" + ascii(std::to_string(os::get_current_process_id()));
}

void write_string(os::Hkey root, const std::u16string& path, const std::u16string& name, const std::u16string& text,
                  std::uint32_t sam, std::uint32_t type) {
    write_bytes(root, path, name, type, text + u'\0', sam);
}

void write_bytes(os::Hkey root, const std::u16string& path, const std::u16string& name, std::uint32_t type,
                 const std::u16string& units, std::uint32_t sam) {
    const auto key = open_for_write(root, path, sam);
    if (key == 0) return;
    EXPECT_EQ(os::reg_set_value_ex(key, name, type, reinterpret_cast<const std::uint8_t*>(units.data()),
                                   static_cast<std::uint32_t>(units.size() * sizeof(char16_t))),
              os::error_success);
    os::reg_close_key(key);
}

void create_key(os::Hkey root, const std::u16string& path, std::uint32_t sam) {
    const auto key = open_for_write(root, path, sam);
    if (key != 0) os::reg_close_key(key);
}

bool key_exists(os::Hkey root, const std::u16string& path, std::uint32_t sam) {
    os::Hkey key = 0;
    if (os::reg_open_key_ex(root, path, os::key_read | sam, key) != os::error_success) return false;
    os::reg_close_key(key);
    return true;
}

ScratchKey::ScratchKey(const std::u16string& stem, os::Hkey root) : root_(root), name_(unique_name(stem)) {}

ScratchKey::~ScratchKey() {
    // The 64-bit view holds both the plain path and the explicit Wow6432Node one.
    Reg_DeleteKeyTree(root_, path(), true);
    Reg_DeleteKeyTree(root_, wow_path(), true);
}

ScratchFolder::ScratchFolder() {
    char16_t buffer[512] = {};
    const auto length = os::get_temp_path(buffer, 512);
    static int count = 0;
    path_ = std::u16string(buffer, length) + unique_name(u"vorlix") + u"_" + ascii(std::to_string(++count)) + u"\\";
    EXPECT_TRUE(os::create_directory(path_)) << "cannot create the scratch folder";
}

ScratchFolder::~ScratchFolder() {
    clear_read_only(path_);
    DeleteFolderTree(path_);
}

std::u16string ScratchFolder::make_folder(const std::u16string& relative) const {
    const auto folder = path_ + relative;
    EXPECT_TRUE(os::create_directory(folder));
    return folder;
}

std::u16string ScratchFolder::make_file(const std::u16string& relative, const std::string& bytes) const {
    const auto file = path_ + relative;
    EXPECT_TRUE(os::write_file_bytes(file, bytes));
    return file;
}

bool exists(const std::u16string& path) { return os::get_file_attributes(path) != os::invalid_file_attributes; }

bool is_sleeper() { return Str_ContainsText(os::get_module_file_name(), sleeper_marker); }

std::u16string sleeper_ready_file(const std::u16string& exe_path, std::uint32_t pid) {
    return exe_path + u"." + ascii(std::to_string(pid)) + u".ready";
}

int run_sleeper() {
    // The process list shows a process before its modules are loaded; the
    // ready file tells the test that its module path can be read.
    os::write_file_bytes(sleeper_ready_file(os::get_module_file_name(), os::get_current_process_id()), "ready");
    // Long enough for any test, short enough that a forgotten helper goes away.
    os::sleep_ms(900000);
    return 0;
}

std::u16string make_sleeper(const std::u16string& folder, const std::u16string& file_name) {
    const auto path = folder + file_name;
    EXPECT_TRUE(os::copy_file(os::get_module_file_name(), path, false)) << "cannot copy the test executable";
    return path;
}

}  // namespace vorlix::test
