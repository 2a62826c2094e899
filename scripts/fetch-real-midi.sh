#!/usr/bin/env bash
# Prints the paths of real-world MIDI files for tests that want files nobody here wrote: the
# songs of Debian's openttd-openmsx package, downloaded with apt-get and unpacked into a cache
# folder (default build/real-midi). Nothing of it belongs in the repository.
#
#   scripts/fetch-real-midi.sh [CACHE-FOLDER]
#
# Without the network or the package, it says so on standard error, prints no path and still
# exits 0, so that the tests that use the files skip instead of failing.
set -uo pipefail

package=openttd-openmsx
cache=${1:-build/real-midi}

note() { echo "fetch-real-midi: $*" >&2; }

list_songs() { find "$cache/unpacked" -type f -iname '*.mid' | LC_ALL=C sort; }

if ! mkdir -p "$cache"; then
  note "cannot create $cache; no real MIDI files"
  exit 0
fi
cache=$(cd "$cache" && pwd)

# Tests running side by side share the cache: one fetches, the others wait for it.
exec 9>"$cache/.lock"
flock 9 2>/dev/null || true

if [ -f "$cache/unpacked/.complete" ]; then
  list_songs
  exit 0
fi

apt_quick=(-o Acquire::Retries=0 -o Acquire::http::Timeout=10 -o Acquire::https::Timeout=10)
download() { (cd "$cache" && apt-get "${apt_quick[@]}" download "$package") >/dev/null 2>&1; }
deb=$(ls "$cache"/${package}_*.deb 2>/dev/null | head -n 1)
if [ -z "$deb" ]; then
  # A machine that has never read the package lists knows no package; root can read them.
  if ! download && [ "$(id -u)" -eq 0 ]; then
    apt-get "${apt_quick[@]}" update -qq >/dev/null 2>&1 && download
  fi
  deb=$(ls "$cache"/${package}_*.deb 2>/dev/null | head -n 1)
fi
if [ -z "$deb" ]; then
  note "could not download $package (offline, or no such package here); no real MIDI files"
  exit 0
fi

rm -rf "$cache/unpacked"
if ! dpkg-deb -x "$deb" "$cache/unpacked"; then
  note "could not unpack $deb; no real MIDI files"
  rm -rf "$cache/unpacked" "$deb"
  exit 0
fi
touch "$cache/unpacked/.complete"
list_songs
