#!/usr/bin/env bash
# Runs every test tier: host unit tests on the in-memory platform model, the
# platform-contract tests on both backends, and the Windows executables under
# Wine (32-bit and 64-bit builds); then the host and contract tests again built
# with AddressSanitizer and UBSan, and every fuzz target for a bounded time
# (a minute each). Installs what it needs first: 32-bit Wine wherever the
# kernel runs i386 programs (the set-up says in one line when it does not).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# Where the kernel refuses i386 programs, VORLIX_WINE32_EMULATION=1 runs them
# through qemu-i386 (very slow).
if [ "${VORLIX_WINE32_EMULATION:-0}" = 1 ]; then
  scripts/enable-i386.sh || echo "test: 32-bit Wine tests will be skipped" >&2
fi
scripts/build.sh win32 win64 host host-asan
rc=0
ctest --test-dir build/host --output-on-failure -j "$(nproc)" "$@" || rc=$?
# The Wine tier's own probe decides; say what it found, once, after the run.
status_file=build/host/tests/wine/wine32.status
if [ -f "$status_file" ]; then
  status=$(cat "$status_file")
  if [ "$status" = ok ]; then echo "test: 32-bit Wine tier ran"; else echo "test: 32-bit Wine tier skipped: $status"; fi
fi
ctest --test-dir build/host-asan --output-on-failure -j "$(nproc)" "$@" || rc=$?
exit $rc
