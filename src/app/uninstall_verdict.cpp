#include "app/uninstall_verdict.h"

#include <array>
#include <cstdio>

#include "app/decimal_text.h"
#include "app/registry_entry.h"

namespace vorlix {

namespace {

// Windows Installer: cancelled by the user, fatal error, another installation
// running, package unreadable, forbidden by policy, bad command line.
constexpr std::array<std::uint32_t, 7> installer_failures = {1602, 1603, 1618, 1619, 1620, 1625, 1639};

// A negative status: an exception (0xC0000005), a failed HRESULT.
constexpr std::uint32_t severity_bit = 0x80000000u;

std::u16string code_text(std::uint32_t code) {
    if (code < severity_bit) return decimal_text(code);
    char hex[11];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(code));
    return std::u16string(hex, hex + 10);
}

}  // namespace

bool is_failure_exit_code(std::uint32_t code) {
    if (code & severity_bit) return true;
    for (const auto failure : installer_failures)
        if (code == failure) return true;
    return false;
}

UninstallVerdict judge_uninstall(const UninstallerRun& run) {
    if (!run.started) return UninstallVerdict::not_started;
    if (run.still_running) return UninstallVerdict::still_running;
    if (run.exit_code && is_failure_exit_code(*run.exit_code)) return UninstallVerdict::failed;
    if (run.entry_remains) return UninstallVerdict::still_installed;
    return UninstallVerdict::removed;
}

bool needs_restart(const UninstallerRun& run) {
    return run.exit_code && (*run.exit_code == 3010 || *run.exit_code == 1641);
}

bool uninstall_entry_exists(const ZRB_InstalledSoftware& record) {
    const auto entry = parse_registry_entry(record.mpu_str_InstallRegPath);
    return entry && !entry->is_value && registry_entry_exists(*entry, record.mpu_int_Is64Bit == 1);
}

UninstallerRun observe_uninstaller(StartedUninstaller& started, bool still_running,
                                   const ZRB_InstalledSoftware& record) {
    UninstallerRun run;
    run.started = started.wait_for_outcome();
    run.start_error = started.start_error();
    run.exit_code = started.exit_code();
    run.still_running = still_running;
    run.entry_remains = uninstall_entry_exists(record);
    return run;
}

std::u16string verdict_message(UninstallVerdict verdict, const UninstallerRun& run) {
    switch (verdict) {
    case UninstallVerdict::removed:
        return u"The original uninstall process is complete.";
    case UninstallVerdict::not_started:
        return u"The uninstaller could not be started (error " + decimal_text(run.start_error) + u").";
    case UninstallVerdict::still_running:
        return u"The uninstaller is still running; it was left running.";
    case UninstallVerdict::failed:
        return u"The uninstaller failed or was cancelled (exit code " + code_text(*run.exit_code) + u").";
    case UninstallVerdict::still_installed:
        return u"The uninstaller has ended, but the program is still installed (its Uninstall entry remains" +
               (run.exit_code ? u"; exit code " + code_text(*run.exit_code) : std::u16string()) + u").";
    }
    return {};
}

const char* verdict_name(UninstallVerdict verdict) {
    switch (verdict) {
    case UninstallVerdict::removed: return "removed";
    case UninstallVerdict::not_started: return "not_started";
    case UninstallVerdict::still_running: return "still_running";
    case UninstallVerdict::failed: return "failed";
    case UninstallVerdict::still_installed: return "still_installed";
    }
    return "";
}

}  // namespace vorlix
