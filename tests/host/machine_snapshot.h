// Everything the simulated machine holds, as comparable items: the
// hostile-data tests and the whole-cycle property compare the machine before
// and after an uninstall with it.
#pragma once

#include <set>
#include <string_view>
#include <string>
#include <vector>

#include "platform/os.h"
#include "platform/portable/reg_file.h"
#include "platform/portable/utf.h"
#include "platform/sim/sim.h"

namespace vorlix::test {

inline std::u16string hex_of(const std::string& bytes) {
    constexpr char16_t digits[] = u"0123456789abcdef";
    std::u16string hex;
    for (const auto byte : bytes) {
        hex.push_back(digits[static_cast<unsigned char>(byte) >> 4]);
        hex.push_back(digits[static_cast<unsigned char>(byte) & 0xF]);
    }
    return hex;
}

// The item of a value of the key's item, with its type and bytes.
inline std::u16string value_item(const std::u16string& key_item, const std::u16string& name, std::uint32_t type,
                                 const std::string& bytes) {
    return key_item + u" | " + name + u" | type " + from_utf8(std::to_string(type)) + u" | " + hex_of(bytes);
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
                    snapshot.items.insert(value_item(key_item, value.name, value.type, value.data));
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
    const std::set<std::u16string>& all() const { return items; }

private:
    std::set<std::u16string> items;
};

}  // namespace vorlix::test
