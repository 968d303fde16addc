// The hostile programs of tests/fixtures/hostile on the simulated machine, as
// the Wine scenario hostile-claims.sh runs them on Wine's: the same .reg
// files, the same table of outcomes, every program uninstalled in turn
// through vorlix-cli's own command. Their uninstallers are the commands the
// .reg files register, carried out here: `reg delete`, `reg add ... /ve /d`
// and the fake uninstaller's `--remove-entry`.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "cli/cmd_uninstall.h"
#include "hostile_support.h"
#include "machine_snapshot.h"
#include "platform/os.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix::test {
namespace {

// A registry item of the table: ROOT\KEY, with "@" for the default value.
bool exists(const std::u16string& item, const std::u16string& value) {
    if (item.rfind(u"C:", 0) == 0) return sim::path_exists(item);
    const auto root = item.rfind(u"HKCU\\", 0) == 0 ? os::hkey_current_user : os::hkey_local_machine;
    const auto key = item.substr(5);
    if (value.empty()) return sim::key_exists(root, key);
    return sim::value_exists(root, key, value == u"@" ? u"" : value);
}

// The started uninstallers end at the next look at the process list.
class Uninstallers final : public Pacing {
public:
    std::vector<std::uint32_t> started;
    void pause(std::uint32_t) override {
        for (const auto pid : started) sim::end_process(pid, 0);
        started.clear();
    }
};

// Carries out what a registered uninstall command does to the registry.
bool run_uninstall_command(const std::string& command) {
    static const std::regex remove_entry(R"(--remove-entry (\S+))");
    static const std::regex reg_delete(R"(reg(?:\.exe)? delete "HKLM\\([^"]+)\")");
    static const std::regex reg_add(R"(reg add HKLM\\(\S+) /ve /d (\S+))");
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    std::smatch match;
    bool ok = true;
    if (std::regex_search(command, match, remove_entry))
        ok &= sim::import_reg(header + "[-HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" +
                              match[1].str() + "]\n");
    if (std::regex_search(command, match, reg_add))
        ok &= sim::import_reg(header + "[HKEY_LOCAL_MACHINE\\" + match[1].str() + "]\n@=\"" + match[2].str() + "\"\n");
    if (std::regex_search(command, match, reg_delete))
        ok &= sim::import_reg(header + "[-HKEY_LOCAL_MACHINE\\" + match[1].str() + "]\n");
    return ok;
}

// PATH, when the report lists it as a leftover, is kept by an item at or above it that gives a reason.
bool kept_if_listed(const nlohmann::json& report, const std::u16string& path) {
    const auto upper = [](const std::string& text) {
        return Str_ExcludeTrailingBackslashes(Str_UpperFull(from_utf8(text)));
    };
    const auto wanted = Str_UpperFull(path);
    bool listed = false;
    for (const auto* kind : {"folders", "files"})
        for (const auto& item : report["leftovers"][kind]) listed |= upper(item.get<std::string>()) == wanted;
    if (!listed) return true;
    for (const auto& item : report.value("kept", nlohmann::json::array())) {
        const auto kept = upper(item["path"].get<std::string>());
        const bool covers = wanted == kept || wanted.rfind(kept + u"\\", 0) == 0;
        if (covers && !item["reason"].get<std::string>().empty()) return true;
    }
    return false;
}

class HostileTable : public SimTest {
protected:
    const std::vector<HostileRow> rows = hostile_rows();
    std::shared_ptr<Uninstallers> uninstallers = std::make_shared<Uninstallers>();

    nlohmann::json uninstall(const HostileRow& row) {
        sim::set_own_image(row.b + u"\\vorlix-cli.exe");
        if (!sim::path_exists(row.b + u"\\vorlix-cli.exe")) sim::add_file(row.b + u"\\vorlix-cli.exe");
        const cli::UninstallTerminal terminal{[](const std::u16string&) {}, [](const std::u16string&) { return true; },
                                              uninstallers, {}};
        const auto output = cli::cmd_uninstall({from_utf8(row.program), u"--yes", u"--json"}, terminal);
        const auto report = nlohmann::json::parse(output.out, nullptr, false);
        EXPECT_FALSE(report.is_discarded()) << row.program << ": " << output.out << output.err;
        if (report.is_discarded()) return nlohmann::json::object();
        EXPECT_EQ(report.value("uninstaller_started", false), true) << row.program;
        const auto codes = "/" + to_utf8(row.a) + "/";
        EXPECT_NE(codes.find("/" + std::to_string(output.exit_code) + "/"), std::string::npos)
            << row.program << " exits with " << output.exit_code << ", not one of " << to_utf8(row.a);
        const bool something_stayed =
            report.value("not_removed_count", 0) > 0 || !report.value("kept", nlohmann::json::array()).empty();
        EXPECT_EQ(output.exit_code, something_stayed ? 3 : 0) << row.program << ": the exit code disagrees with the report";
        return report;
    }
};

TEST_F(HostileTable, EveryProgramTakesOnlyItsOwnAndTheRowsHold) {
    // What Windows, the user and the other programs own.
    furnish_hostile_neighbours(rows);
    const auto before = MachineSnapshot::take();

    import_hostile("programs.reg");
    for (const auto& row : rows)
        if (row.kind == "junction") sim::add_junction(row.a, row.b);
    put_hostile_files(rows, {"goes", "either"});
    sim::create_link(os::hkey_local_machine, u"Software\\Classes\\Linker.File\\Opened",
                     u"\\Registry\\Machine\\SOFTWARE\\Classes\\exefile");
    sim::set_shell_handler([this](const sim::ShellRequest& request, std::uint32_t& started_pid) -> std::intptr_t {
        const auto command = request.create_process ? request.file : request.file + u" " + request.parameters;
        if (!run_uninstall_command(to_utf8(command))) return 2;
        started_pid = sim::start_process(u"C:\\windows\\system32\\cmd.exe");
        uninstallers->started.push_back(started_pid);
        return 42;
    });

    std::map<std::string, nlohmann::json> reports;
    for (const auto& row : rows)
        if (row.kind == "exits") reports[row.program] = uninstall(row);

    expect_nothing_lost_since(before);
    for (const auto& row : rows) {
        SCOPED_TRACE(row.program + ": " + to_utf8(row.a) + (row.b.empty() ? "" : " (" + to_utf8(row.b) + ")"));
        const bool file = row.a.rfind(u"C:", 0) == 0;
        if (row.kind == "goes") {
            EXPECT_FALSE(exists(row.a, row.b)) << "is not gone";
        } else if (row.kind == "stays") {
            EXPECT_TRUE(exists(row.a, row.b)) << "is gone";
        }
        if ((row.kind == "stays" || row.kind == "either") && file && exists(row.a, {})) {
            EXPECT_TRUE(kept_if_listed(reports[row.program], row.a)) << "listed as a leftover, not named as kept";
        }
    }
    const auto not_removed = reports["Bar Tool"]["not_removed"]["registry"];
    ASSERT_FALSE(not_removed.empty());
    EXPECT_EQ(not_removed[0].get<std::string>().rfind("Not removable: HKLM|", 0), 0u) << "Bar Tool's own key";
    // The link went as a link: its backup holds no key below it (that would be exefile's data under its name).
    std::string backup;
    ASSERT_TRUE(os::read_file_bytes(from_utf8(reports["Linker"]["backup"].get<std::string>()), backup));
    EXPECT_EQ(backup.find(to_utf16le_bytes(u"Linker.File\\Opened\\")), std::string::npos);
}

}  // namespace
}  // namespace vorlix::test
