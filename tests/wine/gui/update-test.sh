#!/usr/bin/env bash
# The update check end to end: the test build of the program asks a server
# on 127.0.0.1 (started here) for its update document. The label shows only
# for a newer version; the same or an older version, an HTML error page, a
# document without "version" and no server at all keep it hidden and show
# no message; the previous local copy is deleted before every download.
#
#   update-test.sh VORLIX_UPDATE_TEST_EXE PROBE_EXE PORT SCREENSHOT_DIR
#
# Run by wine-run.sh run-script (WINEPREFIX is a throw-away prefix).
set -uo pipefail
source_exe=$1 PROBE=$2 port=$3 screens=$4
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=lib.sh
. "$here/lib.sh"
served=$(mktemp -d)
trap 'stop_xvfb; [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null; "$wineserver" -k 2>/dev/null; rm -rf "$served"' EXIT
require_tools Xvfb xdotool python3 import
mkdir -p "$screens"
label='Newer version available. Click here to download!'
# The program keeps its copy of the document next to itself: inside the prefix.
folder=$WINEPREFIX/drive_c/vorlix
mkdir -p "$folder" && cp "$source_exe" "$folder/" || gui_fail "cannot copy the program"
vorlix=$folder/$(basename "$source_exe")

# Serves $served/body (status $served/status, else 200) at the document's
# path, uncached; every request adds a line to $served/requests.
python3 - "$served" "$port" <<'PY' &
import http.server, os, sys
root, port = sys.argv[1], int(sys.argv[2])
class Document(http.server.BaseHTTPRequestHandler):
    def do_GET(self):
        with open(os.path.join(root, "requests"), "a") as log:
            log.write(self.path + "\n")
        status_file = os.path.join(root, "status")
        status = int(open(status_file).read()) if os.path.exists(status_file) else 200
        body = open(os.path.join(root, "body"), "rb").read()
        self.send_response(status)
        self.send_header("Content-Type", "text/html" if status != 200 else "application/json")
        self.send_header("Cache-Control", "no-store")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)
    def log_message(self, *arguments):
        pass
http.server.HTTPServer(("127.0.0.1", port), Document).serve_forever()
PY
server_pid=$!
requests() { [ -f "$served/requests" ] && wc -l <"$served/requests" || echo 0; }

# Starts the program, waits for its download (or, without a server, for the
# deletion of the previous copy that comes before it) and tells whether the
# label shows; the program is ended afterwards. The About window opened after
# that is the positive event that proves the check's hand-off had its moment.
check() {  # WHAT shown|hidden [--no-server]
  local before shown=hidden
  before=$(requests)
  start_vorlix "$vorlix"
  wait_idle
  if [ "${3:-}" = --no-server ]; then
    wait_until 20 eval '[ ! -e "$folder/new_update.json" ]' || gui_fail "$1: the previous local copy was not deleted"
  else
    wait_until 20 eval '[ "$(requests)" -gt "$before" ]' || gui_fail "$1: the program never asked for the document"
    wait_until 20 eval 'cmp -s "$served/body" "$folder/new_update.json"' ||
      [ "$(cat "$served/status" 2>/dev/null)" = 404 ] || gui_fail "$1: the document was not saved"
  fi
  if [ "$2" = shown ]; then
    wait_until 20 eval 'probe texts | grep -qxF "$label"' && shown=shown && screenshot "$screens/update-96.png"
  else
    click button:About
    wait_until 10 state_is about 1 || gui_fail "$1: the About window did not open"
    probe texts | grep -qxF "$label" && shown=shown
  fi
  [ "$shown" = "$2" ] || gui_fail "$1: the label is $shown, expected $2"
  [ "$(state_value msgbox)" = 0 ] || gui_fail "$1: a message box shows: $(probe msgbox | tr '\n' ' ')"
  "$wineserver" -k 2>/dev/null
  "$wineserver" -w 2>/dev/null
  echo "update: ok: $1: label $2"
}

start_xvfb
set_dpi 96
# The running version, as the About window shows it.
echo '{"version": "0.0.0.0"}' >"$served/body"
start_vorlix "$vorlix"
wait_idle
click button:About
wait_until 10 state_is about 1 || gui_fail "the About window did not open"
running=$(probe texts | sed -n 's/^Version: 2023 //p' | head -n 1)
[[ $running =~ ^[0-9]+\.[0-9]+\.[0-9]+\.([0-9]+)$ ]] || gui_fail "cannot read the running version: $running"
"$wineserver" -k 2>/dev/null
"$wineserver" -w 2>/dev/null
newer=${running%.*}.$((BASH_REMATCH[1] + 1))
echo "update: running $running"

printf '{"version": "%s"}' "$running" >"$served/body"
check "the same version" hidden
printf '\xef\xbb\xbf{"name": "Vorlix", "version": "%s"}' "$newer" >"$served/body"
check "a newer version ($newer, UTF-8 with a byte-order mark)" shown
echo '{"version": "0.0.0.1"}' >"$served/body"
check "an older version" hidden
echo '{"name": "Vorlix"}' >"$served/body"
check "no member version" hidden
echo 404 >"$served/status"
echo '<html><body><h1>404 Not Found</h1></body></html>' >"$served/body"
check "an HTML error page" hidden
rm -f "$served/status"
kill "$server_pid" 2>/dev/null
wait "$server_pid" 2>/dev/null
server_pid=
printf '{"version": "%s"}' "$newer" >"$folder/new_update.json"
check "no server" hidden --no-server
[ -e "$folder/new_update.json" ] && gui_fail "the previous local copy was not deleted"
echo "update: ok: the previous local copy was deleted"
echo "update: all checks passed"
