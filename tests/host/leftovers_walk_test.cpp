// The analysis thread: its reports and their order, the file-system walk with
// its counts, and the folders it must never walk into.
#include <gmock/gmock.h>

#include "leftovers_test_support.h"

namespace vorlix::test::analysis {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::Contains;
using K = ReportKind;

class LeftoverWalkTest : public AnalysisTest {};

TEST_F(LeftoverWalkTest, FoldersAreReportedAfterEverythingInsideThemWithTheRunningCounts) {
    for (const auto* file : {u"top.txt", u"a\\a.txt", u"a\\b\\b.dll", u"a\\b\\c\\c.txt"})
        sim::add_file(std::u16string(u"C:\\Apps\\Deep\\") + file);
    add_program(u"Deep", u"C:\\Apps\\Deep\\");
    analyse(u"Deep");

    // A file counts the files so far, a folder files and folders together, so
    // the count falls back after a folder.
    EXPECT_THAT(of_kind(K::file_folder_count),
                ElementsAre(AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\", 1},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\a\\a.txt", 1},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\a\\b\\b.dll", 2},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\a\\b\\c\\c.txt", 3},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\a\\b\\c", 5},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\a\\b", 6},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\a", 7},
                            AnalysisReport{K::file_folder_count, u"C:\\Apps\\Deep\\top.txt", 4}));

    // The location stays as stored, with its backslash; the lists are sorted ordinally.
    const auto& record = *list->find(u"deep");
    EXPECT_THAT(record.mpu_SDLarry_Folders, ElementsAre(u"C:\\Apps\\Deep\\", u"C:\\Apps\\Deep\\a",
                                                        u"C:\\Apps\\Deep\\a\\b", u"C:\\Apps\\Deep\\a\\b\\c"));
    EXPECT_THAT(record.mpu_SDLarry_Files,
                ElementsAre(u"C:\\Apps\\Deep\\a\\a.txt", u"C:\\Apps\\Deep\\a\\b\\b.dll",
                            u"C:\\Apps\\Deep\\a\\b\\c\\c.txt", u"C:\\Apps\\Deep\\top.txt"));
    EXPECT_THAT(record.mpu_SDLarry_AXCFiles, ElementsAre(u"b.dll"));
    EXPECT_THAT(paths_of(K::file_folder_list),
                ElementsAre(u"C:\\Apps\\Deep\\", u"C:\\Apps\\Deep\\a", u"C:\\Apps\\Deep\\a\\b", u"C:\\Apps\\Deep\\a\\b\\c",
                            u"C:\\Apps\\Deep\\a\\a.txt", u"C:\\Apps\\Deep\\a\\b\\b.dll",
                            u"C:\\Apps\\Deep\\a\\b\\c\\c.txt", u"C:\\Apps\\Deep\\top.txt"));
}

TEST_F(LeftoverWalkTest, ReportsComeInTheirPhasesAndTheRegistryListIsSorted) {
    install_tool();
    load("user.reg");
    add_tool();
    analyse(u"Tool");

    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.front().kind, K::start);
    EXPECT_EQ(reports.back().kind, K::end);
    // Each phase ends before the next begins.
    std::vector<K> phases;
    for (const auto& report : reports)
        if (phases.empty() || phases.back() != report.kind) phases.push_back(report.kind);
    EXPECT_THAT(phases, ElementsAre(K::start, K::file_folder_count, K::reg_count, K::file_folder_list, K::reg_list,
                                    K::end));

    // The Uninstall key first, each registry count the list's size after the addition.
    const auto counted = of_kind(K::reg_count);
    ASSERT_GT(counted.size(), 1u);
    EXPECT_EQ(counted.front().path, u"HKLM|" + uninstall_root + u"Tool");
    for (std::size_t at = 0; at < counted.size(); ++at) EXPECT_EQ(counted[at].count, at + 1);

    auto sorted = paths_of(K::reg_count);
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(paths_of(K::reg_list), sorted);
    EXPECT_EQ(list->find(u"tool")->mpu_SDLarry_Registry, sorted);
}

TEST_F(LeftoverWalkTest, BinariesAreMarkedAnywhereInThePath) {
    for (const auto* file : {u"Plugin.AXE", u"viewer.OCX", u"tools.exe.d\\readme.txt", u"notes.txt", u"lib.dll.bak"})
        sim::add_file(std::u16string(u"C:\\Apps\\Bins\\") + file);
    add_program(u"Bins", u"C:\\Apps\\Bins\\");
    analyse(u"Bins");
    EXPECT_THAT(list->find(u"bins")->mpu_SDLarry_AXCFiles,
                ElementsAre(u"lib.dll.bak", u"plugin.axe", u"readme.txt", u"viewer.ocx"));
}

TEST_F(LeftoverWalkTest, AProgramWithoutLocationReportsOnlyItsRegistry) {
    auto& program = add_program(u"Nowhere", u"");
    program.mpu_str_InstallRegPath.clear();
    analyse(u"Nowhere");
    EXPECT_THAT(reports, ElementsAre(AnalysisReport{K::start, u"", 0}, AnalysisReport{K::reg_count, u"", 1},
                                     AnalysisReport{K::reg_list, u"", 0}, AnalysisReport{K::end, u"", 0}));
}

TEST_F(LeftoverWalkTest, AMissingLocationIsStillTheFirstFolder) {
    add_program(u"Gone", u"C:\\Apps\\Gone\\");
    analyse(u"Gone");
    EXPECT_THAT(of_kind(K::file_folder_count), ElementsAre(AnalysisReport{K::file_folder_count, u"C:\\Apps\\Gone\\", 1}));
}

TEST_F(LeftoverWalkTest, AnUnknownProgramGivesOnlyStartAndEnd) {
    analyse(u"Never Listed");
    EXPECT_THAT(reports, ElementsAre(AnalysisReport{K::start, u"", 0}, AnalysisReport{K::end, u"", 0}));
}

TEST_F(LeftoverWalkTest, ListingStopsAtThreeThousandWhileEveryEntryIsCounted) {
    for (int index = 0; index < 3005; ++index) {
        const auto digits = std::to_string(10000 + index);
        sim::add_file(u"C:\\Apps\\Many\\f" + std::u16string(digits.begin(), digits.end()) + u".txt");
    }
    add_program(u"Many", u"C:\\Apps\\Many");
    analyse(u"Many");
    EXPECT_EQ(of_kind(K::file_folder_count).size(), 3006u);
    const auto listed = paths_of(K::file_folder_list);
    ASSERT_EQ(listed.size(), 3000u);
    EXPECT_EQ(listed.front(), u"C:\\Apps\\Many");
    EXPECT_EQ(listed.back(), u"C:\\Apps\\Many\\f12998.txt");
}

TEST_F(LeftoverWalkTest, TheStartPauseGoesThroughThePacing) {
    struct Recording final : Pacing {
        std::vector<std::uint32_t> pauses;
        void pause(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
    };
    auto pacing = std::make_shared<Recording>();
    add_program(u"Paced", u"");
    analyse(u"Paced", pacing);
    EXPECT_THAT(pacing->pauses, ElementsAre(3000u));
}

TEST_F(LeftoverWalkTest, UnicodeNamesAreListedExactly) {
    const std::u16string folder = u"C:\\Apps\\\u0422\u0443\u043B\u0437";
    const std::u16string file = folder + u"\\\u6587\u4EF6 \U0001F600.exe";
    sim::add_file(file);
    add_program(u"Unicode", folder);
    analyse(u"Unicode");
    const auto& record = *list->find(u"unicode");
    EXPECT_THAT(record.mpu_SDLarry_Files, ElementsAre(file));
    EXPECT_THAT(record.mpu_SDLarry_AXCFiles, ElementsAre(u"\u6587\u4EF6 \U0001F600.exe"));
}

// ---- hostile locations

TEST_F(LeftoverWalkTest, AJunctionInsideTheLocationIsListedButNeverEntered) {
    const std::u16string documents = u"C:\\Users\\user\\Documents";
    sim::add_file(documents + u"\\thesis.docx");
    sim::add_file(u"C:\\Apps\\Linked\\app.exe");
    sim::add_junction(u"C:\\Apps\\Linked\\My Documents", documents);
    add_program(u"Linked", u"C:\\Apps\\Linked\\");
    analyse(u"Linked");

    const auto& record = *list->find(u"linked");
    EXPECT_THAT(record.mpu_SDLarry_Folders, ElementsAre(u"C:\\Apps\\Linked\\", u"C:\\Apps\\Linked\\My Documents"));
    EXPECT_THAT(record.mpu_SDLarry_Files, ElementsAre(u"C:\\Apps\\Linked\\app.exe"));
    EXPECT_THAT(paths_of(K::file_folder_count), Not(Contains(u"C:\\Apps\\Linked\\My Documents\\thesis.docx")));
}

TEST_F(LeftoverWalkTest, ALocationThatIsItselfAJunctionIsNotEntered) {
    sim::add_file(u"C:\\Users\\user\\Documents\\thesis.docx");
    sim::add_junction(u"C:\\Apps\\Alias", u"C:\\Users\\user\\Documents");
    add_program(u"Alias", u"C:\\Apps\\Alias\\");
    analyse(u"Alias");
    EXPECT_THAT(paths_of(K::file_folder_count), ElementsAre(u"C:\\Apps\\Alias\\"));
}

TEST_F(LeftoverWalkTest, ASharedLocationClaimsNothing) {
    install_tool();
    load("user.reg");
    sim::add_file(u"C:\\Program Files\\Other\\other.exe");
    sim::set_string(os::hkey_local_machine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", u"Other",
                    u"C:\\Program Files\\Other\\other.exe");
    for (const auto* location : {u"C:\\Program Files\\", u"C:\\", u"C:\\Users"}) {
        reports.clear();
        add_program(u"Shared", location);
        analyse(u"Shared");
        EXPECT_THAT(paths_of(K::file_folder_count), IsEmpty()) << to_utf8(location);
        EXPECT_THAT(paths_of(K::reg_list), ElementsAre(u"HKLM|" + uninstall_root + u"Shared")) << to_utf8(location);
        list->mpu_Clean();
    }
}

}  // namespace
}  // namespace vorlix::test::analysis
