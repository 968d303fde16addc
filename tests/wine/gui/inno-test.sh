#!/usr/bin/env bash
# Corvane Notes, installed by a real Inno Setup installer, uninstalled in the
# window as a user would: its row's Uninstall button, Yes, step 2, Start
# Uninstall, Inno's own question answered (its default button is No). First
# "No": step 3 says the program is still installed, Delete Leftovers asks
# whether to force the removal, "No" there deletes nothing. Then "Yes": Inno
# runs on from its copy in %TEMP%, Scan Leftovers is enabled only once it has
# ended, the leftovers go, the neighbour of the same vendor keeps everything
# and the backup restores what went from the registry. Screenshots of each
# step go to SCREENSHOT_DIR.
#
#   inno-test.sh VORLIX_EXE PROBE_EXE INNOSETUP_DIR SETUP_CACHE SCREENSHOT_DIR
#
# Run by wine-run.sh run-script (WINEPREFIX is a throw-away prefix).
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../scenarios/lib.sh"
source "$scenario_dir/corvane.sh"
source_exe=$1 PROBE=$2 cache=$4 screens=$5
require_inno "$3"
with_xvfb
require_tools import
mkdir -p "$screens"
install_corvane "$cache"
before=$(vendor_state Corvane "${inno_keys[@]}")
# The program writes its result files and backups next to itself: inside the prefix.
mkdir -p "$drive_c/vorlix" && cp "$source_exe" "$drive_c/vorlix/" || gui_fail "cannot copy vorlix.exe"
vorlix=$drive_c/vorlix/$(basename "$source_exe")

# From the program list to Inno's question, which is left open (its id in $box).
start_uninstall_in_window() {  # SCREEN_PREFIX
  local index
  start_vorlix "$vorlix"
  wait_idle
  search_for "Corvane Notes"
  wait_idle
  index=$(probe rows | grep -nxF "$notes_name" | cut -d: -f1)
  [ -n "$index" ] || gui_fail "no row for $notes_name: $(probe rows | tr '\n' '|')"
  click "row-button:$((index - 1))"
  wait_for_message_box
  answer Yes
  wait_for card step2 120 "the analysis did not reach step 2"
  wait_until 10 eval 'probe leftovers | grep -qiE "^1 C:.Program Files.Corvane.Notes.?$"' ||
    gui_fail "step 2 does not list Notes' folder: $(probe leftovers | tr '\n' '|')"
  probe leftovers | grep -qiE 'Sketch|Corvane.?$' && gui_fail "step 2 lists the neighbour or the vendor's folder"
  screenshot "$screens/$1-step2.png"
  click "button:Start Uninstall"
  wait_for card waiting 10 "Start Uninstall did not show the waiting card"
  box=$(wait_message_box "$inno_box" none 120) || gui_fail "Inno's question did not appear"
  screenshot "$screens/$1-inno-question.png"
}

# Once the uninstaller has ended: the tip closed, Scan Leftovers, step 3.
# Prints how long after Inno's last process was seen Scan Leftovers was
# enabled (each look through the probe takes about a second under Wine).
scan_leftovers() {  # SCREEN_PREFIX
  local deadline=$((SECONDS + 180)) last_seen=''
  until state_is scan enabled; do
    [ $SECONDS -lt $deadline ] || gui_fail "Scan Leftovers was not enabled (state: $(probe state | tr '\n' ' '))"
    prefix_process "$inno_processes" && last_seen=$(date +%s.%N)
  done
  if [ -n "$last_seen" ]; then
    printf 'figure: Scan Leftovers was enabled %.1f s after Inno was last seen\n' "$(bc <<<"$(date +%s.%N) - $last_seen")"
  fi
  prefix_process "$inno_processes" && gui_fail "Scan Leftovers was enabled while Inno still runs"
  [ "$(state_value tip)" = 1 ] && click tip-close
  wait_for tip 0 10 "the tip did not close"
  screenshot "$screens/$1-waiting.png"
  click "button:Scan Leftovers"
  wait_for card step3 60 "Scan Leftovers did not show step 3"
  screenshot "$screens/$1-step3.png"
}

echo "inno: Inno's question answered No"
start_uninstall_in_window cancelled
xdotool windowfocus --sync "$box" key Return
scan_leftovers cancelled
probe texts | grep -q '^The uninstaller has ended, but the program is still installed' ||
  gui_fail "step 3 does not say Notes is still installed: $(probe texts | tr '\n' '|')"
click "button:Delete Leftovers"
wait_for_message_box
probe msgbox | grep -q 'Do you want to force its removal?' ||
  gui_fail "Delete Leftovers did not ask to force the removal: $(probe msgbox | grep text=)"
screenshot "$screens/cancelled-force-question.png"
answer No
wait_until 10 state_is msgbox 0 || gui_fail "the question stayed open"
expect "the window stays on step 3" test "$(state_value card)" = step3
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
expect_equal "after No nothing of Corvane's is deleted" "$(vendor_state Corvane "${inno_keys[@]}")" "$before"

echo "inno: Inno's question answered Yes"
start_uninstall_in_window removed
answer_boxes "$inno_box" y Return
scan_leftovers removed
probe texts | grep -qx 'Clear all the remaining files, floders and registry entries to free up disk space.' ||
  gui_fail "step 3 does not take the uninstall as done: $(probe texts | tr '\n' '|')"
click "button:Registry Entries"
wait_until 10 eval 'probe leftovers | grep -q "Run|Corvane Notes$"' ||
  gui_fail "step 3 does not list Notes' Run value: $(probe leftovers | tr '\n' '|')"
probe leftovers | grep -qi 'Sketch' && gui_fail "step 3 lists the neighbour's entries"
click "button:Delete Leftovers"
wait_for_message_box
probe msgbox | grep -qx 'text=Are you sure you want to delete all leftovers?' ||
  gui_fail "unexpected question: $(probe msgbox | grep text=)"
answer Yes
wait_for_message_box
report=$(probe msgbox | grep -v '^button=' | sed 's/^text=//')
echo "inno: the report: ${report//$'\n'/ }"
screenshot "$screens/removed-report.png"
grep -q '^All leftovers have been completely removed\.' <<<"$report" || gui_fail "the report says: $report"
answer OK
wait_for card step1 30 "the window did not return to the program list"
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null

expect_notes_removed
backup=$(sed -n 's/^The deleted registry entries were saved to //p' <<<"$report")
expect "the report names the registry backup" test -n "$backup"
expect_notes_backup_restores "$backup"
finish
