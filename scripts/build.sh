#!/usr/bin/env bash
# Configures and builds the given presets (default: win32 win64 host).
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(win32 win64 host)
jobs=$(nproc)
for preset in "${presets[@]}"; do
  echo "== build $preset"
  cmake --preset "$preset" >"build-$preset.configure.log" 2>&1 || { cat "build-$preset.configure.log"; exit 1; }
  rm -f "build-$preset.configure.log"
  cmake --build --preset "$preset" -j "$jobs"
done
