// vorlix-cli list: the table and the JSON document.
#include <gtest/gtest.h>

#include <algorithm>

#include <nlohmann/json.hpp>

#include "access/Unit_ZRB_func_FilesDirs.h"
#include "cli/cmd_list.h"
#include "inventory_test_support.h"

namespace vorlix::test {
namespace {

class CliList : public InventoryTest {
protected:
    void SetUp() override {
        InventoryTest::SetUp();
        load("merge.reg");
        entry(u"Sized", {{u"DisplayName", u"Sized \"Quoted\" Tool"}, {u"Publisher", u"Größe GmbH"},
                         {u"DisplayVersion", u"1.5"}, {u"InstallLocation", u"C:\\Apps\\Sized\\"},
                         {u"UninstallString", u"C:\\Apps\\Sized\\uninst.exe"}});
        sim::set_dword(os::hkey_local_machine, uninstall_key + u"Sized", u"EstimatedSize", 1536);
    }
};

TEST_F(CliList, JsonHoldsEveryProgramInReportOrder) {
    const auto output = cli::cmd_list({u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_EQ(document["bitness"], 1);
    const auto& programs = document["programs"];
    ASSERT_EQ(programs.size(), 6u);
    std::vector<std::string> keys;
    for (const auto& program : programs) keys.push_back(program["key"]);
    EXPECT_EQ(keys, (std::vector<std::string>{"reverse tool", "script tool", "sized \"quoted\" tool", "tool studio",
                                              "Éditeur pro", "éditeur pro"}));

    const auto& sized = programs[2];
    EXPECT_EQ(sized["name"], "Sized \"Quoted\" Tool");
    EXPECT_EQ(sized["publisher"], "Größe GmbH");
    EXPECT_EQ(sized["version"], "1.5");
    EXPECT_EQ(sized["size_kb"], 1536);
    EXPECT_EQ(sized["size"], "1.50 MB");
    EXPECT_EQ(sized["install_location"], "C:\\Apps\\Sized\\");
    EXPECT_EQ(sized["uninstall_string"], "C:\\Apps\\Sized\\uninst.exe");
    EXPECT_EQ(sized["icon"], to_utf8(Sys_GetSystemDir() + u"msiexec.exe"));
    EXPECT_EQ(sized["icon_index"], 65535);
    EXPECT_EQ(sized["registry_path"], "HKLM|SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sized");
    EXPECT_EQ(sized["is64bit"], 1);
    EXPECT_EQ(sized["scan_location"], true);
    std::vector<std::string> fields;
    for (const auto& [field, value] : sized.items()) fields.push_back(field);
    EXPECT_EQ(fields.size(), 15u);  // the last two: installer, quiet_command
}

TEST_F(CliList, TableShowsOneLinePerProgramWithAHeader) {
    const auto output = cli::cmd_list({});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = output.out.find('\n', start)) != std::string::npos; start = end + 1)
        lines.push_back(output.out.substr(start, end - start));
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].rfind("Name", 0), 0u);
    for (const auto* title : {"Version", "Publisher", "Size", "Install location"})
        EXPECT_NE(lines[0].find(title), std::string::npos) << title;
    EXPECT_NE(lines[3].find("Größe GmbH"), std::string::npos);
    EXPECT_NE(lines[3].find("1.50 MB"), std::string::npos);
    // Columns line up: the version column starts at the same place on every line.
    EXPECT_EQ(lines[3].find("1.5 "), lines[0].find("Version"));
    EXPECT_EQ(lines.back(), "6 programs");
}

TEST_F(CliList, TableEscapesControlAndDirectionCharactersButJsonKeepsThem) {
    entry(u"Hostile", {{u"DisplayName", u"Two\nLines\x1B[2J \u202Eexe.txt"},
                       {u"Publisher", u"Tab\there\u0085"},
                       {u"UninstallString", u"C:\\Apps\\Hostile\\uninst.exe"}});
    const auto table = cli::cmd_list({});
    ASSERT_EQ(table.exit_code, 0) << table.err;
    EXPECT_NE(table.out.find("Two\\nLines\\x1B[2J \\u202Eexe.txt"), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("Tab\\there\\x85"), std::string::npos) << table.out;
    for (const char raw : {'\t', '\x1B', '\r'}) EXPECT_EQ(table.out.find(raw), std::string::npos);
    EXPECT_EQ(table.out.find("\xE2\x80\xAE"), std::string::npos);  // U+202E as UTF-8
    // Still one line per program.
    EXPECT_EQ(std::count(table.out.begin(), table.out.end(), '\n'), 1 + 7 + 1);

    const auto document = nlohmann::json::parse(cli::cmd_list({u"--json"}).out);
    bool found = false;
    for (const auto& program : document["programs"])
        found = found || program["name"] == "Two\nLines\x1B[2J \u202Eexe.txt";
    EXPECT_TRUE(found);
}

TEST_F(CliList, RejectsUnknownArguments) {
    const auto output = cli::cmd_list({u"--xml"});
    EXPECT_NE(output.exit_code, 0);
    EXPECT_TRUE(output.out.empty());
}

}  // namespace
}  // namespace vorlix::test
