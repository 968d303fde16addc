#!/usr/bin/env bash
# The main job on a built-in demo: builds the Windows executables, prepares a
# throw-away Wine prefix and runs vorlix-cli in it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh win64
prefix="$PWD/build/demo/prefix"
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$prefix/system.reg" ]; then
  mkdir -p "$prefix"
  echo "== preparing the demo Wine prefix"
  /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
  /usr/lib/wine/wineserver -w
fi
cli=build/win64/bin/vorlix-cli.exe
run() { echo; echo "\$ vorlix-cli $*"; /usr/lib/wine/wine64 "$cli" "$@"; }
run env
run plan '"C:\Program Files\Demo App\uninst.exe" /S'
run plan 'MsiExec.exe /X{6A3C2F10-1B2C-4D5E-8F90-123456789ABC}' --json
/usr/lib/wine/wineserver -k || true
