// What an uninstaller's run says about the program.
#include <gtest/gtest.h>

#include "app/uninstall_verdict.h"

namespace vorlix {
namespace {

TEST(UninstallVerdict, OnlyFailureCodesAndMissingEndsBlockTheDeletion) {
    // Success, reboot required, reboot started, product already gone, an installer's own 1: no proof of failure.
    for (const std::uint32_t code : {0u, 3010u, 1641u, 1605u, 1u})
        EXPECT_FALSE(is_failure_exit_code(code)) << code;
    // Cancelled, fatal error, another installation running, access violation, a failed HRESULT.
    for (const std::uint32_t code : {1602u, 1603u, 1618u, 0xC0000005u, 0x80070005u})
        EXPECT_TRUE(is_failure_exit_code(code)) << code;

    UninstallerRun run;
    EXPECT_EQ(judge_uninstall(run), UninstallVerdict::not_started);
    run.started = true;
    EXPECT_EQ(judge_uninstall(run), UninstallVerdict::removed);  // handed over: no code to read
    run.entry_remains = true;
    EXPECT_EQ(judge_uninstall(run), UninstallVerdict::still_installed);
    run.exit_code = 1602;
    EXPECT_EQ(judge_uninstall(run), UninstallVerdict::failed);
    EXPECT_EQ(verdict_message(UninstallVerdict::failed, run),
              u"The uninstaller failed or was cancelled (exit code 1602).");
    run.exit_code = 0xC0000005u;
    EXPECT_EQ(verdict_message(UninstallVerdict::failed, run),
              u"The uninstaller failed or was cancelled (exit code 0xC0000005).");
    // A run that is still going is never judged by a code or an entry.
    run.still_running = true;
    EXPECT_EQ(judge_uninstall(run), UninstallVerdict::still_running);
}

}  // namespace
}  // namespace vorlix
