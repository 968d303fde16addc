#!/usr/bin/env bash
# Times the deletion's index of what stays under Wine on the 3,000-entry
# "programs" prefix of bench/wine-scan-ratio.sh (made by that script when missing).
#
#   bench/wine-stay-cost.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR is a Windows build folder (default build/win64) holding
# vorlix-stay-cost.exe; RUNS the index builds timed in one process (default
# 7). The program prints each build and their median; the wineserver and the
# program share one processor, as in the scan ratio's headline figure. For
# scale on a shared machine, vorlix-scan-floor (the least registry work of
# the inventory scan on the same prefix) is timed before and after.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
runs=${2:-7}
wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
# The "programs" prefix, whatever seed made it (the seed shapes only the "machine" one).
work=$root/build/scan-ratio/programs

for exe in vorlix-stay-cost.exe vorlix-scan-floor.exe; do
  [ -f "$build/bin/$exe" ] || { echo "missing $build/bin/$exe" >&2; exit 1; }
done
[ -f "$work/prefix.done" ] ||
  VORLIX_SCAN_PREFIXES=programs VORLIX_SCAN_PLACEMENT=one "$here/wine-scan-ratio.sh" "$build" 1

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 WINEPREFIX=$work/prefix
unset DISPLAY WAYLAND_DISPLAY
cpu=$(taskset -pc $$ | sed 's/.*: *//; s/[,-].*//')
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wineserver" -k >/dev/null 2>&1 || true
taskset -c "$cpu" "$wineserver" -p >/dev/null 2>&1 </dev/null
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
