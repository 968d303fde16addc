#!/usr/bin/env bash
# Installs everything the build and every test tier need, from Debian packages.
# Idempotent: a second run only checks. Uses sudo when not root.
#
# A package index that fails to download (a mirror caught mid-sync) does not stop
# the set-up: it warns and goes on with the indexes it has; only a needed package
# that cannot be installed fails it, by name. The 32-bit half of Wine
# (wine32:i386, with the i386 architecture) runs the 32-bit Wine tier: it is
# installed wherever the kernel runs i386 programs (scripts/runs-i386.sh runs
# one), and with VORLIX_WINE32_EMULATION=1 where they run only through
# qemu-i386; elsewhere one line says the tier is skipped. Its failure to
# install is only a warning: the 32-bit tests then skip with the reason.
#
# Environment for tests: VORLIX_APT_DIR (default /etc/apt), VORLIX_I386_CHECK
# (the program that answers whether i386 programs run; default scripts/runs-i386.sh).
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
apt_dir=${VORLIX_APT_DIR:-/etc/apt}
sources_dir=$apt_dir/sources.list.d
own_sources=$sources_dir/vorlix-src.sources

packages=(
  g++ cmake ninja-build make pkg-config
  libpcre2-dev nlohmann-json3-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
  wine wine64 xvfb xauth xdotool x11-utils nsis wixl imagemagick bc
  clang-14 libclang-rt-14-dev
  dpkg-dev qemu-user ccache jq
)

say() { echo "install-deps: $*"; }
warn() { echo "install-deps: warning: $*" >&2; }

want_wine32=1
if [ "${VORLIX_WINE32_EMULATION:-0}" != 1 ] && ! i386_refusal=$("${VORLIX_I386_CHECK:-$(dirname "$0")/runs-i386.sh}"); then
  want_wine32=0
  say "32-bit Wine tier skipped: ${i386_refusal:-i386 programs do not run here}"
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# The machine's own Debian archive entries (deb822 .sources and one-line
# sources.list), as "URI<TAB>suite" lines. Entries of other vendors are left
# out: they publish no Debian source packages.
debian_archives() {
  local f
  for f in "$sources_dir"/*.sources; do
    [ -f "$f" ] && [ "$f" != "$own_sources" ] || continue
    awk '
      function flush() {
        if (types ~ /(^| )deb( |$)/)
          for (i = 1; i <= nu; i++) for (j = 1; j <= ns; j++) print uris[i] "\t" suites[j]
        types = ""; nu = 0; ns = 0
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      {
        key = tolower($1)
        if (key == "types:") { types = ""; for (k = 2; k <= NF; k++) types = types " " $k; types = types " " }
        else if (key == "uris:") { for (k = 2; k <= NF; k++) uris[++nu] = $k }
        else if (key == "suites:") { for (k = 2; k <= NF; k++) suites[++ns] = $k }
      }
      END { flush() }' "$f"
  done
  for f in "$apt_dir/sources.list" "$sources_dir"/*.list; do
    [ -f "$f" ] || continue
    # deb [options] URI suite components...
    awk '$1 == "deb" { i = 2; if ($2 ~ /^\[/) { while (i <= NF && $i !~ /\]$/) i++; i++ }
                       if (i + 1 <= NF) print $i "\t" $(i + 1) }' "$f"
  done | sort -u
}

# deb-src entries made from the machine's Debian archives (one stanza per
# archive, with its own suites), so that the MinGW build fetches the pcre2
# source package from the mirror this machine already uses.
source_entry() {
  debian_archives | awk -F '\t' '
    $1 ~ /debian/ { if (!($1 in suites)) order[++n] = $1; suites[$1] = suites[$1] " " $2 }
    END {
      for (i = 1; i <= n; i++) {
        if (i > 1) print ""
        print "Types: deb-src"; print "URIs: " order[i]; print "Suites:" suites[order[i]]
        print "Components: main"; print "Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg"
      }
      exit n == 0
    }'
}

has_foreign_source_entry() {
  local f
  for f in "$sources_dir"/*.sources; do
    [ -f "$f" ] && [ "$f" != "$own_sources" ] && grep -qi '^Types:.*deb-src' "$f" && return 0
  done
  grep -qs '^deb-src ' "$apt_dir/sources.list" "$sources_dir"/*.list
}

need_update=0
if ! has_foreign_source_entry; then
  if entry=$(source_entry); then
    if [ ! -f "$own_sources" ] || [ "$(cat "$own_sources")" != "$entry" ]; then
      printf '%s\n' "$entry" | $SUDO tee "$own_sources" >/dev/null
      need_update=1
    fi
  else
    warn "no Debian archive among the configured sources; the pcre2 source package may not be found"
  fi
fi

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
# npm brings the Inno Setup compiler into the build tree at test time; a
# node.js of another vendor may already carry its own npm.
command -v npm >/dev/null || missing+=(npm)
wine32_missing=0
if [ $want_wine32 -eq 1 ] && ! installed wine32:i386; then wine32_missing=1; fi

if [ ${#missing[@]} -eq 0 ] && [ $need_update -eq 0 ] && [ $wine32_missing -eq 0 ]; then
  say "everything is present"
  exit 0
fi

apt_update() {
  if ! $SUDO apt-get update -q; then
    warn "some package indexes failed to download; going on with the ones there are"
  fi
}

if [ $wine32_missing -eq 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
apt_update

if [ ${#missing[@]} -gt 0 ] && ! $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; then
  # Install one by one to name the packages that really cannot be had.
  failed=()
  for p in "${missing[@]}"; do
    installed "$p" && continue
    $SUDO apt-get install -y -q --no-install-recommends "$p" || failed+=("$p")
  done
  if [ ${#failed[@]} -gt 0 ]; then
    echo "install-deps: cannot install: ${failed[*]}" >&2
    exit 1
  fi
fi

if [ $wine32_missing -eq 1 ]; then
  $SUDO apt-get install -y -q --no-install-recommends wine32:i386 \
    || warn "wine32:i386 could not be installed; the 32-bit Wine tests will be skipped"
fi
say "done"
