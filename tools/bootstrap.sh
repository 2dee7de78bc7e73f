#!/usr/bin/env bash
# Takes a Debian 12 machine (as root) to everything the build and the tests need:
#   - MinGW-w64 cross compilers for i686 (the product) and x86_64 (the test build), MinGW zlib
#   - 64-bit Wine, Xvfb and Mesa's software OpenGL (Direct3D 9 under Wine)
#   - static MinGW builds of libpng and libjpeg-turbo for both targets, from Debian's sources
#   - 32-bit Wine run through qemu-i386 10 (Debian 12's own qemu 7.2 cannot run it)
# Every step checks first and does nothing when its result is already there, so a warm
# run takes a second. Built dependencies are cached outside the checkout, keyed by version,
# in $VELA_CACHE (default /var/cache/vela).
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

# ---------------------------------------------------------------------------------------------
# Debian packages
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
    # Once i386 is a foreign architecture, the security suite's stale i386 index makes the
    # update report an error; the other indexes are fine, so that error is only a warning.
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

install_packages() {
  local missing
  missing=$(missing_packages "$@")
  [ -z "$missing" ] && return 0
  apt_update_once
  log "installing:" $missing
  # shellcheck disable=SC2086
  $sudo_cmd apt-get install -y -q --no-install-recommends $missing >/dev/null
}

install_packages "${host_packages[@]}"

# ---------------------------------------------------------------------------------------------
# libpng and libjpeg-turbo for MinGW, built from Debian's source packages
# ---------------------------------------------------------------------------------------------
ensure_deb_src() {
  local list=/etc/apt/sources.list.d/vela-bookworm-src.sources
  [ -f "$list" ] && return 0
  log "adding a deb-src entry for bookworm main"
  $sudo_cmd tee "$list" >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
  apt_updated=0
}

# fetch_source NAME UPSTREAM_VERSION -> prints the unpacked source folder
fetch_source() {
  local name=$1 version=$2 dir="$VELA_CACHE/src/$1-$2"
  if [ ! -f "$dir/.unpacked" ]; then
    ensure_deb_src
    apt_update_once
    local work
    work=$(mktemp -d)
    # apt fetches as its own unprivileged user where it can write.
    if id _apt >/dev/null 2>&1; then chown _apt "$work" 2>/dev/null || true; fi
    log "fetching Debian source of $name"
    (cd "$work" && apt-get source -q --download-only "$name" >/dev/null)
    local orig
    orig=$(ls "$work"/*.orig.tar.* | head -n 1)
    case "$(basename "$orig")" in
      *"_$version.orig"*) ;;
      *) log "warning: expected $name $version, got $(basename "$orig")" ;;
    esac
    rm -rf "$dir" && mkdir -p "$dir"
    tar -xf "$orig" -C "$dir" --strip-components=1
    # Keep the Debian tarballs beside the source: the test images come from them as well.
    touch "$dir/.unpacked"
    rm -rf "$work"
  fi
  echo "$dir"
}

# build_static NAME VERSION TARGET_TRIPLE CMAKE_ARGS...
build_static() {
  local name=$1 version=$2 triple=$3
  shift 3
  local prefix="$VELA_CACHE/$triple/$name-$version"
  [ -f "$prefix/.done" ] && return 0
  local src build
  src=$(fetch_source "$name" "$version")
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
# Wine starts each process as "<loader dir>/wine-preloader <loader dir>/wine ..." when that file
# exists. A private tree with a copy of the 32-bit loader and a preloader script that execs
# qemu-i386 runs 32-bit Wine on a machine that cannot execute i386 code itself.
i386_packages=(
  wine32:i386 libgl1:i386 libglx-mesa0:i386 libgl1-mesa-dri:i386
  libxrender1:i386 libxrandr2:i386 libxi6:i386 libxcursor1:i386 libxinerama1:i386
  libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386
)

# Private apt state: the security suite's i386 index has been seen stale, so the i386 packages
# come from a sources list with only bookworm and bookworm-updates.
apt_private() {
  local name=$1
  shift
  local dir="$VELA_CACHE/apt-$name"
  mkdir -p "$dir/lists/partial" "$dir/parts"
  echo "-o Dir::Etc::SourceParts=$dir/parts -o Dir::Etc::SourceList=$dir/sources.list -o Dir::State::Lists=$dir/lists"
}

ensure_wine32() {
  local root="$VELA_CACHE/wine32-qemu-$QEMU_USER_VERSION"
  if [ -f "$root/.done" ] && [ -z "$(missing_packages wine64 "${i386_packages[@]}")" ]; then
    echo "$root" >"$VELA_CACHE/wine32-root"
    return 0
  fi

  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    log "adding the i386 architecture"
    $sudo_cmd dpkg --add-architecture i386
  fi
  if [ -n "$(missing_packages wine64 "${i386_packages[@]}")" ]; then
    local opts
    opts=$(apt_private i386)
    cat >"$VELA_CACHE/apt-i386/sources.list" <<'EOF'
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-updates main
EOF
    log "installing 32-bit Wine and Mesa"
    # shellcheck disable=SC2086
    $sudo_cmd apt-get $opts update -q >/dev/null
    # A Multi-Arch library must have one version on both architectures. Where the amd64 copy
    # came from the security suite and the i386 one cannot, apt would remove the amd64 copy
    # (and 64-bit Wine with it); instead the amd64 copy is moved to the i386 version.
    local plan pins=() name version installed
    # shellcheck disable=SC2086
    plan=$(apt-get $opts -s install --no-install-recommends "${i386_packages[@]}" 2>/dev/null || true)
    while read -r name version; do
      [ -n "$name" ] || continue
      installed=$(dpkg-query -W -f='${Version}' "${name%:i386}:amd64" 2>/dev/null || true)
      if [ -n "$installed" ] && [ "$installed" != "$version" ]; then
        pins+=("${name%:i386}:amd64=$version")
      fi
    done < <(sed -n 's/^Inst \([^ ]*:i386\) (\([^ ]*\) .*/\1 \2/p' <<<"$plan")
    [ ${#pins[@]} -eq 0 ] || log "aligning amd64 libraries with i386:" "${pins[@]}"
    # shellcheck disable=SC2086
    $sudo_cmd apt-get $opts install -y -q --no-install-recommends --allow-downgrades \
      wine64 "${i386_packages[@]}" "${pins[@]}" >/dev/null
  fi
  [ -z "$(missing_packages wine64 "${i386_packages[@]}")" ] || { log "32-bit Wine did not install"; exit 1; }

  local qemu="$VELA_CACHE/qemu-user-$QEMU_USER_VERSION/usr/bin/qemu-i386"
  if [ ! -x "$qemu" ]; then
    local opts work
    opts=$(apt_private backports)
    cat >"$VELA_CACHE/apt-backports/sources.list" <<'EOF'
deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm-backports main
EOF
    log "downloading qemu-user from bookworm-backports"
    # shellcheck disable=SC2086
    apt-get $opts update -q >/dev/null
    work=$(mktemp -d)
    if id _apt >/dev/null 2>&1; then chown _apt "$work" 2>/dev/null || true; fi
    # shellcheck disable=SC2086
    (cd "$work" && apt-get $opts download -q "qemu-user/bookworm-backports" >/dev/null)
    local deb
    deb=$(ls "$work"/qemu-user_*.deb)
    case "$(basename "$deb")" in
      *"$QEMU_USER_VERSION"*) ;;
      *) log "warning: expected qemu-user $QEMU_USER_VERSION, got $(basename "$deb")" ;;
    esac
    rm -rf "$VELA_CACHE/qemu-user-$QEMU_USER_VERSION"
    dpkg -x "$deb" "$VELA_CACHE/qemu-user-$QEMU_USER_VERSION"
    rm -rf "$work"
  fi

  log "laying out the 32-bit Wine tree"
  rm -rf "$root"
  mkdir -p "$root/lib/wine" "$root/share"
  cp /usr/lib/wine/wine "$root/lib/wine/wine"
  ln -s /usr/lib/wine/wineserver "$root/lib/wine/wineserver"
  ln -s /usr/lib/i386-linux-gnu "$root/lib/i386-linux-gnu"
  ln -s /usr/share/wine "$root/share/wine"
  cat >"$root/lib/wine/wine-preloader" <<EOF
#!/bin/sh
exec "$qemu" "\$@"
EOF
  chmod +x "$root/lib/wine/wine-preloader"
  touch "$root/.done"
  echo "$root" >"$VELA_CACHE/wine32-root"
}

if [ "$want_wine32" -eq 1 ]; then
  ensure_wine32
fi

log "ready (cache: $VELA_CACHE)"
