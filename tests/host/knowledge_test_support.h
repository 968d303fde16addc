// Shared by the knowledge-base tests: the machine of the knowledge-base fixtures.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim.h"

namespace vorlix::test {

// Imports every knowledge-base fixture into the simulated machine.
inline void load_knowledge_fixtures() {
    for (const char* file : {"adobe.reg", "autodesk.reg", "creative.reg", "other.reg"}) {
        std::string error;
        ASSERT_TRUE(sim::import_reg_file(std::string(VORLIX_FIXTURES) + "/knowledge/" + file, &error)) << error;
    }
    // Sync is told apart from other folders of that name by its worker.
    sim::add_file(u"C:\\Users\\user\\AppData\\Local\\Programs\\Sync\\sync-worker.exe");
}

}  // namespace vorlix::test
