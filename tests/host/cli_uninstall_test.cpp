// vorlix-cli analyze and uninstall on the simulated machine, with an
// uninstaller that behaves like a real one: it removes part of its program,
// re-launches itself from a temporary copy and lets the original exit.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Registry.h"
#include "access/Unit_ZRB_func_Str.h"
#include "app/result_files.h"
#include "cli/cli_commands.h"
#include "cli/cmd_uninstall.h"
#include "inventory/pacing.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

const std::u16string uninstall_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tool";
const std::u16string run_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::u16string uninstaller = u"C:\\Apps\\Tool\\uninst.exe";
const std::u16string documents_file = u"C:\\Users\\user\\Documents\\letter.txt";

std::uint32_t running_pid(const std::u16string& image) {
    for (const auto& process : sim::processes())
        if (process.image_path == image) return process.pid;
    return 0;
}

class Polling final : public Pacing {
public:
    std::function<void(int)> script;
    int waits = 0;
    void pause(std::uint32_t) override {
        if (script) script(++waits);
    }
};

class CliUninstall : public test::SimTest {
protected:
    std::vector<std::string> progress;
    std::vector<std::string> questions;
    bool answer = false;
    std::shared_ptr<Polling> polling = std::make_shared<Polling>();

    void SetUp() override {
        SimTest::SetUp();
        for (const auto* file : {u"C:\\Apps\\Tool\\tool.exe", u"C:\\Apps\\Tool\\uninst.exe",
                                 u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt", u"C:\\Apps\\ToolBox\\box.exe"})
            sim::add_file(file);
        sim::add_file(documents_file, "keep me");
        sim::add_junction(u"C:\\Apps\\Tool\\My Documents", u"C:\\Users\\user\\Documents");
        program(u"Tool", u"Tool Maker");
        sim::set_string(os::hkey_local_machine, u"SOFTWARE\\Classes\\Tool.File\\Shell\\Open\\Command", u"",
                        u"\"C:\\Apps\\Tool\\tool.exe\" \"%1\"");
        sim::set_string(os::hkey_local_machine, u"SOFTWARE\\Classes\\Box.File\\Shell\\Open\\Command", u"",
                        u"\"C:\\Apps\\ToolBox\\box.exe\" \"%1\"");
        sim::set_string(os::hkey_current_user, run_key, u"Tool", u"\"C:\\Apps\\Tool\\tool.exe\" /tray");
        sim::set_string(os::hkey_current_user, run_key, u"ToolBox", u"C:\\Apps\\ToolBox\\box.exe");
    }

    static void program(const std::u16string& name, const std::u16string& publisher) {
        const auto root = os::hkey_local_machine;
        sim::set_string(root, uninstall_key, u"DisplayName", name);
        sim::set_string(root, uninstall_key, u"Publisher", publisher);
        sim::set_string(root, uninstall_key, u"InstallLocation", u"C:\\Apps\\Tool\\");
        sim::set_string(root, uninstall_key, u"UninstallString", u"\"" + uninstaller + u"\" /S");
    }

    // The uninstaller removes the program file, itself and its Uninstall
    // entry, hands over to a copy of itself in the temp folder and exits; the
    // copy ends ten looks later.
    void script_uninstaller() {
        polling->script = [this, child = std::uint32_t{0}, handed_over_at = 0](int wait) mutable {
            if (child == 0) {
                const auto pid = running_pid(uninstaller);
                if (pid == 0) return;
                os::delete_file(u"C:\\Apps\\Tool\\tool.exe");
                os::delete_file(uninstaller);
                Reg_DeleteKeyTree(os::hkey_local_machine, uninstall_key, true);
                child = sim::start_process(u"C:\\Users\\user\\AppData\\Local\\Temp\\~nsu1.tmp\\Au_.exe", pid);
                sim::end_process(pid);
                handed_over_at = wait;
            } else if (wait == handed_over_at + 10) {
                sim::end_process(child);
                progress.push_back("(the copy exited)");
            }
        };
    }

    cli::Output uninstall(cli::Arguments arguments) {
        const cli::UninstallTerminal terminal{
            [this](const std::u16string& line) { progress.push_back(to_utf8(line)); },
            [this](const std::u16string& question) {
                questions.push_back(to_utf8(question));
                return answer;
            },
            polling, {}};
        return cli::cmd_uninstall(std::move(arguments), terminal);
    }

    std::size_t progress_line(const std::string& text) const {
        return static_cast<std::size_t>(std::find(progress.begin(), progress.end(), text) - progress.begin());
    }

    void expect_neighbour_and_user_files_untouched() const {
        EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\ToolBox\\box.exe"));
        EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Classes\\Box.File"));
        EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"ToolBox"));
        EXPECT_TRUE(sim::path_exists(documents_file));
    }
};

TEST_F(CliUninstall, AnalyzeReportsTheRecordsListsAndTheLastCounts) {
    const auto output = cli::run({u"analyze", u"TOOL", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::ordered_json::parse(output.out);
    std::vector<std::string> fields;
    for (const auto& [field, value] : document.items()) fields.push_back(field);
    EXPECT_EQ(fields, (std::vector<std::string>{"name", "install_location", "folders", "files", "binaries", "registry",
                                                "settings", "files_folders_count", "registry_count"}));
    EXPECT_EQ(document["name"], "Tool");
    EXPECT_EQ(document["install_location"], "C:\\Apps\\Tool\\");
    EXPECT_EQ(document["folders"], nlohmann::ordered_json({"C:\\Apps\\Tool\\", "C:\\Apps\\Tool\\My Documents",
                                                           "C:\\Apps\\Tool\\data"}));
    EXPECT_EQ(document["files"], nlohmann::ordered_json({"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt",
                                                         "C:\\Apps\\Tool\\tool.exe", "C:\\Apps\\Tool\\uninst.exe"}));
    EXPECT_EQ(document["binaries"], nlohmann::ordered_json({"tool.exe", "uninst.exe"}));
    const auto& registry = document["registry"];
    EXPECT_NE(std::find(registry.begin(), registry.end(), "HKLM|" + to_utf8(uninstall_key)), registry.end());
    EXPECT_NE(std::find(registry.begin(), registry.end(), "HKCU|" + to_utf8(run_key) + "|Tool"), registry.end())
        << registry.dump();
    for (const auto& entry : registry) EXPECT_EQ(entry.get<std::string>().find("Box"), std::string::npos) << entry;
    EXPECT_EQ(document["registry_count"], registry.size());
    EXPECT_GE(document["files_folders_count"], 3);
    // Nothing changed, nothing started.
    EXPECT_TRUE(sim::path_exists(uninstaller));
    EXPECT_TRUE(sim::shell_requests().empty());

    EXPECT_EQ(cli::run({u"analyze", u"No Such Program"}).exit_code, 1);
    EXPECT_EQ(cli::run({u"analyze"}).exit_code, 2);
}

TEST_F(CliUninstall, YesRemovesEverythingTheUninstallerLeftAndNothingElse) {
    script_uninstaller();
    const auto output = uninstall({u"Tool", u"--yes", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::json::parse(output.out);

    EXPECT_TRUE(document["analysed"]);
    EXPECT_TRUE(document["uninstaller_started"]);
    // What the uninstaller removed itself is no leftover.
    const auto& leftovers = document["leftovers"];
    EXPECT_EQ(leftovers["files"], nlohmann::json({"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt"}));
    for (const auto& entry : leftovers["registry"])
        EXPECT_EQ(entry.get<std::string>().find("Uninstall\\Tool"), std::string::npos) << entry;
    EXPECT_TRUE(document["deleted"]);
    EXPECT_EQ(document["not_removed_count"], 0);
    EXPECT_EQ(document["message"], "All leftovers have been completely removed.");
    EXPECT_NE(document["backup"], "");
    EXPECT_TRUE(questions.empty());

    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool"));
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Classes\\Tool.File"));
    EXPECT_FALSE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    expect_neighbour_and_user_files_untouched();
    EXPECT_FALSE(sim::path_exists(u"C:\\Vorlix\\SLF_FI.txt"));
    // The leftovers were taken only after the copy of the uninstaller had ended.
    EXPECT_LT(progress_line("(the copy exited)"), progress_line("The original uninstall process is complete."));
}

TEST_F(CliUninstall, WhatAnotherProgramStillNamesIsKeptListedWithItsReasonAndCounted) {
    script_uninstaller();
    const auto kept = u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt";
    sim::set_string(os::hkey_local_machine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer",
                    u"DisplayName", u"Viewer");
    sim::set_string(os::hkey_local_machine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer",
                    u"DisplayIcon", std::u16string(kept) + u",0");
    const auto output = uninstall({u"Tool", u"--yes", u"--json"});
    EXPECT_EQ(output.exit_code, 3) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_EQ(document["kept"], nlohmann::json::parse(R"([{"path": "C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt",
                                                          "reason": "used by Viewer"}])"));
    EXPECT_EQ(document["not_removed_count"], 0);
    EXPECT_NE(document["message"], "All leftovers have been completely removed.");
    EXPECT_TRUE(sim::path_exists(kept));
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));

    // Installed again, in the text form.
    for (const auto* file : {u"C:\\Apps\\Tool\\tool.exe", u"C:\\Apps\\Tool\\uninst.exe"}) sim::add_file(file);
    program(u"Tool", u"Tool Maker");
    script_uninstaller();
    const auto text = uninstall({u"Tool", u"--yes"});
    EXPECT_EQ(text.exit_code, 3) << text.err;
    EXPECT_NE(text.out.find("Kept: C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt (used by Viewer)"), std::string::npos) << text.out;
}

TEST_F(CliUninstall, AnsweringNoKeepsTheLeftoversAndTheResultFiles) {
    script_uninstaller();
    answer = false;
    const auto output = uninstall({u"tool"});
    EXPECT_EQ(output.exit_code, 0) << output.err;
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].find("Delete the "), 0u);
    EXPECT_NE(output.out.find("The leftovers were kept."), std::string::npos);
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt"));
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Vorlix\\SLF_FL.txt"));
}

TEST_F(CliUninstall, MicrosoftProgramGetsItsUninstallerButKeepsItsLeftovers) {
    program(u"Tool", u"Microsoft Corporation");
    script_uninstaller();
    const auto output = uninstall({u"Tool", u"--yes", u"--json"});
    EXPECT_EQ(output.exit_code, 3) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_TRUE(document["deleted"]);
    EXPECT_GT(document["not_removed_count"], 0);
    EXPECT_NE(document["message"].get<std::string>().find("Microsoft"), std::string::npos);
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\data\\Ünïcødé 工具.txt"));
    EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, u"SOFTWARE\\Classes\\Tool.File"));
    EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    EXPECT_EQ(document["backup"], "");
}

TEST_F(CliUninstall, ProgramWithoutLocationOnlyGetsItsUninstallerSupervised) {
    const auto root = os::hkey_local_machine;
    sim::set_string(root, uninstall_key, u"InstallLocation", u"");
    sim::set_string(root, uninstall_key, u"UninstallString", u"MsiExec.exe /X{11111111-2222-3333-4444-555555555555}");
    // Windows Installer removes the product's Uninstall entry and ends.
    polling->script = [](int) {
        for (const auto& process : sim::processes())
            if (Str_UpperAscii(process.image_path).ends_with(u"\\MSIEXEC.EXE")) {
                Reg_DeleteKeyTree(os::hkey_local_machine, uninstall_key, true);
                sim::end_process(process.pid);
            }
    };
    const auto output = uninstall({u"Tool", u"--yes", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_FALSE(document["analysed"]);
    EXPECT_TRUE(document["uninstaller_started"]);
    EXPECT_FALSE(document["deleted"]);
    ASSERT_EQ(sim::shell_requests().size(), 1u);
    EXPECT_EQ(sim::shell_requests()[0].parameters, u"/X{11111111-2222-3333-4444-555555555555}  /norestart");
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));
    EXPECT_TRUE(questions.empty());
}

// The uninstaller ends with `code` at its first look, leaving everything in place.
void end_uninstaller_with(const std::shared_ptr<Polling>& polling, std::uint32_t code) {
    polling->script = [code](int) {
        if (const auto pid = running_pid(uninstaller)) sim::end_process(pid, code);
    };
}

TEST_F(CliUninstall, FailedOrCancelledUninstallerLeadsToNoDeletionWithoutForce) {
    for (const std::uint32_t code : {1602u, 1603u, 0xC0000005u}) {
        SCOPED_TRACE(code);
        end_uninstaller_with(polling, code);
        const auto output = uninstall({u"Tool", u"--yes", u"--json"});
        EXPECT_EQ(output.exit_code, 5) << output.err;
        const auto document = nlohmann::json::parse(output.out);
        EXPECT_EQ(document["uninstaller"]["exit_code"], code);
        EXPECT_EQ(document["uninstaller"]["verdict"], "failed");
        EXPECT_FALSE(document["deleted"]);
        EXPECT_NE(document["message"].get<std::string>().find("Nothing was deleted"), std::string::npos);
        EXPECT_EQ(std::count(progress.begin(), progress.end(), "The original uninstall process is complete."), 0);
        EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));
        EXPECT_TRUE(sim::value_exists(os::hkey_current_user, run_key, u"Tool"));
    }
    // In text form the code shows too.
    end_uninstaller_with(polling, 0xC0000005u);
    const auto text = uninstall({u"Tool", u"--yes"});
    EXPECT_EQ(text.exit_code, 5);
    EXPECT_NE(text.out.find("exit code 0xC0000005"), std::string::npos) << text.out;
}

TEST_F(CliUninstall, UninstallerThatEndsWellButLeavesItsEntryLeavesTheProgramInstalled) {
    end_uninstaller_with(polling, 0);
    const auto output = uninstall({u"Tool", u"--yes", u"--json"});
    EXPECT_EQ(output.exit_code, 5);
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_EQ(document["uninstaller"]["exit_code"], 0);
    EXPECT_TRUE(document["uninstaller"]["entry_remains"]);
    EXPECT_EQ(document["uninstaller"]["verdict"], "still_installed");
    EXPECT_TRUE(sim::path_exists(uninstaller));
    EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, uninstall_key));
}

TEST_F(CliUninstall, ForceRemovesAStillInstalledProgramAfterItsOwnQuestion) {
    end_uninstaller_with(polling, 1603);
    answer = true;
    const auto output = uninstall({u"Tool", u"--force", u"--json"});
    EXPECT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_TRUE(document["forced"]);
    EXPECT_TRUE(document["deleted"]);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0].find("Remove the still installed program"), 0u);
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool"));
    EXPECT_FALSE(sim::key_exists(os::hkey_local_machine, uninstall_key));
    expect_neighbour_and_user_files_untouched();
}

TEST_F(CliUninstall, UninstallerThatCannotStartLeadsToNoDeletionWithoutForce) {
    sim::set_shell_handler([](const sim::ShellRequest&, std::uint32_t&) -> std::intptr_t { return 2; });
    const auto output = uninstall({u"Tool", u"--yes", u"--json"});
    EXPECT_EQ(output.exit_code, 1);
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_FALSE(document["uninstaller_started"]);
    EXPECT_EQ(document["uninstaller"]["start_error"], 2);
    EXPECT_EQ(document["uninstaller"]["verdict"], "not_started");
    EXPECT_FALSE(document["deleted"]);
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));

    const auto forced = uninstall({u"Tool", u"--yes", u"--force", u"--json"});
    EXPECT_EQ(forced.exit_code, 0) << forced.err;
    EXPECT_TRUE(nlohmann::json::parse(forced.out)["forced"]);
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool"));
}

TEST_F(CliUninstall, HungUninstallerIsLeftRunningPastTheWaitLimit) {
    // Only so that a run without a limit ends at all.
    polling->script = [](int wait) {
        if (wait == 50000) sim::end_process(running_pid(uninstaller));
    };
    const auto output = uninstall({u"Tool", u"--wait-limit", u"30", u"--json"});
    EXPECT_EQ(output.exit_code, 4);
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_TRUE(document["uninstaller"]["still_running"]);
    EXPECT_EQ(document["uninstaller"]["exit_code"], nullptr);
    EXPECT_FALSE(document["deleted"]);
    EXPECT_NE(running_pid(uninstaller), 0u);
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));
    EXPECT_TRUE(questions.empty());
    EXPECT_EQ(polling->waits, 10 + 20 * 4);

    // --force does not change that; --yes alone waits an hour.
    EXPECT_EQ(uninstall({u"Tool", u"--yes", u"--force"}).exit_code, 4);
    EXPECT_EQ(polling->waits, (10 + 20 * 4) + (10 + 3590 * 4));
}

TEST_F(CliUninstall, WaitLimitMustBeANumberOfSeconds) {
    for (const auto* bad : {u"", u"-5", u"ten", u"1e3"})
        EXPECT_EQ(uninstall({u"Tool", u"--wait-limit", bad}).exit_code, 2) << to_utf8(bad);
    EXPECT_EQ(uninstall({u"Tool", u"--wait-limit"}).exit_code, 2);
    EXPECT_TRUE(sim::shell_requests().empty());
}

TEST_F(CliUninstall, EntriesMergedUnderOneNameButNamingDifferentProgramsMustBeChosenByRegistryPath) {
    const std::u16string other_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ToolCopy";
    sim::set_string(os::hkey_local_machine, other_key, u"DisplayName", u"TOOL");
    sim::set_string(os::hkey_local_machine, other_key, u"InstallLocation", u"C:\\Apps\\ToolBox\\");
    sim::set_string(os::hkey_local_machine, other_key, u"UninstallString", u"C:\\Apps\\ToolBox\\box.exe");

    for (const auto* command : {u"analyze", u"uninstall"}) {
        const auto refused = cli::run({command, u"tool"});
        EXPECT_EQ(refused.exit_code, 2) << to_utf8(command);
        EXPECT_NE(refused.err.find("HKLM|" + to_utf8(uninstall_key) + "\n"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("HKLM|" + to_utf8(other_key) + "\n"), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("C:\\Apps\\ToolBox\\box.exe"), std::string::npos) << refused.err;
    }
    EXPECT_TRUE(sim::shell_requests().empty());

    const auto analysis = cli::run({u"analyze", u"hklm|" + Str_LowerAscii(other_key), u"--json"});
    ASSERT_EQ(analysis.exit_code, 0) << analysis.err;
    EXPECT_EQ(nlohmann::json::parse(analysis.out)["install_location"], "C:\\Apps\\ToolBox\\");

    script_uninstaller();
    const auto output = uninstall({u"HKLM|" + uninstall_key, u"--yes", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    EXPECT_EQ(nlohmann::json::parse(output.out)["install_location"], "C:\\Apps\\Tool\\");
    ASSERT_EQ(sim::shell_requests().size(), 1u);
    EXPECT_EQ(sim::shell_requests()[0].file, u"\"" + uninstaller + u"\" ");
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\ToolBox\\box.exe"));
    EXPECT_TRUE(sim::key_exists(os::hkey_local_machine, other_key));

    EXPECT_EQ(cli::run({u"analyze", u"HKLM|SOFTWARE\\Nothing\\Here"}).exit_code, 1);
}

TEST_F(CliUninstall, TheEntryNotChosenKeepsItsFolderInsideTheChosenOnes) {
    const std::u16string other_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ToolPlugin";
    sim::set_string(os::hkey_local_machine, other_key, u"DisplayName", u"TOOL");
    sim::set_string(os::hkey_local_machine, other_key, u"InstallLocation", u"C:\\Apps\\Tool\\Plugin\\");
    sim::set_string(os::hkey_local_machine, other_key, u"UninstallString", u"C:\\Apps\\Tool\\Plugin\\remove.exe");
    sim::add_file(u"C:\\Apps\\Tool\\Plugin\\remove.exe");
    sim::add_file(u"C:\\Apps\\Tool\\Plugin\\plugin.dll");

    script_uninstaller();
    const auto output = uninstall({u"HKLM|" + uninstall_key, u"--yes", u"--json"});
    EXPECT_EQ(nlohmann::json::parse(output.out)["install_location"], "C:\\Apps\\Tool\\") << output.err;
    EXPECT_FALSE(sim::path_exists(u"C:\\Apps\\Tool\\tool.exe"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\Plugin\\plugin.dll"));
    EXPECT_TRUE(sim::path_exists(u"C:\\Apps\\Tool\\Plugin\\remove.exe"));
}

TEST_F(CliUninstall, EntriesMergedUnderOneNameThatAgreeNeedNoChoice) {
    // The same program registered in both views, as 32-bit installers on 64-bit Windows do.
    const std::u16string copy_key = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ToolAgain";
    sim::set_string(os::hkey_local_machine, copy_key, u"DisplayName", u"tool");
    sim::set_string(os::hkey_local_machine, copy_key, u"InstallLocation", u"c:\\apps\\tool\\");
    sim::set_string(os::hkey_local_machine, copy_key, u"UninstallString", u"\"" + uninstaller + u"\" /S");
    EXPECT_EQ(cli::run({u"analyze", u"Tool"}).exit_code, 0);
}

}  // namespace
}  // namespace vorlix
