#!/usr/bin/env bash
# The whole cycle in the window, operated only as a user can: Quillmark's
# Uninstall button, Yes, the analysis, step 2's lists, Start Uninstall, the
# tip closed, Scan Leftovers once the real uninstaller has ended, one registry
# row unticked, Delete Leftovers, Yes. Then the prefix must show Quillmark
# gone but for the unticked entry, its look-alike neighbour untouched and the
# registry backup written and restorable. Then the road without analysis, and the same
# cycle at 144 DPI on the neighbour; screenshots of every card, the About
# window and the tip at both scales.
#
#   cycle-test.sh VORLIX_EXE PROBE_EXE SCREENSHOT_DIR INSTALLER_DIR
#
# Run by wine-run.sh run-script (WINEPREFIX is a throw-away prefix).
set -uo pipefail
source_exe=$1 PROBE=$2 screens=$3 installers=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
trap 'stop_xvfb; "$wineserver" -k 2>/dev/null' EXIT
require_tools Xvfb xdotool import convert jq makensis wixl
mkdir -p "$screens"
drive_c=$WINEPREFIX/drive_c
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
classes='HKLM\Software\Classes'
reg_key() { "$wine64" reg query "$1" /reg:64 >/dev/null 2>&1; }
reg_value() { "$wine64" reg query "$1" /v "$2" /reg:64 >/dev/null 2>&1; }

echo "cycle: installing the demo programs"
DISPLAY='' "$here/../prepare-demo.sh" "$WINEPREFIX" "$installers" --no32 >/dev/null 2>&1 ||
  gui_fail "the demo programs did not install"
[ -d "$drive_c/Program Files/Quillmark" ] || gui_fail "Quillmark is not installed"
# The program writes its result files and backups next to itself: inside the prefix.
mkdir -p "$drive_c/vorlix" && cp "$source_exe" "$drive_c/vorlix/" || gui_fail "cannot copy vorlix.exe"
vorlix=$drive_c/vorlix/$(basename "$source_exe")

expect_leftover() {  # PATTERN WHAT
  local pattern=$1
  wait_until 10 eval 'probe leftovers | grep -qiE "$pattern"' ||
    gui_fail "$2: no row matches $1 in: $(probe leftovers | tr '\n' '|')"
}

# Each program's icon, cut from its row while a search for it shows: it holds
# the colour of the program's own icon (not the generic one a shell may give)
# and no two are alike.
check_own_icons() {  # FILE_PREFIX NAME=RRGGBB...
  local prefix=$1 pair program colour row x y side width i j differing crops=()
  shift
  for pair in "$@"; do
    program=${pair%=*} colour=${pair#*=}
    search_for "$program"
    wait_idle
    screenshot "$prefix-$program.png"
    read -r _ _ width _ <<<"$(state_value rect)"
    row=$(probe rows | grep -nx "$program" | cut -d: -f1)
    [ -n "$row" ] || gui_fail "no $program row for the icon check"
    read -r x y <<<"$(probe point "row-button:$((row - 1))")"
    # The logo (32 units wide) is centred 725 design units left of the button;
    # the window is 1000 units wide.
    side=$((32 * width / 1000))
    x=$((x - 725 * width / 1000 - side / 2))
    y=$((y - side / 2))
    convert "$prefix-$program.png" -crop "${side}x${side}+$x+$y" +repage "$prefix-$program.icon.png" ||
      gui_fail "cannot cut $program's icon"
    convert "$prefix-$program.icon.png" -format %c histogram:info: 2>/dev/null | grep -qi "#$colour" ||
      gui_fail "$program's icon does not show its own colour $colour ($prefix-$program.icon.png)"
    crops+=("$prefix-$program.icon.png")
  done
  for ((i = 0; i < ${#crops[@]}; i++)); do
    for ((j = i + 1; j < ${#crops[@]}; j++)); do
      differing=$(compare -metric AE "${crops[i]}" "${crops[j]}" null: 2>&1)
      [ "${differing%% *}" -gt 0 ] 2>/dev/null || gui_fail "${crops[i]} and ${crops[j]} show the same icon ($differing)"
    done
  done
  echo "cycle: ok: ${*%%=*} show their own icons"
}

# One whole cycle on the program NAME at DPI, with screenshots of every card
# and window; the first step-3 registry row matching KEEP (when given) is
# unticked.
cycle() {  # NAME DPI [KEEP]
  local name=$1 dpi=$2 keep_pattern=${3:-} index keep report summary state row_height box found_files
  set_dpi "$dpi"
  start_vorlix "$vorlix"
  wait_idle
  click button:About
  wait_for about 1 10 "the About window did not open"
  probe texts | grep -q '^Version: 2023 ' || gui_fail "the About window shows no version: $(probe texts | tr '\n' '|')"
  screenshot "$screens/about-$dpi.png"
  wait_for focus "Button Close" 5 "the About window's close button has not the focus"
  # Its links are reached with Tab.
  xdotool key Tab
  wait_until 5 eval '[ "$(state_value focus | cut -d" " -f1)" = Static ]' ||
    gui_fail "Tab from the close button reached $(state_value focus), not a link"
  screenshot "$screens/about-link-$dpi.png"
  if [ "$dpi" = 96 ]; then
    xdotool key Escape
    wait_for about 0 10 "Esc did not close the About window"
  else
    click button:Close
    wait_for about 0 10 "the About window's close button did not close it"
  fi
  echo "cycle: ok: About opens and closes"

  # An icon file named by a file class's DefaultIcon, an Installer product
  # icon and the icon inside a program file (colours of tests/fixtures/installers
  # and prepare-demo.sh).
  # Quillmark is gone by the second cycle.
  local own_icons=(QuillmarkBox=1F7A4D Ferrowave=7A1F4D)
  [ "$name" != Quillmark ] || own_icons+=(Quillmark=FF6A00)
  check_own_icons "$screens/icons-$dpi" "${own_icons[@]}"
  search_for Quillmark
  wait_idle
  index=$(probe rows | grep -nx "$name" | cut -d: -f1)
  [ -n "$index" ] || gui_fail "no $name row: $(probe rows | tr '\n' '|')"
  click "row-button:$((index - 1))"
  wait_for_message_box
  probe msgbox | grep -qxF "text=Are you sure you want to uninstall $name ?" ||
    gui_fail "unexpected question: $(probe msgbox | grep text=)"
  answer Yes
  # The analysis takes at least three seconds.
  wait_for card analysing 10 "Yes did not show the analysing card"
  screenshot "$screens/analysing-$dpi.png"

  wait_for card step2 120 "the analysis did not reach step 2"
  summary=$(probe texts | sed -n 's/^Analysis completed\. \([0-9]*\) files\/folders and \([0-9]*\) registry entries found\.$/\1 \2/p')
  [ -n "$summary" ] || gui_fail "step 2 has no summary: $(probe texts | tr '\n' '|')"
  # The summary counts the rows the lists show.
  [ "${summary% *}" = "$(probe leftovers | wc -l)" ] ||
    gui_fail "step 2 says ${summary% *} files/folders above $(probe leftovers | wc -l) rows"
  expect_leftover "^1 C:\\\\Program Files\\\\$name\\\\?\$" "step 2's files list holds the program's folder"
  screenshot "$screens/step2-$dpi.png"
  # The list is drawn at the window's scale: rows at least as high as the
  # 9-point text, check boxes 13 units wide.
  read -r row_height box <<<"$(state_value leftover-row)"
  echo "cycle: step 2's rows are ${row_height:-?} px high, their check boxes ${box:-?} px wide at $dpi DPI"
  [ "${row_height:-0}" -ge $((12 * dpi / 96)) ] && [ "${box:-0}" -ge $((13 * dpi / 96)) ] ||
    gui_fail "step 2's list is not drawn at $dpi DPI: rows ${row_height:-?} px, check boxes ${box:-?} px"
  found_files=$(probe leftovers | cut -d' ' -f2-)
  click "button:Registry Entries"
  expect_leftover "^1 .*Uninstall\\\\$name\$" "step 2's registry list holds the Uninstall entry"
  # The current tab reads as selected, the other as a choice (never as unavailable).
  probe state | grep -qx 'tab=Registry Entries selected' && probe state | grep -qx 'tab=Files/Folders enabled' ||
    gui_fail "the tabs read: $(probe state | grep '^tab=' | tr '\n' ' ')"
  [ "$name" != Quillmark ] || ! probe leftovers | grep -qi 'QuillmarkBox' || gui_fail "step 2 lists the look-alike neighbour"
  [ "${summary#* }" = "$(probe leftovers | wc -l)" ] ||
    gui_fail "step 2 says ${summary#* } registry entries above $(probe leftovers | wc -l) rows"
  echo "cycle: ok: step 2 lists the expected entries"

  click "button:Start Uninstall"
  wait_for card waiting 10 "Start Uninstall did not show the waiting card"
  wait_for tip 1 10 "the tip overlay did not show"
  screenshot "$screens/tip-$dpi.png"
  # The supervision's reports are served while the tip is open: the
  # uninstaller's end enables Scan Leftovers before the tip is closed.
  # Both from one reading: two probe runs could straddle a failed read.
  wait_until 120 eval 'state=$(probe state); grep -qx scan=enabled <<<"$state"' ||
    gui_fail "Scan Leftovers was not enabled while the tip was open (state: $(tr '\n' ' ' <<<"$state"))"
  grep -qx tip=1 <<<"$state" || gui_fail "the tip closed by itself (state: $(tr '\n' ' ' <<<"$state"))"
  screenshot "$screens/tip-ended-$dpi.png"
  if [ "$dpi" = 96 ]; then
    # The silent uninstaller shows no window: the tip has the keyboard, on its close button; Esc closes it.
    wait_for focus "Button Close" 5 "the tip's close button has not the focus"
    xdotool key Escape
    wait_for tip 0 10 "Esc did not close the tip"
  else
    click tip-close
    wait_for tip 0 10 "the tip's close button did not close it"
  fi
  echo "cycle: ok: the uninstaller's end was shown with the tip open, and the tip closed"
  # Enabled only once the uninstaller has ended: its own last act is gone.
  reg_key "$uninstall_key\\$name" && gui_fail "Scan Leftovers was enabled while $name's entry still exists"
  screenshot "$screens/waiting-$dpi.png"
  ! probe texts | grep -q '^Please wait' || gui_fail "the waiting card still asks to wait with both steps done"
  echo "cycle: ok: Scan Leftovers enabled after the uninstaller ended"

  click "button:Scan Leftovers"
  wait_for card step3 30 "Scan Leftovers did not show step 3"
  screenshot "$screens/step3-$dpi.png"
  # Step 3 lists what of step 2's files and folders the uninstaller left.
  local path left=""
  while IFS= read -r path; do
    [ -e "$drive_c/$(tr '\\' / <<<"${path#C:\\}")" ] && left+="$path"$'\n'
  done <<<"$found_files"
  left=${left%$'\n'}
  wait_until 10 eval '[ "$(probe leftovers | cut -d" " -f2-)" = "$left" ]' ||
    gui_fail "step 3 lists: $(probe leftovers | tr '\n' '|'), but what is left is: $(tr '\n' '|' <<<"$left")"
  echo "cycle: ok: step 3 lists the $(grep -c . <<<"$left") files and folders left"
  if [ -n "$keep_pattern" ]; then
    click "button:Registry Entries"
    wait_until 10 eval 'probe leftovers | grep -qE "$keep_pattern"' || true
    keep=$(probe leftovers | grep -nE "$keep_pattern" | head -n 1 | cut -d: -f1)
    [ -n "$keep" ] || gui_fail "step 3 lists no row matching $keep_pattern: $(probe leftovers | tr '\n' '|')"
    click "leftover-check:$((keep - 1))"
    wait_until 5 eval 'probe leftovers | sed -n "${keep}p" | grep -q "^0 "' || gui_fail "the click did not untick row $keep"
    echo "cycle: ok: one registry row unticked"
  fi

  click "button:Delete Leftovers"
  wait_for_message_box
  probe msgbox | grep -q '^text=' || gui_fail "Delete Leftovers asked nothing"
  [ -z "$keep_pattern" ] || ! probe msgbox | grep -q 'all leftovers' ||
    gui_fail "with a row unticked the question still says all leftovers: $(probe msgbox | grep text=)"
  answer Yes
  wait_for_message_box
  report=$(probe msgbox | sed -n 's/^text=//p')
  echo "cycle: the report: $report"
  [ -n "$report" ] || gui_fail "no report after the deletion"
  answer OK
  wait_for card step1 30 "the window did not return to the program list"
  "$wineserver" -k 2>/dev/null
  "$wineserver" -w 2>/dev/null
}

start_xvfb
cycle Quillmark 96 '\\\.xyzdoc$'
[ -e "$drive_c/Program Files/Quillmark" ] && gui_fail "Quillmark's folder is still there"
reg_key "$uninstall_key\\Quillmark" && gui_fail "Quillmark's Uninstall entry is still there"
reg_key "$classes\\Quillmark.Document" && gui_fail "Quillmark's file class is still there"
reg_key "$classes\\.xyzdoc" || gui_fail "the unticked extension key was deleted"
[ -f "$drive_c/Program Files/QuillmarkBox/qbox.exe" ] || gui_fail "QuillmarkBox's program was touched"
reg_key "$uninstall_key\\QuillmarkBox" || gui_fail "QuillmarkBox's Uninstall entry was touched"
backup=$(find "$drive_c/vorlix" -iname '*.reg' -size +0 | head -n 1)
[ -n "$backup" ] || gui_fail "no registry backup was written"
grep -qa 'Quillmark' <(iconv -f UTF-16 -t UTF-8 "$backup" 2>/dev/null || cat "$backup") ||
  gui_fail "the backup $backup does not hold Quillmark's keys"
echo "cycle: ok: Quillmark gone but for the unticked key; neighbour intact; backup $(basename "$backup")"
"$wine64" reg import "$("$wine64" winepath -w "$backup" 2>/dev/null)" /reg:64 >/dev/null 2>&1
reg_key "$classes\\Quillmark.Document" || gui_fail "importing the backup did not restore Quillmark's file class"
echo "cycle: ok: the backup restores the deleted keys"

# The road without analysis: a program without install location only has
# its uninstall command started, and its row goes.
"$wine64" reg add "$uninstall_key\\VorlixGuiRoad" /v DisplayName /d 'Road Probe Tool' /f /reg:64 >/dev/null 2>&1
"$wine64" reg add "$uninstall_key\\VorlixGuiRoad" /v UninstallString \
  /d 'C:\windows\system32\cmd.exe /c echo started> C:\road-probe.txt' /f /reg:64 >/dev/null 2>&1
start_vorlix "$vorlix"
wait_idle
search_for 'Road Probe'
wait_idle
[ "$(probe rows)" = 'Road Probe Tool' ] || gui_fail "the search shows: $(probe rows | tr '\n' '|')"
click row-button:0
wait_for_message_box
answer Yes
wait_until 10 state_is rows 0 || gui_fail "the row stays after its uninstaller was started"
[ "$(state_value card)" = step1 ] || gui_fail "the window left the program list"
for _ in $(seq 20); do
  [ -f "$drive_c/road-probe.txt" ] && break
  sleep 0.5
done
[ -f "$drive_c/road-probe.txt" ] || gui_fail "the uninstall command did not run"
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
echo "cycle: ok: without install location only the uninstall command runs and the row goes"

# The same screens at 144 DPI, on the look-alike neighbour.
cycle QuillmarkBox 144
echo "cycle: all checks passed"
