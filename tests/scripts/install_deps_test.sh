#!/usr/bin/env bash
# The set-up's decisions, without a network: fake apt-get, dpkg and dpkg-query
# on PATH record what the script asks for and fail where a case says so.
set -euo pipefail
script=$(realpath "$(dirname "$0")/../../scripts/install-deps.sh")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

make_fakes() {  # BIN STATE
  local bin=$1
  mkdir -p "$bin"
  cat >"$bin/id" <<'F'
#!/bin/sh
echo 0
F
  cat >"$bin/dpkg-query" <<'F'
#!/bin/sh
# dpkg-query -W -f=FORMAT PACKAGE (the last argument)
for pkg; do :; done
grep -qx "$pkg" "$FAKE_STATE/installed" && printf 'install ok installed' && exit 0
exit 1
F
  cat >"$bin/dpkg" <<'F'
#!/bin/sh
echo "dpkg $*" >>"$FAKE_STATE/calls"
case $1 in --print-foreign-architectures) cat "$FAKE_STATE/arches" 2>/dev/null ;; --add-architecture) echo "$2" >>"$FAKE_STATE/arches" ;; esac
F
  cat >"$bin/apt-get" <<'F'
#!/bin/sh
echo "apt-get $*" >>"$FAKE_STATE/calls"
case $1 in
  update)
    echo "E: Failed to fetch http://deb.example/dists/x/main/binary-i386/Packages.xz  File has unexpected size. Mirror sync in progress?" >&2
    exit 100 ;;
  install)
    shift; pkgs=""
    for a in "$@"; do case $a in -*) ;; *) pkgs="$pkgs $a" ;; esac; done
    for p in $pkgs; do
      if grep -qx "$p" "$FAKE_STATE/unavailable" 2>/dev/null; then echo "E: Unable to locate package $p" >&2; exit 100; fi
    done
    for p in $pkgs; do echo "$p" >>"$FAKE_STATE/installed"; done ;;
esac
F
  # The i386 probe's two answers.
  printf '#!/bin/sh\nexit 0\n' >"$bin/i386-runs"
  printf '#!/bin/sh\necho "this kernel does not run i386 programs (Exec format error)"\nexit 1\n' >"$bin/i386-refused"
  chmod +x "$bin"/*
}

# CASE NAME: a fresh fake machine; sets $state and $apt
new_case() {
  name=$1
  state=$work/$name/state apt=$work/$name/apt
  mkdir -p "$state" "$apt/sources.list.d"
  : >"$state/installed"
  : >"$state/calls"
  cat >"$apt/sources.list.d/debian.sources" <<'S'
Types: deb
URIs: http://mirror.example/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: http://mirror.example/debian-security
Suites: bookworm-security
Components: main
S
  cat >"$apt/sources.list.d/vendor.sources" <<'S'
Types: deb
URIs: https://vendor.example/node
Suites: nodistro
Components: main
S
}

run_script() {  # extra env assignments... (a kernel that refuses i386 programs unless they say otherwise)
  env PATH="$work/bin:$PATH" FAKE_STATE="$state" VORLIX_APT_DIR="$apt" VORLIX_I386_CHECK="$work/bin/i386-refused" \
    "$@" bash "$script" \
    >"$state/out" 2>&1 && echo 0 >"$state/rc" || echo $? >"$state/rc"
}

check() {  # DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok   $name: $what"; else echo "FAIL $name: $what"; failures=$((failures + 1)); sed 's/^/    | /' "$state/out"; fi
}

make_fakes "$work/bin"

new_case failed-index
run_script
check "a failing index only warns" grep -q "warning: some package indexes failed" "$state/out"
check "exit code 0" grep -qx 0 "$state/rc"
check "packages installed" grep -qx wixl "$state/installed"
check "no i386 architecture where i386 programs are refused" bash -c "! grep -q 'add-architecture' '$state/calls'"
check "no wine32 where i386 programs are refused" bash -c "! grep -q 'wine32' '$state/calls'"
check "one line says the 32-bit tier is skipped, and why" \
  test "$(grep -c 'install-deps: 32-bit Wine tier skipped: this kernel does not run i386 programs (Exec format error)' "$state/out")" = 1
check "source entry copies the machine's archive and suites" \
  grep -qx 'URIs: http://mirror.example/debian' "$apt/sources.list.d/vorlix-src.sources"
check "security archive keeps its own suite" \
  grep -qx 'Suites: bookworm-security' "$apt/sources.list.d/vorlix-src.sources"
check "other vendors are not copied" bash -c "! grep -q vendor.example '$apt/sources.list.d/vorlix-src.sources'"
check "no fixed mirror address" bash -c "! grep -q deb.debian.org '$apt/sources.list.d/vorlix-src.sources'"
: >"$state/calls"
run_script
check "a second run only checks" grep -q "everything is present" "$state/out"
check "a second run calls no apt-get" bash -c "! grep -q apt-get '$state/calls'"

new_case missing-package
echo nsis >"$state/unavailable"
run_script
check "a package that cannot be installed fails the set-up" grep -qx 1 "$state/rc"
check "it is named, alone" grep -qx "install-deps: cannot install: nsis" "$state/out"
check "the others are still installed" grep -qx wine64 "$state/installed"

# Where the kernel runs i386 programs (or the emulation opt-in makes it), 32-bit
# Wine comes by default; its failure only warns.
for runs in "i386-runs" "i386-refused VORLIX_WINE32_EMULATION=1"; do
  read -r probe opt_in <<<"$runs"
  new_case "wine32-${probe}${opt_in:+-emulated}"
  run_script VORLIX_I386_CHECK="$work/bin/$probe" $opt_in
  check "the i386 architecture is added" grep -qx "dpkg --add-architecture i386" "$state/calls"
  check "wine32:i386 is installed" grep -qx "wine32:i386" "$state/installed"
  check "no skip line" bash -c "! grep -q 'tier skipped' '$state/out'"
  : >"$state/calls"
  run_script VORLIX_I386_CHECK="$work/bin/$probe" $opt_in
  check "a second run only checks" grep -q "everything is present" "$state/out"
  check "the architecture is added once" bash -c "! grep -q add-architecture '$state/calls'"
done

new_case wine32-unavailable
echo wine32:i386 >"$state/unavailable"
run_script VORLIX_I386_CHECK="$work/bin/i386-runs"
check "wine32 failing only warns" grep -qx 0 "$state/rc"
check "the warning says the 32-bit tests are skipped" grep -q "32-bit Wine tests will be skipped" "$state/out"

new_case own-source-entry-kept
printf 'Types: deb-src\nURIs: http://other.example/debian\nSuites: bookworm\nComponents: main\n' \
  >"$apt/sources.list.d/mine.sources"
run_script
check "an existing deb-src entry is used as it is" test ! -e "$apt/sources.list.d/vorlix-src.sources"

new_case one-line-sources
rm "$apt"/sources.list.d/*.sources
echo 'deb [arch=amd64 signed-by=/k.gpg] http://old.example/debian bookworm main' >"$apt/sources.list"
run_script
check "one-line entries are copied too" grep -qx 'URIs: http://old.example/debian' "$apt/sources.list.d/vorlix-src.sources"

[ $failures -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
echo "all checks passed"
