// Entry point of the Windows tests. A copy of this executable with the
// sleeper marker in its name is the helper process of the process tests.
#include <gtest/gtest.h>

#include "win/win_test_support.h"

int main(int argc, char** argv) {
    if (vorlix::test::is_sleeper()) return vorlix::test::run_sleeper();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
