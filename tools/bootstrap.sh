#!/usr/bin/env bash
# Takes a Debian 12 machine (as root) to everything the build and the tests need:
#   - MinGW-w64 cross compilers for i686 (the product) and x86_64 (the test build), MinGW zlib
#   - 64-bit Wine, Xvfb and Mesa's software OpenGL (Direct3D 9 under Wine)
#   - static MinGW builds of libpng and libjpeg-turbo for both targets, from Debian's sources
#   - 32-bit Wine run through qemu-i386 10 (Debian 12's own qemu 7.2 cannot run it)
# It is a guest on the machine. On the system it only installs missing 64-bit packages, and
# it stops rather than let that change the version of an installed package. It adds no dpkg
# architecture and writes nothing into /etc: the source packages, the i386 packages of 32-bit
# Wine and qemu are fetched with apt state of its own, from the archive that the machine's own
# apt sources name, and unpacked into $VELA_CACHE (default /var/cache/vela), in folders keyed
# by the versions in tools/versions.sh.
# Every step checks first and does nothing when its result is already there, so a warm run
# takes a second.
#
# Usage: tools/bootstrap.sh [--no-wine32]
set -euo pipefail

want_wine32=1
for arg in "$@"; do
  case "$arg" in
    --no-wine32) want_wine32=0 ;;
    *) echo "bootstrap: unknown argument $arg" >&2; exit 2 ;;
  esac
done

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=tools/versions.sh
source "$here/versions.sh"

export DEBIAN_FRONTEND=noninteractive
log() { printf '[bootstrap] %s\n' "$*" >&2; }

if [ "$(id -u)" -ne 0 ]; then
  sudo_cmd=sudo
else
  sudo_cmd=
fi
mkdir -p "$VELA_CACHE" 2>/dev/null || $sudo_cmd mkdir -p "$VELA_CACHE"
[ -w "$VELA_CACHE" ] || $sudo_cmd chown "$(id -u):$(id -g)" "$VELA_CACHE"

# Temporary folders, removed however the script ends.
scratch=()
trap 'rm -rf "${scratch[@]}"' EXIT
# new_scratch NAME -> sets scratch_dir to a new empty folder in the cache, which apt's own
# user can reach
new_scratch() {
  scratch_dir=$(mktemp -d "$VELA_CACHE/.$1.XXXXXX")
  chmod 755 "$scratch_dir"
  scratch+=("$scratch_dir")
}

# ---------------------------------------------------------------------------------------------
# Debian packages of the machine
# ---------------------------------------------------------------------------------------------
host_packages=(
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 libz-mingw-w64-dev
  wine64 wine xvfb xauth libgl1-mesa-dri
  cmake ninja-build g++ make nasm python3 dpkg-dev ca-certificates xz-utils
  googletest binutils-mingw-w64-x86-64 imagemagick
  libpng-dev libjpeg62-turbo-dev zlib1g-dev clang libclang-rt-14-dev
  libstb-dev libsquish-dev libbenchmark-dev
)

apt_updated=0
apt_update_once() {
  if [ "$apt_updated" -eq 0 ]; then
    log "apt-get update"
    # An index that fails to download leaves the others usable: a warning, not the end.
    $sudo_cmd apt-get update -q >/dev/null 2>&1 || log "apt-get update reported errors; going on"
    apt_updated=1
  fi
}

missing_packages() {
  local pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || echo "$pkg"
  done
}

# Installs the packages that are missing, and only when that leaves every installed package at
# its version: a new package can require a newer version of an installed one (a -dev package
# wants its library at its own version), and apt would then upgrade that one along with it.
install_packages() {
  local missing plan changes
  missing=$(missing_packages "$@")
  [ -z "$missing" ] && return 0
  apt_update_once
  # shellcheck disable=SC2086
  plan=$(apt-get -s install --no-install-recommends $missing) \
    || { log "apt cannot install:" $missing; exit 1; }
  changes=$(sed -n -E 's/^Inst ([^ ]+) \[([^]]+)\] \(([^ ]+) .*/  \1 \2 -> \3/p
                       s/^Remv ([^ ]+) \[([^]]+)\].*/  \1 \2 -> removed/p' <<<"$plan")
  if [ -n "$changes" ]; then
    log "installing ${missing//$'\n'/ } would change these installed packages:"
    printf '%s\n' "$changes" >&2
    log "this script changes no installed version: bring those up to date yourself" \
      "(apt-get upgrade), or install the missing packages by hand, then run it again"
    exit 1
  fi
  log "installing: ${missing//$'\n'/ }"
  # shellcheck disable=SC2086
  $sudo_cmd apt-get install -y -q --no-install-recommends --no-remove $missing >/dev/null
}

install_packages "${host_packages[@]}"

# ---------------------------------------------------------------------------------------------
# apt state of our own
# ---------------------------------------------------------------------------------------------
# machine_archive SUITE -> the URI of the machine's first enabled "deb" entry for SUITE with
# component main, on the first line, and the key that entry names (Signed-By) on the lines
# after it. Reads the machine's sources in both formats: one-line and deb822.
machine_archive() {
  local want=$1 list parts f out
  eval "$(apt-config shell list Dir::Etc::sourcelist/f parts Dir::Etc::sourceparts/d)"
  for f in "$list" "$parts"/*.list; do
    [ -f "$f" ] || continue
    out=$(awk -v want="$want" '
      { sub(/#.*/, "") }
      $1 != "deb" { next }
      {
        line = $0; sub(/^[ \t]*deb[ \t]+/, "", line); opts = ""
        if (line ~ /^\[/) { i = index(line, "]"); opts = substr(line, 2, i - 2); line = substr(line, i + 1) }
        sub(/^[ \t]+/, "", line); n = split(line, w, /[ \t]+/)
        if (w[2] != want) next
        for (i = 3; i <= n; i++) if (w[i] == "main") {
          key = ""
          if (match(opts, /signed-by=[^ \t]+/)) key = substr(opts, RSTART + 10, RLENGTH - 10)
          print w[1]; print key; exit
        }
      }' "$f")
    [ -n "$out" ] && { echo "$out"; return 0; }
  done
  for f in "$parts"/*.sources; do
    [ -f "$f" ] || continue
    out=$(awk -v want="$want" '
      function has(list, word,   n, i, w) {
        n = split(list, w, /[ \t]+/)
        for (i = 1; i <= n; i++) if (w[i] == word) return 1
        return 0
      }
      BEGIN { RS = ""; FS = "\n" }
      {
        types = uris = suites = comps = key = field = ""; enabled = "yes"
        for (i = 1; i <= NF; i++) {
          l = $i
          if (l ~ /^#/) continue
          if (l ~ /^[ \t]/) { if (field == "signed-by") key = key "\n" l; continue }
          c = index(l, ":"); field = tolower(substr(l, 1, c - 1)); v = substr(l, c + 1)
          sub(/^[ \t]+/, "", v); sub(/[ \t]+$/, "", v)
          if (field == "types") types = v
          else if (field == "uris") uris = v
          else if (field == "suites") suites = v
          else if (field == "components") comps = v
          else if (field == "enabled") enabled = tolower(v)
          else if (field == "signed-by") key = v
        }
        if (enabled == "no" || !has(types, "deb") || !has(suites, want) || !has(comps, "main")) next
        split(uris, u, /[ \t]+/); print u[1]; print key; exit
      }' "$f")
    [ -n "$out" ] && { echo "$out"; return 0; }
  done
  return 1
}

# archive_sources TYPE "SUITES" SUITE... -> a deb822 entry of TYPE for SUITES, main, on the
# archive of the machine's entry for the first SUITE... it has.
archive_sources() {
  local type=$1 suites=$2 found="" suite key
  shift 2
  for suite in "$@"; do
    found=$(machine_archive "$suite") && break
  done
  [ -n "$found" ] || { log "the machine's apt sources have no deb entry for $* with main"; exit 1; }
  printf 'Types: %s\nURIs: %s\nSuites: %s\nComponents: main\n' "$type" "${found%%$'\n'*}" "$suites"
  key=$(sed -n '2,$p' <<<"$found")
  [ -z "$key" ] || printf 'Signed-By: %s\n' "$key"
}

# apt_private DIR [ARCH] -> sets apt_opts to an apt that keeps all its state in DIR: its own
# sources (DIR/sources.list.d, written by the caller), lists, cache and an empty dpkg status,
# and that runs none of the machine's update or dpkg hooks. The machine's apt configuration
# otherwise applies (proxies, keyrings). With ARCH, packages are of that architecture only.
apt_private() {
  local dir=$1 arch=${2:-}
  mkdir -p "$dir/lists/partial" "$dir/archives/partial" "$dir/cache" "$dir/state" \
    "$dir/sources.list.d" "$dir/preferences.d" "$dir/download"
  : >"$dir/status"
  : >"$dir/sources.list"
  cat >"$dir/apt.conf" <<EOF
Dir::Etc::SourceList "$dir/sources.list";
Dir::Etc::SourceParts "$dir/sources.list.d";
Dir::Etc::Preferences "$dir/preferences";
Dir::Etc::PreferencesParts "$dir/preferences.d";
Dir::State "$dir/state";
Dir::State::Lists "$dir/lists";
Dir::State::status "$dir/status";
Dir::Cache "$dir/cache";
Dir::Cache::archives "$dir/archives";
#clear APT::Update::Post-Invoke;
#clear APT::Update::Post-Invoke-Success;
#clear DPkg::Pre-Invoke;
#clear DPkg::Post-Invoke;
pkgCacheGen::Essential "none";
EOF
  if [ -n "$arch" ]; then
    printf '#clear APT::Architectures;\nAPT::Architecture "%s";\nAPT::Architectures { "%s"; };\n' \
      "$arch" "$arch" >>"$dir/apt.conf"
  fi
  # apt downloads as its own unprivileged user where it can write.
  if id _apt >/dev/null 2>&1; then chown _apt "$dir/download" 2>/dev/null || true; fi
  apt_opts=(-c "$dir/apt.conf")
}

# ---------------------------------------------------------------------------------------------
# libpng and libjpeg-turbo for MinGW, built from Debian's source packages
# ---------------------------------------------------------------------------------------------
src_apt=''
src_apt_opts=()
# fetch_source NAME UPSTREAM_VERSION: unpacks the source into $VELA_CACHE/src/NAME-VERSION
fetch_source() {
  local name=$1 version=$2 dir="$VELA_CACHE/src/$1-$2"
  if [ ! -f "$dir/.unpacked" ]; then
    if [ -z "$src_apt" ]; then
      new_scratch apt-src
      src_apt=$scratch_dir
      apt_private "$src_apt"
      src_apt_opts=("${apt_opts[@]}")
      archive_sources deb-src "$DEBIAN_RELEASE $DEBIAN_RELEASE-updates" "$DEBIAN_RELEASE" \
        >"$src_apt/sources.list.d/archive.sources"
      log "apt-get update (source packages of $DEBIAN_RELEASE)"
      apt-get "${src_apt_opts[@]}" update -q >/dev/null
    fi
    log "fetching Debian source of $name"
    (cd "$src_apt/download" && apt-get "${src_apt_opts[@]}" source -q --download-only "$name" >/dev/null)
    local origs orig
    origs=("$src_apt/download/${name}_"*.orig.tar.*)
    orig=${origs[0]}
    case "$(basename "$orig")" in
      *"_$version.orig"*) ;;
      *) log "warning: expected $name $version, got $(basename "$orig")" ;;
    esac
    rm -rf "$dir" && mkdir -p "$dir"
    tar -xf "$orig" -C "$dir" --strip-components=1
    # Keep the Debian tarballs beside the source: the test images come from them as well.
    touch "$dir/.unpacked"
  fi
}

# build_static NAME VERSION TARGET_TRIPLE CMAKE_ARGS...
build_static() {
  local name=$1 version=$2 triple=$3
  shift 3
  local prefix="$VELA_CACHE/$triple/$name-$version"
  [ -f "$prefix/.done" ] && return 0
  local src="$VELA_CACHE/src/$name-$version" build
  fetch_source "$name" "$version"
  build=$(mktemp -d)
  log "building $name $version for $triple"
  cmake -S "$src" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/toolchains/$triple.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" >"$build/configure.log" 2>&1 \
    || { cat "$build/configure.log" >&2; exit 1; }
  cmake --build "$build" -j"$(nproc)" >"$build/build.log" 2>&1 \
    || { tail -50 "$build/build.log" >&2; exit 1; }
  cmake --install "$build" >/dev/null
  touch "$prefix/.done"
  rm -rf "$build"
}

for triple in i686-w64-mingw32 x86_64-w64-mingw32; do
  build_static libjpeg-turbo "$LIBJPEG_TURBO_VERSION" "$triple" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=ON
  build_static libpng1.6 "$LIBPNG_VERSION" "$triple" \
    -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_LIBRARY="/usr/$triple/lib/libz.a" -DZLIB_INCLUDE_DIR="/usr/$triple/include"
done

# ---------------------------------------------------------------------------------------------
# 32-bit Wine under qemu-i386 10
# ---------------------------------------------------------------------------------------------
# The i386 packages of Wine, Mesa and the X libraries, with everything they depend on, are
# unpacked into a tree of their own, and qemu-i386 runs 32-bit programs with that tree as their
# root for files it has (-L): the dynamic loader, the libraries, Mesa's DRI driver and Wine's
# i386 unix libraries and DLLs come from it; everything else, such as /etc and /tmp, is the
# machine's. The machine's 64-bit wineserver serves the 32-bit clients.
# Wine starts each process as "<loader dir>/wine-preloader <loader dir>/wine ..." when that file
# exists; Debian ships none, so the tree's wine-preloader is a script that execs qemu-i386.
i386_packages=(
  libgl1 libglx-mesa0 libgl1-mesa-dri
  libxrender1 libxrandr2 libxi6 libxcursor1 libxinerama1
  libxcomposite1 libxfixes3 libxxf86vm1
)

fetch_qemu() {
  local dest=$1 work deb
  new_scratch apt-backports
  work=$scratch_dir
  apt_private "$work"
  archive_sources deb "$DEBIAN_RELEASE-backports" "$DEBIAN_RELEASE-backports" "$DEBIAN_RELEASE" \
    >"$work/sources.list.d/archive.sources"
  log "downloading qemu-user from $DEBIAN_RELEASE-backports"
  apt-get "${apt_opts[@]}" update -q >/dev/null
  (cd "$work/download" && apt-get "${apt_opts[@]}" download -q "qemu-user/$DEBIAN_RELEASE-backports" >/dev/null)
  deb=$(ls "$work"/download/qemu-user_*.deb)
  case "$(basename "$deb")" in
    *"$QEMU_USER_VERSION"*) ;;
    *) log "warning: expected qemu-user $QEMU_USER_VERSION, got $(basename "$deb")" ;;
  esac
  # Of the package, only the one static file is needed.
  dpkg -x "$deb" "$work/unpacked"
  rm -rf "$dest"
  mkdir -p "$dest/usr/bin"
  mv "$work/unpacked/usr/bin/qemu-i386" "$dest/usr/bin/qemu-i386"
  rm -rf "$work"
}

make_wine32_root() {
  local root=$1 tree="$1.partial" work deb
  rm -rf "$tree"
  mkdir -p "$tree"
  new_scratch apt-i386
  work=$scratch_dir
  apt_private "$work" i386
  # Not the security suite: its i386 index has been seen out of step with its Release file
  # (apt refuses it: "File has unexpected size"), which would stop every cold set-up. Nothing
  # in this tree faces the network.
  archive_sources deb "$DEBIAN_RELEASE $DEBIAN_RELEASE-updates" "$DEBIAN_RELEASE" \
    >"$work/sources.list.d/archive.sources"
  log "downloading 32-bit Wine $WINE_VERSION, Mesa and their i386 dependencies"
  apt-get "${apt_opts[@]}" update -q >/dev/null
  apt-get "${apt_opts[@]}" install -y -q --download-only --no-install-recommends \
    "wine32=$WINE_VERSION" "${i386_packages[@]}" >/dev/null
  log "unpacking them into $root"
  for deb in "$work"/archives/*.deb; do
    dpkg -x "$deb" "$tree"
    # shellcheck disable=SC2016  # dpkg-deb expands the fields
    dpkg-deb --show --showformat='${Package}=${Version}\n' "$deb" >>"$tree/.packages"
  done

  # What the packages' maintainer scripts would do, as far as it matters here. Wine loads
  # zlib1.dll as a builtin DLL: libwine's postinst makes one from the MinGW zlib DLL by
  # writing Wine's builtin signature into its DOS stub.
  local zlib="$tree/usr/i686-w64-mingw32/lib/zlib1.dll"
  { head -c 64 "$zlib"; printf 'Wine builtin DLL'; head -c 16 /dev/zero; tail -c +97 "$zlib"; } \
    >"$tree/usr/lib/i386-linux-gnu/wine/i386-windows/zlib1.dll"
  # Configuration comes from the machine's /etc, as it would for packages installed there (the
  # copies here were never set up by their maintainer scripts). The tree keeps one file: an
  # empty loader cache. The i386 loader then searches its built-in directories, which resolve
  # into the tree; with the machine's cache it would take libc from /usr/lib32 (libc6-i386),
  # another build than the tree's loader.
  rm -rf "${tree:?}/etc"
  mkdir "$tree/etc"
  : >"$tree/etc/ld.so.cache"
  touch "$tree/.done"
  rm -rf "$root" "$work"
  mv "$tree" "$root"
}

ensure_wine32() {
  local root="$VELA_CACHE/wine32-$WINE_VERSION"
  local qemu_dir="$VELA_CACHE/qemu-user-$QEMU_USER_VERSION"
  local wine64_version
  wine64_version=$(dpkg-query -W -f='${Version}' wine64)
  if [ "$wine64_version" != "$WINE_VERSION" ]; then
    log "the machine's wine64 is $wine64_version; 32-bit Wine must be the same version as its" \
      "wineserver, and tools/versions.sh names $WINE_VERSION"
    exit 1
  fi
  [ -x "$qemu_dir/usr/bin/qemu-i386" ] || fetch_qemu "$qemu_dir"
  [ -f "$root/.done" ] || make_wine32_root "$root"

  local preloader="$root/usr/lib/wine/wine-preloader" script
  script=$(printf '#!/bin/sh\nexec %q -L %q "$@"\n' "$qemu_dir/usr/bin/qemu-i386" "$root")
  if [ "$(cat "$preloader" 2>/dev/null)" != "$script" ]; then
    printf '%s\n' "$script" >"$preloader"
    chmod +x "$preloader"
  fi
  echo "$root" >"$VELA_CACHE/wine32-root"
}

if [ "$want_wine32" -eq 1 ]; then
  ensure_wine32
fi

log "ready (cache: $VELA_CACHE)"
