// The registry backup written before the deletion: complete, exact for every
// value type, importable into a fresh machine, and a precondition of any
// registry deletion.
#include <gtest/gtest.h>

#include <string>

#include "app/leftover_session.h"
#include "app/registry_backup.h"
#include "app_test_support.h"

namespace vorlix::test {
namespace {

std::string le16(const std::u16string& text) {
    std::string bytes;
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

class Backup : public LeftoverTest {
protected:
    // Every value type below the class key, including what the quoted forms
    // of the text format cannot carry, an empty subkey and Unicode names.
    static void fill_class_key() {
        const auto root = os::hkey_local_machine;
        sim::set_value(root, class_key, u"", os::reg_sz, le16(std::u16string(u"Tool File\0", 10)));
        sim::set_value(root, class_key, u"Icon", os::reg_expand_sz,
                       le16(std::u16string(u"%ProgramFiles%\\t.ico\0", 21)));
        sim::set_value(root, class_key, u"List", os::reg_multi_sz, le16(std::u16string(u"a\0b\0\0", 5)));
        sim::set_value(root, class_key, u"Flags", os::reg_dword, std::string("\x01\x00\x00\x80", 4));
        sim::set_value(root, class_key, u"Big", os::reg_qword, std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8));
        sim::set_value(root, class_key, u"Blob", os::reg_binary, std::string("\x00\xFF\x10", 3));
        sim::set_value(root, class_key, u"Nothing", os::reg_none, "");
        sim::set_value(root, class_key, u"Odd", 0x12345, "raw");
        sim::set_value(root, class_key, u"Nul inside", os::reg_sz, le16(std::u16string(u"x\0y\0", 4)));
        sim::set_value(root, class_key, u"Unterminated", os::reg_sz, "a");
        sim::set_value(root, class_key + u"\\Ünïcødé 工具", u"名前 \"quoted\"", os::reg_sz,
                       le16(u"line\r\nbreak"));
        sim::create_key(root, class_key + u"\\Empty\\Deeper");
    }

    void analyse_registry_only() {
        ZRB_InstalledSoftware record;
        record.mpu_str_Name = u"Tool";
        record.mpu_int_Is64Bit = 1;
        session.select_program(record);
        session.registry_listed(u"HKLM|" + class_key);
        session.registry_listed(u"HKCU|" + run_key + u"|Tool");
    }
};

TEST_F(Backup, RestoresEveryDeletedKeyAndValueExactly) {
    fill_class_key();
    const auto class_before = sim::export_reg(os::hkey_local_machine, class_key);
    analyse_registry_only();

    const auto report = session.delete_leftovers({});

    ASSERT_FALSE(sim::key_exists(os::hkey_local_machine, class_key));
    ASSERT_FALSE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    ASSERT_EQ(report.backup_path.rfind(result_folder + u"Backups\\Tool ", 0), 0u) << to_utf8(report.backup_path);
    ASSERT_EQ(report.backup_path.substr(report.backup_path.size() - 4), u".reg");
    std::string backup;
    ASSERT_TRUE(os::read_file_bytes(report.backup_path, backup));

    // Imported into a machine that never had the program.
    sim::reset();
    std::string error;
    ASSERT_TRUE(sim::import_reg(backup, &error)) << error;
    EXPECT_EQ(sim::export_reg(os::hkey_local_machine, class_key), class_before);
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    // Only what was deleted: the neighbour's value was not in the backup.
    EXPECT_FALSE(sim::value_exists(os::hkey_current_user, run_key, u"ToolBox"));
}

TEST_F(Backup, NoRegistryEntryIsDeletedWithoutABackup) {
    analyse_tool();
    sim::add_file(result_folder + u"Backups");  // a file where the folder should go

    const auto report = session.delete_leftovers({});

    EXPECT_TRUE(report.backup_failed);
    EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, class_key));
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    EXPECT_FALSE(exists(u"C:\\Apps\\Tool"));
    EXPECT_EQ(report.remaining_registry.size(), 2u);
    EXPECT_EQ(deletion_message(report), u"2 leftovers could not be removed. The registry backup could not be "
                                        u"written, so no registry entry was deleted.");
}

TEST_F(Backup, KeyThatCannotBeReadCompletelyIsKept) {
    analyse_registry_only();
    sim::create_key(os::hkey_local_machine, class_key + u"\\Secret");
    sim::deny_open(os::hkey_local_machine, class_key + u"\\Secret");

    const auto report = session.delete_leftovers({});

    EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, class_key + u"\\Shell\\Open\\Command"));
    EXPECT_FALSE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    EXPECT_EQ(report.remaining_registry, (StringList{u"HKLM|" + class_key}));
}

TEST_F(Backup, BackupsNeverOverwriteEachOther) {
    regfile::Document document;
    document.keys.push_back({u"HKEY_CURRENT_USER", run_key, false, {}});
    const auto first = write_registry_backup(result_folder, u"Tool", document);
    const auto second = write_registry_backup(result_folder, u"Tool", document);
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    EXPECT_TRUE(exists(first));
    EXPECT_TRUE(exists(second));
}

TEST(BackupFileName, NamesTheProgramAndTheTimeInAFileNameWindowsAccepts) {
    const os::SystemTime time{2024, 3, 5, 7, 8, 9};
    EXPECT_EQ(backup_file_name(u"Tool 2.0", time), u"Tool 2.0 2024-03-05 07-08-09.reg");
    EXPECT_EQ(backup_file_name(u"A/B:C*?\"<>|\\ 工具...", time), u"A_B_C_______ 工具 2024-03-05 07-08-09.reg");
    EXPECT_EQ(backup_file_name(u" . . ", time), u"Registry 2024-03-05 07-08-09.reg");
}

}  // namespace
}  // namespace vorlix::test
