#!/usr/bin/env bash
# The main job on a built-in demo: builds the Windows executables, prepares a
# Wine prefix with a realistic set of installed programs (real NSIS and MSI
# installers built from tests/fixtures, and registry-only entries) once, and
# runs vorlix-cli in it, then the desktop program vorlix.exe: screenshots at
# 96 and 144 DPI under build/demo/screens/ (taken on an own Xvfb), and, when a
# display is available, the program in a window there; without a display, one
# whole uninstall cycle through the window instead (in a copy of the prefix),
# with screenshots of every card.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh win64
prefix="$PWD/build/demo/prefix"
ready="$prefix/.vorlix-demo-ready"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$ready" ]; then
  # A prefix left half-prepared by an interrupted run is made again.
  rm -rf "$prefix"
  mkdir -p "$prefix"
  echo "== preparing the demo Wine prefix (once; the 32-bit installer may take minutes where 32-bit Wine is emulated)"
  /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
  tests/wine/prepare-demo.sh "$prefix" "$PWD/build/demo/installers"
  touch "$ready"
fi
cli=build/win64/bin/vorlix-cli.exe
run() { echo; echo "\$ vorlix-cli $*"; /usr/lib/wine/wine64 "$cli" "$@"; }
run env
run list
run list --json
run plan '"C:\Program Files\Demo App\uninst.exe" /S'
/usr/lib/wine/wineserver -k || true

echo; echo "== vorlix.exe, the desktop program"
screens=$PWD/build/demo/screens
mkdir -p "$screens"
user_display=${DISPLAY:-}
export PROBE=$PWD/build/win64/bin/vorlix_gui_probe.exe
. tests/wine/gui/lib.sh
start_xvfb
capture_screens "$PWD/build/win64/bin/vorlix.exe" "$screens" 144
capture_screens "$PWD/build/win64/bin/vorlix.exe" "$screens" 96
stop_xvfb
if [ -z "$user_display" ]; then
  echo; echo "== one whole cycle in the window: Quillmark at 96 DPI, QuillmarkBox at 144 DPI"
  cycle_prefix=$PWD/build/demo/cycle-prefix
  rm -rf "$cycle_prefix"
  cp -a "$prefix" "$cycle_prefix"
  WINEPREFIX=$cycle_prefix bash tests/wine/gui/cycle-test.sh "$PWD/build/win64/bin/vorlix.exe" "$PROBE" "$screens" \
    "$PWD/build/demo/installers" || echo "the cycle did not complete (see above)"
  rm -rf "$cycle_prefix"
fi
echo "screenshots:"
ls -1 "$screens"/*.png
if [ -n "$user_display" ]; then
  echo "vorlix.exe is open on $user_display; close its window to end the demo"
  (cd build/win64/bin && DISPLAY=$user_display /usr/lib/wine/wine64 vorlix.exe) || true
  /usr/lib/wine/wineserver -k || true
fi
