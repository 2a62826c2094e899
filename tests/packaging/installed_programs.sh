#!/usr/bin/env bash
# installed_programs.sh BUILD-FOLDER SOURCE-FOLDER
# Installs the build into a prefix of its own (cmake --install --prefix) and checks what a user
# gets: every file in its place, icons of their sizes, a quavert-cli that finds the installed
# genmidi.ini, and a window that, opened on a file, keeps its working files in the user's
# ~/.local/share/quavert and its settings in ~/.config/quavert, and writes nothing into the prefix.
set -uo pipefail
build=$1
source=$2
scratch=$(mktemp -d)
window=
cleanup() {
  [ -z "$window" ] || kill "$window" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
failures=0
fail() {
  echo "installed_programs.sh: $*" >&2
  failures=$((failures + 1))
}

prefix=$scratch/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "cmake --install failed" >&2; exit 1; }

expected=(bin/quavert-cli share/quavert/genmidi.ini share/applications/org.example.quavert.desktop
          share/metainfo/org.example.quavert.metainfo.xml share/icons/hicolor/scalable/apps/quavert.svg
          share/man/man1/quavert-cli.1.gz share/man/man1/quavert.1.gz share/bash-completion/completions/quavert-cli)
with_window=no
[ -x "$build/quavert" ] && with_window=yes && expected+=(bin/quavert)
for size in 48 128 256; do expected+=("share/icons/hicolor/${size}x${size}/apps/quavert.png"); done
for file in "${expected[@]}"; do [ -f "$prefix/$file" ] || fail "not installed: $file"; done
(cd "$prefix" && find . -type f | sort) >"$scratch/installed.txt"

# A PNG's width and height are the big-endian numbers at bytes 16 and 20.
for size in 48 128 256; do
  png=$prefix/share/icons/hicolor/${size}x${size}/apps/quavert.png
  [ -f "$png" ] || continue
  dimensions=$(od -An -tu1 -j16 -N8 "$png" | awk '{ print $3 * 256 + $4 "x" $7 * 256 + $8 }')
  [ "$dimensions" = "${size}x${size}" ] || fail "the ${size} px icon is $dimensions"
done

desktop=$prefix/share/applications/org.example.quavert.desktop
grep -qx 'Exec=quavert %f' "$desktop" || fail "the desktop entry does not start 'quavert %f'"
grep -qE '^MimeType=audio/midi;audio/x-midi;' "$desktop" || fail "the desktop entry does not open MIDI files"
bash -n "$prefix/share/bash-completion/completions/quavert-cli" || fail "the bash completion is no bash"

# The user's world: a home of their own, no QUAVERT_HOME, the default XDG folders.
home=$scratch/home
mkdir -p "$home"
user_env=(env -u QUAVERT_HOME -u XDG_DATA_HOME -u XDG_CONFIG_HOME -u DISPLAY -u WAYLAND_DISPLAY HOME="$home")
example=$source/examples/demo.mid

# The names come from the installed genmidi.ini exactly as from the one beside the built program.
installed=$("${user_env[@]}" "$prefix/bin/quavert-cli" list "$example" --track 2) || fail "installed quavert-cli list failed"
built=$(env -u QUAVERT_HOME "$build/quavert-cli" list "$example" --track 2)
grep -q 'Instrument: String Ensemble 1' <<<"$built" || fail "the built quavert-cli names no instrument"
[ "$installed" = "$built" ] || fail "the installed quavert-cli lists otherwise than the built one: $installed"
[ "$("$prefix/bin/quavert-cli" --version)" = "$("$build/quavert-cli" --version)" ] || fail "quavert-cli --version differs"

if [ "$with_window" = yes ]; then
  grep -qE '^quavert [0-9]' <<<"$("${user_env[@]}" "$prefix/bin/quavert" --version)" ||
    fail "quavert --version without a display"
  data=$home/.local/share/quavert
  "${user_env[@]}" "$prefix/bin/quavert" -platform offscreen "$example" >"$scratch/window.log" 2>&1 &
  window=$!
  for _ in $(seq 1 100); do
    [ -f "$data/quavert-temp.tmp" ] && [ -f "$data/logs/demo.txt" ] && break
    kill -0 "$window" 2>/dev/null || break
    sleep 0.3
  done
  [ -f "$data/quavert-temp.tmp" ] || fail "no working copy in ~/.local/share/quavert: $(cat "$scratch/window.log")"
  [ -f "$data/logs/demo.txt" ] || fail "no report in ~/.local/share/quavert/logs"
  [ -f "$home/.config/quavert/quavert.ini" ] || fail "no settings in ~/.config/quavert"
  kill "$window" 2>/dev/null
  wait "$window" 2>/dev/null
  window=
  (cd "$prefix" && find . -type f | sort) | diff "$scratch/installed.txt" - >/dev/null ||
    fail "the window wrote into the installation prefix"
fi
[ $failures -eq 0 ] && echo "installed_programs.sh: ${#expected[@]} files installed, the programs work from them"
exit $((failures > 0))
