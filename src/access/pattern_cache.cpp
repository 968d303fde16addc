#include "access/pattern_cache.h"

#include <pcre2.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <unordered_map>
#include <vector>

#include "platform/portable/utf.h"

namespace vorlix {

namespace {

struct CodeFree {
    void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
    void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
using CodePtr = std::unique_ptr<pcre2_code, CodeFree>;
using MatchDataPtr = std::unique_ptr<pcre2_match_data, MatchDataFree>;

constexpr std::size_t option_set_count = 3;

std::uint32_t compile_options(PatternOptions options) {
    switch (options) {
        case PatternOptions::standard:
            return 0;
        case PatternOptions::ignore_case:
            return PCRE2_CASELESS | PCRE2_DOTALL;
        case PatternOptions::named_groups:
            return PCRE2_CASELESS | PCRE2_NO_AUTO_CAPTURE | PCRE2_DOTALL;
    }
    return 0;
}

std::uint32_t match_options(PatternOptions options) {
    return options == PatternOptions::standard ? PCRE2_NOTEMPTY : 0;
}

// char16_t and PCRE2's 16-bit code unit have the same size and representation.
PCRE2_SPTR units(const std::u16string& text) {
    static_assert(sizeof(char16_t) == sizeof(PCRE2_UCHAR));
    return reinterpret_cast<PCRE2_SPTR>(text.c_str());
}

CodePtr compile(const std::u16string& pattern, PatternOptions options) {
    int error = 0;
    PCRE2_SIZE offset = 0;
    CodePtr code(pcre2_compile(units(pattern), pattern.size(), compile_options(options), &error, &offset, nullptr));
    if (!code) {
        std::array<PCRE2_UCHAR, 256> message{};
        pcre2_get_error_message(error, message.data(), message.size());
        std::string text = "pattern \"" + to_utf8(pattern) + "\" does not compile at offset " + std::to_string(offset) +
                           ": ";
        // PCRE2's messages are ASCII.
        for (const PCRE2_UCHAR* unit = message.data(); *unit != 0; ++unit) {
            text.push_back(static_cast<char>(*unit));
        }
        throw std::invalid_argument(text);
    }
    return code;
}

// Readers find compiled patterns in an immutable table published through an
// atomic pointer, so a match takes no lock. A new pattern copies the table
// under the writers' lock; superseded tables are kept because readers may
// still be looking in them (the program uses a few dozen patterns).
class PatternCache {
public:
    PatternCache() {
        tables_.push_back(std::make_unique<Table>());
        current_.store(tables_.back().get(), std::memory_order_release);
    }

    // The returned code lives as long as the cache: entries are never removed.
    const pcre2_code* get(const std::u16string& pattern, PatternOptions options) {
        if (const pcre2_code* code = find(*current_.load(std::memory_order_acquire), pattern, options)) return code;
        // Compiled outside the lock; when another thread was quicker, its code is kept.
        CodePtr compiled = compile(pattern, options);
        const std::lock_guard lock(writer_);
        const Table& latest = *current_.load(std::memory_order_relaxed);
        if (const pcre2_code* code = find(latest, pattern, options)) return code;
        auto next = std::make_unique<Table>(latest);
        const pcre2_code* code = compiled.get();
        (*next)[static_cast<std::size_t>(options)].emplace(pattern, code);
        codes_.push_back(std::move(compiled));
        current_.store(next.get(), std::memory_order_release);
        tables_.push_back(std::move(next));
        return code;
    }

private:
    using Table = std::array<std::unordered_map<std::u16string, const pcre2_code*>, option_set_count>;

    static const pcre2_code* find(const Table& table, const std::u16string& pattern, PatternOptions options) {
        const auto& codes = table[static_cast<std::size_t>(options)];
        const auto found = codes.find(pattern);
        return found == codes.end() ? nullptr : found->second;
    }

    std::mutex writer_;
    std::vector<CodePtr> codes_;
    std::vector<std::unique_ptr<Table>> tables_;
    std::atomic<const Table*> current_{nullptr};
};

PatternCache& cache() {
    // Never destroyed: worker threads are not joined when the program ends and may still be matching.
    static PatternCache* const instance = new PatternCache;
    return *instance;
}

int match(const pcre2_code* code, const std::u16string& subject, PatternOptions options, pcre2_match_data* data) {
    return pcre2_match(code, units(subject), subject.size(), 0, match_options(options), data, nullptr);
}

// One offset pair is enough to learn whether there is a match (PCRE2 then
// returns 0, "ovector too small", which still is a match). The blocks are
// lent from a pool so that PCRE2 reuses the backtracking memory it keeps in
// them. The pool is a row of slots taken and returned by atomic exchange, so
// lending takes no lock; a block returned to a full pool is freed. No
// thread-local object with a destructor: MinGW frees thread-local storage
// before such destructors run at thread exit. The pool is never destroyed
// because worker threads may still be matching while the process ends.
class SearchData {
public:
    SearchData() {
        for (auto& slot : pool()) {
            if (slot.load(std::memory_order_relaxed) == nullptr) continue;
            data_ = slot.exchange(nullptr, std::memory_order_acquire);
            if (data_ != nullptr) return;
        }
        data_ = pcre2_match_data_create(1, nullptr);
    }
    ~SearchData() {
        for (auto& slot : pool()) {
            pcre2_match_data* empty = nullptr;
            if (slot.compare_exchange_strong(empty, data_, std::memory_order_release, std::memory_order_relaxed)) {
                return;
            }
        }
        pcre2_match_data_free(data_);
    }
    SearchData(const SearchData&) = delete;
    SearchData& operator=(const SearchData&) = delete;
    pcre2_match_data* get() const { return data_; }

private:
    using Pool = std::array<std::atomic<pcre2_match_data*>, 16>;
    static Pool& pool() {
        static Pool* const instance = new Pool{};
        return *instance;
    }
    pcre2_match_data* data_ = nullptr;
};

}  // namespace

bool pattern_search(const std::u16string& subject, const std::u16string& pattern, PatternOptions options) {
    const SearchData data;
    return match(cache().get(pattern, options), subject, options, data.get()) >= 0;
}

bool pattern_capture_named(const std::u16string& subject, const std::u16string& pattern, const StringList& names,
                           StringMap& values) {
    const pcre2_code* code = cache().get(pattern, PatternOptions::named_groups);
    const MatchDataPtr data(pcre2_match_data_create_from_pattern(code, nullptr));
    if (match(code, subject, PatternOptions::named_groups, data.get()) < 0) {
        return false;
    }
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data.get());
    const std::uint32_t pairs = pcre2_get_ovector_count(data.get());
    for (const std::u16string& name : names) {
        const int number = pcre2_substring_number_from_name(code, units(name));
        std::u16string captured;
        if (number >= 0 && static_cast<std::uint32_t>(number) < pairs) {
            const PCRE2_SIZE start = offsets[2 * number];
            const PCRE2_SIZE end = offsets[2 * number + 1];
            if (start != PCRE2_UNSET && end >= start) {
                captured.assign(subject, start, end - start);
            }
        }
        values.insert_or_assign(name, std::move(captured));
    }
    return true;
}

}  // namespace vorlix
