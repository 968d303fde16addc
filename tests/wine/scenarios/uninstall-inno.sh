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
for tool in Xvfb xdotool bc; do command -v $tool >/dev/null || skip "$tool is not installed"; done
source "$scenario_dir/../gui/lib.sh"
start_xvfb
trap stop_xvfb EXIT
install_corvane "$3"

# Inno's default button is No: Return cancels.
start_uninstall "$cli" "$notes_name" "$inno_processes"
answer_boxes "Corvane Notes Uninstall" Return
end_uninstall
expect_cancelled "$before" "$(corvane_state)"

start_uninstall "$cli" "$notes_name" "$inno_processes"
answer_boxes "Corvane Notes Uninstall" y Return
end_uninstall
expect_equal "Inno's first phase exit code" "$(jq -r .uninstaller.exit_code <<<"$output")" 0
expect_removed_report Corvane Notes Sketch
expect_notes_removed
expect_notes_backup_restores
finish
