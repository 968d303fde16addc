#!/usr/bin/env bash
# Times the deletion's index of what stays under Wine on a 3,000-entry prefix
# of bench/wine-scan-ratio.sh (made by that script when missing).
#
#   bench/wine-stay-cost.sh [BUILD_DIR] [RUNS] [PREFIX]
#
# BUILD_DIR is a Windows build folder (default build/win64) holding
# vorlix-stay-cost.exe; RUNS the index builds timed in one process (default
# 7); PREFIX "programs" (default) or "machine", whose Windows Installer
# products bring their components. The program prints each build and their median; the wineserver and the
# program share one processor, as in the scan ratio's headline figure. For
# scale on a shared machine, vorlix-scan-floor (the least registry work of
# the inventory scan on the same prefix) is timed before and after.
set -euo pipefail

source "$(dirname "$0")/wine-bench-lib.sh"
runs=${2:-7}
on_ratio_prefix "${3:-programs}" "${1:-}" vorlix-stay-cost.exe vorlix-scan-floor.exe
floor() {
  local start end
  start=$(date +%s%N)
  taskset -c "$cpu" "$wine64" "$build/bin/vorlix-scan-floor.exe" >/dev/null 2>&1 </dev/null
  end=$(date +%s%N)
  echo "scan floor, whole process: $(((end - start) / 1000000)) ms"
}
floor
taskset -c "$cpu" "$wine64" "$build/bin/vorlix-stay-cost.exe" "$runs" </dev/null
floor
