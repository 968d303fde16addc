# The start shared by the timings that run one program on a 3,000-entry
# prefix of wine-scan-ratio.sh, the wineserver and the program sharing one
# processor as in the scan ratio's headline figure.
#   source wine-bench-lib.sh; on_ratio_prefix PREFIX BUILD_DIR EXE...
# PREFIX is "programs" or "machine"; BUILD_DIR defaults to build/win64. Sets
# build, cpu, WINEPREFIX and the Wine environment; the wineserver stops on exit.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}

on_ratio_prefix() {
  local name=$1 dir=$root/build/scan-ratio/$1 exe
  build=$(cd "${2:-$root/build/win64}" && pwd)
  shift 2
  for exe in "$@"; do
    [ -f "$build/bin/$exe" ] || { echo "missing $build/bin/$exe" >&2; exit 1; }
  done
  [ -f "$dir/prefix.done" ] || VORLIX_SCAN_PREFIXES=$name VORLIX_SCAN_PLACEMENT=one "$here/wine-scan-ratio.sh" "$build" 1
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64 WINEPREFIX=$dir/prefix
  unset DISPLAY WAYLAND_DISPLAY
  cpu=$(taskset -pc $$ | sed 's/.*: *//; s/[,-].*//')
  trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
  "$wineserver" -k >/dev/null 2>&1 || true
  taskset -c "$cpu" "$wineserver" -p >/dev/null 2>&1 </dev/null
}
