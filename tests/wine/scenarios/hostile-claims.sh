# Programs whose registry data names what belongs to Windows, to the user or
# to other programs: a relative location, a rooted one, folders Windows and the
# shell keep, a folder holding another program's, a shared extension and an
# Uninstall key whose name holds the entry separator; and those of
# tests/fixtures/hostile: other users' profiles, a vendor folder under Common
# Files, programs nested without a location or without an uninstall command,
# InstallSource, a plug-in's Installer data, bare-named COM servers, startup
# approvals by name, a shared components key, taken-over Windows classes,
# Vorlix's own folder, a registry link, folders named as others' but for the
# case of a non-ASCII letter, a file only App Paths names, a symbolic link
# to a document, a runtime root of another vendor as location and a folder
# holding a program known only by its name. Each is uninstalled with `uninstall --yes`; the
# prefix's files and registry are compared before the programs were added and
# after all of them went: nothing that was there before may be gone, and each
# program's own files and keys must be. The
# prefix's links to the Linux home folders and the Z: drive are cut first, so
# that a fault cannot reach this machine; nothing is uninstalled unless that held.
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

profile=$(find "$drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n 1)
user=$(basename "$profile")
roaming=$profile/AppData/Roaming
programs_menu=$roaming/Microsoft/Windows/Start\ Menu/Programs
win_profile="C:\\\\users\\\\$user"
uninstall_reg='HKEY_LOCAL_MACHINE\Software\Microsoft\Windows\CurrentVersion\Uninstall'

# The scenario's own files stay inside the prefix: Wine sees nothing outside it now.
setup=$drive_c/vorlix-setup
mkdir -p "$setup"
import_reg() {  # NAME: a UTF-8 .reg file in the setup folder, imported as UTF-16 so any name survives
  { printf '\xff\xfe' && iconv -f UTF-8 -t UTF-16LE "$setup/$1"; } >"$setup/utf16-$1" \
    && (cd "$drive_c" && "$wine64" reg import "C:\\vorlix-setup\\utf16-$1" /reg:64)
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

# ---- what Windows, the user and the other programs own
mkdir -p "$drive_c/Program Files/Common Files/System/ado" "$drive_c/Program Files/Acme/Other" \
  "$profile/Pictures" "$profile/Documents" "$programs_menu/Vendor" "$roaming/Microsoft/Credentials"
echo dll >"$drive_c/Program Files/Common Files/System/ado/msado15.dll"
echo exe >"$drive_c/Program Files/Acme/Other/other.exe"
echo dll >"$drive_c/Program Files/Acme/Other/other.dll"
echo jpg >"$profile/Pictures/photo.jpg"
echo txt >"$profile/Documents/letter.txt"
echo lnk >"$programs_menu/Vendor/vendor.lnk"
echo key >"$roaming/Microsoft/Credentials/cred.bin"
cat >"$setup/neighbours.reg" <<REG
Windows Registry Editor Version 5.00

[$uninstall_reg\\Acme Other]
"DisplayName"="Acme Other"
"InstallLocation"="C:\\\\Program Files\\\\Acme\\\\Other\\\\"
"UninstallString"="C:\\\\Program Files\\\\Acme\\\\Other\\\\uninst.exe"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{0A000000-0000-0000-0000-000000000001}\\InprocServer32]
@="C:\\\\Program Files\\\\Acme\\\\Other\\\\other.dll"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\CLSID\\{0A000000-0000-0000-0000-000000000001}\\ProgID]
@="Acme.Other.1"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\Acme.Other.1\\CLSID]
@="{0A000000-0000-0000-0000-000000000001}"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\Acme.Doc\\shell\\open\\command]
@="\\"C:\\\\Program Files\\\\Acme\\\\Other\\\\other.exe\\" \\"%1\\""

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.acmedoc]
@="Acme.Doc"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]
"AcmeOther"="C:\\\\Program Files\\\\Acme\\\\Other\\\\other.exe"
"Letter"="$win_profile\\\\Documents\\\\letter.txt"

[$uninstall_reg\\Tool]
"DisplayName"="Tool Classic"
"UninstallString"="C:\\\\Classic\\\\uninst.exe"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt]
@="txtfile"

[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt\\OpenWithProgids]
"txtfile"=""

[$uninstall_reg\\Cyan Mail]
"DisplayName"="Cyan Mail"
"Publisher"="Cyan"
"InstallLocation"="Cyan\\\\Mail"
"UninstallString"="C:\\\\Cyan Setup\\\\remove.exe"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Products\\7B000000000000000000000000000002\\InstallProperties]
"DisplayName"="Runtime"
"UninstallString"="MsiExec.exe /X{20000000-0000-0000-0000-0000000000B7}"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Installer\\UserData\\S-1-5-18\\Components\\7C000000000000000000000000000020]
"7B000000000000000000000000000002"="C:\\\\Program Files\\\\dotnet\\\\dotnet.exe"
REG
expect "the neighbours are registered" import_reg neighbours.reg

# ---- the neighbours of tests/fixtures/hostile: the files its registry data names
windows_to_unix() { sed -e 's|^C:\\|'"$drive_c"'/|' -e 's|\\|/|g' <<<"$1"; }
put() {  # WINDOWS-PATH...: small files standing in for programs and documents
  local path file
  for path; do
    file=$(windows_to_unix "$path")
    mkdir -p "$(dirname "$file")" && echo "${path##*\\}" >"$file" || return 1
  done
}
default_menu='C:\users\Default\AppData\Roaming\Microsoft\Windows\Start Menu\Programs'
vendor_shared='C:\Program Files\Common Files\Vendor Shared'
expect "the neighbours' files are in place" put 'C:\users\Bob\NTUSER.DAT' 'C:\users\Bob\Documents\mail.pst' \
  'C:\users\Default\NTUSER.DAT' "$default_menu\\default.lnk" "$vendor_shared\\shared.dll" \
  'C:\Program Files\Vendor Beta\beta.exe' 'C:\Program Files\Nest Host\Modules\Sub\sub.exe' \
  'C:\Program Files\Nest Host\Modules\Sub\sub.dll' 'C:\Program Files\Gamma\gamma.exe' \
  'C:\Program Files\Gamma Redist\vcredist.exe' 'C:\Program Files\Gamma Redist\vc_runtime.dll' \
  'C:\Program Files\Plug Host\Plugins\plug.dll' 'C:\Program Files\Other Starter\starter.exe' \
  'C:\Tools\Backups\earlier.reg' 'C:\Program Files\Nest Host\Addon\addon.exe' \
  'C:\Program Files\Übertool\über.exe' 'C:\Program Files\Täst\Sub\sub.exe' \
  'C:\Program Files\Java\jre8\bin\java.exe' 'C:\Program Files\Java\javapath\java.exe' \
  'C:\Program Files\Letter Host\Mail\mail.exe' 'C:\Program Files\dotnet\dotnet.exe' \
  'C:\Program Files\dotnet\shared\Microsoft.NETCore.App\8.0.0\coreclr.dll'
cp "$bin/fake_uninstaller.exe" "$(windows_to_unix "$vendor_shared\\uninst.exe")"
# Keeper's location holds Vorlix itself, which is run from there.
cp "$cli" "$drive_c/Tools/"
cp "$fixtures/neighbours.reg" "$fixtures/programs.reg" "$setup/"
expect "the fixture's neighbours are registered" import_reg neighbours.reg

# Wine's own changes between two runs that touch nothing are no fault.
snapshot "$WINEPREFIX/before.txt"
run_cli "$cli" env >/dev/null
snapshot "$WINEPREFIX/again.txt"
LC_ALL=C comm -23 "$WINEPREFIX/before.txt" "$WINEPREFIX/again.txt" >"$WINEPREFIX/noise.txt"

# ---- the hostile programs; each uninstaller removes its own entry, Texter's also gives .txt back
uninstaller() {  # KEY [EXTRA COMMAND]
  printf '"UninstallString"="C:\\\\windows\\\\system32\\\\cmd.exe /c %sreg delete \\"HKLM\\\\Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\%s\\" /f /reg:64"\n' "${2:-}" "$1"
}
program() {  # KEY NAME LOCATION [EXTRA COMMAND]
  printf '\n[%s\\%s]\n"DisplayName"="%s"\n"Publisher"="Hostile"\n"InstallLocation"="%s"\n' \
    "$uninstall_reg" "$1" "$2" "$3"
  uninstaller "$1" "${4:-}"
}
mkdir -p "$drive_c/Program Files/Texter"
echo exe >"$drive_c/Program Files/Acme/suite.exe"
echo exe >"$drive_c/Program Files/Texter/texter.exe"
echo exe >"$drive_c/Program Files/dotnet/claimer.exe"
mkdir -p "$drive_c/Program Files/Letter Host" && echo exe >"$drive_c/Program Files/Letter Host/letter.exe"
{
  echo 'Windows Registry Editor Version 5.00'
  program HostileSystem32 'Hostile System32' 'system32'
  program HostileUsers 'Hostile Users' '\\Users\\'
  program HostileCommon 'Hostile Common' 'C:\\Program Files\\Common Files\\System\\'
  program HostileRoaming 'Hostile Roaming' '%APPDATA%\\Microsoft\\'
  program HostilePrograms 'Hostile Programs' "$win_profile\\\\AppData\\\\Roaming\\\\Microsoft\\\\Windows\\\\Start Menu\\\\Programs\\\\"
  program AcmeSuite 'Acme Suite' 'C:\\Program Files\\Acme\\'
  program Texter 'Texter' 'C:\\Program Files\\Texter\\' 'reg add HKLM\\Software\\Classes\\.txt /ve /d txtfile /f /reg:64 & '
  program 'Tool|UninstallString' 'Bar Tool' 'C:\\Program Files\\Texter\\Bar\\'
  # A runtime root of another vendor, and a folder a program known only by its name lives in.
  program Claimer 'Claimer' 'C:\\Program Files\\dotnet\\'
  program LetterHost 'Letter Host' 'C:\\Program Files\\Letter Host\\'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\Texter.File\\shell\\open\\command]\n@="\\"C:\\\\Program Files\\\\Texter\\\\texter.exe\\" \\"%%1\\""\n'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt]\n@="Texter.File"\n'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Classes\\.txt\\OpenWithProgids]\n"Texter.File"=""\n'
  printf '\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Run]\n"AcmeSuite"="C:\\\\Program Files\\\\Acme\\\\suite.exe"\n'
} >"$setup/hostile.reg"
expect "the hostile programs are registered" import_reg hostile.reg
expect "the fixture's programs are registered" import_reg programs.reg
expect "the fixture's programs' own files are in place" put 'C:\Program Files\Nest Host\host.exe' \
  'C:\Program Files\Plug Host\plughost.exe' 'C:\Program Files\NetTool\mscoree.dll' \
  'C:\Program Files\NetTool\nettool.dll' 'C:\Program Files\Starter\starter.exe' \
  'C:\Program Files\Sharer\sharer.dll' 'C:\Program Files\Opener\opener.exe' 'C:\Tools\keeper.exe' \
  'C:\Program Files\Linker\linker.exe' 'C:\Program Files\Java\updater.exe' \
  'C:\Program Files\Symlinked\symlinked.exe'
# Wine shows a Unix symbolic link to a file as the file itself.
letter="C:\\users\\$user\\Documents\\letter.txt"
ln -s "../../users/$user/Documents/letter.txt" "$drive_c/Program Files/Symlinked/letter.txt"
linker_class='Software\Classes\Linker.File'
# Run from inside the prefix: with every drive but C: gone, a 32-bit program
# cannot be started from a path outside it.
cp "$bin/reg_link.exe" "$setup/"
expect "Linker's class holds a link to exefile" \
  bash -c 'cd "$1" && "$2" ./reg_link.exe "$3" "$4"' _ "$setup" "$wine64" "$linker_class\\Opened" \
  'Software\Classes\exefile'
expect "the link leads to exefile's keys" reg_key "HKLM\\$linker_class\\Opened\\shell\\open\\command"

# ---- every one uninstalled; the relative location from C:\windows, as the system folder would be
# NAME|EXIT CODES|FOLDER OF VORLIX. Exit code 3 says that something listed stayed (not removable,
# or kept because something that stays uses it), 0 that all of it went; "0/3" where refusing the
# claim in the analysis (0) and keeping at the deletion (3) are both sound.
uninstalls=(
  'Hostile System32|0|C:\vorlix' 'Hostile Users|0|C:\vorlix' 'Hostile Common|0|C:\vorlix'
  'Hostile Roaming|0|C:\vorlix' 'Hostile Programs|0|C:\vorlix' 'Acme Suite|0/3|C:\vorlix' 'Texter|0|C:\vorlix'
  'Bar Tool|3|C:\vorlix' 'Other Profile|0/3|C:\vorlix' 'Default Profile|0/3|C:\vorlix'
  'Vendor Alpha|0/3|C:\vorlix' 'Nest Host|0/3|C:\vorlix' 'Sourced|0/3|C:\vorlix' 'Plug Host|0/3|C:\vorlix'
  'NetTool|0|C:\vorlix' 'Starter|0|C:\vorlix' 'Sharer|0|C:\vorlix' 'Opener|0|C:\vorlix' 'Keeper|3|C:\Tools'
  'Linker|0|C:\vorlix' 'Case Alias|0/3|C:\vorlix' 'Case Above|0/3|C:\vorlix' 'Java Updater|0/3|C:\vorlix'
  'Symlinked|0/3|C:\vorlix' 'Claimer|0/3|C:\vorlix' 'Letter Host|0/3|C:\vorlix'
)
one_of() { [[ /$2/ == */"$1"/* ]]; }  # CODE CODES
# The exit code the report itself calls for.
reported_code() {  # REPORT
  jq -r 'if .not_removed_count > 0 or ((.kept // []) | length > 0) then 3 else 0 end' <<<"$1"
}
mkdir -p "$drive_c/vorlix" && cp "$cli" "$drive_c/vorlix/"
require_sealed
declare -A reports
for row in "${uninstalls[@]}"; do
  IFS='|' read -r name code folder <<<"$row"
  output=$(cd "$drive_c/windows" && timeout -k 10 600 "$wine64" "$folder\\vorlix-cli.exe" uninstall "$name" --yes --json)
  rc=$?
  reports[$name]=$output
  echo "$name: $(jq -c '{leftovers, not_removed, kept}' <<<"$output")"
  expect_equal "$name: the uninstaller was started" "$(jq -r .uninstaller_started <<<"$output")" true
  expect "$name: vorlix-cli's exit code $rc is one of $code" one_of "$rc" "$code"
  expect_equal "$name: the exit code agrees with the report" "$rc" "$(reported_code "$output")"
done
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
expect "Acme Suite's own program is gone" absent test -e "$drive_c/Program Files/Acme/suite.exe"
expect "Texter's own program is gone" absent test -e "$drive_c/Program Files/Texter/texter.exe"
expect "Texter's class is gone" absent reg_key "$classes\\Texter.File"
expect "Texter's entry in .txt's OpenWithProgids is gone" absent reg_value "$classes\\.txt\\OpenWithProgids" Texter.File
expect_equal ".txt is txtfile's again" "$(jq -c '.leftovers.registry | map(select(endswith(".txt|")))' <<<"${reports[Texter]}")" '[]'

# ---- one row per thing of the fixture's programs: PROGRAM|stays, goes or either|PATH, KEY or KEY|VALUE.
# "either": the program's own file in a folder that must stay whole may go, or stay as a kept item.
# What stays and was listed as a leftover must be named in the report's kept items, with a reason.
shared_components='HKCU\Software\Shared Components\Hostile Shared'
user_data='HKLM\Software\Microsoft\Windows\CurrentVersion\Installer\UserData\S-1-5-18'
outcomes=(
  'Other Profile|stays|C:\users\Bob\Documents\mail.pst'
  'Other Profile|stays|C:\users\Bob\NTUSER.DAT'
  'Default Profile|stays|C:\users\Default\NTUSER.DAT'
  "Default Profile|stays|$default_menu\\default.lnk"
  "Vendor Alpha|stays|$vendor_shared\\uninst.exe"
  "Vendor Alpha|stays|$vendor_shared\\shared.dll"
  'Nest Host|stays|C:\Program Files\Nest Host\Modules\Sub\sub.exe'
  'Nest Host|stays|C:\Program Files\Nest Host\Modules\Sub\sub.dll'
  'Nest Host|stays|C:\Program Files\Nest Host\Addon\addon.exe'
  'Nest Host|goes|C:\Program Files\Nest Host\host.exe'
  'Sourced|stays|C:\Program Files\Gamma Redist\vcredist.exe'
  'Sourced|stays|C:\Program Files\Gamma Redist\vc_runtime.dll'
  'Plug Host|stays|C:\Program Files\Plug Host\Plugins\plug.dll'
  "Plug Host|stays|$user_data\\Products\\0000E5C0000000000000000000000010"
  "Plug Host|stays|$user_data\\Components\\1D0000000000000000000000000000A1"
  'Plug Host|goes|C:\Program Files\Plug Host\plughost.exe'
  'NetTool|stays|HKLM\Software\Classes\CLSID\{0B000000-0000-0000-0000-000000000001}\InprocServer32'
  'NetTool|stays|HKLM\Software\Classes\CLSID\{0B000000-0000-0000-0000-000000000002}\InprocServer32'
  'NetTool|stays|HKLM\Software\Classes\Other.Managed.A\CLSID'
  'NetTool|stays|HKLM\Software\Classes\Gamma.Managed.B\CLSID'
  'NetTool|goes|C:\Program Files\NetTool\nettool.dll'
  'NetTool|goes|HKLM\Software\Classes\CLSID\{0B000000-0000-0000-0000-000000000003}'
  'Starter|stays|HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run|starter'
  'Starter|goes|C:\Program Files\Starter\starter.exe'
  "Sharer|stays|$shared_components|Other"
  "Sharer|stays|$shared_components\\Settings|Mode"
  "Sharer|goes|$shared_components|Sharer"
  'Sharer|goes|C:\Program Files\Sharer\sharer.dll'
  'Opener|stays|HKLM\Software\Classes\txtfile'
  'Opener|stays|HKLM\Software\Classes\txtfile\shell\print\command'
  'Opener|stays|HKLM\Software\Classes\http|URL Protocol'
  'Opener|goes|C:\Program Files\Opener\opener.exe'
  'Keeper|stays|C:\Tools\vorlix-cli.exe'
  'Keeper|stays|C:\Tools\Backups\earlier.reg'
  'Keeper|either|C:\Tools\keeper.exe'
  'Linker|stays|HKLM\Software\Classes\exefile'
  'Linker|stays|HKLM\Software\Classes\exefile\shell\open\command'
  'Linker|stays|HKLM\Software\Classes\exefile\DefaultIcon'
  'Linker|goes|C:\Program Files\Linker\linker.exe'
  'Linker|goes|HKLM\Software\Classes\Linker.File'
  'Case Alias|stays|C:\Program Files\Übertool\über.exe'
  'Case Above|stays|C:\Program Files\Täst\Sub\sub.exe'
  'Java Updater|stays|C:\Program Files\Java\jre8\bin\java.exe'
  'Java Updater|stays|C:\Program Files\Java\javapath\java.exe'
  'Java Updater|goes|C:\Program Files\Java\updater.exe'
  "Symlinked|stays|$letter"
  'Symlinked|goes|C:\Program Files\Symlinked\symlinked.exe'
  'Claimer|stays|C:\Program Files\dotnet\shared\Microsoft.NETCore.App\8.0.0\coreclr.dll'
  'Claimer|either|C:\Program Files\dotnet\claimer.exe'
  'Letter Host|stays|C:\Program Files\Letter Host\Mail\mail.exe'
  'Letter Host|goes|C:\Program Files\Letter Host\letter.exe'
)
exists() {  # PATH, KEY or KEY VALUE
  case $1 in
    C:*) test -e "$(windows_to_unix "$1")" ;;
    *) if [ $# -eq 2 ]; then reg_value "$1" "$2"; else reg_key "$1"; fi ;;
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
for row in "${outcomes[@]}"; do
  IFS='|' read -r name fate item value <<<"$row"
  what=$item${value:+ ($value)}
  where=("$item" ${value:+"$value"})
  case $fate in
    stays) expect "$name: $what stays" exists "${where[@]}" ;;
    goes) expect "$name: $what is gone" absent exists "${where[@]}" ;;
  esac
  [[ $fate != goes && $item = C:* ]] && exists "$item" \
    && expect "$name: the report names $item as kept, or never listed it" kept_if_listed "${reports[$name]}" "$item"
done

# The link went as a link: its backup holds no key below it (that would be exefile's data under its name).
backup=$(windows_to_unix "$(jq -r .backup <<<"${reports[Linker]}")")
expect "Linker's registry backup exists" test -f "$backup"
expect "Linker's backup writes nothing below the link" \
  absent grep -qi 'Linker\.File\\Opened\\' <(iconv -f UTF-16 -t UTF-8 "$backup" 2>/dev/null || cat "$backup")
finish
