// The inventory scan on registry data as real machines have it: wrong value
// types, odd byte counts, embedded nulls, huge values, names at the length
// limit, thousands of entries, keys that refuse to open or vanish while the
// scan runs, entries without content, and names in every script.
#include <gtest/gtest.h>

#include <algorithm>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "hostile_support.h"
#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

using namespace std::string_view_literals;

// Deletes a key of the 64-bit view, as another program would while the scan runs.
void delete_key_now(const std::u16string& path) {
    os::reg_delete_key_ex(os::hkey_local_machine, path, os::key_all_access | os::key_wow64_64key, 0);
}

class HostileScan : public InventoryTest {
protected:
    static void raw(const std::u16string& key, const std::u16string& name, std::uint32_t type,
                    const std::string& bytes) {
        sim::set_value(os::hkey_local_machine, uninstall_key + key, name, type, bytes);
    }
    // A listable entry: name and command.
    static void program(const std::u16string& key, const std::u16string& name) {
        entry(key, {{u"DisplayName", name}, {u"UninstallString", u"C:\\Apps\\" + key + u"\\uninst.exe"}});
    }
};

TEST_F(HostileScan, ValueTypesAreNeverExaminedTheBytesAreTakenAsText) {
    // A DWORD whose bytes spell "ab", a binary command without a terminator.
    sim::create_key(os::hkey_local_machine, uninstall_key + u"Typed");
    raw(u"Typed", u"DisplayName", os::reg_dword, to_utf16le_bytes(u"ab"));
    raw(u"Typed", u"UninstallString", os::reg_binary, to_utf16le_bytes(u"C:\\Apps\\Typed\\uninst.exe"));
    raw(u"Typed", u"InstallLocation", os::reg_expand_sz, to_utf16le_bytes(u"%ProgramFiles%\\Typed") + std::string(2, '\0'));
    raw(u"Typed", u"EstimatedSize", os::reg_sz, to_utf16le_bytes(u"12") + std::string(2, '\0'));
    raw(u"Typed", u"DisplayVersion", os::reg_dword, std::string("\x01\0\0\0", 4));
    // Sizes shorter than a DWORD count their missing bytes as zero.
    program(u"ShortSize", u"Short Size");
    raw(u"ShortSize", u"EstimatedSize", os::reg_binary, std::string("\x10", 1));
    program(u"EmptySize", u"Empty Size");
    raw(u"EmptySize", u"EstimatedSize", os::reg_binary, "");
    scan();

    const auto& typed = listed(u"ab");
    EXPECT_EQ(typed.mpu_str_UninstallString, u"C:\\Apps\\Typed\\uninst.exe");
    EXPECT_EQ(typed.mpu_str_InstallLocation, u"%ProgramFiles%\\Typed\\");  // expandable texts stay unexpanded
    EXPECT_EQ(typed.mpu_dowrd_EstimatedSize, 0x00320031u);                // the bytes of "12"
    EXPECT_EQ(typed.mpu_str_EstimatedSize, FormatByteSize(std::uint64_t{0x00320031u} * 1024));
    EXPECT_EQ(typed.mpu_str_DisplayVersion, u"");  // U+0001, trimmed away
    EXPECT_EQ(listed(u"Short Size").mpu_dowrd_EstimatedSize, 16u);
    EXPECT_EQ(listed(u"Empty Size").mpu_str_EstimatedSize, u"0 Byte");
}

TEST_F(HostileScan, OddByteCountsAndEmbeddedNullsEndTheText) {
    sim::create_key(os::hkey_local_machine, uninstall_key + u"Odd");
    raw(u"Odd", u"DisplayName", os::reg_sz, to_utf16le_bytes(u"Odd Tool") + "\x41");
    raw(u"Odd", u"UninstallString", os::reg_sz,
        to_utf16le_bytes(u"C:\\Apps\\Odd\\uninst.exe\0 C:\\Windows\\"sv) + "\x5C");
    raw(u"Odd", u"InstallLocation", os::reg_sz, to_utf16le_bytes(u"C:\\Apps\\Odd\\\0C:\\"sv));
    // A one-byte command is present but holds no character: nothing to uninstall with.
    entry(u"OneByte", {{u"DisplayName", u"One Byte"}});
    raw(u"OneByte", u"UninstallString", os::reg_sz, "\x43");
    scan();

    const auto& odd = listed(u"Odd Tool");
    EXPECT_EQ(odd.mpu_str_UninstallString, u"C:\\Apps\\Odd\\uninst.exe");
    EXPECT_EQ(odd.mpu_str_InstallLocation, u"C:\\Apps\\Odd\\");
    EXPECT_EQ(record(u"One Byte"), nullptr);
}

TEST_F(HostileScan, BlankNamesAreNoNamesAndNeverMergeTwoPrograms) {
    // Read as text, a DWORD 1 is U+0001 and a DWORD 32 a blank: neither names a program.
    program(u"DwordOne", u"unused");
    raw(u"DwordOne", u"DisplayName", os::reg_dword, std::string("\x01\0\0\0", 4));
    program(u"DwordBlank", u"unused");
    raw(u"DwordBlank", u"DisplayName", os::reg_dword, std::string("\x20\0\0\0", 4));
    entry(u"Located", {{u"DisplayName", u"\t"}, {u"UninstallString", u"x.exe"},
                       {u"InstallLocation", u"C:\\Apps\\Located\\"}});
    program(u"Named", u"Named Tool");
    scan();
    EXPECT_EQ(reported_names(), std::vector<std::u16string>{u"Named Tool"});
    EXPECT_EQ(record(u""), nullptr);
}

TEST_F(HostileScan, HugeValuesAreCutToWhatTheScanKeeps) {
    const std::u16string huge_name(40000, u'N');
    entry(u"Huge", {{u"DisplayName", huge_name}, {u"UninstallString", u"C:\\Apps\\Huge\\uninst.exe"},
                    {u"InstallLocation", u"C:\\Apps\\" + std::u16string(70000, u'L')},
                    {u"DisplayIcon", u"C:\\Apps\\Huge\\" + std::u16string(100000, u'i') + u".ico,3"},
                    {u"Publisher", std::u16string(65536, u'P')}});
    // A command of 64 KiB is beyond any uninstaller: the entry is dropped.
    entry(u"HugeCommand", {{u"DisplayName", u"Huge Command"},
                           {u"UninstallString", u"C:\\Apps\\x\\uninst.exe " + std::u16string(65536, u'x')}});
    scan();

    const auto& huge = listed(huge_name.substr(0, entry_text_limit));
    EXPECT_EQ(huge.mpu_str_Name.size(), entry_text_limit);
    EXPECT_EQ(huge.mpu_str_Publisher, std::u16string(entry_text_limit, u'P'));
    EXPECT_EQ(huge.mpu_str_InstallLocation, u"C:\\Apps\\" + std::u16string(entry_text_limit - 8, u'L') + u"\\");
    EXPECT_LE(huge.mpu_str_DisplayIcon.size(), entry_text_limit);
    EXPECT_EQ(record(u"Huge Command"), nullptr);
}

TEST_F(HostileScan, KeyNamesOfTheFullRegistryLengthAreSkippedNotMisread) {
    const std::u16string longest(255, u'k');     // does not fit the 255-character buffer with its null
    const std::u16string fitting(254, u'f');
    program(longest, u"Longest Name");
    program(fitting, u"Fitting Name");
    // Were the unreadable name taken as empty, the Uninstall key itself would be read as an entry.
    sim::set_string(os::hkey_local_machine, uninstall_key, u"DisplayName", u"Uninstall Key Itself");
    sim::set_string(os::hkey_local_machine, uninstall_key, u"UninstallString", u"x.exe");
    scan();
    EXPECT_EQ(reported_names(), std::vector<std::u16string>{u"Fitting Name"});
    EXPECT_EQ(listed(u"Fitting Name").mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + fitting);
}

TEST_F(HostileScan, ThousandsOfEntriesAreAllListedInOrder) {
    constexpr int count = 3000;
    for (int i = count; i-- > 0;) {
        auto number = std::to_string(100000 + i);
        const std::u16string key(number.begin(), number.end());
        program(u"E" + key, u"Program " + key);
    }
    scan();
    ASSERT_EQ(reported.size(), static_cast<std::size_t>(count));
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end(),
                               [](const Reported& a, const Reported& b) { return a.name < b.name; }));
    EXPECT_EQ(reported.front().name, u"Program 100000");
}

TEST_F(HostileScan, KeysThatRefuseToOpenAreSkippedAndTheRestIsRead) {
    for (const auto* key : {u"A", u"B", u"C", u"D"}) program(key, std::u16string(u"Tool ") + key);
    entry(u"Wow", {{u"DisplayName", u"Tool Wow"}, {u"UninstallString", u"x.exe"}}, os::hkey_local_machine,
          uninstall_key_wow);
    sim::deny_open(os::hkey_local_machine, uninstall_key + u"B");
    sim::deny_open(os::hkey_local_machine, uninstall_key + u"D");
    sim::deny_open(os::hkey_current_user, uninstall_key);
    scan();
    EXPECT_EQ(reported_names(), (std::vector<std::u16string>{u"Tool A", u"Tool C", u"Tool Wow"}));
}

TEST_F(HostileScan, EntriesDeletedWhileTheScanRunsAreMissedNothingElse) {
    for (const auto* key : {u"A", u"B", u"C", u"D"}) program(key, std::u16string(u"Tool ") + key);
    entry(u"Wow", {{u"DisplayName", u"Tool Wow"}, {u"UninstallString", u"x.exe"}}, os::hkey_local_machine,
          uninstall_key_wow);
    // B goes just before its turn: the later entries move up one index.
    sim::on_enum_key(os::hkey_local_machine, uninstall_key, 1,
                     [] { delete_key_now(uninstall_key + u"B"); });
    scan();
    EXPECT_EQ(reported_names(), (std::vector<std::u16string>{u"Tool A", u"Tool C", u"Tool D", u"Tool Wow"}));
}

TEST_F(HostileScan, AnUninstallKeyDeletedMidwayEndsOnlyItsOwnEnumeration) {
    for (const auto* key : {u"A", u"B", u"C"}) program(key, std::u16string(u"Tool ") + key);
    entry(u"Wow", {{u"DisplayName", u"Tool Wow"}, {u"UninstallString", u"x.exe"}}, os::hkey_local_machine,
          uninstall_key_wow);
    sim::on_enum_key(os::hkey_local_machine, uninstall_key, 2, [] {
        for (const auto* key : {u"A", u"B", u"C"}) delete_key_now(uninstall_key + key);
        delete_key_now(uninstall_key);
    });
    scan();
    EXPECT_EQ(reported_names(), (std::vector<std::u16string>{u"Tool A", u"Tool B", u"Tool Wow"}));
}

TEST_F(HostileScan, EntriesWithEveryValueEmpty) {
    const std::u16string names[] = {u"DisplayName", u"Publisher", u"DisplayVersion", u"InstallLocation",
                                    u"InstallSource", u"UninstallString", u"UninstallPath", u"ModifyPath",
                                    u"LocalPackage", u"DisplayIcon", u"EstimatedSize"};
    sim::create_key(os::hkey_local_machine, uninstall_key + u"EmptyTexts");
    sim::create_key(os::hkey_local_machine, uninstall_key + u"ZeroBytes");
    sim::create_key(os::hkey_local_machine, uninstall_key + u"NoValues");
    for (const auto& name : names) {
        sim::set_string(os::hkey_local_machine, uninstall_key + u"EmptyTexts", name, u"");
        raw(u"ZeroBytes", name, os::reg_sz, "");
    }
    // Only a name and a command: everything else stays empty, the icon falls back to msiexec.exe.
    sim::create_key(os::hkey_local_machine, uninstall_key + u"Bare");
    for (const auto& name : names) sim::set_string(os::hkey_local_machine, uninstall_key + u"Bare", name, u"");
    sim::set_string(os::hkey_local_machine, uninstall_key + u"Bare", u"DisplayName", u"Bare");
    sim::set_string(os::hkey_local_machine, uninstall_key + u"Bare", u"UninstallString", u"bare.exe");
    scan();

    ASSERT_EQ(reported_names(), std::vector<std::u16string>{u"Bare"});
    const auto& bare = listed(u"Bare");
    EXPECT_EQ(bare.mpu_str_Publisher, u"");
    EXPECT_EQ(bare.mpu_str_DisplayVersion, u"");
    EXPECT_EQ(bare.mpu_str_InstallLocation, u"");
    EXPECT_EQ(bare.mpu_str_EstimatedSize, u"0 Byte");
    EXPECT_EQ(bare.mpu_str_DisplayIcon, Sys_GetSystemDir() + u"msiexec.exe");
}

TEST_F(HostileScan, NamesInEveryScriptSurviveUnchanged) {
    const std::u16string hebrew = u"\u05EA\u05D5\u05DB\u05E0\u05D4 \u05D7\u05D3\u05E9\u05D4";
    const std::u16string override_mark = u"\u202Egnp.exe Report";  // right-to-left override in front
    const std::u16string cjk = u"\u6587\u5B57\u5316\u3051 \U0001F600 Tool";
    const std::u16string arabic_folder = u"C:\\Program Files\\\u0628\u0631\u0646\u0627\u0645\u062C\\";
    entry(hebrew, {{u"DisplayName", hebrew}, {u"UninstallString", u"C:\\Apps\\" + hebrew + u"\\uninst.exe"}});
    entry(u"Override", {{u"DisplayName", override_mark}, {u"UninstallString", u"x.exe"},
                        {u"Publisher", u"\u0634\u0631\u0643\u0629"}});
    entry(cjk, {{u"DisplayName", cjk}, {u"UninstallString", u"x.exe"}, {u"InstallLocation", arabic_folder}});
    entry(u"Umlaut", {{u"DisplayName", u"\u00C4RGER Tool"}, {u"UninstallString", u"x.exe"}});
    scan();

    EXPECT_EQ(listed(hebrew).mpu_str_InstallLocation, u"C:\\Apps\\" + hebrew + u"\\");
    EXPECT_EQ(listed(hebrew).mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + hebrew);
    EXPECT_EQ(listed(override_mark).mpu_str_Publisher, u"\u0634\u0631\u0643\u0629");
    EXPECT_EQ(listed(cjk).mpu_str_InstallLocation, arabic_folder);
    EXPECT_EQ(listed(cjk).mpu_str_InstallRegPath, u"HKLM|" + uninstall_key + cjk);
    // Only the ASCII letters are lowered in the key.
    EXPECT_NE(list->find(u"\u00C4rger tool"), nullptr);
    ASSERT_EQ(reported.size(), 4u);
    EXPECT_TRUE(std::any_of(reported.begin(), reported.end(), [&](const Reported& r) { return r.name == cjk; }));
}

TEST_F(HostileScan, LocationsWithPrefixesAndParentStepsAreJudgedByWhereTheyLead) {
    const std::u16string kept[] = {u"\\\\server\\share\\Tool\\", u"\\\\?\\C:\\Apps\\Tool\\",
                                   u"\\\\?\\UNC\\server\\share\\Tool\\", u"C:\\Apps\\Tool\\..\\Other\\"};
    int index = 0;
    for (const auto& folder : kept) {
        const auto key = u"Kept" + std::u16string(1, static_cast<char16_t>(u'A' + index++));
        entry(key, {{u"DisplayName", key}, {u"InstallLocation", folder}, {u"UninstallString", u"remove.exe"}});
    }
    // Inferred from the command, a parent step leads into Program Files itself.
    entry(u"Climber", {{u"DisplayName", u"Climber"},
                       {u"UninstallString", u"\"C:\\Program Files\\Tool\\..\\uninst.exe\" /S"}});
    entry(u"DeepClimber", {{u"DisplayName", u"Deep Climber"},
                           {u"InstallLocation", u"C:\\Apps\\a\\b\\..\\..\\..\\Windows\\System32\\Tool\\"},
                           {u"UninstallString", u"x.exe"}});
    // A device path names the same folder as its plain form; a share root is a drive root of the network.
    const std::u16string roots[] = {u"\\\\.\\C:\\Program Files\\", u"\\\\.\\C:\\", u"\\\\server\\share\\",
                                    u"\\\\server\\share", u"\\\\?\\UNC\\server\\share\\",
                                    u"\\\\server\\share\\Tool\\..\\..\\"};
    index = 0;
    for (const auto& folder : roots) {
        const auto key = u"Root" + std::u16string(1, static_cast<char16_t>(u'A' + index++));
        entry(key, {{u"DisplayName", key}, {u"InstallLocation", folder}, {u"UninstallString", u"remove.exe"}});
    }
    scan();
    index = 0;
    for (const auto& folder : kept) {
        const auto key = u"Kept" + std::u16string(1, static_cast<char16_t>(u'A' + index++));
        EXPECT_EQ(listed(key).mpu_str_InstallLocation, folder);
    }
    EXPECT_EQ(listed(u"Climber").mpu_str_InstallLocation, u"");
    EXPECT_EQ(listed(u"Deep Climber").mpu_str_InstallLocation, u"");
    index = 0;
    for (const auto& folder : roots) {
        const auto key = u"Root" + std::u16string(1, static_cast<char16_t>(u'A' + index++));
        EXPECT_EQ(listed(key).mpu_str_InstallLocation, u"") << to_utf8(folder);
    }
}

}  // namespace
}  // namespace vorlix::test
