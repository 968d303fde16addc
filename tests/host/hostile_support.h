// Shared by the hostile-data tests: registry data written byte for byte as
// other programs leave it, snapshots of the whole simulated machine, and one
// program's whole uninstall cycle on a machine furnished around it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/leftover_session.h"
#include "app/synchronous_cycle.h"
#include "inventory_test_support.h"
#include "platform/os.h"
#include "platform/portable/reg_file.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"

namespace vorlix::test {

// The UTF-16LE bytes of a text, without a terminating null.
inline std::string utf16_bytes(std::u16string_view text) {
    std::string bytes;
    for (const auto unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

inline std::u16string hex_of(const std::string& bytes) {
    constexpr char16_t digits[] = u"0123456789abcdef";
    std::u16string hex;
    for (const auto byte : bytes) {
        hex.push_back(digits[static_cast<unsigned char>(byte) >> 4]);
        hex.push_back(digits[static_cast<unsigned char>(byte) & 0xF]);
    }
    return hex;
}

// Everything the machine holds, one item per key, value (with its type and
// bytes) and file or folder.
class MachineSnapshot {
public:
    static MachineSnapshot take() {
        MachineSnapshot snapshot;
        for (const auto root : {os::hkey_local_machine, os::hkey_users}) {
            const auto document = regfile::parse(sim::export_reg(root, u""));
            if (!document) continue;
            for (const auto& key : document->keys) {
                const auto key_item = u"key " + key.root + u"\\" + key.path;
                snapshot.items.insert(key_item);
                for (const auto& value : key.values)
                    snapshot.items.insert(key_item + u" | " + value.name + u" | type " +
                                          from_utf8(std::to_string(value.type)) + u" | " + hex_of(value.data));
            }
        }
        for (const auto& path : sim::list_tree(u"C:\\")) snapshot.items.insert(u"file " + path);
        return snapshot;
    }

    // What this snapshot holds that the later one no longer does.
    std::vector<std::string> lost_in(const MachineSnapshot& later) const {
        std::vector<std::string> lost;
        for (const auto& item : items)
            if (!later.items.count(item)) lost.push_back(to_utf8(item));
        return lost;
    }

    bool holds(const std::u16string& item) const { return items.count(item) != 0; }

private:
    std::set<std::u16string> items;
};

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
