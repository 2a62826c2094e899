#!/usr/bin/env bash
# Runs two builds of quavert-cli on the same MIDI files and reports every output that differs:
# check, the list of every track, the report, an unedited "Save Track" of every track, and an
# edited save (ticks per quarter note, the first tempo and "Save Track" of track 1).
#
#   scripts/compare-outputs.sh OLD_CLI NEW_CLI FILE...
#
# Prints "N files compared, D differ"; exits 1 when any output differs.
set -u
if [ $# -lt 3 ]; then
  echo "usage: $0 OLD_CLI NEW_CLI FILE..." >&2
  exit 2
fi
old=$(realpath "$1") new=$(realpath "$2")
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run CLI OUT FILE: every output of CLI for FILE into the folder OUT, with OUT left out of texts.
run() {
  local cli=$1 out=$2 file=$3 tracks track
  mkdir -p "$out"
  (
    cd "$out" || exit 1
    "$cli" check "$file" >check.txt 2>&1
    tracks=$(sed -n 's/.* \([0-9][0-9]*\) tracks.*/\1/p' check.txt)
    for track in $(seq 1 "${tracks:-1}"); do
      "$cli" list "$file" --track "$track" >"list$track.txt" 2>&1
      "$cli" edit "$file" --track "$track" --save-track --out "saved$track.mid" >"save$track.txt" 2>&1
    done
    "$cli" edit "$file" --track 1 --ticks 480 --tempo 90 --save-track --out edited.mid >edited.txt 2>&1
    "$cli" report "$file" --out report.txt >report-command.txt 2>&1
    sed -i "s|$out/||g" ./*.txt
  )
}

count=0 differ=0
for file in "$@"; do
  count=$((count + 1))
  path=$(realpath "$file")
  run "$old" "$work/$count/old" "$path"
  run "$new" "$work/$count/new" "$path"
  if ! diff -r -q "$work/$count/old" "$work/$count/new" >/dev/null; then
    differ=$((differ + 1))
    echo "differs: $file"
    diff -r -q "$work/$count/old" "$work/$count/new" | head -5
  fi
done
echo "$count files compared, $differ differ"
[ "$differ" -eq 0 ]
