# Shared by the GUI tier and the demo: an own X server, the program started
# in a Wine prefix, and a user's view of it (probe, screenshots, pixels).
# Needs WINEPREFIX, VORLIX_WINE64, VORLIX_WINESERVER and PROBE (vorlix_gui_probe.exe).

wine64=${VORLIX_WINE64:-/usr/lib/wine/wine64}
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

gui_fail() {
  echo "gui: FAILED: $*" >&2
  exit 1
}

# Skips the test (exit code 77) when one of the tools is missing.
require_tools() {  # TOOL...
  local tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "gui: SKIPPED: $tool is not installed"; exit 77; }
  done
}

# Starts Xvfb on a free display (large enough for the window at 144 DPI) and exports DISPLAY; it ends with the caller.
start_xvfb() {
  local numbers
  numbers=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1920x1200x24 -nolisten tcp 9>"$numbers" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$numbers" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n 1 "$numbers")"
  rm -f "$numbers"
  [ "$DISPLAY" != ":" ] || gui_fail "Xvfb did not start"
}

stop_xvfb() {
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
  return 0
}

# The probe's output; empty when the window is not there (never fails, for set -e callers).
probe() { "$wine64" "$PROBE" "$@" 2>/dev/null | tr -d '\r' || true; }
state_value() { probe state | sed -n "s/^$1=//p" | head -n 1; }

# Waits until the window is shown, no loading window or message box shows and
# the row count has settled. (Created but not yet shown, the window is empty
# and enabled too: on a loaded machine two polls can fall into that time.)
wait_idle() {
  local previous=-2 rows state
  for _ in $(seq 240); do
    state=$(probe state)
    rows=$(sed -n 's/^rows=//p' <<<"$state")
    if grep -q '^loading=0' <<<"$state" && grep -q '^msgbox=0' <<<"$state" && grep -q '^enabled=1' <<<"$state" &&
      grep -q '^visible=1' <<<"$state" &&
      [ -n "$rows" ] && [ "$rows" = "$previous" ]; then
      return 0
    fi
    previous=$rows
    sleep 0.5
  done
  gui_fail "the window did not settle (last state: $(tr '\n' ' ' <<<"$state"))"
}

# Runs CMD... until it succeeds, for at most SECONDS; false when it never did.
wait_until() {  # SECONDS CMD...
  local seconds=$1
  shift
  for _ in $(seq $((seconds * 5))); do
    "$@" && return 0
    sleep 0.2
  done
  "$@"
}

state_is() { [ "$(state_value "$1")" = "$2" ]; }  # KEY VALUE

wait_for_message_box() {
  for _ in $(seq 60); do
    [ "$(state_value msgbox)" = 1 ] && return 0
    sleep 0.5
  done
  gui_fail "no message box appeared"
}

# Waits until the probe's state shows KEY=VALUE, failing with WHAT after SECONDS.
wait_for() {  # KEY VALUE SECONDS WHAT
  for _ in $(seq $(($3 * 2))); do
    [ "$(state_value "$1")" = "$2" ] && return 0
    sleep 0.5
  done
  gui_fail "$4 (state: $(probe state | tr '\n' ' '))"
}

answer() {  # BUTTON (Yes, No, OK): the open message box's button
  local at
  at=$(probe msgbox | sed -n "s/^button=&\\?$1 //p")
  [ -n "$at" ] || gui_fail "the message box has no $1 button: $(probe msgbox | tr '\n' ' ')"
  # shellcheck disable=SC2086
  xdotool mousemove $at sleep 0.2 click 1
}

# Clicks the centre of what the probe names (see vorlix_gui_probe point),
# once it shows; a loaded machine may take seconds to show it.
click() {
  local target=$1 at
  wait_until 30 eval 'at=$(probe point "$target"); [ -n "$at" ]' || gui_fail "cannot find $target on the screen"
  # shellcheck disable=SC2086
  xdotool mousemove $at sleep 0.2 click 1
}

start_vorlix() {  # EXE
  (cd "$(dirname "$1")" && exec "$wine64" "$1" >/dev/null 2>&1) &
  vorlix_pid=$!
  for _ in $(seq 120); do
    probe state | grep -q '^rect=' && return 0
    sleep 0.5
  done
  gui_fail "the main window did not appear"
}

# Writes the screen of the window into FILE.png; no label shown may be
# clipped (its text, measured in its font, must fit its box).
screenshot() {  # FILE
  local clipped
  import -window root "$1" || gui_fail "import failed for $1"
  echo "gui: screenshot $1"
  clipped=$(probe clipped | grep '^clipped=')
  [ -z "$clipped" ] || gui_fail "$1: clipped labels: $clipped"
}

# The colour of a pixel as RRGGBB.
pixel() {  # FILE X Y
  convert "$1" -format "%[hex:p{$2,$3}]" info: 2>/dev/null | cut -c1-6
}

# Number of distinct colours in a rectangle.
colours_in() {  # FILE X Y W H
  convert "$1" -crop "$4x$5+$2+$3" +repage -format '%k' info: 2>/dev/null
}

set_dpi() {  # DPI
  "$wineserver" -w
  "$wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1 ||
    gui_fail "cannot set LogPixels"
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
}

search_for() {  # TEXT: Ctrl+F, the text, Enter
  xdotool key ctrl+f sleep 0.3 type --delay 40 "$1"
  xdotool key Return
}

# Starts the program at DPI and saves the loading window of its scan, the
# list, a search for adobe and the Adobe category as
# DIR/{loading,list,search,category}-DPI.png; CHECK FILE DPI runs after each
# screenshot of the list when given. The program is ended afterwards.
capture_screens() {  # EXE DIR DPI [CHECK]
  local exe=$1 dir=$2 dpi=$3 check=${4:-}
  set_dpi "$dpi"
  start_vorlix "$exe"
  # The scan's end keeps the loading window up for two seconds.
  wait_until 30 state_is loading 1 || gui_fail "no loading window during the scan at $dpi DPI"
  screenshot "$dir/loading-$dpi.png"
  wait_idle
  screenshot "$dir/list-$dpi.png"
  [ -z "$check" ] || "$check" "$dir/list-$dpi.png" "$dpi"
  search_for adobe
  wait_idle
  screenshot "$dir/search-$dpi.png"
  [ -z "$check" ] || "$check" "$dir/search-$dpi.png" "$dpi"
  click button:Adobe
  wait_idle
  screenshot "$dir/category-$dpi.png"
  [ -z "$check" ] || "$check" "$dir/category-$dpi.png" "$dpi"
  "$wineserver" -k 2>/dev/null || true
  "$wineserver" -w 2>/dev/null || true
  return 0
}
