# Versions of the dependencies that the project builds or unpacks itself, and where they are
# cached. A new version gets a new cache folder, so an old build is never mistaken for it.
LIBPNG_VERSION=1.6.39
LIBJPEG_TURBO_VERSION=2.1.5
QEMU_USER_VERSION=10.0.2
# The Debian release whose archive provides the source packages, the 32-bit Wine tree and qemu
# (from its backports suite).
DEBIAN_RELEASE=bookworm
# Wine as Debian packages it. The 64-bit Wine installed on the machine and the 32-bit Wine
# unpacked into the cache must be this same version: 32-bit processes talk to the machine's
# 64-bit wineserver, and the two speak one protocol version only.
WINE_VERSION=8.0~repack-4
VELA_CACHE=${VELA_CACHE:-/var/cache/vela}
