// Whether a registry text belongs to the program: normalisation of quoted and
// short paths, the folder test with its path boundaries, the known-folder
// form, bare binary names, and the index agreeing with the per-folder test.
#include <gmock/gmock.h>

#include <random>

#include "leftovers_literal_matcher.h"
#include "leftovers_test_support.h"

namespace vorlix::test::analysis {
namespace {

class LeftoverMatchingTest : public AnalysisTest {
protected:
    const ZRB_InstalledSoftware& walked(const std::u16string& name, const std::u16string& location) {
        add_program(name, location);
        analyse(name);
        return *list->find(Str_LowerAscii(name));
    }
};

TEST_F(LeftoverMatchingTest, NormalisationBlanksQuotesAndExpandsShortPathsThatStillExist) {
    install_tool();
    EXPECT_EQ(NormalizeRegistryPath(u"\"C:\\Apps\\Tool\\app.exe\" /s"), u" C:\\Apps\\Tool\\app.exe  /s");
    EXPECT_EQ(NormalizeRegistryPath(u"C:\\APPS\\TOOL~1\\bin\\worker.exe"), u"C:\\APPS\\Tool\\bin\\worker.exe");
    EXPECT_EQ(NormalizeRegistryPath(u"\"C:\\APPS\\TOOL~1\\app.exe\" -x"), u"C:\\APPS\\Tool\\app.exe  -x");
    // A short file name is dropped; its long folder stays.
    EXPECT_EQ(NormalizeRegistryPath(u"C:\\Apps\\Tool\\APP~1.EXE"), u"C:\\Apps\\Tool");
    EXPECT_EQ(NormalizeRegistryPath(u"C:\\APPS\\GONE~1\\old.dll"), u"");
    // No drive in the first piece, or nothing after it: nothing to expand.
    EXPECT_EQ(NormalizeRegistryPath(u"x\\C:\\TOOL~1\\a.exe"), u"");
    EXPECT_EQ(NormalizeRegistryPath(u"'C:\\TOOL~1'"), u"");
    EXPECT_EQ(NormalizeRegistryPath(u"\\\\srv\\OLD~1\\a.exe"), u"\\\\srv\\OLD~1\\a.exe");
}

TEST_F(LeftoverMatchingTest, AFolderClaimsATextOnlyWhereItEndsAtAPathBoundary) {
    install_tool();
    const auto& tool = walked(u"Tool", u"C:\\Apps\\Tool");
    const ProgramMatcher matcher(tool);
    for (const auto* claimed : {u"C:\\Apps\\Tool\\app.exe", u"c:\\apps\\tool", u"\"C:\\Apps\\Tool\"",
                                u"rundll32.exe \"C:\\Apps\\Tool\\helper.dll\",Entry", u"D:\\Backup\\C:\\Apps\\Tool\\x",
                                u"C:\\Apps\\ToolBox\\C:\\Apps\\Tool\\x", u"C:\\APPS\\TOOL~1\\app.exe",
                                u"C:\\Apps\\Tool\\APP~1.EXE"})
        EXPECT_TRUE(matcher.RefersToProgram(claimed)) << to_utf8(claimed);
    for (const auto* foreign : {u"C:\\Apps\\ToolBox\\box.exe", u"C:\\Apps\\Tool Pro\\x.exe", u"C:\\Apps\\Tool.old",
                                u"\"C:\\Apps\\Tool\" /x", u"C:\\APPS\\TOOLBO~1\\box.dll", u"C:\\APPS\\GONE~1\\x.dll",
                                u"\\\\srv\\OLD~1\\Apps\\ToolBox\\x.exe", u"\\\\srv\\share\\Tool\\APP~1.EXE", u"",
                                u"\\\\srv\\OLD~1\\Apps\\Tool\\bin\\x.exe",
                                u"C:\\Apps"})
        EXPECT_FALSE(matcher.RefersToProgram(foreign)) << to_utf8(foreign);
}

TEST_F(LeftoverMatchingTest, KnownFolderIdentifiersResolveThroughBothProgramFilesVariables) {
    sim::add_file(u"C:\\Program Files (x86)\\App\\app.exe");
    sim::add_file(u"C:\\Program Files\\App64\\app.exe");
    const ProgramMatcher x86(walked(u"App", u"C:\\Program Files (x86)\\App\\"));
    const ProgramMatcher x64(walked(u"App64", u"C:\\Program Files\\App64"));

    EXPECT_TRUE(x86.RefersToProgram(u"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}\\App\\app.exe"));
    EXPECT_TRUE(x86.RefersToProgram(u"{7c5a40ef-a0fb-4bfc-874a-c0f2e0b9fa8e}\\app\\app.exe"));
    EXPECT_TRUE(x64.RefersToProgram(u"{6D809377-6AF0-444b-8957-A3773F02200E}\\App64\\app.exe"));
    EXPECT_TRUE(x64.RefersToProgram(u"{905e63b6-c1bf-494e-b29c-65b732d3d21a}\\App64\\app.exe"));
    // The install location claims on path boundaries too.
    EXPECT_FALSE(x64.RefersToProgram(u"{6D809377-6AF0-444b-8957-A3773F02200E}\\App64 Beta\\app.exe"));
    EXPECT_FALSE(x86.RefersToProgram(u"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}\\Other\\app.exe"));
    // Characters no path may hold end the test, not the analysis.
    EXPECT_FALSE(x86.RefersToProgram(u"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}\\App<\\app.exe"));
    EXPECT_FALSE(x86.RefersToProgram(u"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}\\App\\a|b.exe"));

    // A program without a location has nothing to claim.
    const ProgramMatcher none(walked(u"None", u""));
    EXPECT_FALSE(none.RefersToProgram(u"{7C5A40EF-A0FB-4BFC-874A-C0F2E0B9FA8E}\\App\\app.exe"));
}

class LeftoverMatching32Test : public LeftoverMatchingTest {
    sim::MachineConfig machine() const override {
        sim::MachineConfig config;
        config.windows64 = false;
        return config;
    }
};

TEST_F(LeftoverMatching32Test, WithoutTheVariablesTheIdentifierFormResolvesToNothing) {
    sim::add_file(u"C:\\Program Files\\App\\app.exe");
    const ProgramMatcher matcher(walked(u"App", u"C:\\Program Files\\App\\"));
    EXPECT_FALSE(matcher.RefersToProgram(u"{905e63b6-c1bf-494e-b29c-65b732d3d21a}\\App\\app.exe"));
    EXPECT_TRUE(matcher.RefersToProgram(u"C:\\Program Files\\App\\app.exe"));
}

// Windows finds a file named without its folder wherever its search order
// leads, and other programs ship files of the same names.
TEST_F(LeftoverMatchingTest, BareFileNamesOfTheProgramsBinariesAreNeverItsOwn) {
    install_tool();
    const ProgramMatcher matcher(walked(u"Tool", u"C:\\Apps\\Tool"));
    for (const auto* text : {u"helper.dll", u"WORKER.exe", u"\"helper.dll\"", u"\"worker.exe\" /x", u"helper"})
        EXPECT_FALSE(matcher.RefersToProgram(text)) << to_utf8(text);
    EXPECT_TRUE(matcher.RefersToProgram(u"C:\\Apps\\Tool\\helper.dll"));
}

// The index must give the per-folder test's answer for every text, including
// the cut forms after a short component, on folder sets and texts drawn from
// a small alphabet rich in separators, tildes, blanks and quotes.
TEST_F(LeftoverMatchingTest, TheIndexAgreesWithThePerFolderTest) {
    install_tool();
    std::mt19937 random(20240605);
    const std::u16string alphabet = u"aAbB\\\\\\~ :'\"x";
    const auto pick = [&](std::size_t bound) {
        return std::uniform_int_distribution<std::size_t>(0, bound - 1)(random);
    };
    const auto text = [&](std::size_t length) {
        std::u16string result;
        for (std::size_t at = 0; at < length; ++at) result += alphabet[pick(alphabet.size())];
        return result;
    };
    std::size_t claimed = 0, compared = 0;
    for (int round = 0; round < 40; ++round) {
        ZRB_InstalledSoftware record;
        record.mpu_str_InstallLocation = u"C:\\Apps\\Tool";
        for (std::size_t count = 1 + pick(12); count-- > 0;) record.mpu_SDLarry_Folders.push_back(text(1 + pick(8)));
        record.mpu_SDLarry_Folders.push_back(u"C:\\Apps\\Tool\\bin");
        std::sort(record.mpu_SDLarry_Folders.begin(), record.mpu_SDLarry_Folders.end());
        const ProgramMatcher indexed(record);
        const LiteralProgramMatcher literal(record);
        for (int sample = 0; sample < 400; ++sample) {
            // Texts around a folder of the set, so that many of them match.
            auto value = text(pick(6)) + record.mpu_SDLarry_Folders[pick(record.mpu_SDLarry_Folders.size())] +
                         text(pick(6));
            if (sample % 5 == 0) value = u"\\\\s\\a~" + value;
            const bool expected = literal.RefersToProgram(value);
            ASSERT_EQ(indexed.RefersToProgram(value), expected) << to_utf8(value);
            claimed += expected ? 1 : 0;
            ++compared;
        }
    }
    // Both answers must be well represented for the comparison to mean anything.
    EXPECT_GT(claimed, compared / 10);
    EXPECT_LT(claimed, compared - compared / 10);
}

}  // namespace
}  // namespace vorlix::test::analysis
