# The hostile programs of tests/fixtures/hostile (programs whose registry data
# names what belongs to Windows, to the user or to other programs) on Wine's
# real registry and files: the neighbours of neighbours.reg and the files
# outcomes.txt names are put in place, the programs of programs.reg come, and
# each is uninstalled with `uninstall --yes` as the table orders. Every exit
# code is compared; the prefix's files and registry are compared before the
# programs came and after all of them went: nothing that was there before may
# be gone, and the table's rows must hold. The host tests read the same files.
# The prefix's links to the Linux home folders and the Z: drive are cut first,
# so that a fault cannot reach this machine; nothing is uninstalled unless that held.
#   hostile-claims.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
wineserver=${VORLIX_WINESERVER:-/usr/lib/wine/wineserver}
bin=$(dirname "$cli")
fixtures=$scenario_dir/../../fixtures/hostile
for tool in fake_uninstaller reg_link; do
  [ -f "$bin/$tool.exe" ] || { echo "SKIPPED: $bin/$tool.exe is not built"; exit 77; }
done

# ---- no way out of the prefix
for drive in "$WINEPREFIX"/dosdevices/?:; do
  [ "$(basename "$drive")" = c: ] || rm -f "$drive"
done
while IFS= read -r link; do
  rm -f "$link" && mkdir -p "$link"
done < <(find "$drive_c/users" -type l)
# Checked again before the first uninstall: Wine may have restored a link meanwhile.
require_sealed() {
  require "no drive but C: is left" test "$(ls "$WINEPREFIX/dosdevices" | grep -c ':$')" -eq 1
  require "no link is left below the users' folders" test -z "$(find "$drive_c/users" -type l)"
}
require_sealed

profile=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public ! -name Default | head -n 1)
user=$(basename "$profile")
win_profile="C:\\users\\$user"

# The scenario's own files stay inside the prefix: Wine sees nothing outside it now.
setup=$drive_c/vorlix-setup
mkdir -p "$setup"
import_reg() {  # NAME: a UTF-8 .reg file of the fixtures, imported as UTF-16 so any name survives
  { printf '\xff\xfe' && sed "s|<profile>|${win_profile//\\/\\\\\\\\}|g" "$fixtures/$1" | iconv -f UTF-8 -t UTF-16LE; } \
    >"$setup/utf16-$1" && (cd "$drive_c" && "$wine64" reg import "C:\\vorlix-setup\\utf16-$1" /reg:64)
}

# One item per file and folder; one per registry key and value (timestamps left out).
snapshot() {  # FILE
  "$wineserver" -w
  {
    (cd "$drive_c" && find . -path ./vorlix -prune -o -path ./vorlix-setup -prune -o -ipath './windows/temp' -prune \
      -o -ipath './users/*/AppData/Local/Temp' -prune -o -print | sed 's/^/file /')
    for hive in system.reg user.reg; do
      awk -v hive="$hive" '
        /^\[/ { key = $0; sub(/\] [0-9]+$/, "]", key); print "key " hive " " key; next }
        /^(#|;;|WINE REGISTRY|$)/ { next }
        { line = $0
          while (line ~ /\\$/ && (getline more) > 0) { sub(/\\$/, "", line); sub(/^ +/, "", more); line = line more }
          print "value " hive " " key " " line }' "$WINEPREFIX/$hive"
    done
  } | LC_ALL=C sort -u >"$1"
}

# ---- the table: PROGRAM|KIND|A[|B]; the programs the Wine tier cannot set up are left out
rows=()
declare -A host_only
while IFS= read -r line; do
  [[ -z $line || $line == '#'* ]] && continue
  line=${line//<profile>/$win_profile}
  IFS='|' read -r name kind a b <<<"$line"
  [ "$kind" = host-only ] && host_only[$name]=$a
  rows+=("$line")
done < <(sed 's/\r$//' "$fixtures/outcomes.txt")
require "the table has rows" test ${#rows[@]} -gt 0
for name in "${!host_only[@]}"; do echo "host-only: $name (${host_only[$name]})"; done

windows_to_unix() { sed -e 's|^C:\\|'"$drive_c"'/|' -e 's|\\|/|g' <<<"$1"; }
put() {  # KIND...: a small file for every file of the rows of these kinds, unless it is there
  local row name kind a b file
  for row in "${rows[@]}"; do
    IFS='|' read -r name kind a b <<<"$row"
    [[ -z ${host_only[$name]+x} && $a == C:* && " $* " == *" $kind "* ]] || continue
    file=$(windows_to_unix "$a")
    [ -e "$file" ] || { mkdir -p "$(dirname "$file")" && echo "${a##*\\}" >"$file"; } || return 1
  done
}
exits_rows() { local row; for row in "${rows[@]}"; do [[ $row == *'|exits|'* ]] && echo "$row"; done; }

# ---- what Windows, the user and the other programs own
expect "the neighbours are registered" import_reg neighbours.reg
expect "the neighbours' files are in place" put stays runs
for row in "${rows[@]}"; do
  IFS='|' read -r name kind a b <<<"$row"
  [ "$kind" = runs ] && cp "$bin/fake_uninstaller.exe" "$(windows_to_unix "$a")"
done
# Vorlix itself in each folder it runs from (Keeper's location holds one).
while IFS='|' read -r name kind codes folder; do
  mkdir -p "$(windows_to_unix "$folder")" && cp "$cli" "$(windows_to_unix "$folder")/vorlix-cli.exe"
done < <(exits_rows)

# Wine's own changes between two runs that touch nothing are no fault.
snapshot "$WINEPREFIX/before.txt"
run_cli "$cli" env >/dev/null
snapshot "$WINEPREFIX/again.txt"
LC_ALL=C comm -23 "$WINEPREFIX/before.txt" "$WINEPREFIX/again.txt" >"$WINEPREFIX/noise.txt"

# ---- the hostile programs
expect "the hostile programs are registered" import_reg programs.reg
expect "the programs' own files are in place" put goes either
# Wine shows a Unix symbolic link to a file as the file itself.
ln -s "../../users/$user/Documents/letter.txt" "$drive_c/Program Files/Symlinked/letter.txt"
linker_class='Software\Classes\Linker.File'
# Run from inside the prefix: with every drive but C: gone, a 32-bit program
# cannot be started from a path outside it.
cp "$bin/reg_link.exe" "$setup/"
expect "Linker's class holds a link to exefile" \
  bash -c 'cd "$1" && "$2" ./reg_link.exe "$3" "$4"' _ "$setup" "$wine64" "$linker_class\\Opened" \
  'Software\Classes\exefile'
expect "the link leads to exefile's keys" reg_key "HKLM\\$linker_class\\Opened\\shell\\open\\command"

# ---- every one uninstalled; relative locations from C:\windows, as the system folder would be
one_of() { [[ /$2/ == */"$1"/* ]]; }  # CODE CODES
# The exit code the report itself calls for.
reported_code() {  # REPORT
  jq -r 'if .not_removed_count > 0 or ((.kept // []) | length > 0) then 3 else 0 end' <<<"$1"
}
require_sealed
declare -A reports
while IFS='|' read -r name kind code folder; do
  [ -z "${host_only[$name]+x}" ] || continue
  output=$(cd "$drive_c/windows" && timeout -k 10 600 "$wine64" "$folder\\vorlix-cli.exe" uninstall "$name" --yes --json </dev/null)
  rc=$?
  reports[$name]=$output
  echo "$name: $(jq -c '{leftovers, not_removed, kept}' <<<"$output")"
  expect_equal "$name: the uninstaller was started" "$(jq -r .uninstaller_started <<<"$output")" true
  expect "$name: vorlix-cli's exit code $rc is one of $code" one_of "$rc" "$code"
  expect_equal "$name: the exit code agrees with the report" "$rc" "$(reported_code "$output")"
done < <(exits_rows)
expect_equal "Bar Tool's own key is listed as not removable" \
  "$(jq -r '.not_removed.registry[0] | startswith("Not removable: HKLM|")' <<<"${reports[Bar Tool]}")" true

# Opener changed the open commands of txtfile and http itself: they are not the prefix's any more.
snapshot "$WINEPREFIX/after.txt"
LC_ALL=C comm -23 "$WINEPREFIX/before.txt" "$WINEPREFIX/after.txt" | LC_ALL=C comm -23 - "$WINEPREFIX/noise.txt" \
  | grep -v -E '^(key|value) system\.reg \[Software\\\\Classes\\\\(txtfile|http)\\\\shell\\\\open\\\\command\]' \
    >"$WINEPREFIX/lost.txt"
echo "items before: $(wc -l <"$WINEPREFIX/before.txt"), Wine's own changes: $(wc -l <"$WINEPREFIX/noise.txt")"
head -n 100 "$WINEPREFIX/lost.txt"
expect_equal "nothing that was there before the programs is gone" "$(wc -l <"$WINEPREFIX/lost.txt")" 0

# ---- the rows. What stays and was listed as a leftover must be named in the report's kept items, with a reason.
# reg query /ve succeeds on a key without a default value too, saying "(value not set)".
reg_default() { "$wine64" reg query "$1" /ve /reg:64 2>/dev/null | grep -v 'value not set' | grep -q 'REG_'; }
exists() {  # PATH, KEY, KEY VALUE or KEY @
  case $1 in
    C:*) test -e "$(windows_to_unix "$1")" ;;
    *) if [ $# -eq 1 ]; then reg_key "$1"; elif [ "$2" = @ ]; then reg_default "$1"; else reg_value "$1" "$2"; fi ;;
  esac
}
# PATH listed as a leftover is kept by an item at or above it that gives a reason. Paths compare in upper case, non-ASCII letters too (as Windows compares names).
kept_if_listed() {  # REPORT PATH
  local LC_ALL=C.UTF-8 items
  items=$(jq -c '{listed: [.leftovers.folders[], .leftovers.files[]], kept: (.kept // [])}' <<<"$1") || return 1
  jq -e --arg path "${2^^}" '
    def covers($item): ($item | rtrimstr("\\")) as $i | $path == $i or ($path | startswith($i + "\\"));
    (.LISTED | any(rtrimstr("\\") == $path)) as $listed
    | (.KEPT | any(covers(.PATH) and (.REASON | length > 0))) as $named
    | ($listed | not) or $named' <<<"${items^^}" >/dev/null
}
for row in "${rows[@]}"; do
  IFS='|' read -r name fate item value <<<"$row"
  [ -z "${host_only[$name]+x}" ] || continue
  what=$item${value:+ ($value)}
  where=("$item" ${value:+"$value"})
  case $fate in
    stays) expect "$name: $what stays" exists "${where[@]}" ;;
    goes) expect "$name: $what is gone" absent exists "${where[@]}" ;;
  esac
  [[ ($fate = stays || $fate = either) && $item = C:* ]] && exists "$item" \
    && expect "$name: the report names $item as kept, or never listed it" kept_if_listed "${reports[$name]}" "$item"
done

# The link went as a link: its backup holds no key below it (that would be exefile's data under its name).
backup=$(windows_to_unix "$(jq -r .backup <<<"${reports[Linker]}")")
expect "Linker's registry backup exists" test -f "$backup"
expect "Linker's backup writes nothing below the link" \
  absent grep -qi 'Linker\.File\\Opened\\' <(iconv -f UTF-16 -t UTF-8 "$backup" 2>/dev/null || cat "$backup")
finish
