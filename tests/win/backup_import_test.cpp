// A registry backup restored by the system's own importers: every value type
// comes back byte for byte. The values are written and read back through the
// platform seam, so nothing of our own .reg reader takes part in the check.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "app/registry_backup.h"
#include "app/registry_entry.h"
#include "platform/portable/utf.h"
#include "win/win_test_support.h"

namespace vorlix {
namespace {

using test::ScratchFolder;
using test::ScratchKey;

struct Stored {
    std::u16string name;
    std::uint32_t type;
    std::string bytes;
    bool operator==(const Stored&) const = default;
};

std::string with_null(const std::u16string& text) { return to_utf16le_bytes(text + u'\0'); }

// Every type, the data the quoted forms of the text cannot carry, empty data
// and names only Unicode spells. Not here: string data that lacks its final
// null, which Wine's importers restore with one added (and data of an odd
// length, at which they crash and import nothing after it).
const std::vector<Stored>& stored_values() {
    static const std::vector<Stored> values = {
        {u"", os::reg_sz, with_null(u"Tool File")},
        {u"Text", os::reg_sz, with_null(u"C:\\Program Files\\Tool \"quoted\" \\ end\\")},
        {u"Expand", os::reg_expand_sz, with_null(u"%ProgramFiles%\\Tool\\tool.ico")},
        {u"Multi", os::reg_multi_sz, to_utf16le_bytes(std::u16string(u"one\0two words\0\0", 16))},
        {u"Dword", os::reg_dword, std::string("\x01\x00\x00\x80", 4)},
        {u"BigEndian", os::reg_dword_big_endian, std::string("\x00\x00\x01\x02", 4)},
        {u"Qword", os::reg_qword, std::string("\x01\x02\x03\x04\x05\x06\x07\x88", 8)},
        {u"Binary", os::reg_binary, std::string("\x00\xFF\x10", 3)},
        {u"Long binary", os::reg_binary, std::string(300, '\x5A')},
        {u"None", os::reg_none, ""},
        {u"None with data", os::reg_none, std::string("\x01\x02", 2)},
        {u"Odd type", 0x12345, "raw"},
        {u"Empty text", os::reg_sz, ""},
        {u"Empty list", os::reg_multi_sz, ""},
        {u"Empty binary", os::reg_binary, ""},
        {u"Nul inside", os::reg_sz, to_utf16le_bytes(std::u16string(u"x\0y\0", 4))},
        {u"Line break", os::reg_sz, with_null(u"line\r\nbreak")},
        {u"\u540d\u524d \"quoted\" \\ \U0001D11E", os::reg_sz, with_null(u"\u00dcn\u00efc\u00f8d\u00e9 \u5de5\u5177")},
    };
    return values;
}

const std::u16string unicode_subkey = u"Sub \u00e9\u5de5\\\u0416";

void write_raw(os::Hkey root, const std::u16string& path, const Stored& value) {
    os::Hkey key = 0;
    ASSERT_EQ(os::reg_create_key_ex(root, path, os::key_all_access | os::key_wow64_64key, key), os::error_success);
    EXPECT_EQ(os::reg_set_value_ex(key, value.name, value.type, reinterpret_cast<const std::uint8_t*>(value.bytes.data()),
                                   static_cast<std::uint32_t>(value.bytes.size())),
              os::error_success);
    os::reg_close_key(key);
}

// Every value of the key, as the system stores it, in enumeration order.
std::vector<Stored> read_raw(os::Hkey root, const std::u16string& path, std::uint32_t sam) {
    std::vector<Stored> values;
    os::Hkey key = 0;
    if (os::reg_open_key_ex(root, path, os::key_read | sam, key) != os::error_success) return values;
    for (std::uint32_t index = 0;; ++index) {
        char16_t name[256];
        std::uint32_t length = 256, type = 0, size = 1024;
        std::vector<std::uint8_t> data(size);
        if (os::reg_enum_value(key, index, name, length, &type, data.data(), &size) != os::error_success) break;
        values.push_back({std::u16string(name, length), type, std::string(data.begin(), data.begin() + size)});
    }
    os::reg_close_key(key);
    return values;
}

std::vector<Stored> sorted(std::vector<Stored> values) {
    std::sort(values.begin(), values.end(), [](const Stored& a, const Stored& b) { return a.name < b.name; });
    return values;
}

// Runs the command line and waits for it to end; its exit code, or -1.
int run(const std::u16string& command_line) {
    os::Handle process = 0;
    if (!os::create_process(command_line, os::sw_hide, &process)) return -1;
    std::uint32_t exit_code = 0;
    const bool ended = os::wait_for_single_object(process, 300000) == os::wait_object_0 &&
                       os::get_exit_code_process(process, exit_code);
    os::close_handle(process);
    return ended ? static_cast<int>(exit_code) : -1;
}

struct Importer {
    const char* label;
    const char16_t* command;   // the backup's path is appended, quoted
    const char16_t* switches;  // after the path
    std::uint32_t view;        // where the importer this process starts puts HKLM\SOFTWARE
};

// reg import takes the view it is told. The regedit a 32-bit process finds
// first is the 32-bit one (the system folder comes before the Windows
// folder), which imports into the 32-bit view.
const Importer importers[] = {
    {"reg_import", u"reg.exe import", u" /reg:64", os::key_wow64_64key},
    {"regedit", u"regedit.exe /S", u"", test::build64 ? os::key_wow64_64key : os::key_wow64_32key},
};

class BackupImport : public ::testing::TestWithParam<Importer> {};

TEST_P(BackupImport, RestoresEveryValueTypeByteForByte) {
    const Importer& importer = GetParam();
    ScratchKey scratch(u"VorlixBackupImport");
    ScratchFolder folder;
    const auto path = scratch.path();
    for (const auto& value : stored_values()) write_raw(scratch.root(), path, value);
    write_raw(scratch.root(), path + u"\\" + unicode_subkey, {u"", os::reg_sz, with_null(u"below")});
    test::create_key(scratch.root(), path + u"\\Empty\\Deeper", os::key_wow64_64key);
    ASSERT_EQ(sorted(read_raw(scratch.root(), path, os::key_wow64_64key)), sorted(stored_values()));

    const RegistryEntry entry{u"HKLM", scratch.root(), path, false, {}};
    regfile::Document document;
    ASSERT_TRUE(export_registry_entry(entry, true, document));
    const auto backup = write_registry_backup(folder.path(), u"Tool", document);
    ASSERT_FALSE(backup.empty());
    ASSERT_TRUE(delete_registry_entry(entry, true));
    ASSERT_FALSE(test::key_exists(scratch.root(), path, os::key_wow64_64key));

    ASSERT_EQ(run(std::u16string(importer.command) + u" \"" + backup + u"\"" + importer.switches), 0)
        << to_utf8(backup);
    EXPECT_EQ(sorted(read_raw(scratch.root(), path, importer.view)), sorted(stored_values()));
    EXPECT_EQ(read_raw(scratch.root(), path + u"\\" + unicode_subkey, importer.view),
              (std::vector<Stored>{{u"", os::reg_sz, with_null(u"below")}}));
    EXPECT_TRUE(test::key_exists(scratch.root(), path + u"\\Empty\\Deeper", importer.view));
}

INSTANTIATE_TEST_SUITE_P(Importers, BackupImport, ::testing::ValuesIn(importers),
                         [](const ::testing::TestParamInfo<Importer>& param) { return param.param.label; });

}  // namespace
}  // namespace vorlix
