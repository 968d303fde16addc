// What the platform-contract tests need from their backend: a clean scratch
// key and folder. The tests themselves use only the platform seam, so that
// the same expectations hold for the in-memory model and for Windows.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace vorlix::contract {

// Below HKEY_CURRENT_USER.
inline const std::u16string scratch_key = u"Software\\VorlixContract";

// The scratch folder, with a trailing backslash.
std::u16string scratch_folder();

// Removes what earlier tests left behind and makes the empty scratch folder.
void prepare();

// ASCII letters only: enough for paths the tests build themselves.
bool same_ignoring_case(std::u16string_view a, std::u16string_view b);

class ContractTest : public ::testing::Test {
protected:
    void SetUp() override { prepare(); }
};

}  // namespace vorlix::contract
