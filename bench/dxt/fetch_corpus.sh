#!/bin/bash
# Downloads the Debian packages that bench/dxt/corpus.txt names (the versions it names, from the
# archive this machine's apt sources already use) and unpacks the listed files into
# ${VELA_CACHE:-/var/cache/vela}/dxt-corpus/images/<package>/<file>. Nothing goes into the
# repository. Needs apt's lists (apt-get update once). Safe to run again.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=${VELA_CACHE:-/var/cache/vela}/dxt-corpus
mkdir -p "$root/debs" "$root/images" "$root/unpacked"
grep -v '^#' "$here/corpus.txt" | while read -r package version kind file; do
  [ -n "$package" ] || continue
  target="$root/images/$package/$file"
  [ -f "$target" ] && continue
  deb=$(ls "$root/debs/${package}_"*.deb 2>/dev/null | head -n1 || true)
  if [ -z "$deb" ]; then
    (cd "$root/debs" && apt-get download -q "$package=$version")
    deb=$(ls "$root/debs/${package}_"*.deb | head -n1)
  fi
  unpacked="$root/unpacked/$package"
  [ -d "$unpacked" ] || dpkg -x "$deb" "$unpacked"
  mkdir -p "$(dirname "$target")"
  cp "$unpacked/$file" "$target"
done
echo "corpus in $root/images"
