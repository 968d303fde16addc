#include "app/name_table.h"

#include <algorithm>
#include <utility>

namespace vorlix {

NameTable::NameTable(NameOf name_of_param) : name_of(std::move(name_of_param)), slots(64) {}

std::uint32_t NameTable::hash_of(std::u16string_view name) {
    return static_cast<std::uint32_t>(std::hash<std::u16string_view>{}(name));
}

std::size_t NameTable::probe(std::u16string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const Slot& slot = slots[at];
        if (slot.record == empty || (slot.hash == hash && name_of(slot.record) == name)) return at;
    }
}

bool NameTable::insert(std::size_t record) {
    // At most half full, so probes stay short and always meet an empty slot.
    if (2 * (count + 1) > slots.size()) grow();
    const std::u16string_view name = name_of(record);
    const std::uint32_t hash = hash_of(name);
    Slot& slot = slots[probe(name, hash)];
    if (slot.record != empty) return false;
    slot = {static_cast<std::uint32_t>(record), hash};
    ++count;
    return true;
}

std::optional<std::size_t> NameTable::find(std::u16string_view name) const {
    const Slot& slot = slots[probe(name, hash_of(name))];
    if (slot.record == empty) return std::nullopt;
    return slot.record;
}

void NameTable::reserve(std::size_t records) {
    while (2 * records > slots.size()) grow();
}

void NameTable::clear() {
    std::fill(slots.begin(), slots.end(), Slot{});
    count = 0;
}

void NameTable::grow() {
    std::vector<Slot> old(2 * slots.size());
    old.swap(slots);
    const std::size_t mask = slots.size() - 1;
    for (const Slot& slot : old) {
        if (slot.record == empty) continue;
        std::size_t at = slot.hash & mask;
        while (slots[at].record != empty) at = (at + 1) & mask;
        slots[at] = slot;
    }
}

}  // namespace vorlix
