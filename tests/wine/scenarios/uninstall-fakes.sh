# vorlix-cli uninstall against misbehaving uninstallers (fake_uninstaller.exe
# beside the CLI): one that leaves a long-lived program from another folder
# running, one that never ends, one that is cancelled (1602), one that writes
# to the console; the last program's folder also holds names Win32 cannot
# reach (a trailing dot, a trailing blank). Times and exit codes are printed.
#   uninstall-fakes.sh CLI
source "$(dirname "$0")/lib.sh"
cli=$1
fake=$(dirname "$cli")/fake_uninstaller.exe
[ -f "$fake" ] || { echo "SKIPPED: $fake is not built"; exit 77; }
work=$WINEPREFIX/fakes
mkdir -p "$work"

# C:\Fakes\NAME with its uninstaller, a program file and data, and the
# Uninstall entry "FakeNAME" of the 64-bit view. Quotes and backslashes of
# the command are escaped for the .reg text.
fake_program() {  # NAME UNINSTALL-ARGUMENTS
  local name=$1 arguments=$2 dir="$drive_c/Fakes/$1"
  mkdir -p "$dir/data" && cp "$fake" "$dir/uninst.exe" && echo program >"$dir/$name.exe" \
    && echo settings >"$dir/data/settings.ini" || return 1
  cat >"$work/$name.reg" <<REG
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Fake$name]
"DisplayName"="Fake $name"
"Publisher"="Fake Uninstallers"
"InstallLocation"="C:\\\\Fakes\\\\$name\\\\"
"UninstallString"="\\"C:\\\\Fakes\\\\$name\\\\uninst.exe\\" $arguments"
REG
  "$wine64" reg import "$("$wine64" winepath -w "$work/$name.reg" 2>/dev/null)" /reg:64 >/dev/null 2>&1
}

# Runs vorlix-cli uninstall with stdout and stderr in files (a program the
# uninstaller left running may hold a pipe open); sets rc and seconds.
uninstall_fake() {  # LABEL ARGS...
  local label=$1 start
  shift
  start=$(date +%s.%N)
  run_cli "$cli" uninstall "$@" >"$work/$label.out" 2>"$work/$label.err"
  rc=$?
  seconds=$(echo "$(date +%s.%N) - $start" | bc)
  printf 'measured: %s: exit code %s after %.1f s\n' "$label" "$rc" "$seconds"
  sed 's/^/  stdout: /' "$work/$label.out"
  sed 's/^/  stderr: /' "$work/$label.err"
}

json_field() { jq -r "$2" "$work/$1.out"; }
entry_present() { reg_key "$uninstall_key\\Fake$1"; }

# 2: a browser with a farewell page, from another folder, outlives the uninstaller.
mkdir -p "$drive_c/Browser" && cp "$fake" "$drive_c/Browser/browser.exe"
fake_program Spawner 'spawn C:\\Browser\\browser.exe 600 --remove-entry FakeSpawner'
uninstall_fake spawner "Fake Spawner" --yes --json
expect_equal "the spawner's run exits with 0" "$rc" 0
expect_equal "the spawner is judged removed" "$(json_field spawner .uninstaller.verdict)" removed
expect "the CLI ended while the browser still ran" absent test -e "$drive_c/Browser/browser.exe.ended"
expect "the spawner's folder is gone" absent test -e "$drive_c/Fakes/Spawner"

# 3: an uninstaller that never ends.
fake_program Hang hang
uninstall_fake hang "Fake Hang" --yes --wait-limit 5 --json
expect_equal "the hung uninstaller's run exits with 4" "$rc" 4
expect_equal "the hung uninstaller is reported running" "$(json_field hang .uninstaller.still_running)" true
expect_equal "nothing of the hung program was deleted" "$(json_field hang .deleted)" false
expect "the hung program's folder stays" test -f "$drive_c/Fakes/Hang/Hang.exe"
# Wine shows a Windows process's command line as its Linux one.
expect "the hung uninstaller still runs" grep -qE 'Fakes.Hang.uninst\.exe"? hang' <(ps -eo args)

# 4: a cancelled uninstaller; then the forced removal.
fake_program Cancel 'exit 1602'
uninstall_fake cancel "Fake Cancel" --yes --json
expect_equal "the cancelled uninstaller's run exits with 5" "$rc" 5
expect_equal "the exit code is reported" "$(json_field cancel .uninstaller.exit_code)" 1602
expect_equal "the cancel is judged a failure" "$(json_field cancel .uninstaller.verdict)" failed
expect "the cancelled program's folder stays" test -f "$drive_c/Fakes/Cancel/Cancel.exe"
expect "the cancelled program's entry stays" entry_present Cancel
uninstall_fake cancel-forced "Fake Cancel" --yes --force --json
expect_equal "the forced removal exits with 0" "$rc" 0
expect_equal "the forced removal says so" "$(json_field cancel-forced .forced)" true
expect "the forced removal took the folder" absent test -e "$drive_c/Fakes/Cancel"
expect "the forced removal took the entry" absent entry_present Cancel

# 5 and 6: console output of the uninstaller; names ending in a dot or a blank.
fake_program Chatty 'print --remove-entry FakeChatty'
echo x >"$drive_c/Fakes/Chatty/data/trail." && echo x >"$drive_c/Fakes/Chatty/data/space "
uninstall_fake chatty "Fake Chatty" --yes --json
expect_equal "the chatty uninstaller's run exits with 0" "$rc" 0
expect "stdout holds only the JSON report" jq -e 'type == "object"' "$work/chatty.out"
expect "the uninstaller's text is not in stdout" absent grep -q chatter "$work/chatty.out"
expect_equal "nothing was left over" "$(json_field chatty .not_removed_count)" 0
expect "the folder with the odd names is gone" absent test -e "$drive_c/Fakes/Chatty"
finish
