#!/usr/bin/env bash
# Runs every test tier: host unit tests on the in-memory platform model, the
# platform-contract tests on both backends, and the Windows executables under
# Wine (32-bit and 64-bit builds); then the host and contract tests again built
# with AddressSanitizer and UBSan, and every fuzz target for a bounded time
# (a minute each). Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/enable-i386.sh || echo "test: 32-bit Wine tests will be skipped" >&2
scripts/build.sh win32 win64 host host-asan
ctest --test-dir build/host --output-on-failure -j "$(nproc)" "$@"
ctest --test-dir build/host-asan --output-on-failure -j "$(nproc)" "$@"
