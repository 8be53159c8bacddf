#!/usr/bin/env bash
# Cross-builds the Windows (x86_64, MinGW-w64) program, batch command and
# tests on Debian 12 into build-windows/.
#
# Qt 6.4.2 (Core, Gui, Widgets, PrintSupport, OpenGL, Test and Charts) and the
# libraries (zlib, libzip, libxlsxwriter, GoogleTest) are built once from
# Debian's source packages into a cache outside the checkout:
#   ${VP_WINDOWS_CACHE:-${XDG_CACHE_HOME:-~/.cache}/valoprovod-windows}
# Each part carries a stamp of what it was built from; a part whose stamp
# differs is built again, one whose stamp matches is reused.
# Qt Charts is not a Debian source package here: QTCHARTS_SRC names a local
# copy (a git checkout of tag v6.4.2, or an unpacked source tree); without it
# the tag is cloned from Qt's public repository.
#
# Then the program, the batch command and the tests are cross-built into
# build-windows/ (scripts/package-windows.sh packs them, scripts/test-windows.sh
# runs them under Wine).
#
# Usage: scripts/build-windows.sh [qt|deps|program]   (default: all three)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
what=${1:-all}

cache=${VP_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/valoprovod-windows}
jobs=${VP_JOBS:-$(nproc)}
qt_version=6.4.2
qt_prefix=$cache/qt-$qt_version-mingw
deps_prefix=$cache/deps
toolchain=$root/packaging/windows/mingw-w64.cmake
mkdir -p "$cache/src"

log() { printf '[build-windows %s] %s\n' "$(date +%H:%M:%S)" "$*"; }

# --- host tools ---------------------------------------------------------------
setup_host() {
  local packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools ninja-build cmake
                  dpkg-dev xz-utils bzip2 git pkg-config googletest
                  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libeigen3-dev)
  local missing=() p
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  local sudo=""; [ "$(id -u)" -ne 0 ] && sudo=sudo
  # A deb-src twin of every deb source of Debian's archive, so that
  # apt-get source can fetch the sources the libraries are built from.
  local twin=/etc/apt/sources.list.d/valoprovod-deb-src.sources
  if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
    log "adding $twin"
    local f
    for f in /etc/apt/sources.list.d/*.sources; do
      [ -e "$f" ] || continue
      grep -q 'debian' "$f" || continue
      sed 's/^Types:.*/Types: deb-src/' "$f"
      echo
    done | $sudo tee "$twin" >/dev/null
    missing+=(__update)
  fi
  if [ ${#missing[@]} -gt 0 ]; then
    $sudo apt-get update -q
    missing=("${missing[@]/__update/}")
    local list=() m
    for m in "${missing[@]}"; do [ -n "$m" ] && list+=("$m"); done
    if [ ${#list[@]} -gt 0 ]; then
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${list[@]}"
    fi
  fi
}

# Unpacks the upstream tarball of a Debian source package into $cache/src/<pkg>
# and prints that folder. Bookworm's own version is asked for: the security
# suite lists some sources that its pool does not serve.
debian_source() {
  local pkg=$1 dir=$cache/src/$1
  if [ ! -f "$dir/.unpacked" ]; then
    rm -rf "$dir" && mkdir -p "$dir"
    (cd "$dir" && apt-get source --download-only "$pkg/bookworm" >&2)
    local tarball
    tarball=$(ls "$dir"/*.orig.tar.* | head -n1)
    tar -xf "$tarball" -C "$dir"
    touch "$dir/.unpacked"
  fi
  echo "$dir"
}

# The folder of a source tree unpacked by debian_source (the one folder beside
# the tarballs).
source_tree() { find "$1" -mindepth 1 -maxdepth 1 -type d | head -n1; }

# Prints the stamp of a part: what it is built from, so that a change of any of
# these builds it again.
compiler_id() { x86_64-w64-mingw32-g++-posix --version | head -n1; }

stamp_matches() { [ -f "$1/.stamp" ] && [ "$(cat "$1/.stamp")" = "$2" ]; }

# --- Qt -------------------------------------------------------------------------
qtcharts_source() {
  if [ -n "${QTCHARTS_SRC:-}" ]; then
    echo "$QTCHARTS_SRC"
    return
  fi
  local dir=$cache/src/qtcharts
  if [ ! -d "$dir/.git" ]; then
    rm -rf "$dir"
    git clone -q --depth 1 --branch "v$qt_version" https://code.qt.io/qt/qtcharts.git "$dir" >&2 ||
      { echo "Qt Charts v$qt_version could not be cloned: set QTCHARTS_SRC to a copy of its source" >&2; return 1; }
  fi
  echo "$dir"
}

qt_configure_args=(
  -G Ninja -DCMAKE_BUILD_TYPE=Release
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_QMAKE_TARGET_MKSPEC=win32-g++
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  # No network, SQL or D-Bus in the program; Debian's sources lack wintab,
  # which tablet events on Windows need. OpenGL stays on (dynamic): the
  # Windows platform plugin of 6.4.2 does not compile without it.
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_network=OFF -DFEATURE_tabletevent=OFF
)

build_qt() {
  # Qt Charts is named by its tag: any copy of v6.4.2 builds the same.
  local stamp="qt $qt_version $(compiler_id) ${qt_configure_args[*]} toolchain $(sha256sum < "$toolchain" | cut -c1-16) charts v$qt_version"
  if stamp_matches "$qt_prefix" "$stamp"; then
    log "Qt $qt_version: cached in $qt_prefix"
    return
  fi
  # The sources first: a missing one stops here, before the cache is touched.
  local charts_src
  charts_src=$(qtcharts_source)
  if git -C "$charts_src" rev-parse HEAD >/dev/null 2>&1 &&
     [ "$(git -C "$charts_src" describe --tags --exact-match 2>/dev/null)" != "v$qt_version" ]; then
    echo "$charts_src is not Qt Charts v$qt_version" >&2
    return 1
  fi
  local src tree work=$cache/work/qt
  src=$(debian_source qt6-base)
  tree=$(source_tree "$src")
  # An interrupted build of the same stamp resumes where it stopped.
  stamp_matches "$work" "$stamp" || { rm -rf "$work" && mkdir -p "$work" && echo "$stamp" > "$work/.stamp"; }
  rm -rf "$qt_prefix"
  log "qtbase: configure ($tree)"
  cmake -S "$tree" -B "$work/base" "${qt_configure_args[@]}" \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$qt_prefix" > "$work/base-configure.log"
  log "qtbase: build (the longest step: about 20 minutes on two cores)"
  cmake --build "$work/base" --parallel "$jobs" > "$work/base-build.log"
  cmake --install "$work/base" > /dev/null
  log "qtcharts: configure and build ($charts_src)"
  cmake -S "$charts_src" -B "$work/charts" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
        -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF > "$work/charts-configure.log"
  cmake --build "$work/charts" --parallel "$jobs" > "$work/charts-build.log"
  cmake --install "$work/charts" > /dev/null
  echo "$stamp" > "$qt_prefix/.stamp"
  rm -rf "$work"
  log "Qt $qt_version: installed in $qt_prefix"
}

# --- libraries ----------------------------------------------------------------
# Each library is built shared (one DLL beside the program, linked through its
# import library, so that pkg-config's plain Libs suffice) against a static zlib.

# cmake_library NAME SOURCE_TREE ARGS...: configure, build and install into $deps_prefix.
cmake_library() {
  local name=$1 tree=$2; shift 2
  local work=$cache/work/$name
  rm -rf "$work"
  cmake -S "$tree" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$deps_prefix" "$@" > "$cache/work/$name-configure.log"
  cmake --build "$work" --parallel "$jobs" > "$cache/work/$name-build.log"
  cmake --install "$work" > /dev/null
  rm -rf "$work"
}

build_deps() {
  local zlib libzip xlsxwriter gtest=/usr/src/googletest
  zlib=$(debian_source zlib); libzip=$(debian_source libzip); xlsxwriter=$(debian_source libxlsxwriter)
  local stamp="deps $(compiler_id) toolchain $(sha256sum < "$toolchain" | cut -c1-16)"
  stamp+=" $(ls "$zlib" "$libzip" "$xlsxwriter" | grep '\.dsc$' | tr '\n' ' ')"
  stamp+="googletest $(dpkg-query -W -f='${Version}' googletest) recipe $(sed -n '/^build_deps()/,/^}/p' "$root/scripts/build-windows.sh" | sha256sum | cut -c1-16)"
  if stamp_matches "$deps_prefix" "$stamp"; then
    log "libraries: cached in $deps_prefix"
    return
  fi
  rm -rf "$deps_prefix" && mkdir -p "$cache/work"
  # zlib: only the static library (Debian's tree lacks the DLL's resources).
  log "zlib"
  local work=$cache/work/zlib tree
  tree=$(source_tree "$zlib")
  rm -rf "$work"
  cmake -S "$tree" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" > "$cache/work/zlib.log"
  cmake --build "$work" --target zlibstatic >> "$cache/work/zlib.log"
  install -D -m644 "$work/libzlibstatic.a" "$deps_prefix/lib/libzlibstatic.a"
  # libxlsxwriter.pc links "-lz".
  ln -s libzlibstatic.a "$deps_prefix/lib/libz.a"
  install -D -m644 -t "$deps_prefix/include" "$tree/zlib.h" "$work/zconf.h"
  rm -rf "$work"
  local zlib_args=(-DZLIB_INCLUDE_DIR="$deps_prefix/include" -DZLIB_LIBRARY="$deps_prefix/lib/libzlibstatic.a")
  log "libzip"
  cmake_library libzip "$(source_tree "$libzip")" "${zlib_args[@]}" -DBUILD_SHARED_LIBS=ON \
    -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF \
    -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF -DENABLE_GNUTLS=OFF -DENABLE_OPENSSL=OFF -DENABLE_MBEDTLS=OFF
  # libxlsxwriter takes UTF-8 file names and, built with MSVC, opens them as
  # UTF-16; for MinGW its sources switch that off and hand the bytes to the
  # ANSI fopen, which cannot name a file outside the ANSI code page. A copy
  # of the tree gets the UTF-16 path for MinGW too.
  local lxw=$cache/work/libxlsxwriter-src
  rm -rf "$lxw" && cp -r "$(source_tree "$xlsxwriter")" "$lxw"
  sed -i '/^#ifdef __MINGW32__$/,/^#endif$/d' "$lxw/src/packager.c" "$lxw/src/utility.c"
  sed -i 's/^    if(MSVC)$/    if(WIN32)/' "$lxw/CMakeLists.txt"
  log "libxlsxwriter"
  cmake_library libxlsxwriter "$lxw" "${zlib_args[@]}" -DBUILD_SHARED_LIBS=ON
  rm -rf "$lxw"
  log "googletest"
  cmake_library googletest "$gtest" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
  echo "$stamp" > "$deps_prefix/.stamp"
}

# --- the program --------------------------------------------------------------
build_program() {
  local out=$root/build-windows
  mkdir -p "$out"
  # Qt's toolchain file loads ours, and the libraries' prefix is searched too.
  cat > "$out/toolchain.cmake" <<EOF
set(QT_CHAINLOAD_TOOLCHAIN_FILE "$toolchain")
include("$qt_prefix/lib/cmake/Qt6/qt.toolchain.cmake")
list(APPEND CMAKE_FIND_ROOT_PATH "$deps_prefix")
EOF
  log "program: configure and build in $out"
  PKG_CONFIG_LIBDIR=$deps_prefix/lib/pkgconfig PKG_CONFIG_PATH='' \
    cmake -S "$root" -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$out/toolchain.cmake" -DEigen3_DIR=/usr/share/eigen3/cmake > "$out/configure.log"
  cmake --build "$out" --parallel "$jobs"
  log "program: built in $out"
}

# --- main ---------------------------------------------------------------------
setup_host
case $what in
  qt) build_qt ;;
  deps) build_deps ;;
  program) build_program ;;
  all) build_qt; build_deps; build_program ;;
  *) echo "usage: $0 [qt|deps|program]" >&2; exit 2 ;;
esac
