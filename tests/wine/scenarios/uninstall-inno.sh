# Two programs of one vendor installed by real Inno Setup installers; one is
# used, then uninstalled through vorlix-cli, answering Inno's own questions
# under Xvfb as a user would: first "No" (a cancelled uninstall: nothing may
# go), then "Yes", after which Inno runs on from a copy in %TEMP% and
# vorlix-cli must wait for it. Its leftovers go, the neighbour keeps
# everything, the backup restores what went from the registry.
#   uninstall-inno.sh CLI INNOSETUP_DIR SETUP_CACHE
source "$(dirname "$0")/lib.sh"
source "$scenario_dir/corvane.sh"
cli=$1
require_inno "$2"
with_xvfb
install_corvane "$3"

expect_cancel_keeps_all "$cli" "$notes_name" "$inno_processes" "$inno_box" Corvane "${inno_keys[@]}"

start_uninstall "$cli" "$notes_name" "$inno_processes"
answer_boxes "$inno_box" y Return
end_uninstall
expect_equal "Inno's first phase exit code" "$(jq -r .uninstaller.exit_code <<<"$output")" 0
expect_removed_report Corvane Notes Sketch
expect_notes_removed
expect_notes_backup_restores
finish
