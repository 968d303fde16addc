#include "access/pattern_cache.h"

#include <pcre2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
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

class PatternCache {
public:
    // The returned code lives as long as the cache: entries are never removed.
    const pcre2_code* get(const std::u16string& pattern, PatternOptions options) {
        auto& codes = codes_[static_cast<std::size_t>(options)];
        {
            std::shared_lock lock(mutex_);
            if (auto found = codes.find(pattern); found != codes.end()) {
                return found->second.get();
            }
        }
        // Compiled outside the lock; when another thread was quicker, its code is kept.
        CodePtr compiled = compile(pattern, options);
        std::unique_lock lock(mutex_);
        return codes.try_emplace(pattern, std::move(compiled)).first->second.get();
    }

private:
    std::shared_mutex mutex_;
    std::array<std::unordered_map<std::u16string, CodePtr>, option_set_count> codes_;
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
// them. No thread-local object with a destructor: MinGW frees thread-local
// storage before such destructors run at thread exit. The pool is never
// destroyed because worker threads may still be matching while the process ends.
class SearchData {
public:
    SearchData() {
        const std::lock_guard lock(pool().mutex);
        if (!pool().free.empty()) {
            data_ = pool().free.back();
            pool().free.pop_back();
        }
        if (data_ == nullptr) data_ = pcre2_match_data_create(1, nullptr);
    }
    ~SearchData() {
        const std::lock_guard lock(pool().mutex);
        pool().free.push_back(data_);
    }
    SearchData(const SearchData&) = delete;
    SearchData& operator=(const SearchData&) = delete;
    pcre2_match_data* get() const { return data_; }

private:
    struct Pool {
        std::mutex mutex;
        std::vector<pcre2_match_data*> free;
    };
    static Pool& pool() {
        static Pool* const instance = new Pool;
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
