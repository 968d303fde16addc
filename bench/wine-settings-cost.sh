#!/usr/bin/env bash
# Times the analysis's search for a program's settings beyond its install
# folder under Wine on the 3,000-entry "machine" prefix of
# bench/wine-scan-ratio.sh (made by that script when missing), against the
# whole analysis of the same program.
#
#   bench/wine-settings-cost.sh [BUILD_DIR] [RUNS] [PROGRAM]
#
# BUILD_DIR is a Windows build folder (default build/win64) holding
# vorlix-settings-cost.exe and vorlix-cli.exe; RUNS the analyses timed in one
# process (default 7); PROGRAM the program analysed (default: the first one
# listed with an install location). The wineserver and the program share one
# processor, as in the scan ratio's headline figure.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
runs=${2:-7}
wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
dir=$root/build/scan-ratio/machine

for exe in vorlix-settings-cost.exe vorlix-cli.exe; do
  [ -f "$build/bin/$exe" ] || { echo "missing $build/bin/$exe" >&2; exit 1; }
done
[ -f "$dir/prefix.done" ] || VORLIX_SCAN_PREFIXES=machine VORLIX_SCAN_PLACEMENT=one "$here/wine-scan-ratio.sh" "$build" 1

export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 WINEPREFIX=$dir/prefix
unset DISPLAY WAYLAND_DISPLAY
cpu=$(taskset -pc $$ | sed 's/.*: *//; s/[,-].*//')
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
"$wineserver" -k >/dev/null 2>&1 || true
taskset -c "$cpu" "$wineserver" -p >/dev/null 2>&1 </dev/null
program=${3:-$("$wine64" "$build/bin/vorlix-cli.exe" list --json </dev/null |
  jq -r '[.programs[] | select(.install_location != "")][0].name')}
echo "program: $program"
taskset -c "$cpu" "$wine64" "$build/bin/vorlix-settings-cost.exe" "$program" "$runs" </dev/null
