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
# The report names the backup file itself: the Backups folder alone would pass a size test.
backup_name=$(jq -r '.backup | split("\\") | last' <<<"$output")
expect_equal "the backup lies in the Backups folder beside vorlix-cli" "$(jq -r '.backup' <<<"$output")" \
  "C:\\vorlix\\Backups\\$backup_name"
expect "the backup file is named after the program and the time" \
  grep -qxE 'Quillmark [0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}-[0-9]{2}-[0-9]{2}\.reg' <<<"$backup_name"
backup_file=$drive_c/vorlix/Backups/$backup_name
expect "the named backup file was written" test -f "$backup_file"
backup_text=$(iconv -f UTF-16 -t UTF-8 "$backup_file" 2>/dev/null | tr -d '\r')
# Every registry leftover the report lists as deleted: its key line, and for a value its name.
declare -A long_roots=([HKLM]=HKEY_LOCAL_MACHINE [HKCU]=HKEY_CURRENT_USER [HKU]=HKEY_USERS [HKCR]=HKEY_CLASSES_ROOT)
while IFS= read -r entry; do
  root=${entry%%|*} rest=${entry#*|}
  key=${rest%%|*}
  expect "the backup holds the key of $entry" grep -qixF "[${long_roots[$root]:-?}\\$key]" <<<"$backup_text"
  [ "$rest" = "$key" ] || expect "the backup holds the value of $entry" grep -qiF "\"${rest#*|}\"=" <<<"$backup_text"
done < <(jq -r '.leftovers.registry[]' <<<"$output")
expect "the report lists registry leftovers" test "$(jq '.leftovers.registry | length' <<<"$output")" -gt 0
expect_quillmark gone
expect_neighbour_intact
expect_ferrowave present
finish
