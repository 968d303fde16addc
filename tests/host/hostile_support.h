// Shared by the hostile-data tests: registry data written byte for byte as
// other programs leave it, the whole simulated machine compared before and
// after, and one program's whole uninstall cycle on a machine furnished around it.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/leftover_session.h"
#include "app/synchronous_cycle.h"
#include "inventory_test_support.h"
#include "machine_snapshot.h"
#include "platform/os.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"

namespace vorlix::test {

// Fails the test when anything the earlier snapshot held is gone now.
inline void expect_nothing_lost_since(const MachineSnapshot& before) {
    const auto lost = before.lost_in(MachineSnapshot::take());
    EXPECT_TRUE(lost.empty()) << "lost " << lost.size() << " items, first: " << (lost.empty() ? "" : lost.front());
}

// The machine is furnished with what is not the program's and photographed
// before each test installs its program.
class HostileMachineTest : public InventoryTest {
protected:
    const std::u16string result_path = u"C:\\Vorlix\\";
    LeftoverSession session{result_path};
    MachineSnapshot before_install;
    // What happens while the cycle waits for the program's own uninstaller,
    // between the result files' writing and their reading back.
    std::function<void()> uninstaller = [] {};

    // Files and registry data of Windows, of the user and of other programs.
    virtual void furnish() = 0;

    void SetUp() override {
        InventoryTest::SetUp();
        furnish();
        before_install = MachineSnapshot::take();
    }

    // Scan, analysis, result files, the uninstaller, result files read back, the selection deleted.
    DeletionReport uninstall(const std::u16string& name, const LeftoverSelection& selection = {}) {
        scan();
        const auto* program = record(name);
        if (!program) {
            ADD_FAILURE() << "not listed: " << to_utf8(name);
            return {};
        }
        session.select_program(*program);
        run_analysis(list, program->mpu_str_Name_low, &session, {});
        EXPECT_TRUE(session.save_results());
        uninstaller();
        session.load_results();
        return session.delete_leftovers(selection);
    }

    void expect_nothing_outside_lost() const { expect_nothing_lost_since(before_install); }
};

// An install location that leads, one way or another, to what is not the
// program's; tests print it by its name.
struct HostileSpelling {
    const char* name;
    std::u16string location;
};

inline void PrintTo(const HostileSpelling& spelling, std::ostream* out) { *out << spelling.name; }
inline std::string spelling_name(const ::testing::TestParamInfo<HostileSpelling>& case_info) {
    return case_info.param.name;
}

}  // namespace vorlix::test
