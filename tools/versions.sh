# Versions of the dependencies that the project builds or unpacks itself, and where they are
# cached. A new version gets a new cache folder, so an old build is never mistaken for it.
LIBPNG_VERSION=1.6.39
LIBJPEG_TURBO_VERSION=2.1.5
QEMU_USER_VERSION=10.0.2
VELA_CACHE=${VELA_CACHE:-/var/cache/vela}
