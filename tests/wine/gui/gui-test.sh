#!/usr/bin/env bash
# The GUI tier: the real vorlix.exe in a Wine prefix with the demo programs,
# under its own Xvfb, operated only as a user can (xdotool clicks and keys,
# message boxes answered by their buttons); what it shows is read by
# vorlix_gui_probe.exe (window texts and the list's rows, as a screen reader
# sees them) and from screenshots.
#
#   gui-test.sh VORLIX_EXE CLI_EXE PROBE_EXE SCREENSHOT_DIR INSTALLER_DIR
#
# Run by wine-run.sh run-script (WINEPREFIX is a throw-away prefix).
set -uo pipefail
vorlix=$1 cli=$2 PROBE=$3 screens=$4 installers=$5
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
trap 'stop_xvfb; "$wineserver" -k 2>/dev/null' EXIT
require_tools Xvfb xdotool import convert jq makensis wixl
mkdir -p "$screens"

echo "gui: installing the demo programs"
DISPLAY='' "$here/../prepare-demo.sh" "$WINEPREFIX" "$installers" --no32 >/dev/null 2>&1 ||
  gui_fail "the demo programs did not install"
listing=$("$wine64" "$cli" list --json 2>/dev/null) || gui_fail "vorlix-cli list failed"
count() { jq "[.programs[] | select($1)] | length" <<<"$listing"; }
total=$(count true)
adobe_names=$(count '.name | ascii_downcase | contains("adobe")')
adobe_publishers=$(count '.publisher | ascii_upcase | contains("ADOBE")')
echo "gui: vorlix-cli lists $total programs ($adobe_names named adobe, $adobe_publishers published by Adobe)"
[ "$total" -gt 10 ] && [ "$adobe_names" -gt 0 ] && [ "$adobe_publishers" -gt 0 ] || gui_fail "unexpected demo prefix"

expect_rows() {  # COUNT WHAT
  local rows
  rows=$(state_value rows)
  [ "$rows" = "$1" ] || gui_fail "$2: $rows rows, expected $1"
  echo "gui: ok: $2 ($1 rows)"
}

expect_category() {  # KEY enabled|selected
  probe state | grep -qx "category=$1 $2" || gui_fail "category $1 is not $2: $(probe state | grep category | tr '\n' ' ')"
}

# Pixels that must hold in every screenshot: bottom bar, background, an icon.
check_pixels() {  # FILE DPI
  local file=$1 scale_x100=$(($2 * 100 / 96)) left top width
  read -r left top width _ <<<"$(state_value rect)"
  s() { echo $(($1 * scale_x100 / 100)); }
  [ "$width" = "$(s 1000)" ] || gui_fail "$file: window width $width at $2 DPI, expected $(s 1000)"
  local bar background
  bar=$(pixel "$file" $((left + $(s 300))) $((top + $(s 700))))
  [ "$bar" = C9C9C9 ] || gui_fail "$file: bottom bar is $bar, expected C9C9C9"
  background=$(pixel "$file" $((left + $(s 80))) $((top + $(s 600))))
  [ "$background" = F1F1F1 ] || gui_fail "$file: background is $background, expected F1F1F1"
  # The first row's logo (32 by 32 at 24,24 of the row; the list starts at 167,194).
  local icon
  icon=$(colours_in "$file" $((left + $(s 191))) $((top + $(s 218))) "$(s 32)" "$(s 32)")
  [ "${icon:-0}" -gt 2 ] || gui_fail "$file: the first row's icon area is blank ($icon colours)"
  # Above the search box's text, left of the magnifier, the box is white.
  local box
  box=$(pixel "$file" $((left + $(s 938))) $((top + $(s 686))))
  [ "$box" = FFFFFF ] || gui_fail "$file: a $box pixel in the search box left of the magnifier"
  echo "gui: ok: pixels of $file"
}

start_xvfb
echo "gui: display $DISPLAY"

# --- 96 DPI: the checks a user can make ---
set_dpi 96
start_vorlix "$vorlix"
wait_idle
expect_rows "$total" "the list shows every program vorlix-cli lists"
expect_category All selected
expect_category Adobe enabled
# A screen reader reads a row's name, publisher and version.
probe row-texts | grep -qxF 'Quillmark|Quillmark Software|3.2.1' ||
  gui_fail "Quillmark's row reads: $(probe row-texts | grep '^Quillmark|')"
screenshot "$screens/list-96.png"
check_pixels "$screens/list-96.png" 96

search_for adobe
wait_idle
expect_rows "$adobe_names" "a search for adobe narrows the list"
# The loading window gives the focus back to the search box.
wait_until 5 eval '[ "$(state_value focus | cut -d" " -f1)" = Edit ]' ||
  gui_fail "after the search the focus is on $(state_value focus), not the search box"
probe rows | grep -viq adobe && gui_fail "a row without adobe in its name after the search"
expect_category All enabled
screenshot "$screens/search-96.png"
check_pixels "$screens/search-96.png" 96

click button:All
wait_idle
expect_rows "$total" "All restores the list"
expect_category All selected

# One wheel notch scrolls two rows (160 design units), either way.
read -r x y <<<"$(probe point row-button:0)"
xdotool mousemove $((x - 300)) "$y" sleep 0.2 click 5
wait_until 5 state_is top 2 || gui_fail "a wheel notch down shows row $(state_value top) first, expected 2"
xdotool click 4
wait_until 5 state_is top 0 || gui_fail "a wheel notch up shows row $(state_value top) first, expected 0"
echo "gui: ok: the wheel scrolls two rows a notch"

click button:Adobe
wait_idle
expect_rows "$adobe_publishers" "the Adobe category filters by publisher"
expect_category Adobe selected
screenshot "$screens/category-96.png"
check_pixels "$screens/category-96.png" 96

search_for zzqqxx
wait_for_message_box
probe msgbox | grep -qx 'text=Sorry, no software found.' || gui_fail "unexpected message: $(probe msgbox)"
ok=$(probe msgbox | sed -n 's/^button=OK //p')
[ -n "$ok" ] || gui_fail "the message box has no OK button"
# shellcheck disable=SC2086
xdotool mousemove $ok sleep 0.2 click 1
wait_idle
expect_rows "$adobe_publishers" "a search without a match leaves the rows"

# A program installed meanwhile appears after Refresh.
"$wine64" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlixGuiRefresh' /v DisplayName \
  /d 'Refresh Probe Tool' /f /reg:64 >/dev/null 2>&1
"$wine64" reg add 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VorlixGuiRefresh' /v UninstallString \
  /d 'C:\Refresh Probe\uninstall.exe' /f /reg:64 >/dev/null 2>&1
click button:Refresh
wait_until 60 state_is rows $((total + 1)) || gui_fail "Refresh did not bring the new program"
wait_idle
expect_rows $((total + 1)) "Refresh rebuilds the list with the new program"
probe rows | grep -qx 'Refresh Probe Tool' || gui_fail "the new program is not listed after Refresh"
expect_category All selected

# A resize request, then a drag: once the drag has moved the window, the
# request before it has been served too, and refused.
read -r left top width height <<<"$(state_value rect)"
wid=$(xdotool search --name '^Vorlix$' | head -n 1)
[ -n "$wid" ] || gui_fail "no X window for the main window"
xdotool windowsize "$wid" 700 500
read -r x y <<<"$(probe point top-band)"
xdotool mousemove "$x" "$y" mousedown 1 sleep 0.3 mousemove $((x + 40)) $((y + 20)) sleep 0.3 \
  mousemove $((x + 120)) $((y + 60)) sleep 0.3 mouseup 1
moved() { read -r new_left new_top _ <<<"$(state_value rect)"; [ "$new_left $new_top" = "$((left + 120)) $((top + 60))" ]; }
wait_until 10 moved || gui_fail "dragging the top band moved the window from $left,$top to $new_left,$new_top"
echo "gui: ok: dragging the top band moves the window"
read -r _ _ new_width new_height <<<"$(state_value rect)"
[ "$new_width $new_height" = "$width $height" ] || gui_fail "the window took a new size: $new_width x $new_height"
echo "gui: ok: the window refuses a resize"

# The list's image lists are destroyed once, by the program (on close below).
state_is list-images shared || gui_fail "the list destroys its image lists itself, and the program again"

# Type-ahead: with the list focused, a letter goes to the next program whose
# name starts with it, not to the first row.
letter_row=$(probe rows | grep -n '^[Qq]' | head -n 1 | cut -d: -f1)
[ -n "$letter_row" ] && [ "$letter_row" -gt 1 ] || gui_fail "no program starting with Q below the first row"
read -r x y <<<"$(probe point row-button:0)"
xdotool mousemove $((x - 400)) "$y" sleep 0.2 click 1
wait_until 5 state_is focus-row 0 || gui_fail "a click on the first row did not focus it"
xdotool key q
wait_until 5 state_is focus-row $((letter_row - 1)) ||
  gui_fail "typing q focused row $(state_value focus-row), expected $((letter_row - 1))"
echo "gui: ok: typing a letter goes to the first program starting with it"
xdotool key Home
wait_until 5 state_is top 0 || gui_fail "Home did not bring the list back to its first row"

# The keyboard: a click on a row's text gives the list the focus, Down moves
# the focus row, Enter acts as that row's Uninstall button; No changes nothing.
second=$(probe rows | sed -n 2p)
read -r x y <<<"$(probe point row-button:0)"
xdotool mousemove $((x - 400)) "$y" sleep 0.2 click 1 sleep 0.3 key Down sleep 0.3 key Return
wait_for_message_box
probe msgbox | grep -qxF "text=Are you sure you want to uninstall $second ?" ||
  gui_fail "Enter on the second row asked: $(probe msgbox | grep text=)"
no=$(probe msgbox | sed -n 's/^button=&\?No //p')
[ -n "$no" ] || gui_fail "the question has no No button"
# shellcheck disable=SC2086
xdotool mousemove $no sleep 0.2 click 1
wait_idle
expect_rows $((total + 1)) "answering No to the uninstall question keeps every row"

# Tab reaches every control (the list, the search box, each button, the
# selected category too).
focused=""
for _ in $(seq 14); do
  before=$(state_value focus)
  xdotool key Tab
  wait_until 5 eval '[ "$(state_value focus)" != "$before" ]' || gui_fail "Tab did not move the focus from $before"
  focused+="$(state_value focus | cut -d' ' -f1-2);"
done
for control in "SysListView32 Programs" "Edit" "Button Refresh" "Button Search" "Button Adobe" "Button Autodesk" \
  "Button About" "Button Minimize" "Button Close"; do
  grep -q "$control" <<<"$focused" || gui_fail "Tab never reached $control (reached: $focused)"
done
echo "gui: ok: Tab reaches every control"

click button:Close
for _ in $(seq 40); do
  probe state | grep -q '^rect=' || break
  sleep 0.5
done
probe state | grep -q '^rect=' && gui_fail "the close button did not end the program"
echo "gui: ok: the close button ends the program"

# Closing while the scan runs (as Task Manager's End task does: the loading
# window is modal) ends the program at once and cleanly.
start_vorlix "$vorlix"
wait_until 30 state_is loading 1 || gui_fail "no loading window during the scan"
screenshot "$screens/loading-96.png"
probe close
for _ in $(seq 20); do
  kill -0 "$vorlix_pid" 2>/dev/null || break
  sleep 0.5
done
kill -0 "$vorlix_pid" 2>/dev/null && gui_fail "closing during the scan did not end the program"
wait "$vorlix_pid"
code=$?
[ $code -eq 0 ] || gui_fail "closing during the scan ended the program with exit code $code"
echo "gui: ok: closing during the scan ends the program cleanly"

# --- 144 DPI: the same screens, scaled ---
capture_screens "$vorlix" "$screens" 144 check_pixels

# A dark system colour scheme (white window text) without high contrast: the
# window keeps its own colours, texts included, so no text is white on its
# light background. (Wine answers no high-contrast request, so the high-contrast
# colours themselves cannot be shown here.)
set_dpi 96
"$wine64" reg add 'HKCU\Control Panel\Colors' /v Window /d '0 0 0' /f >/dev/null 2>&1
"$wine64" reg add 'HKCU\Control Panel\Colors' /v WindowText /d '255 255 255' /f >/dev/null 2>&1
"$wineserver" -k 2>/dev/null || true
"$wineserver" -w 2>/dev/null || true
start_vorlix "$vorlix"
wait_idle
screenshot "$screens/dark-scheme-96.png"
read -r left top _ <<<"$(state_value rect)"
# The first row's name: 80..740 by 10..30 of the row; the list starts at 167,194.
darkest=$(convert "$screens/dark-scheme-96.png" -crop "660x20+$((left + 247))+$((top + 204))" +repage \
  -colorspace gray -format '%[fx:int(100*minima)]' info: 2>/dev/null)
[ -n "$darkest" ] && [ "$darkest" -lt 40 ] ||
  gui_fail "with a dark scheme the first row's name is not dark on its light row (darkest ${darkest:-?}%)"
echo "gui: ok: a dark colour scheme keeps texts readable"
"$wineserver" -k 2>/dev/null || true
echo "gui: all checks passed"
