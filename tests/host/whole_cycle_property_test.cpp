// The whole uninstall cycle on random machines, judged by an oracle that
// knows from the building what belongs to whom: nothing of another program,
// of a profile, of Windows or of Vorlix goes, and the program's own folder
// goes where nobody else uses it. Fixed seeds here; the fuzz target
// whole_cycle runs the same worlds for as long as it is given.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string>

#include "cycle_world.h"

namespace vorlix::test {
namespace {

// VORLIX_WORLDS=<count> runs a longer sweep of the same seeds.
std::uint64_t fixed_worlds() {
    const char* count = std::getenv("VORLIX_WORLDS");
    return count ? std::strtoull(count, nullptr, 10) : 120;
}

// The breaches of one world, a line per kind with its first item and the
// world made as small as it goes for that kind.
std::string breaches_text(const WorldPlan& plan, const std::vector<Breach>& breaches) {
    std::map<std::string, std::pair<int, std::string>> kinds;
    for (const auto& breach : breaches)
        if (kinds[breach.kind].first++ == 0) kinds[breach.kind].second = breach.item;
    std::string text;
    for (const auto& [kind, seen] : kinds)
        text += kind + " x" + std::to_string(seen.first) + ", first: " + seen.second +
                "\n  smallest world: " + describe(shrink(plan, kind)) + "\n";
    return text;
}

TEST(WholeCycleProperty, FixedWorldsLoseNothingThatStays) {
    const auto worlds = fixed_worlds();
    for (std::uint64_t seed = 1; seed <= worlds; ++seed) {
        const auto plan = plan_from_seed(seed);
        const auto breaches = run_world(plan);
        EXPECT_TRUE(breaches.empty()) << "seed " << seed << "\n" << breaches_text(plan, breaches);
    }
}

// Counter-examples found on generated worlds, each made small, and the
// issue's classes the generator covers: the world, and the kind it broke
// before the deletion learnt what stays ("" where it held already).
struct NamedWorld {
    const char* name;
    const char* broke;
    WorldPlan plan;
};

void PrintTo(const NamedWorld& world, std::ostream* out) { *out << world.name; }

class NamedWorlds : public ::testing::TestWithParam<NamedWorld> {};

TEST_P(NamedWorlds, LoseNothingThatStays) {
    const auto& world = GetParam();
    std::string breaches;
    for (const auto& breach : run_world(world.plan)) breaches += breach.kind + ": " + breach.item + "\n";
    EXPECT_TRUE(breaches.empty()) << breaches << "(it broke " << world.broke << " before)";
}

INSTANTIATE_TEST_SUITE_P(
    CounterExamples, NamedWorlds,
    ::testing::Values(
        NamedWorld{"LocationIsAnotherUsersProfile", "profile", {{{.location = Location::other_profile}}, 0}},
        NamedWorld{"LocationIsTheDefaultProfile", "profile", {{{.location = Location::default_profile}}, 0}},
        NamedWorld{"LocationIsThePublicProfile", "", {{{.location = Location::public_profile}}, 0}},
        NamedWorld{"LocationHoldsVorlixAndItsBackups", "vorlix", {{{.location = Location::vorlix_folder}}, 0}},
        NamedWorld{"InstallSourceTakenForTheLocation", "shared_file", {{{.location = Location::install_source}}, 0}},
        NamedWorld{"UninstallerInTheVendorsCommonFiles", "shared_file",
                   {{{.location = Location::none, .uninstaller = Uninstaller::vendor_shared}, {.shared_dlls = true}},
                    0}},
        NamedWorld{"ProgramWithAnUnusableLocationInsideTheFolder", "program_file",
                   {{{}, {.home = Home::inside_other, .host = 0, .location = Location::rooted, .extension = Extension::own}},
                    0}},
        NamedWorld{"VendorFolderAroundAProgramWithAnUnusableLocation", "program_file",
                   {{{.home = Home::vendor_folder}, {.location = Location::vorlix_folder}}, 0}},
        NamedWorld{"StartupApprovalOfAProgramWithAnUnusableLocationInside", "startup_approval",
                   {{{.home = Home::vendor_folder}, {.location = Location::relative, .run = RunAt::machine, .approved = true}},
                    0}},
        NamedWorld{"PlugInComponentInTheHostsFolder", "installer", {{{}, {.vendor = 1, .msi = true, .plugin_of = 0}}, 0}},
        NamedWorld{"BareNamedServerOfWindows", "windows", {{{.com = ComClass::bare_name}}, 0}},
        NamedWorld{"BareNamedServerOfAnotherProgram", "com_class",
                   {{{.com = ComClass::bare_name}, {.vendor = 1, .com = ComClass::bare_name}}, 0}},
        NamedWorld{"WindowsClassWhoseCommandWasTakenOver", "windows", {{{.takeover = Takeover::txtfile_open}}, 0}},
        NamedWorld{"UrlProtocolWhoseCommandWasTakenOver", "windows", {{{.takeover = Takeover::http_open}}, 0}},
        NamedWorld{"VerbOfAnotherProgramInATakenOverClass", "program_key",
                   {{{.takeover = Takeover::txtfile_open}, {.vendor = 1, .takeover = Takeover::extra_verb}}, 0}},
        NamedWorld{"OwnAppPathKeepsTheProgramsFolder", "own_folder_kept", {{{.app_path = true}}, 0}},
        NamedWorld{"StartupApprovalOfAnotherProgramByName", "",
                   {{{.run = RunAt::user, .run_name = RunName::vendor, .approved = true},
                     {.run = RunAt::machine, .run_name = RunName::vendor, .approved = true}},
                    0}},
        NamedWorld{"SharedComponentsKeyOfTheVendor", "", {{{.vendor_components = true}, {.vendor_components = true}}, 0}},
        NamedWorld{"SharedDllsOfTheVendor", "", {{{.shared_dlls = true}, {.shared_dlls = true}}, 0}},
        NamedWorld{"RunValueOfAProgramWithoutAPlaceInsideTheFolder", "program_key",
                   {{{}, {.home = Home::inside_other, .host = 0, .location = Location::install_source,
                          .uninstaller = Uninstaller::vendor_shared, .run = RunAt::machine, .approved = true,
                          .takeover = Takeover::extra_verb}},
                    0}},
        NamedWorld{"BareNamedServerBesideAProgramWithoutAPlace", "program_file",
                   {{{.vendor = 2, .home = Home::vendor_folder, .location = Location::public_profile,
                      .uninstaller = Uninstaller::vendor_shared, .com = ComClass::bare_name},
                     {.vendor = 2, .home = Home::vendor_folder}},
                    1}},
        NamedWorld{"TakenOverProtocolOfAProgramInTheSameFolder", "program_key",
                   {{{.vendor = 2, .home = Home::vendor_folder},
                     {.vendor = 2, .home = Home::vendor_folder, .app_path = true, .takeover = Takeover::http_open}},
                    0}},
        NamedWorld{"ProgramKnownOnlyByItsIconBelowTheLocation", "",
                   {{{}, {.vendor = 1, .home = Home::inside_other, .host = 0, .location = Location::none, .icon = true,
                          .msi = true}},
                    0}},
        NamedWorld{"SettingsFolderNamedAfterAVendorFolderThatHoldsAnother", "program_file",
                   {{{.vendor = 2, .home = Home::vendor_folder},
                     {.vendor = 2, .location = Location::rooted, .user_data = true}},
                    0}},
        NamedWorld{"SettingsFolderNamedAfterAVendorWithAnotherProgram", "program_file",
                   {{{.vendor = 2, .home = Home::vendor_folder},
                     {.vendor = 2, .home = Home::common_files, .location = Location::rooted, .user_data = true}},
                    0}}),
    [](const ::testing::TestParamInfo<NamedWorld>& named) { return std::string(named.param.name); });

}  // namespace
}  // namespace vorlix::test
