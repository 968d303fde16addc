#!/usr/bin/env bash
# Cross-builds the third-party libraries of the Windows builds with MinGW-w64:
#   PCRE2, static, 16-bit code units only, from Debian's pcre2 source package;
#   GoogleTest and GoogleMock from /usr/src/googletest.
# Installs headers to DEPS_DIR/include and libraries to DEPS_DIR/lib.
# Does nothing when DEPS_DIR already holds a build made with the same
# compiler and toolchain file. Quiet on success, loud on failure.
#
# Usage: build-mingw-deps.sh COMPILER TOOLCHAIN_FILE DEPS_DIR
# Environment: VORLIX_PCRE2_VERSION (default 10.42-1; an unpinned download is
# tried when that version is not offered), VORLIX_DEPS_CACHE (download folder).
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 COMPILER TOOLCHAIN_FILE DEPS_DIR" >&2
  exit 2
fi
compiler=$1
toolchain=$(realpath "$2")
deps_dir=$(realpath -m "$3")
pcre2_version=${VORLIX_PCRE2_VERSION:-10.42-1}
cache_dir=$(realpath -m "${VORLIX_DEPS_CACHE:-$deps_dir/cache}")
work_dir=$deps_dir/work
log=$deps_dir/build.log
gtest_src=/usr/src/googletest

fail() {
  echo "build-mingw-deps: $*" >&2
  if [ -s "$log" ]; then
    echo "---- last lines of $log ----" >&2
    tail -n 40 "$log" >&2
  fi
  exit 1
}

for tool in cmake "$compiler"; do
  command -v "$tool" >/dev/null || fail "$tool not found (run scripts/install-deps.sh)"
done
[ -f "$gtest_src/CMakeLists.txt" ] || fail "$gtest_src missing (install the googletest package)"

# The stamp names what the libraries were built with; a different compiler or
# toolchain file means a rebuild.
stamp_text="$compiler|$toolchain|pcre2=$pcre2_version|gtest=$(dpkg-query -W -f='${Version}' googletest 2>/dev/null || echo unknown)"
stamp=$deps_dir/.stamp
wanted=(lib/libpcre2-16.a lib/libgtest.a lib/libgtest_main.a lib/libgmock.a include/pcre2.h include/gtest/gtest.h
        include/gmock/gmock.h)
complete=1
for f in "${wanted[@]}"; do [ -f "$deps_dir/$f" ] || complete=0; done
if [ $complete -eq 1 ] && [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
  exit 0
fi

mkdir -p "$deps_dir" "$cache_dir"
rm -rf "$work_dir" "$deps_dir/include" "$deps_dir/lib" "$stamp"
mkdir -p "$work_dir"
: >"$log"

generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
jobs=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

# ---- PCRE2 source: Debian's source package, downloaded once into the cache.
find_dsc() { find "$cache_dir" -maxdepth 1 -name 'pcre2_*.dsc' | sort | tail -n 1; }
dsc=$(find_dsc)
if [ -z "$dsc" ]; then
  echo "build-mingw-deps: fetching the pcre2 source package"
  (cd "$cache_dir" && { apt-get source --download-only "pcre2=$pcre2_version" >>"$log" 2>&1 \
                          || apt-get source --download-only pcre2 >>"$log" 2>&1; }) \
    || fail "apt-get source pcre2 failed: a deb-src entry and 'apt-get update' are needed (scripts/install-deps.sh)"
  dsc=$(find_dsc)
  [ -n "$dsc" ] || fail "no pcre2 .dsc in $cache_dir after the download"
fi
command -v dpkg-source >/dev/null || fail "dpkg-source not found (install dpkg-dev)"
(cd "$work_dir" && dpkg-source --no-check -x "$dsc" pcre2-src >>"$log" 2>&1) || fail "unpacking $dsc failed"

common=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps_dir"
        -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include -DBUILD_SHARED_LIBS=OFF)

build_and_install() {  # name source-dir extra-cmake-args...
  local name=$1 src=$2
  shift 2
  echo "build-mingw-deps: building $name for $(basename "$toolchain" .cmake)"
  cmake "${generator[@]}" -S "$src" -B "$work_dir/build-$name" "${common[@]}" "$@" >>"$log" 2>&1 \
    || fail "configuring $name failed"
  cmake --build "$work_dir/build-$name" --parallel "$jobs" >>"$log" 2>&1 || fail "building $name failed"
  cmake --install "$work_dir/build-$name" >>"$log" 2>&1 || fail "installing $name failed"
}

build_and_install pcre2 "$work_dir/pcre2-src" \
  -DPCRE2_BUILD_PCRE2_8=OFF -DPCRE2_BUILD_PCRE2_16=ON -DPCRE2_BUILD_PCRE2_32=OFF \
  -DPCRE2_BUILD_TESTS=OFF -DPCRE2_BUILD_PCRE2GREP=OFF -DPCRE2_SUPPORT_LIBBZ2=OFF -DPCRE2_SUPPORT_LIBZ=OFF \
  -DPCRE2_SUPPORT_LIBEDIT=OFF -DPCRE2_SUPPORT_LIBREADLINE=OFF
build_and_install googletest "$gtest_src" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_force_shared_crt=OFF

for f in "${wanted[@]}"; do
  [ -f "$deps_dir/$f" ] || fail "$deps_dir/$f is missing after the build"
done
echo "$stamp_text" >"$stamp"
rm -rf "$work_dir"
echo "build-mingw-deps: done ($deps_dir)"
