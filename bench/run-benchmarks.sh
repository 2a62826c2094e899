#!/usr/bin/env bash
# Quavert's benchmarks in one command: builds quavert-generate and quavert-cli (Release, in
# build-bench/), writes the benchmark files, installs Debian's midicsv, python3-mido and GNU time
# when missing, then times side by side, several runs each and taking turns:
#
#   report:  quavert-cli report FILE --out REPORT   midicsv FILE CSV   mido loading FILE
#            on (a) single.mid, (b) medium.mid, (c) large.mid
#   list:    quavert-cli list FILE --track 1 > ROWS   midicsv FILE CSV
#            on (a) single.mid, (d) drums.mid, (e) programs.mid, (f) long.mid
#
# Every command writes what it makes to a file in build-bench/files/samples.
#   save:    Save Track of one unedited track of 100,000 events, in-process, against cp of the
#            same file (save-track-bench)
#   window:  "Notes..." in the real window (offscreen, shell_list_memory): the time until the list
#            is painted with rows and until the command is done, the scroll to
#            the end and the whole program's peak memory, on (g) one track of 10,000,000 events,
#            (a) single.mid and the examples
#
# and prints each command's median wall time, its peak memory (the largest maximum resident set
# size of its runs) and the ratios to midicsv, then all of it again as one Markdown table.
#
#   bench/run-benchmarks.sh [--runs N] [--files LETTERS]      (defaults: 5 runs, files abcdef)
set -euo pipefail
export LC_ALL=C
cd "$(dirname "$0")/.."

runs=5
letters=abcdefg
usage() {
  echo "usage: bench/run-benchmarks.sh [--runs N] [--files LETTERS]" >&2
  echo "  LETTERS choose among a single, b medium, c large, d drums, e programs, f long," >&2
  echo "  g huge (the window only)" >&2
  exit 2
}
while [ $# -gt 0 ]; do
  case $1 in
    --runs) [ $# -ge 2 ] && [[ $2 =~ ^[1-9][0-9]*$ ]] || usage; runs=$2; shift 2 ;;
    --files) [ $# -ge 2 ] && [[ $2 =~ ^[a-g]+$ ]] || usage; letters=$2; shift 2 ;;
    *) usage ;;
  esac
done

source scripts/ensure-packages.sh
ensure_packages "${QUAVERT_BUILD_PACKAGES[@]}" midicsv python3-mido time

# Debian's interpreter, the one python3-mido belongs to, whatever else is first on the PATH.
python=/usr/bin/python3

echo "== build (Release, build-bench/)"
build=build-bench
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUAVERT_GUI=ON "${launcher[@]}" >/dev/null
targets=(quavert-generate)
# The list is read whole first: grep -q stops reading at its first match, and under pipefail the
# writer's broken pipe would make a target that is there look missing.
known=$(ninja -C "$build" -t targets all 2>/dev/null || true)
have_cli=0
if grep -q '^quavert-cli:' <<<"$known"; then
  targets+=(quavert-cli)
  have_cli=1
fi
have_save=0
if grep -q '^save-track-bench:' <<<"$known"; then
  targets+=(save-track-bench)
  have_save=1
fi
have_window=0
if grep -q '^shell_list_memory:' <<<"$known"; then
  targets+=(shell_list_memory)
  have_window=1
fi
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null
cli=$PWD/$build/quavert-cli
[ $have_cli -eq 1 ] || echo "quavert-cli is not part of this build yet: its rows are left out."

work=$PWD/$build/files
mkdir -p "$work"
declare -A file_of=([a]=single [b]=medium [c]=large [d]=drums [e]=programs [f]=long [g]=huge)
# What quavert-generate makes each file of: its kind, then any further arguments.
declare -A make_of=([a]=single [b]=medium [c]=large [d]=drums [e]=programs [f]="single --events 2000000"
  [g]="single --events 10000000")
echo "== files (in $work)"
for letter in $(grep -o . <<<"$letters"); do
  name=${file_of[$letter]}
  file=$work/$name.mid
  if [ ! -f "$file" ] || [ "$build/quavert-generate" -nt "$file" ]; then
    read -r -a make <<<"${make_of[$letter]}"
    "$build/quavert-generate" "${make[0]}" "$file" "${make[@]:1}" >/dev/null
  fi
  printf '  (%s) %-13s %9d bytes\n' "$letter" "$name.mid" "$(stat -c %s "$file")"
done

# One timed run: appends "SECONDS KILOBYTES STATUS" to the samples file. The wall time is taken
# around GNU time, which gives the peak memory; the same small overhead falls on every command.
samples=$work/samples
rm -rf "$samples"
mkdir -p "$samples"
# The command's standard output goes to OUTPUT-FILE (/dev/null when nothing reads it).
measure() {  # measure SAMPLES-FILE OUTPUT-FILE COMMAND...
  local into=$1 output=$2
  shift 2
  local start end status=0
  start=$EPOCHREALTIME
  /usr/bin/time -v -o "$samples/time.txt" "$@" >"$output" 2>"$samples/stderr.txt" || status=$?
  end=$EPOCHREALTIME
  local kilobytes
  kilobytes=$(awk -F': ' '/Maximum resident set size/ { print $2 }' "$samples/time.txt")
  echo "$start $end ${kilobytes:-0} $status" | awk '{ printf "%.6f %d %d\n", $2 - $1, $3, $4 }' >>"$into"
  if [ "$status" -ne 0 ]; then
    echo "  failed ($status): $*" >&2
    sed 's/^/    /' "$samples/stderr.txt" | head -n 5 >&2
  fi
}

# The median time, the peak memory and whether every run succeeded, of one samples file.
summary() {  # summary SAMPLES-FILE -> "SECONDS KILOBYTES FAILURES"
  sort -n "$1" | awk '
    { time[NR] = $1; if ($2 > peak) peak = $2; if ($3 != 0) failed++ }
    END {
      median = NR % 2 ? time[(NR + 1) / 2] : (time[NR / 2] + time[NR / 2 + 1]) / 2
      printf "%.6f %d %d\n", median, peak, failed
    }'
}

print_row() {  # print_row LABEL SAMPLES-FILE
  read -r seconds kilobytes failed < <(summary "$2")
  local note=""
  [ "$failed" -gt 0 ] && note="  ($failed of $runs runs failed)"
  printf '  %-34s %10.3f s %10.1f MB%s\n' "$1" "$seconds" "$(awk -v k="$kilobytes" 'BEGIN { print k / 1024 }')" "$note"
}

ratio() {  # ratio SAMPLES-A SAMPLES-B -> median of A / median of B
  awk -v a="$(summary "$1" | cut -d' ' -f1)" -v b="$(summary "$2" | cut -d' ' -f1)" \
    'BEGIN { if (b > 0) printf "%.2f", a / b; else printf "-" }'
}

run_case() {  # run_case KIND LETTER
  local kind=$1 letter=$2
  local name=${file_of[$letter]}
  local file=$work/$name.mid
  local dir=$samples/$kind-$name
  mkdir -p "$dir"
  # Each command is kept as one line of shell words, quoted, so that paths with blanks survive.
  local -a labels=() commands=() outputs=()
  local quavert=-1 midicsv mido=-1
  if [ $have_cli -eq 1 ]; then
    quavert=${#commands[@]}
    labels+=("quavert-cli $kind")
    if [ "$kind" = report ]; then
      # A real file rather than --out /dev/null: the report is written as a user gets it, and a
      # program that replaces its destination in one step can never replace the device node.
      commands+=("$(printf '%q ' "$cli" report "$file" --out "$dir/report.txt")")
      outputs+=(/dev/null)
    else
      # The rows go to a file, as midicsv's CSV does.
      commands+=("$(printf '%q ' "$cli" list "$file" --track 1)")
      outputs+=("$dir/list.txt")
    fi
  fi
  midicsv=${#commands[@]}
  labels+=("midicsv")
  commands+=("$(printf '%q ' midicsv "$file" "$dir/midicsv.csv")")
  outputs+=(/dev/null)
  if [ "$kind" = report ]; then
    mido=${#commands[@]}
    labels+=("mido (python3-mido)")
    commands+=("$(printf '%q ' "$python" -c 'import mido,sys; mido.MidiFile(sys.argv[1])' "$file")")
    outputs+=(/dev/null)
  fi

  echo
  printf '%s on (%s) %s, %d bytes, %d runs each\n' "$kind" "$letter" "$name.mid" "$(stat -c %s "$file")" "$runs"
  local run i
  for ((run = 1; run <= runs; run++)); do
    for i in "${!commands[@]}"; do
      eval "measure $(printf '%q %q' "$dir/$i.txt" "${outputs[$i]}") ${commands[$i]}"
    done
  done
  printf '  %-34s %12s %13s\n' "command" "median" "peak memory"
  for i in "${!commands[@]}"; do print_row "${labels[$i]}" "$dir/$i.txt"; done
  local -a ratios=()
  [ "$quavert" -ge 0 ] && ratios+=("quavert/midicsv $(ratio "$dir/$quavert.txt" "$dir/$midicsv.txt")")
  [ "$mido" -ge 0 ] && ratios+=("mido/midicsv $(ratio "$dir/$mido.txt" "$dir/$midicsv.txt")")
  [ ${#ratios[@]} -gt 0 ] && echo "  ratios: ${ratios[0]}${ratios[1]:+   ${ratios[1]}}"
  # The same figures as rows of the closing table.
  local place
  place="($letter) $name.mid, $(awk -v b="$(stat -c %s "$file")" 'BEGIN { big = b >= 1000000; printf(big ? "%.1f MB" : "%d KB", big ? b / 1e6 : b / 1e3) }')"
  for i in "${!commands[@]}"; do
    read -r seconds kilobytes failed < <(summary "$dir/$i.txt")
    local versus="1.00"
    [ "$i" -ne "$midicsv" ] && versus=$(ratio "$dir/$i.txt" "$dir/$midicsv.txt")
    table+=("$(printf '| %s | %s | %.3f s | %.1f MB | %s |' "$place" "${labels[$i]}" "$seconds" \
      "$(awk -v k="$kilobytes" 'BEGIN { print k / 1024 }')" "$versus")")
    place=""
  done
  return 0
}

table=()
echo
echo "== benchmarks: median wall time and peak memory ($(nproc) cores, Linux $(uname -r))"
echo "   $(dpkg-query -W -f='${Package} ${Version}  ' midicsv python3-mido)$("$python" --version)"
for letter in a b c; do [[ $letters == *$letter* ]] && run_case report "$letter"; done
for letter in a d e f; do [[ $letters == *$letter* ]] && run_case list "$letter"; done
if [ $have_save -eq 1 ]; then
  echo
  "$build/save-track-bench" 100000 "$runs"
fi

# "Notes..." in the window: the medians of the time until the list is painted with rows, of the
# time until the command is done, and of the scroll to the end, and the largest peak of the whole
# program, over the runs.
window_case() {  # window_case LABEL FILE
  local label=$1 file=$2 run line
  local -a shown=() listed=() scrolled=() peaks=()
  for ((run = 1; run <= runs; run++)); do
    line=$(QT_QPA_PLATFORM=offscreen "$build/shell_list_memory" "$file" 2>/dev/null | tail -n 1)
    [[ $line =~ after\ ([0-9]+)\ kB.*Notes\.\.\.\"\ shown\ ([0-9]+)\ ms,\ done\ ([0-9]+)\ ms,\ scroll\ to\ the\ end\ ([0-9]+)\ ms ]] || {
      echo "  $label: no figures ($line)" >&2
      return 0
    }
    peaks+=("${BASH_REMATCH[1]}")
    shown+=("${BASH_REMATCH[2]}")
    listed+=("${BASH_REMATCH[3]}")
    scrolled+=("${BASH_REMATCH[4]}")
  done
  median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
  local peak
  peak=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -n 1)
  printf '  %-34s %8s ms %8s ms %8s ms %10.1f MB\n' "$label" "$(median "${shown[@]}")" "$(median "${listed[@]}")" \
    "$(median "${scrolled[@]}")" \
    "$(awk -v k="$peak" 'BEGIN { print k / 1024 }')"
}
if [ $have_window -eq 1 ]; then
  echo
  echo "== the window: \"Notes...\" (offscreen), medians of $runs runs and the largest peak of the program"
  printf '  %-34s %11s %11s %11s %13s\n' "file" "list shown" "all done" "scroll" "peak memory"
  for letter in g a; do
    [[ $letters == *$letter* ]] && window_case "($letter) ${file_of[$letter]}.mid" "$work/${file_of[$letter]}.mid"
  done
  for example in examples/*.mid; do window_case "$(basename "$example")" "$example"; done
fi
if [ ${#table[@]} -gt 0 ]; then
  echo
  echo "== all of it as one table (the last column: the median against midicsv's on the same file)"
  echo "| file | command | median | peak memory | to midicsv |"
  echo "|---|---|---|---|---|"
  printf '%s\n' "${table[@]}"
fi
exit 0
