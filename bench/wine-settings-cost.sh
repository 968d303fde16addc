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

source "$(dirname "$0")/wine-bench-lib.sh"
runs=${2:-7}
on_ratio_prefix machine "${1:-}" vorlix-settings-cost.exe vorlix-cli.exe
program=${3:-$("$wine64" "$build/bin/vorlix-cli.exe" list --json </dev/null |
  jq -r '[.programs[] | select(.install_location != "")][0].name')}
echo "program: $program"
taskset -c "$cpu" "$wine64" "$build/bin/vorlix-settings-cost.exe" "$program" "$runs" </dev/null
