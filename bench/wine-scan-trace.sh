#!/usr/bin/env bash
# Counts the wineserver requests of the inventory scan and of the registry
# floor per Uninstall entry, on a prefix bench/wine-scan-ratio.sh made.
#
#   bench/wine-scan-trace.sh [BUILD_DIR] [KIND]
#
# BUILD_DIR as for wine-scan-ratio.sh (default build/win64), KIND the prefix
# (programs or machine, default machine). One traced wineserver serves every
# run; each program's requests are the request lines it added to the trace (a
# reply has a line of its own, not counted), less those of its start-up run
# (vorlix-cli env, vorlix-scan-floor --startup). Printed: the requests per
# entry that reach files (create_file, the opens of files and folders;
# get_handle_fd, a read's or query's first use of an open file;
# get_directory_cache_entry, the server's folder look-ups), the registry
# (open_key, enum_key, enum_key_value, get_key_value) and close_handle (files
# and keys alike).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
kind=${2:-machine}
entries=3000
wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
export WINEPREFIX=$root/build/scan-ratio/$kind/prefix
unset DISPLAY WAYLAND_DISPLAY
[ -d "$WINEPREFIX" ] || { echo "no $kind prefix: run bench/wine-scan-ratio.sh first" >&2; exit 1; }

trace=$(mktemp)
trap '"$wineserver" -k >/dev/null 2>&1 || true; rm -f "$trace"' EXIT
"$wineserver" -k >/dev/null 2>&1 || true
"$wineserver" -d1 -p -f 2>"$trace" >/dev/null &
"$wine64" "$build/bin/vorlix-cli.exe" env >/dev/null </dev/null  # warm-up

# The server traces a process's end after the process is gone: wait until the
# trace has stopped growing (three looks 0.1 s apart alike), 10 s at most.
settled() {
  local last=-1 size same=0 looks
  for ((looks = 0; looks < 100; looks++)); do
    size=$(stat -c %s "$trace")
    if [ "$size" = "$last" ]; then
      ((++same < 3)) || return 0
    else
      same=0
    fi
    last=$size
    sleep 0.1
  done
  echo "the server's trace kept growing" >&2
  return 1
}

# requests ARGS...: "name count" of each request the run added to the trace.
requests() {
  local before
  before=$(wc -l <"$trace")
  "$wine64" "$@" >/dev/null </dev/null
  settled || exit 1
  tail -n +"$((before + 1))" "$trace" | grep -oE '^[0-9a-f]{4}: [a-z_]+\( ' | sed 's/.*: //; s/( $//' | sort | uniq -c |
    awk '{ print $2, $1 }'
}

# per_entry WORK BASE NAME: (WORK - BASE) of request NAME per entry.
per_entry() {
  awk -v name="$3" -v entries="$entries" 'FNR == NR { base[$1] = $2; next } $1 == name { work = $2 }
    END { printf "%.2f", (work - base[name]) / entries }' "$2" "$1"
}

cli=$build/bin/vorlix-cli.exe floor=$build/bin/vorlix-scan-floor.exe
requests "$cli" env >"$trace.env"
requests "$cli" list --json >"$trace.list"
requests "$floor" --startup >"$trace.start"
requests "$floor" >"$trace.floor"
for name in create_file get_handle_fd get_directory_cache_entry open_key enum_key enum_key_value get_key_value close_handle; do
  echo "$name per entry: list $(per_entry "$trace.list" "$trace.env" "$name"), floor $(per_entry "$trace.floor" "$trace.start" "$name")"
done
rm -f "$trace".*
