#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "cli/cli_commands.h"
#include "support/sim_test.h"

namespace vorlix {
namespace {

class Cli : public test::SimTest {};

TEST_F(Cli, EnvReportsBitnessAndFoldersAsJson) {
    const auto output = cli::run({u"env", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_EQ(document["bitness"], 1);
    EXPECT_EQ(document["program_files"], "C:\\Program Files (x86)\\");
    EXPECT_EQ(document["program_files64"], "C:\\Program Files\\");
    for (auto name : {"system", "windows", "desktop", "appdata", "local_appdata"})
        EXPECT_EQ(document[name].get<std::string>().back(), '\\') << name;
}

TEST_F(Cli, PlanShowsTheChoiceWithoutStartingAnything) {
    const auto output = cli::run({u"plan", u"MsiExec.exe /X{12345678-ABCD-1234-ABCD-1234567890AB}", u"--json"});
    ASSERT_EQ(output.exit_code, 0) << output.err;
    const auto document = nlohmann::json::parse(output.out);
    EXPECT_EQ(document["form"], 1);
    EXPECT_EQ(document["file"], "MsiExec.exe");
    EXPECT_EQ(document["parameters"], "/X{12345678-ABCD-1234-ABCD-1234567890AB}  /norestart");
    EXPECT_TRUE(document["message"].is_null());
    EXPECT_TRUE(sim::shell_requests().empty());

    const auto nothing = nlohmann::json::parse(cli::run({u"plan", u"///", u"--json"}).out);
    EXPECT_EQ(nothing["form"], 0);
    EXPECT_EQ(nothing["message"], "8 cmd is error ! ");
    EXPECT_TRUE(sim::messages().empty());

    const auto unicode = nlohmann::json::parse(cli::run({u"plan", u"C:\\Програмы\\удалить.exe", u"--json"}).out);
    EXPECT_EQ(unicode["file"], "C:\\Програмы\\удалить.exe");
}

TEST_F(Cli, BadInputGivesAnErrorAndANonZeroCode) {
    for (const auto& arguments : {cli::Arguments{}, cli::Arguments{u"frobnicate"}, cli::Arguments{u"plan"},
                                  cli::Arguments{u"plan", u"a", u"b"}, cli::Arguments{u"env", u"extra"}}) {
        const auto output = cli::run(arguments);
        EXPECT_NE(output.exit_code, 0);
        EXPECT_TRUE(output.out.empty());
        EXPECT_NE(output.err.find("--help"), std::string::npos);
    }
    const auto help = cli::run({u"--help"});
    EXPECT_EQ(help.exit_code, 0);
    for (auto command : {"env", "plan"}) EXPECT_NE(help.out.find(command), std::string::npos);
}

}  // namespace
}  // namespace vorlix
