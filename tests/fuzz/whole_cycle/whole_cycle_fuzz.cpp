// Whole uninstall cycles on machines the input describes: each byte is one
// choice of the world's builder (how many programs, whose folder lies where,
// which classes, startup entries, components and odd locations each has, and
// which program goes). Property: the oracle finds no breach; the world is
// printed before the run stops.
#include <cstdio>

#include "fuzz_support.h"
#include "host/cycle_world.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vorlix::test::Choices choices(data, size);
    const auto plan = vorlix::test::plan_world(choices);
    for (const auto& breach : vorlix::test::run_world(plan)) {
        std::fprintf(stderr, "%s: %s\nworld: %s\n", breach.kind.c_str(), breach.item.c_str(),
                     vorlix::test::describe(plan).c_str());
        vorlix::fuzz::check(false, "nothing that stays is deleted, and the program's own folder goes");
    }
    return 0;
}
