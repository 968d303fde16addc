// The whole uninstall cycle on random machines, judged by an oracle that
// knows from the building what belongs to whom: nothing of another program,
// of a profile, of Windows or of Vorlix goes, and the program's own folder
// goes where nobody else uses it. Fixed seeds here; the fuzz target
// whole_cycle runs the same worlds for as long as it is given.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <map>
#include <ostream>
#include <string>

#include "cycle_world.h"

namespace vorlix::test {
namespace {

constexpr std::uint64_t fixed_worlds = 120;

// Prints the breaches of one world that are not known yet, with the world made small.
std::string unknown_breaches(const WorldPlan& plan, const std::vector<Breach>& breaches) {
    std::string text;
    for (const auto& breach : breaches)
        if (!still_known(breach))
            text += breach.kind + ": " + breach.item + "\n  smallest world: " + describe(shrink(plan, breach.kind)) + "\n";
    return text;
}

TEST(WholeCycleProperty, FixedWorldsLoseNothingThatStays) {
    std::map<std::string, int> known;
    for (std::uint64_t seed = 1; seed <= fixed_worlds; ++seed) {
        const auto plan = plan_from_seed(seed);
        const auto breaches = run_world(plan);
        for (const auto& breach : breaches)
            if (still_known(breach)) ++known[breach.kind];
        const auto unknown = unknown_breaches(plan, breaches);
        EXPECT_TRUE(unknown.empty()) << "seed " << seed << "\n" << unknown;
    }
    for (const auto& [kind, count] : known)
        std::cout << "[ known    ] " << count << " breaches of kind " << kind << " in " << fixed_worlds << " worlds\n";
}

// Counter-examples, each made as small as it would go: the world, and the
// kind it broke before the deletion learnt what stays.
struct NamedWorld {
    const char* name;
    const char* broke;
    WorldPlan plan;
};

void PrintTo(const NamedWorld& world, std::ostream* out) { *out << world.name; }

class NamedWorlds : public ::testing::TestWithParam<NamedWorld> {};

TEST_P(NamedWorlds, LoseNothingThatStays) {
    const auto breaches = run_world(GetParam().plan);
    std::string known, unknown;
    for (const auto& breach : breaches) (still_known(breach) ? known : unknown) += breach.kind + ": " + breach.item + "\n";
    EXPECT_TRUE(unknown.empty()) << unknown;
    if (!known.empty()) std::cout << "[ known    ] " << GetParam().name << " still breaks:\n" << known;
    else if (still_known({GetParam().broke, {}}))
        std::cout << "[ holds    ] " << GetParam().name << " no longer breaks " << GetParam().broke << "\n";
}

INSTANTIATE_TEST_SUITE_P(
    CounterExamples, NamedWorlds,
    ::testing::Values(
        NamedWorld{"LocationIsAnotherUsersProfile", "profile",
                   {{{.vendor = 0, .location = Location::other_profile}, {.vendor = 1}}, 0}},
        NamedWorld{"LocationIsTheDefaultProfile", "profile",
                   {{{.vendor = 0, .location = Location::default_profile}, {.vendor = 1}}, 0}},
        NamedWorld{"UninstallerInTheVendorsCommonFiles", "shared_file",
                   {{{.vendor = 0, .location = Location::none, .uninstaller = Uninstaller::vendor_shared},
                     {.vendor = 0, .uninstaller = Uninstaller::vendor_shared}},
                    0}},
        NamedWorld{"ProgramKnownByCommandsBelowTheLocation", "program_file",
                   {{{.vendor = 0}, {.vendor = 1, .home = Home::inside_other, .host = 0, .location = Location::none,
                                     .icon = true}},
                    0}},
        NamedWorld{"InstallSourceTakenForTheLocation", "shared_file",
                   {{{.vendor = 0, .location = Location::install_source}, {.vendor = 1}}, 0}},
        NamedWorld{"PlugInComponentInTheHostsFolder", "installer",
                   {{{.vendor = 0, .msi = true}, {.vendor = 1, .msi = true, .plugin_of = 0}}, 0}},
        NamedWorld{"BareNamedServerTheProgramAlsoShips", "com_class",
                   {{{.vendor = 0, .com = ComClass::bare_name}, {.vendor = 1, .com = ComClass::bare_name}}, 0}},
        NamedWorld{"StartupApprovalOfAnotherProgramByName", "startup_approval",
                   {{{.vendor = 0}, {.vendor = 0, .run = RunAt::machine, .run_name = RunName::vendor, .approved = true}},
                    0}},
        NamedWorld{"SharedComponentsKeyOfTheVendor", "shared_values",
                   {{{.vendor = 0, .vendor_components = true}, {.vendor = 0, .vendor_components = true}}, 0}},
        NamedWorld{"WindowsClassWhoseCommandWasTakenOver", "windows",
                   {{{.vendor = 0, .takeover = Takeover::txtfile_open}, {.vendor = 1}}, 0}},
        NamedWorld{"LocationHoldsVorlixAndItsBackups", "vorlix",
                   {{{.vendor = 0, .location = Location::vorlix_folder}, {.vendor = 1}}, 0}}),
    [](const ::testing::TestParamInfo<NamedWorld>& named) { return std::string(named.param.name); });

}  // namespace
}  // namespace vorlix::test
