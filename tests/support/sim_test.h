// Base fixture of the host tests: every test starts on a fresh simulated machine.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/sim.h"

namespace vorlix::test {

class SimTest : public ::testing::Test {
protected:
    void SetUp() override { sim::reset(machine()); }
    virtual sim::MachineConfig machine() const { return {}; }
};

}  // namespace vorlix::test
