#!/usr/bin/env bash
# Brings the Inno Setup compiler (npm package innosetup, which ships ISCC.exe)
# into DIR for the Inno Setup scenarios; a second run finds it there. Never
# fails the run: without npm or the registry the scenarios skip with the reason.
#   fetch-innosetup.sh DIR
set -uo pipefail
dir=$1
version=6.4.1
status=$dir/status
mkdir -p "$dir"
if [ "$(jq -r .version "$dir/node_modules/innosetup/package.json" 2>/dev/null)" = $version ]; then
  echo ok >"$status"
elif ! command -v npm >/dev/null; then
  echo "npm is not installed (scripts/install-deps.sh)" >"$status"
elif ! log=$(timeout 300 npm install --prefix "$dir" --no-audit --no-fund --no-save --ignore-scripts "innosetup@$version" 2>&1); then
  echo "npm could not install innosetup@$version: $(tail -n 1 <<<"$log")" >"$status"
else
  echo ok >"$status"
fi
echo "innosetup: $(cat "$status")"
