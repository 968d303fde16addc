// Records looked up by their exact name without a heap node per record: an
// open-addressing table of record indices that compares the records' own
// names. Filling and emptying it allocates nothing once it has grown, and a
// look-up touches one slot and one name, however many records there are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace vorlix {

class NameTable {
public:
    // The name of a record by index; the table stores indices only.
    using NameOf = std::function<std::u16string_view(std::size_t)>;
    explicit NameTable(NameOf name_of);

    // Adds the record unless one with the same name is held; false then.
    bool insert(std::size_t record);
    std::optional<std::size_t> find(std::u16string_view name) const;
    // Room for this many records without growing.
    void reserve(std::size_t records);
    // Forgets every record; keeps the capacity.
    void clear();

private:
    struct Slot {
        std::uint32_t record = empty;
        std::uint32_t hash = 0;
    };
    static constexpr std::uint32_t empty = 0xFFFFFFFF;

    NameOf name_of;
    std::vector<Slot> slots;
    std::size_t count = 0;

    static std::uint32_t hash_of(std::u16string_view name);
    // The slot holding the name, or the empty slot where it would go.
    std::size_t probe(std::u16string_view name, std::uint32_t hash) const;
    void grow();
};

}  // namespace vorlix
