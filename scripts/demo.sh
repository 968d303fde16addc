#!/usr/bin/env bash
# The main job on a built-in demo: builds the Windows executables, prepares a
# Wine prefix with a realistic set of installed programs (real NSIS and MSI
# installers built from tests/fixtures, and registry-only entries) once, and
# runs vorlix-cli in it.
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
