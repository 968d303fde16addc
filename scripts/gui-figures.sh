#!/usr/bin/env bash
# Figures of the desktop program under Wine (64-bit), printed and written to
# build/gui-figures/figures.txt:
#  - window objects the process owns with the demo programs and with 3,000
#    programs (rows are painted, never windows, so the two must be equal);
#  - seconds from start to the closed loading window with 3,000 programs,
#    minus the scan's fixed pauses (3 x 2 s), against `vorlix-cli list` on the
#    same prefix.
# Needs build/win64 (scripts/build.sh win64); prepares its own prefix once.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD/build/gui-figures
bin=$PWD/build/win64/bin
export WINEPREFIX=$root/prefix PROBE=$bin/vorlix_gui_probe.exe
. tests/wine/gui/lib.sh
trap 'stop_xvfb; "$wineserver" -k 2>/dev/null || true' EXIT
[ -f "$bin/vorlix.exe" ] && [ -f "$PROBE" ] || { echo "build win64 first (scripts/build.sh win64)" >&2; exit 1; }

# The demo programs, once; a copy of that prefix with registry-only programs up to 3,000.
if [ ! -f "$root/.ready" ]; then
  rm -rf "$root" && mkdir -p "$WINEPREFIX"
  DISPLAY='' "$wine64" wineboot --init >/dev/null 2>&1
  "$wineserver" -w
  DISPLAY='' tests/wine/prepare-demo.sh "$WINEPREFIX" "$root/installers" --no32 >/dev/null 2>&1
  "$wineserver" -w
  cp -a "$WINEPREFIX" "$root/prefix-3000"
  small=$(DISPLAY='' "$wine64" "$bin/vorlix-cli.exe" list --json 2>/dev/null | jq '.programs | length')
  reg=$root/bulk.reg
  {
    echo REGEDIT4
    for i in $(seq 1 $((3000 - small))); do
      key="HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\VorlixBulk$i"
      printf '\n[%s]\n"DisplayName"="Bulk Program %04d"\n"Publisher"="Bulk Works %d"\n' "$key" "$i" $((i % 40))
      printf '"DisplayVersion"="1.%d"\n"UninstallString"="C:\\\\Bulk\\\\%d\\\\uninstall.exe"\n' "$i" "$i"
    done
  } >"$reg"
  WINEPREFIX=$root/prefix-3000 "$wine64" reg import "$("$wine64" winepath -w "$reg" 2>/dev/null)" /reg:64 \
    >/dev/null 2>&1
  WINEPREFIX=$root/prefix-3000 "$wineserver" -w
  touch "$root/.ready"
fi
start_xvfb

program_count() { "$wine64" "$bin/vorlix-cli.exe" list --json 2>/dev/null | jq '.programs | length'; }

windows_with_list() {
  start_vorlix "$bin/vorlix.exe"
  wait_idle
  probe windows | sed -n 's/^windows=//p'
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
}

small=$(program_count)
windows_small=$(windows_with_list)
export WINEPREFIX=$root/prefix-3000
large=$(program_count)
windows_large=$(windows_with_list)

# Both times with a running wineserver, best of three (the machine is shared).
best() { sort -n | head -n 1; }
cli_seconds=$(for _ in 1 2 3; do
  "$wine64" "$PROBE" wait-loaded -1 >/dev/null 2>&1 &  # keeps the wineserver up; never returns by itself
  keeper=$!
  sleep 1
  start=$(date +%s.%N)
  "$wine64" "$bin/vorlix-cli.exe" list >/dev/null 2>&1
  echo "$(date +%s.%N) - $start" | bc
  kill "$keeper" 2>/dev/null
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
done | best)

# The window's time: from the start until the loading window has closed with
# every row in (the probe waits in-process and is started first).
gui_seconds=$(for _ in 1 2 3; do
  "$wine64" "$PROBE" wait-loaded "$large" >/dev/null 2>&1 &
  waiter=$!
  sleep 1
  start=$(date +%s.%N)
  (cd "$bin" && exec "$wine64" vorlix.exe >/dev/null 2>&1) &
  wait "$waiter"
  echo "$(date +%s.%N) - $start - 6" | bc
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w
done | best)

{
  echo "programs: $small and $large"
  echo "windows owned by vorlix.exe: $windows_small with $small programs, $windows_large with $large programs"
  echo "vorlix-cli list (best of 3): $cli_seconds s"
  echo "vorlix.exe start to closed loading window, minus 6 s of fixed pauses (best of 3): $gui_seconds s"
  echo "ratio: $(echo "scale=2; $gui_seconds / $cli_seconds" | bc)"
} | tee "$root/figures.txt"
