#!/usr/bin/env bash
# Runs every test tier: host unit tests on the in-memory platform model, the
# platform-contract tests on both backends, and the Windows executables under
# Wine (32-bit and 64-bit builds); then the host and contract tests again built
# with AddressSanitizer and UBSan, and every fuzz target for a bounded time
# (a minute each). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# The 32-bit build needs a kernel that runs i386 programs. Where it does not,
# VORLIX_WINE32_EMULATION=1 runs them through qemu-i386 (very slow).
if [ "${VORLIX_WINE32_EMULATION:-0}" = 1 ]; then
  scripts/enable-i386.sh || echo "test: 32-bit Wine tests will be skipped" >&2
fi
scripts/build.sh win32 win64 host host-asan
ctest --test-dir build/host --output-on-failure -j "$(nproc)" "$@"
ctest --test-dir build/host-asan --output-on-failure -j "$(nproc)" "$@"
