#!/usr/bin/env bash
# Builds the Debian package from build/ (cpack -G DEB) and tries it as a user would: installs it
# with apt into a clean Debian 12 root made by debootstrap (minimal variant), and there runs
# quavert-cli --version, quavert-cli check on an example, man -w quavert-cli, and the window on a
# file under Xvfb as an ordinary user, whose working files must land in ~/.local/share/quavert.
# Fails on the first step that fails. Needs root (debootstrap, chroot, mount).
#
#   scripts/check-package.sh                 build the package and check it
#   scripts/check-package.sh --prepare-root  only make the cached root
#
# The root is made once and kept in QUAVERT_PACKAGE_CACHE (default /var/cache/quavert-package-check)
# with the packages apt downloaded for it, so that later runs take a copy of it and download
# nothing new. Each run works in an overlay of the clean root (or a copy of it); what the run
# changed (run-changes/, or the copy run/) is removed when every step passed, and kept to look
# into when one failed. apt in the root uses the same Debian mirror as this machine.
set -euo pipefail
cd "$(dirname "$0")/.."

cache=${QUAVERT_PACKAGE_CACHE:-/var/cache/quavert-package-check}
suite=bookworm
base=$cache/$suite-root       # the cached clean root, with Xvfb and man-db
archives=$cache/archives      # apt's downloaded packages, shared by every run
work=$cache/run               # this run's root
changes=$cache/run-changes    # what this run changed in it, when it is an overlay
overlay_work=$cache/run-overlay-work
example=examples/demo.mid

say() { echo "check-package: $*"; }
fail() {
  echo "check-package: FAILED: $*" >&2
  exit 1
}

if [ "$(id -u)" -ne 0 ]; then
  fail "needs root (debootstrap, chroot and mount)"
fi

source scripts/ensure-packages.sh
ensure_packages "${QUAVERT_BUILD_PACKAGES[@]}" debootstrap

# The Debian sources this machine's apt uses, one "URI SUITE COMPONENTS" a line: one-line entries
# of sources.list files and the stanzas of deb822 .sources files, Debian's archives only.
host_sources() {
  local file
  for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$file" ] || continue
    awk '$1 == "deb" { i = 2; if ($2 ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
                       line = $i " " $(i + 1); for (j = i + 2; j <= NF; j++) line = line " " $j; print line }' "$file"
  done
  for file in /etc/apt/sources.list.d/*.sources; do
    [ -f "$file" ] || continue
    awk 'function flush() { if (types ~ /(^| )deb( |$)/ && enabled != "no") { n = split(uris, u, " "); m = split(suites, s, " ");
                              for (a = 1; a <= n; a++) for (b = 1; b <= m; b++) print u[a] " " s[b] " " comps }
                            types = uris = suites = comps = enabled = "" }
         /^[ \t]*$/ { flush(); next }
         /^#/ { next }
         { key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ /, ""); value = $0 }
         key == "types" { types = value } key == "uris" { uris = value } key == "suites" { suites = value }
         key == "components" { comps = value } key == "enabled" { enabled = tolower(value) }
         END { flush() }' "$file"
  done | grep -E "^[^ ]+/debian(-security)?/? " || true
}

# The root's sources: those of this machine for the suite, else Debian's own mirror.
root_sources() {
  local lines
  lines=$(host_sources | awk -v suite="$suite" '$2 == suite || index($2, suite "-") == 1 { print "deb " $0 }' | sort -u)
  [ -n "$lines" ] || lines="deb http://deb.debian.org/debian $suite main"
  echo "$lines"
}

mirror() { root_sources | awk '$2 !~ /-security\/?$/ { print $2; exit }'; }

# Ends every process whose root folder is ROOT: what this script started in it.
end_processes_in() {
  local root pid
  root=$(readlink -f "$1")
  for pid in /proc/[0-9]*; do
    [ "$(readlink "$pid/root" 2>/dev/null)" = "$root" ] && kill -TERM "${pid#/proc/}" 2>/dev/null
  done
  return 0
}

# Removes a root left by an earlier run, unmounting first whatever that run left mounted in it.
remove_root() {
  local root mount_point
  [ -e "$1" ] || return 0
  root=$(readlink -f "$1")
  end_processes_in "$root"
  awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/mounts | sort -r |
    while read -r mount_point; do umount -l "$mount_point" 2>/dev/null || true; done
  rm -rf --one-file-system "$root"
}

mounted=()
roots=()
cleanup() {
  local i root
  for root in "${roots[@]}"; do end_processes_in "$root"; done
  [ ${#roots[@]} -eq 0 ] || sleep 1
  roots=()
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[$i]}" 2>/dev/null || true
  done
  mounted=()
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mount_in() {  # mount_in ROOT ARGS... TARGET: mounts and remembers the target for the clean-up
  local target=${*: -1}
  mount "${@:2}"
  mounted+=("$target")
}

in_root() {  # in_root ROOT COMMAND...
  local root=$1
  shift
  chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    HOME=/root LANG=C.UTF-8 DEBIAN_FRONTEND=noninteractive "$@"
}

# Mounts /proc, /dev/pts, a /dev/shm and apt's shared download folder in ROOT.
enter_root() {
  local root=$1
  roots+=("$root")
  mkdir -p "$archives/partial"
  mount_in "$root" -t proc proc "$root/proc"
  mount_in "$root" -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
  mkdir -p "$root/dev/shm"
  mount_in "$root" -t tmpfs -o mode=1777 shm "$root/dev/shm"
  mount_in "$root" --bind "$archives" "$root/var/cache/apt/archives"
}

prepare_root() {
  if [ -f "$base/.complete" ]; then
    say "clean Debian root: $base (cached)"
    return 0
  fi
  local new=$base.new
  remove_root "$new"
  mkdir -p "$cache" "$archives/partial"
  say "making a clean Debian root with debootstrap from $(mirror) (once; kept in $cache)"
  debootstrap --variant=minbase --cache-dir="$archives" "$suite" "$new" "$(mirror)" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log" >&2; fail "debootstrap"; }
  root_sources >"$new/etc/apt/sources.list"
  # Keep every downloaded package: the next root made from this one needs them again.
  echo 'Binary::apt::APT::Keep-Downloaded-Packages "true";' >"$new/etc/apt/apt.conf.d/10keep-downloads"
  enter_root "$new"
  in_root "$new" apt-get update -qq || fail "apt-get update in the root"
  in_root "$new" apt-get install -y -qq --no-install-recommends xvfb xauth man-db >/dev/null ||
    fail "installing xvfb and man-db in the root"
  in_root "$new" apt-get clean -qq 2>/dev/null || true
  cleanup
  touch "$new/.complete"
  remove_root "$base"
  mv "$new" "$base"
  say "clean Debian root ready: $base"
}

prepare_root
[ "${1:-}" = --prepare-root ] && exit 0

say "building the package"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" >/dev/null || fail "building"
rm -f build/quavert_*.deb
(cd build && cpack -G DEB >cpack.log 2>&1) || { tail -n 20 build/cpack.log >&2; fail "cpack -G DEB"; }
deb=$(ls build/quavert_*_amd64.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "cpack made no quavert_*_amd64.deb"
say "package: $deb ($(du -k "$deb" | cut -f1) KiB)"
say "Depends: $(dpkg-deb -f "$deb" Depends)"

# This run's root: the clean one with this run's changes on top (an overlay), or a copy of it
# where overlays cannot be mounted.
remove_root "$work"
rm -rf --one-file-system "$changes" "$overlay_work"
mkdir -p "$work" "$changes" "$overlay_work"
if mount -t overlay overlay -o "lowerdir=$base,upperdir=$changes,workdir=$overlay_work" "$work" 2>/dev/null; then
  mounted+=("$work")
  say "this run's root: the clean root with an overlay ($changes)"
else
  say "copying the clean root"
  cp -a --reflink=auto "$base/." "$work"
fi
enter_root "$work"
cp "$deb" "$work/tmp/"
cp "$example" "$work/tmp/example.mid"

say "apt install ./$(basename "$deb")"
in_root "$work" apt-get update -qq || fail "apt-get update in the root"
in_root "$work" apt-get install -y -qq --no-install-recommends "./tmp/$(basename "$deb")" >"$cache/install.log" 2>&1 ||
  { tail -n 20 "$cache/install.log" >&2; fail "apt install of the package"; }

say "quavert-cli --version"
in_root "$work" quavert-cli --version || fail "quavert-cli --version"
say "quavert-cli check /tmp/example.mid"
in_root "$work" quavert-cli check /tmp/example.mid || fail "quavert-cli check"
say "man -w quavert-cli"
in_root "$work" man -w quavert-cli || fail "man -w quavert-cli"

say "quavert /tmp/example.mid under Xvfb as the user 'tester'"
in_root "$work" useradd --create-home --shell /bin/bash tester || fail "useradd"
user_data=$work/home/tester/.local/share/quavert
# The window runs until it is stopped; it is stopped once the file is loaded, or after a minute.
in_root "$work" runuser -u tester -- env HOME=/home/tester QT_QPA_PLATFORM=xcb \
  timeout 60 xvfb-run -a quavert /tmp/example.mid >"$cache/window.log" 2>&1 &
window=$!
loaded=no
for _ in $(seq 1 60); do
  if [ -f "$user_data/quavert-temp.tmp" ] && [ -f "$user_data/logs/example.txt" ] &&
    [ -f "$work/home/tester/.config/quavert/quavert.ini" ]; then
    loaded=yes
    break
  fi
  kill -0 "$window" 2>/dev/null || break
  sleep 1
done
end_processes_in "$work"
wait "$window" 2>/dev/null || true
if [ "$loaded" != yes ]; then
  tail -n 20 "$cache/window.log" >&2
  ls -la "$user_data" "$user_data/logs" >&2 2>/dev/null || true
  fail "the window did not load /tmp/example.mid into ~tester/.local/share/quavert (settings in ~/.config/quavert)"
fi
say "the window loaded the file; tester's working files:"
(cd "$work/home/tester" && find .local/share/quavert .config/quavert -type f | sort | sed 's/^/  ~\//')
cleanup
remove_root "$work"
rm -rf --one-file-system "$changes" "$overlay_work"
say "all steps passed in $SECONDS s"
