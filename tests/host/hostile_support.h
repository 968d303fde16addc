// Shared by the hostile-data tests: registry data written byte for byte as
// other programs leave it, the whole simulated machine compared before and
// after, and one program's whole uninstall cycle on a machine furnished around it.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "access/Unit_ZRB_func_Str.h"
#include "app/leftover_session.h"
#include "app/synchronous_cycle.h"
#include "inventory_test_support.h"
#include "machine_snapshot.h"
#include "platform/os.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"

namespace vorlix::test {

// The hostile programs of tests/fixtures/hostile and their neighbours, shared
// with the Wine scenario hostile-claims.sh: outcomes.txt says what each
// program's uninstall must leave.
inline const std::string hostile_fixtures = std::string(VORLIX_FIXTURES) + "/hostile/";

inline std::string read_text(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The text with "<profile>" read as the user's profile folder, spelled as `profile` is.
inline std::string with_profile(const std::string& text, const std::u16string& profile) {
    return to_utf8(Str_ReplaceText(from_utf8(text), u"<profile>", profile, true));
}

// One line of outcomes.txt: PROGRAM|KIND|A[|B].
struct HostileRow {
    std::string program, kind;
    std::u16string a, b;
};

// The user's profile folder.
inline std::u16string hostile_profile() { return u"C:\\Users\\" + sim::config().user_name; }

inline std::vector<HostileRow> hostile_rows() {
    std::vector<HostileRow> rows;
    std::istringstream lines(with_profile(read_text(hostile_fixtures + "outcomes.txt"), hostile_profile()));
    for (std::string line; std::getline(lines, line);) {
        if (line.empty() || line.front() == '#') continue;
        std::vector<std::string> fields;
        std::istringstream parts(line);
        for (std::string field; std::getline(parts, field, '|');) fields.push_back(field);
        fields.resize(4);
        rows.push_back({fields[0], fields[1], from_utf8(fields[2]), from_utf8(fields[3])});
    }
    return rows;
}

// A .reg file of the fixtures, where the profile's backslashes are escaped.
inline void import_hostile(const std::string& file) {
    const auto text = with_profile(read_text(hostile_fixtures + file),
                                   Str_ReplaceText(hostile_profile(), u"\\", u"\\\\", true));
    std::string error;
    ASSERT_TRUE(sim::import_reg(text, &error)) << file << ": " << error;
}

// The files of the rows of these kinds, each made once.
inline void put_hostile_files(const std::vector<HostileRow>& rows, std::initializer_list<const char*> kinds) {
    for (const auto& row : rows)
        for (const auto* kind : kinds)
            if (row.kind == kind && row.a.rfind(u"C:", 0) == 0 && !sim::path_exists(row.a)) sim::add_file(row.a);
}

// What Windows, the user and the other programs own beside the hostile programs.
inline void furnish_hostile_neighbours(const std::vector<HostileRow>& rows) {
    import_hostile("neighbours.reg");
    put_hostile_files(rows, {"stays", "runs"});
}

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

}  // namespace vorlix::test
