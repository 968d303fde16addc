# The whole cycle for an NSIS-installed program: its own uninstaller (which
# re-launches itself from %TEMP%) runs, then every leftover goes; the
# look-alike neighbour and the other programs keep everything.
#   uninstall-nsis.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
install_programs --no32
expect_quillmark present
uninstall_yes "$cli" Quillmark
expect_equal "nothing was left over" "$(jq -r .not_removed_count <<<"$output")" 0
expect "the registry backup was written" test -s "$drive_c/vorlix/Backups/$(jq -r '.backup | split("\\") | last' <<<"$output")"
expect_quillmark gone
expect_neighbour_intact
expect_ferrowave present
finish
