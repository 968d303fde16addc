#!/usr/bin/env bash
# Installs everything the build and every test tier need, from Debian packages.
# Idempotent: a second run only checks. Uses sudo when not root.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive

packages=(
  g++ cmake ninja-build make pkg-config
  libpcre2-dev nlohmann-json3-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth xdotool nsis wixl imagemagick bc
  clang-14 libclang-rt-14-dev
  dpkg-dev qemu-user ccache jq
)

missing=()
for p in "${packages[@]}" wine32:i386; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

sources_dir=/etc/apt/sources.list.d
need_update=0
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  need_update=1
fi
# A deb-src entry lets the build fetch the pcre2 source package for MinGW.
if ! grep -rqs '^Types: *deb-src' "$sources_dir" /etc/apt/sources.list 2>/dev/null \
   && ! grep -qs '^deb-src ' /etc/apt/sources.list 2>/dev/null; then
  $SUDO tee "$sources_dir/vorlix-src.sources" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_update=1
fi

if [ ${#missing[@]} -eq 0 ] && [ $need_update -eq 0 ]; then
  echo "install-deps: everything is present"
  exit 0
fi

$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends "${packages[@]}"
$SUDO apt-get install -y -q --no-install-recommends wine32:i386
echo "install-deps: done"
