// Installer engines as `list --json` names them, their quiet commands, and
// `uninstall --quiet` of several programs on the simulated machine.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "access/Unit_ZRB_func_Registry.h"
#include "cli/cli_commands.h"
#include "cli/cmd_uninstall.h"
#include "inventory/pacing.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

const std::u16string uninstall_path = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A Windows program whose one section ends at `image_end`, carrying NSIS's
// header block at `header_at` (by default where the image ends, as makensis
// writes it).
std::string nsis_executable(std::uint32_t image_end, std::size_t header_at = 0) {
    std::string bytes(std::max<std::size_t>(image_end, 512), 'M');
    const auto put = [&bytes](std::size_t at, std::uint32_t value) {
        for (int index = 0; index < 4; ++index) bytes[at + index] = static_cast<char>(value >> (8 * index));
    };
    bytes[1] = 'Z';
    put(0x3C, 0x40);  // where the PE header is
    bytes.replace(0x40, 24, std::string("PE\0\0\x64\x86\x01\0", 8) + std::string(16, '\0'));  // one section
    put(0x40 + 24 + 16, image_end - 512);                                                        // its size in the file
    put(0x40 + 24 + 20, 512);                                                                    // and where it starts
    bytes.resize(header_at ? header_at : image_end, 'M');
    return bytes + std::string("\x03\0\0\0\xEF\xBE\xAD\xDENullsoftInst", 20) + std::string(600, 'z');
}

struct Entry {
    const char16_t* key;
    const char16_t* command;
    const char16_t* quiet = u"";
    bool windows_installer = false;
    bool inno_version = false;
    std::string program_bytes = "MZ plain program";  // written at the command's program path
};

void register_entry(const Entry& entry, const std::u16string& program) {
    const auto path = uninstall_path + entry.key;
    const auto root = os::hkey_local_machine;
    sim::set_string(root, path, u"DisplayName", std::u16string(u"Program ") + entry.key);
    sim::set_string(root, path, u"UninstallString", entry.command);
    if (*entry.quiet) sim::set_string(root, path, u"QuietUninstallString", entry.quiet);
    if (entry.windows_installer) sim::set_dword(root, path, u"WindowsInstaller", 1);
    if (entry.inno_version) sim::set_string(root, path, u"Inno Setup: Setup Version", u"6.2.2");
    if (!program.empty()) sim::add_file(program, entry.program_bytes);
}

using ListEngine = test::SimTest;

TEST_F(ListEngine, NamesTheEngineOfEachEntryAndItsQuietCommand) {
    struct Case {
        Entry entry;
        const char16_t* program;  // the file the command starts; empty: none
        const char* installer;
        const char* quiet_command;
    };
    const Case cases[] = {
        {{u"Quiet", u"\"C:\\Apps\\Quiet\\un.exe\"", u"\"C:\\Apps\\Quiet\\un.exe\" /quiet", true}, u"",
         "registered_quiet", "\"C:\\Apps\\Quiet\\un.exe\" /quiet"},
        {{u"{1A2B3C4D-0000-4000-8000-00000000000A}", u"MsiExec.exe /I{1a2b3c4d-0000-4000-8000-00000000000a}", u"",
          true},
         u"", "msi", "msiexec /x{1a2b3c4d-0000-4000-8000-00000000000a} /qn /norestart"},
        {{u"{1A2B3C4D-0000-4000-8000-00000000000B}", u"\"C:\\Apps\\Suite\\setup.exe\" /remove", u"", true}, u"", "msi",
         "msiexec /x{1A2B3C4D-0000-4000-8000-00000000000B} /qn /norestart"},
        {{u"NoCode", u"\"C:\\Apps\\NoCode\\setup.exe\"", u"", true}, u"", "msi", ""},
        {{u"OddCode", u"MsiExec.exe /X{ODD-CODE-2024}"}, u"", "msi", "msiexec /x{ODD-CODE-2024} /qn /norestart"},
        {{u"NoBraces", u"msiexec /x C:\\Packages\\tool.msi"}, u"", "unknown", ""},
        {{u"Notes_is1", u"\"C:\\Apps\\Notes\\unins000.exe\"", u"\"C:\\Apps\\Notes\\unins000.exe\" /SILENT"}, u"", "inno",
         "\"C:\\Apps\\Notes\\unins000.exe\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART"},
        {{u"Sketch", u"C:\\Apps\\Sketch\\unins000.exe /SILENT", u"", false, true}, u"", "inno",
         "\"C:\\Apps\\Sketch\\unins000.exe\" /VERYSILENT /SUPPRESSMSGBOXES /NORESTART"},
        {{u"Nullsoft", u"\"C:\\Apps\\Nullsoft\\uninst.exe\"", u"", false, false, nsis_executable(3 * 512)},
         u"C:\\Apps\\Nullsoft\\uninst.exe", "nsis", "\"C:\\Apps\\Nullsoft\\uninst.exe\" /S"},
        {{u"InPlace", u"\"C:\\Apps\\In Place\\Au_.exe\" /S _?=C:\\Apps\\In Place", u"", false, false,
          nsis_executable(512)},
         u"C:\\Apps\\In Place\\Au_.exe", "nsis", "\"C:\\Apps\\In Place\\Au_.exe\" /S _?=C:\\Apps\\In Place"},
        // Beyond the first megabyte, off NSIS's 512-byte steps, or not where
        // the stub ends, it is not the header.
        {{u"Late", u"\"C:\\Apps\\Late\\uninst.exe\"", u"", false, false, nsis_executable(2048 * 512)},
         u"C:\\Apps\\Late\\uninst.exe", "unknown", ""},
        {{u"Askew", u"\"C:\\Apps\\Askew\\uninst.exe\"", u"", false, false, nsis_executable(612)},
         u"C:\\Apps\\Askew\\uninst.exe", "unknown", ""},
        {{u"Inside", u"\"C:\\Apps\\Inside\\uninst.exe\"", u"", false, false, nsis_executable(3 * 512, 512)},
         u"C:\\Apps\\Inside\\uninst.exe", "unknown", ""},
        {{u"NotAProgram", u"\"C:\\Apps\\NotAProgram\\uninst.exe\"", u"", false, false,
          nsis_executable(3 * 512).replace(0, 2, "ZM")},
         u"C:\\Apps\\NotAProgram\\uninst.exe", "unknown", ""},
        {{u"Shield",
          u"\"C:\\Program Files (x86)\\InstallShield Installation Information\\{9F1E}\\setup.exe\" -runfromtemp "
          u"-removeonly"},
         u"", "installshield", ""},
        {{u"Plain", u"\"C:\\Apps\\Plain\\remove.exe\""}, u"C:\\Apps\\Plain\\remove.exe", "unknown", ""},
    };
    for (const auto& item : cases) register_entry(item.entry, item.program);

    const auto output = cli::run({u"list", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    std::map<std::string, nlohmann::ordered_json> programs;
    const auto document = nlohmann::ordered_json::parse(output.out);
    for (const auto& program : document["programs"])
        programs[program["name"].get<std::string>()] = program;
    for (const auto& item : cases) {
        const auto name = "Program " + to_utf8(item.entry.key);
        ASSERT_EQ(programs.count(name), 1u) << name;
        const auto& program = programs[name];
        EXPECT_EQ(program["installer"], item.installer) << name;
        EXPECT_EQ(program["quiet_command"], item.quiet_command) << name;
    }
    // The new members come last; the earlier ones keep their places.
    std::vector<std::string> keys;
    for (const auto& [key, value] : document["programs"][0].items()) keys.push_back(key);
    ASSERT_EQ(keys.size(), 15u);
    EXPECT_EQ(std::vector<std::string>(keys.end() - 3, keys.end()),
              (std::vector<std::string>{"scan_location", "installer", "quiet_command"}));
}

// Each started uninstaller does its part at the next look: it removes its
// program's files and entry, unless it fails, and ends with its code.
class Uninstallers final : public Pacing {
public:
    struct Behaviour {
        std::u16string folder, key;
        std::uint32_t exit_code = 0;
    };
    std::map<std::u16string, Behaviour> by_image;  // image path -> behaviour
    void pause(std::uint32_t) override {
        for (const auto& process : sim::processes()) {
            const auto found = by_image.find(process.image_path);
            if (found == by_image.end()) continue;
            const auto& behaviour = found->second;
            if (behaviour.exit_code != 1603) {
                os::delete_file(behaviour.folder + u"\\program.exe");
                Reg_DeleteKeyTree(os::hkey_local_machine, uninstall_path + behaviour.key, true);
            }
            sim::end_process(process.pid, behaviour.exit_code);
        }
    }
};

class QuietBatch : public test::SimTest {
protected:
    std::shared_ptr<Uninstallers> uninstallers = std::make_shared<Uninstallers>();
    std::vector<std::string> events;  // progress lines, and "report <name>" as each report arrives
    std::vector<nlohmann::json> lines;

    void SetUp() override {
        SimTest::SetUp();
        program(u"Alpha", u"Alpha", u"uninst.exe", nsis_executable(512), 0);
        program(u"Beta", u"Beta_is1", u"unins000.exe", "MZ inno", 1603);
        program(u"Delta", u"Delta", u"remove.exe", "MZ plain", 0);
        const std::u16string code = u"{1A2B3C4D-0000-4000-8000-0000000000CC}";
        program(u"Gamma", code, u"", "", 3010);
        sim::set_string(os::hkey_local_machine, uninstall_path + code, u"UninstallString", u"MsiExec.exe /X" + code);
        sim::set_dword(os::hkey_local_machine, uninstall_path + code, u"WindowsInstaller", 1);
        uninstallers->by_image[u"C:\\Windows\\System32\\msiexec.exe"] = {u"C:\\Apps\\Gamma", code, 3010};
    }

    void program(const std::u16string& name, const std::u16string& key, const std::u16string& uninstaller,
                 const std::string& bytes, std::uint32_t exit_code) {
        const auto folder = u"C:\\Apps\\" + name;
        sim::add_file(folder + u"\\program.exe");
        const auto path = uninstall_path + key;
        sim::set_string(os::hkey_local_machine, path, u"DisplayName", name);
        sim::set_string(os::hkey_local_machine, path, u"InstallLocation", folder);
        if (uninstaller.empty()) return;
        sim::add_file(folder + u"\\" + uninstaller, bytes);
        sim::set_string(os::hkey_local_machine, path, u"UninstallString", u"\"" + folder + u"\\" + uninstaller + u"\"");
        uninstallers->by_image[folder + u"\\" + uninstaller] = {folder, key, exit_code};
    }

    cli::Output uninstall(cli::Arguments arguments) {
        const cli::UninstallTerminal terminal{
            [this](const std::u16string& line) { events.push_back(to_utf8(line)); },
            [](const std::u16string&) { return false; }, uninstallers, [this](const std::string& report) {
                lines.push_back(nlohmann::json::parse(report));
                events.push_back("report " + lines.back().value("name", std::string("summary")));
            }};
        return cli::cmd_uninstall(std::move(arguments), terminal);
    }

    static bool installed(const std::u16string& key) {
        return sim::key_exists(os::hkey_local_machine, uninstall_path + key);
    }
};

TEST_F(QuietBatch, StopsAtAFailureUnlessKeepGoingAndReportsEachProgramAsItFinishes) {
    struct Case {
        bool keep_going;
        std::vector<std::string> verdicts;  // the programs' lines in order
        std::vector<int> exit_codes;
        nlohmann::json summary;
    };
    const Case cases[] = {
        {false, {"removed", "not_started", "failed"}, {0, 6, 5},
         {{"programs", 4}, {"removed", 1}, {"restart_needed", 0}, {"failed", 1}, {"needs_own_window", 1},
          {"not_run", 1}, {"exit_code", 6}}},
        {true, {"removed", "not_started", "failed", "removed"}, {0, 6, 5, 0},
         {{"programs", 4}, {"removed", 2}, {"restart_needed", 1}, {"failed", 1}, {"needs_own_window", 1},
          {"not_run", 0}, {"exit_code", 6}}},
    };
    for (const auto& item : cases) {
        SCOPED_TRACE(item.keep_going ? "--keep-going" : "stop at failure");
        SetUp();
        lines.clear();
        events.clear();
        cli::Arguments arguments{u"Alpha", u"delta", u"Beta", u"Gamma", u"--quiet", u"--yes", u"--json"};
        if (item.keep_going) arguments.push_back(u"--keep-going");
        const auto output = uninstall(arguments);
        EXPECT_EQ(output.exit_code, item.summary["exit_code"]) << output.err;
        EXPECT_TRUE(output.out.empty());
        ASSERT_EQ(lines.size(), item.verdicts.size() + 1);
        for (std::size_t index = 0; index < item.verdicts.size(); ++index) {
            EXPECT_EQ(lines[index]["uninstaller"]["verdict"], item.verdicts[index]) << index;
            EXPECT_EQ(lines[index]["exit_code"], item.exit_codes[index]) << index;
        }
        EXPECT_EQ(lines.back()["summary"], item.summary);
        EXPECT_NE(lines[1]["message"].get<std::string>().find("needs its own window"), std::string::npos);
        EXPECT_EQ(lines[1]["installer"], "unknown");
        // Each report arrives when its program is done, before the next one starts.
        const auto at = [this](const std::string& event) { return std::find(events.begin(), events.end(), event); };
        EXPECT_LT(at("report Alpha"), at("[Delta]"));
        EXPECT_LT(at("report Delta"), at("[Beta]"));
        // Only the quiet forms ran, and nothing for the program that needs its window.
        std::vector<std::string> expected{"/S", "/VERYSILENT /SUPPRESSMSGBOXES /NORESTART"};
        if (item.keep_going) expected.push_back("/x{1A2B3C4D-0000-4000-8000-0000000000CC} /qn /norestart");
        std::vector<std::string> started;
        for (const auto& request : sim::shell_requests()) started.push_back(to_utf8(request.parameters));
        EXPECT_EQ(started, expected);
        EXPECT_FALSE(installed(u"Alpha"));
        EXPECT_TRUE(installed(u"Delta"));
        EXPECT_TRUE(installed(u"Beta_is1"));
        EXPECT_EQ(installed(u"{1A2B3C4D-0000-4000-8000-0000000000CC}"), !item.keep_going);
        if (item.keep_going) {
            EXPECT_EQ(lines[3]["restart_needed"], true);
        }
    }
}

TEST_F(QuietBatch, ANameThatChoosesNoProgramStopsTheBatchBeforeAnythingRuns) {
    for (const auto& refused : std::vector<cli::Arguments>{{u"Alpha", u"Nobody", u"--quiet"},
                                                           {u"Alpha", u"ALPHA", u"--quiet"}}) {
        const auto output = uninstall(refused);
        EXPECT_NE(output.exit_code, 0);
        EXPECT_FALSE(output.err.empty());
        EXPECT_TRUE(lines.empty());
        EXPECT_TRUE(sim::shell_requests().empty());
        EXPECT_TRUE(installed(u"Alpha"));
    }
}

}  // namespace
}  // namespace vorlix
