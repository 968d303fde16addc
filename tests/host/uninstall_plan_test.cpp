#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Uninstall.h"
#include "platform/portable/utf.h"

namespace vorlix {
namespace {

const std::u16string slash_error = u"8 cmd is error ! ";
const std::u16string dash_error = u"9 cmd is error ! ";

struct PlanCase {
    std::u16string command;
    int form;
    std::u16string file;
    std::u16string parameters;
    std::optional<std::u16string> message;
};

void expect_plans(const std::vector<PlanCase>& cases) {
    for (const PlanCase& expected : cases) {
        SCOPED_TRACE(to_utf8(expected.command));
        const UninstallPlan plan = PlanUninstallCommand(expected.command);
        EXPECT_EQ(plan.form, expected.form);
        EXPECT_EQ(plan.file, expected.file);
        EXPECT_EQ(plan.parameters, expected.parameters);
        EXPECT_EQ(plan.message, expected.message);
    }
}

TEST(UninstallPlan, WindowsInstallerGetsNoRestartOnlyForABareUninstallByCode) {
    expect_plans({
        {u"MsiExec.exe /X{12345678-ABCD-1234-ABCD-1234567890AB}", 1, u"MsiExec.exe",
         u"/X{12345678-ABCD-1234-ABCD-1234567890AB}  /norestart", {}},
        {u"msiexec /x{1234-abcd}", 1, u"msiexec", u"/x{1234-abcd}  /norestart", {}},
        {u"MsiExec.exe /I{1234-ABCD}", 1, u"MsiExec.exe", u"/I{1234-ABCD}", {}},
        {u"C:\\Windows\\System32\\MsiExec.exe /X{1234-ABCD}", 1, u"C:\\Windows\\System32\\MsiExec.exe",
         u"/X{1234-ABCD}", {}},
        {u"MsiExec.exe  /X{1234}  /qb ", 1, u"MsiExec.exe", u"/X{1234} /qb", {}},
    });
}

TEST(UninstallPlan, HostProgramsKeepTheirArgumentsWithATrailingBlank) {
    expect_plans({
        {u"RunDll32.exe C:\\PROGRA~1\\App\\un.dll,Uninstall", 2, u"RunDll32.exe",
         u"C:\\PROGRA~1\\App\\un.dll,Uninstall ", {}},
        {u"regsvr32 /u  /s x.dll", 2, u"regsvr32", u"/u /s x.dll ", {}},
        {u"C:\\WINDOWS\\IsUninst\\unwise.exe /A C:\\App\\INSTALL.LOG", 2, u"C:\\WINDOWS\\IsUninst\\unwise.exe",
         u"/A C:\\App\\INSTALL.LOG ", {}},
        // A full path is no host program; without switches the command is started whole.
        {u"C:\\Windows\\System32\\rundll32.exe app.dll,Remove", 4,
         u"C:\\Windows\\System32\\rundll32.exe app.dll,Remove", u"", {}},
    });
}

TEST(UninstallPlan, TrailingUninstallWordAndWholeCommands) {
    expect_plans({
        {u"C:\\Program Files\\App\\app.exe uninstall", 3, u"C:\\PROGRAM FILES\\APP\\APP.EXE", u"UNINSTALL", {}},
        // The word goes from the file name too; the fallback starts the command as received.
        {u"C:\\App\\Uninstall.exe UNINSTALL", 3, u"C:\\APP\\.EXE", u"UNINSTALL", {}},
        // The end is tested untrimmed.
        {u"C:\\App\\app.exe UNINSTALL ", 4, u"C:\\App\\app.exe UNINSTALL", u"", {}},
        {u" C:\\Program Files\\App\\Uninstall App.exe\r\n", 4, u"C:\\Program Files\\App\\Uninstall App.exe", u"",
         {}},
    });
}

TEST(UninstallPlan, SlashSwitchesWithQuotedRetryAndErrors) {
    expect_plans({
        {u"\"C:\\Program Files\\App\\unins000.exe\" /SILENT", 5, u"\"C:\\Program Files\\App\\unins000.exe\" ",
         u"/SILENT", {}},
        {u"C:\\App\\setup.exe  /uninstall /quiet ", 5, u"C:\\App\\setup.exe  ", u"/uninstall /quiet", {}},
        // The slash inside the quotation marks is found once they are blanks.
        {u"\"C:\\App\\setup.exe /uninstall\"", 5, u"C:\\App\\setup.exe ", u"/uninstall", {}},
        // Slashes win over dashes.
        {u"setup.exe --remove /q", 5, u"setup.exe --remove ", u"/q", {}},
        {u"C:\\App\\x.exe/", 5, u"C:\\App\\x.exe", u"", slash_error},
        {u"///", 0, u"", u"", slash_error},
    });
}

TEST(UninstallPlan, DashSwitchesCutAtEveryDash) {
    expect_plans({
        {u"setup.exe --uninstall --silent", 6, u"setup.exe ", u"--uninstall -silent", {}},
        {u"C:\\App\\setup.exe --", 6, u"C:\\App\\setup.exe ", u"-", dash_error},
        {u"C:\\App\\uninst.exe -silent -x ", 7, u"C:\\App\\uninst.exe ", u"-silent -x ", {}},
        {u"C:\\App\\uninst.exe -", 7, u"C:\\App\\uninst.exe ", u"", dash_error},
        // A path with a dash is cut apart; the shell refuses it and the fallback runs.
        {u"C:\\My-Tools\\uninst.exe -q", 7, u"C:\\My", u"-Tools\\uninst.exe -q", {}},
    });
}

TEST(UninstallPlan, NothingToStartAndTheFallbackIsTheTrimmedCommand) {
    expect_plans({
        {u"", 0, u"", u"", {}},
        {u" \r\n ", 0, u"", u"", {}},
        {u"\t\x01 ", 0, u"", u"", {}},
    });
    EXPECT_EQ(PlanUninstallCommand(u"  setup.exe --uninstall \r\n").fallback, u"setup.exe --uninstall");
    EXPECT_EQ(PlanUninstallCommand(u" \"C:\\App\\setup.exe /uninstall\" ").fallback,
              u"\"C:\\App\\setup.exe /uninstall\"");
}

}  // namespace
}  // namespace vorlix
