// The folder test as first written: every folder of the program compared with
// the value in turn. Kept only as the reference the indexed test must agree
// with, and as the baseline of the analysis benchmark.
#pragma once

#include "access/Unit_ZRB_func_RegistryEx.h"
#include "access/Unit_ZRB_func_Str.h"
#include "leftovers/folder_automaton.h"
#include "leftovers/program_matcher.h"

namespace vorlix::test {

class LiteralProgramMatcher final : public ProgramMatcher {
public:
    explicit LiteralProgramMatcher(const ZRB_InstalledSoftware& program_record) : ProgramMatcher(program_record) {
        for (const auto& folder : program_record.mpu_SDLarry_Folders) upper_folders.push_back(Str_UpperAscii(folder));
    }

protected:
    bool folders_claim(const std::u16string& text, std::size_t k, char16_t drive) const override {
        const auto upper = Str_UpperAscii(text);
        StringList pieces;
        for (std::size_t at = 0; at < upper_folders.size(); ++at) {
            auto folder = upper_folders[at];
            if (k > 0) {
                SplitPieces(program().mpu_SDLarry_Folders[at], u'\\', pieces);
                if (pieces.size() <= k || Str_UpperAscii(pieces.front()) != std::u16string{drive, u':'}) continue;
                folder = Str_UpperAscii(short_form_tail(pieces, k));
            }
            if (claims_at_boundary(upper, folder)) return true;
        }
        return false;
    }

private:
    StringList upper_folders;
};

}  // namespace vorlix::test
