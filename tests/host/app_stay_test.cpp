// The deletion keeps what stays: whatever the analysis listed, a file or
// folder that registry data remaining on the machine names, a profile, a
// folder Windows keeps or Vorlix's own stays, and the report says why.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/leftover_session.h"
#include "app/registry_entry.h"
#include "app_test_support.h"

namespace vorlix::test {
namespace {

const std::u16string uninstall_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const std::u16string profile_list = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const std::u16string classes = u"SOFTWARE\\Classes\\";
const std::u16string prog = u"C:\\Apps\\Prog";

struct StayCase {
    const char* name;
    std::function<void()> furnish;  // the source that names what stays
    std::u16string kept;            // listed in the report (none: the path named goes)
    std::u16string reason;
    StringList stays;               // must still be there
    StringList listed;              // listed as files besides the program's folder
    StringList ticked_registry;     // registry rows the deletion takes
};

void PrintTo(const StayCase& row, std::ostream* out) { *out << row.name; }

void set(os::Hkey root, const std::u16string& key, const std::u16string& name, const std::u16string& text) {
    sim::set_string(root, key, name, text);
}

// A folder that holds another program's place loses only what was listed in it.
const StringList own_files_listed{prog + u"\\own.dll", prog + u"\\unins.exe"};

const StayCase cases[] = {
    {"OtherUninstallerFolder",
     [] {
         sim::add_file(prog + u"\\Other\\other.dll");
         set(os::hkey_local_machine, uninstall_key + u"Other", u"DisplayName", u"Other");
         set(os::hkey_local_machine, uninstall_key + u"Other", u"UninstallString",
             u"\"C:\\Apps\\Prog\\Other\\unins000.exe\" /SILENT");
     },
     prog + u"\\Other", u"used by Other", {prog + u"\\Other\\other.dll"}, {}, {}},
    {"OtherDisplayIconInShortForm",
     [] {
         sim::set_short_name(prog, u"PROG~1");
         set(os::hkey_current_user, uninstall_key + u"Painter", u"DisplayName", u"Painter");
         set(os::hkey_current_user, uninstall_key + u"Painter", u"DisplayIcon", u"C:\\Apps\\PROG~1\\paint.exe,0");
     },
     prog + u"\\paint.exe", u"used by Painter", {}, {}, {}},
    {"AppPaths",
     [] {
         set(os::hkey_local_machine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\helper.exe", u"",
             u"C:\\Apps\\Prog\\helper.exe");
     },
     prog + u"\\helper.exe", u"used by helper.exe", {}, {}, {}},
    {"RunValue",
     [] { set(os::hkey_current_user, run_key, u"Agent", u"\"C:\\Apps\\Prog\\agent.exe\" /min"); },
     prog + u"\\agent.exe", u"started at logon by Agent", {}, {}, {}},
    {"RunValueTakenByTheDeletion",
     [] { set(os::hkey_current_user, run_key, u"ProgAgent", u"C:\\Apps\\Prog\\own.exe"); },
     {}, {}, {}, {}, {u"HKCU|" + run_key + u"|ProgAgent"}},
    {"ServiceImagePath",
     [] {
         set(os::hkey_local_machine, u"SYSTEM\\CurrentControlSet\\Services\\ProgSvc", u"ImagePath",
             u"C:\\Apps\\Prog\\svc.exe -k netsvcs");
     },
     prog + u"\\svc.exe", u"used by the service ProgSvc", {}, {}, {}},
    {"ClassCommand",
     [] { set(os::hkey_local_machine, classes + u"txtfile\\shell\\open\\command", u"", u"C:\\Apps\\Prog\\view.exe %1"); },
     prog + u"\\view.exe", u"used by the class txtfile", {}, {}, {}},
    {"InprocServer",
     [] {
         set(os::hkey_local_machine, classes + u"CLSID\\{11111111-2222-3333-4444-555555555555}\\InprocServer32", u"",
             u"C:\\Apps\\Prog\\shell.dll");
     },
     prog + u"\\shell.dll", u"used by the COM class {11111111-2222-3333-4444-555555555555}", {}, {}, {}},
    {"InprocServerByBareName",
     [] {
         set(os::hkey_local_machine, classes + u"CLSID\\{21111111-2222-3333-4444-555555555555}\\InprocServer32", u"",
             u"own.exe");
     },
     {}, {}, {}, {}, {}},
    {"InstallerComponent",
     [] {
         set(os::hkey_local_machine,
             u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\"
             u"0123456789ABCDEF0123456789ABCDEF",
             u"FEDCBA9876543210FEDCBA9876543210", u"C:\\Apps\\Prog\\Plugins\\plugin.dll");
     },
     prog, u"used by the Windows Installer product FEDCBA9876543210FEDCBA9876543210", {prog + u"\\Plugins\\plugin.dll"},
     own_files_listed, {}},
    {"OtherUsersProfile",
     [] {
         sim::add_file(u"C:\\Users\\Bob\\NTUSER.DAT");
         set(os::hkey_local_machine, profile_list + u"\\S-1-5-21-1-2-3-1001", u"ProfileImagePath", u"C:\\Users\\Bob");
     },
     u"C:\\Users\\Bob", u"a user profile", {u"C:\\Users\\Bob\\NTUSER.DAT"}, {u"C:\\Users\\Bob"}, {}},
    {"DefaultProfile",
     [] {
         sim::add_file(u"C:\\Users\\Default\\NTUSER.DAT");
         set(os::hkey_local_machine, profile_list, u"ProfilesDirectory", u"%SystemDrive%\\Users");
         set(os::hkey_local_machine, profile_list, u"Default", u"%SystemDrive%\\Users\\Default");
     },
     u"C:\\Users\\Default\\NTUSER.DAT", u"a user profile", {}, {u"C:\\Users\\Default\\NTUSER.DAT"}, {}},
    {"PublicProfile",
     [] {
         sim::add_file(u"C:\\Users\\Public\\Desktop\\prog.lnk");
         set(os::hkey_local_machine, profile_list, u"Public", u"C:\\Users\\Public");
     },
     u"C:\\Users\\Public", u"a user profile", {u"C:\\Users\\Public\\Desktop\\prog.lnk"}, {u"C:\\Users\\Public"}, {}},
    {"AnotherUsersRunValueOfTheSameName",
     [] {
         // The user's own profile tells which hive below HKEY_USERS is the user's.
         set(os::hkey_local_machine, profile_list + u"\\" + sim::config().user_sid, u"ProfileImagePath",
             u"C:\\Users\\user");
         set(os::hkey_users, u"S-1-5-21-1-2-3-1001\\" + run_key, u"Agent", u"C:\\Apps\\Prog\\agent.exe");
         set(os::hkey_current_user, run_key, u"Agent", u"C:\\Apps\\Prog\\own.exe");
     },
     prog + u"\\agent.exe", u"started at logon by Agent", {}, {}, {u"HKCU|" + run_key + u"|Agent"}},
    {"LocationRootedWithoutDrive",
     [] {
         sim::add_file(prog + u"\\Sub\\sub.dll");
         set(os::hkey_local_machine, uninstall_key + u"Sub", u"DisplayName", u"Sub");
         set(os::hkey_local_machine, uninstall_key + u"Sub", u"InstallLocation", u"\\Apps\\Prog\\Sub\\");
     },
     prog, u"used by Sub", {prog + u"\\Sub\\sub.dll"}, own_files_listed, {}},
    {"LocationOnTheAdministrativeShare",
     [] {
         sim::add_file(prog + u"\\Sub\\sub.dll");
         set(os::hkey_local_machine, uninstall_key + u"Sub", u"DisplayName", u"Sub");
         set(os::hkey_local_machine, uninstall_key + u"Sub", u"InstallLocation", u"\\\\localhost\\c$\\Apps\\Prog\\Sub");
     },
     prog, u"used by Sub", {prog + u"\\Sub\\sub.dll"}, own_files_listed, {}},
    {"RegistryRowNamingWhatStays",
     [] {
         set(os::hkey_local_machine, uninstall_key + u"Helper", u"DisplayName", u"Helper");
         set(os::hkey_local_machine, uninstall_key + u"Helper", u"DisplayIcon", u"C:\\Apps\\Prog\\helper.exe,0");
         set(os::hkey_local_machine, classes + u"Helper.Doc\\shell\\open\\command", u"", u"C:\\Apps\\Prog\\helper.exe %1");
     },
     u"HKLM|" + classes + u"Helper.Doc", u"used by Helper", {prog + u"\\helper.exe"}, {},
     {u"HKLM|" + classes + u"Helper.Doc"}},
    {"KnownFolderListedAsFile", [] { sim::add_file(u"C:\\Users\\user\\Documents\\letter.txt"); },
     u"C:\\Users\\user\\Documents", u"a folder Windows keeps", {u"C:\\Users\\user\\Documents\\letter.txt"},
     {u"C:\\Users\\user\\Documents"}, {}},
    {"VorlixFolderAndBackups", [] { sim::add_file(u"C:\\Vorlix\\Backups\\Earlier 2026.reg"); },
     u"C:\\Vorlix\\Backups\\Earlier 2026.reg", u"Vorlix's backups", {u"C:\\Vorlix\\Backups"},
     {u"C:\\Vorlix\\Backups\\Earlier 2026.reg"}, {}},
};

class Stay : public SimTest, public ::testing::WithParamInterface<StayCase> {
protected:
    LeftoverSession session{result_folder};
};

TEST_P(Stay, WhatStaysIsKeptAndTheProgramsOwnFilesGo) {
    const auto& row = GetParam();
    for (const auto* name : {u"\\own.exe", u"\\own.dll", u"\\unins.exe", u"\\paint.exe", u"\\helper.exe",
                             u"\\agent.exe", u"\\svc.exe", u"\\view.exe", u"\\shell.dll", u"\\Plugins\\plugin.dll"})
        sim::add_file(prog + name);
    // The program's own entry is still there (a forced removal): it protects nothing.
    set(os::hkey_local_machine, uninstall_key + u"Prog", u"UninstallString", prog + u"\\unins.exe");
    set(os::hkey_local_machine, uninstall_key + u"Prog", u"InstallLocation", prog);
    row.furnish();

    ZRB_InstalledSoftware record;
    record.mpu_str_Name = u"Prog";
    record.mpu_str_InstallLocation = prog;
    record.mpu_str_InstallRegPath = u"HKLM|" + uninstall_key + u"Prog";
    record.mpu_int_Is64Bit = 1;
    session.select_program(record);
    session.analysis_started();
    session.file_folder_found(prog, 1);
    // As a file: a path missing when the analysis met it, a folder by now.
    for (const auto& path : row.listed) session.mpr_strlist_LF_Files.push_back(path);
    for (const auto& entry : row.ticked_registry) session.registry_listed(entry);

    const auto report = session.delete_leftovers({});

    for (const auto* gone : {u"\\own.dll", u"\\unins.exe"}) EXPECT_FALSE(exists(prog + gone)) << to_utf8(gone);
    for (const auto& path : row.stays) EXPECT_TRUE(exists(path)) << to_utf8(path);
    if (row.kept.empty()) {
        EXPECT_FALSE(exists(prog + u"\\own.exe"));
        EXPECT_TRUE(report.kept.empty()) << to_utf8(report.kept.front().path);
        EXPECT_EQ(deletion_message(report), u"All leftovers have been completely removed.");
        return;
    }
    const auto row_entry = parse_registry_entry(row.kept);
    EXPECT_TRUE(row_entry ? registry_entry_exists(*row_entry, true) : exists(row.kept));
    const auto listed = std::find_if(report.kept.begin(), report.kept.end(),
                                     [&row](const KeptItem& item) { return item.path == row.kept; });
    ASSERT_NE(listed, report.kept.end()) << "not reported as kept";
    EXPECT_EQ(listed->reason, row.reason);
    EXPECT_NE(deletion_message(report), u"All leftovers have been completely removed.");
}

TEST_F(Stay, AFileRowThatIsAFolderByNowIsOnlyEmptiedOfWhatGoes) {
    for (const auto* name : {u"\\keep.exe", u"\\junk.tmp", u"\\deeper\\junk.tmp"}) sim::add_file(prog + u"\\Sub" + name);
    set(os::hkey_current_user, run_key, u"Keeper", prog + u"\\Sub\\keep.exe");
    ZRB_InstalledSoftware record;
    record.mpu_str_Name = u"Prog";
    session.select_program(record);
    session.analysis_started();
    session.mpr_strlist_LF_Files.push_back(prog + u"\\Sub");

    const auto report = session.delete_leftovers({});

    EXPECT_TRUE(exists(prog + u"\\Sub\\keep.exe"));
    EXPECT_FALSE(exists(prog + u"\\Sub\\junk.tmp"));
    EXPECT_FALSE(exists(prog + u"\\Sub\\deeper"));
    ASSERT_EQ(report.kept.size(), 1u);
    EXPECT_EQ(report.kept.front().reason, u"started at logon by Keeper");
    EXPECT_EQ(report.remaining_count(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Sources, Stay, ::testing::ValuesIn(cases),
                         [](const ::testing::TestParamInfo<StayCase>& case_info) { return case_info.param.name; });

}  // namespace
}  // namespace vorlix::test
