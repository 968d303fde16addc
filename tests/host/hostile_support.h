// Shared by the hostile-data tests: registry data written byte for byte as
// other programs leave it, and snapshots of the whole simulated machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/sim/sim.h"

namespace vorlix::test {

// The UTF-16LE bytes of a text, without a terminating null.
inline std::string utf16_bytes(const std::u16string& text) {
    std::string bytes;
    for (const auto unit : text) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

// Everything the machine holds: every registry root exported, every file and folder.
struct MachineSnapshot {
    std::vector<std::string> registry;
    std::vector<std::u16string> files;

    static MachineSnapshot take() {
        MachineSnapshot snapshot;
        for (const auto root : {os::hkey_local_machine, os::hkey_users})
            snapshot.registry.push_back(sim::export_reg(root, u""));
        snapshot.files = sim::list_tree(u"C:\\");
        return snapshot;
    }
    bool operator==(const MachineSnapshot&) const = default;
};

}  // namespace vorlix::test
