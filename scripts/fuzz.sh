#!/usr/bin/env bash
# Fuzzes the whole program: builds the libFuzzer target quavert-fuzz with clang in build-fuzz/
# and runs it for SECONDS (default 60) on one core. Every input is opened as a MIDI file and
# driven through the load, every track, the event lists, cell edits, "Save Track", the Edit frame
# and "Save Midi...", with checks after each (see tests/fuzz/road.h).
#
#   scripts/fuzz.sh [SECONDS]          e.g. scripts/fuzz.sh 36000 for ten hours
#
# The corpus grows in fuzz-corpus/ and is kept between runs; it starts from the examples and the
# damaged files of the robustness suite. A failing input is written to build-fuzz/artifacts/ and
# the script fails; replay it with build-fuzz/quavert-fuzz FILE. Memory is capped at 2 GB, one
# input at 20 s. The road's scratch folders go to /dev/shm when it is there (QUAVERT_FUZZ_TMP
# chooses another place).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

source scripts/ensure-packages.sh
ensure_packages build-essential cmake ninja-build clang libclang-rt-14-dev

launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Paths relative to the checkout, so that another clone of it finds the same compiled objects.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUAVERT_FUZZ=ON -DQUAVERT_GUI=OFF -DQUAVERT_PLAYBACK=OFF -DCMAKE_COMPILE_WARNING_AS_ERROR=ON \
  "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target quavert-fuzz quavert-fuzz-seeds

seeds=build-fuzz/seeds
rm -rf "$seeds"
mkdir -p "$seeds" fuzz-corpus build-fuzz/artifacts
build-fuzz/quavert-fuzz-seeds "$seeds"
cp examples/*.mid "$seeds"/

if [ -z "${QUAVERT_FUZZ_TMP:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export QUAVERT_FUZZ_TMP=/dev/shm
fi
export QUAVERT_GENMIDI=$PWD/data/genmidi.ini

echo "== fuzzing for $seconds s"
build-fuzz/quavert-fuzz -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -max_len=16384 \
  -dict=tests/fuzz/midi.dict -print_final_stats=1 -artifact_prefix=build-fuzz/artifacts/ \
  fuzz-corpus "$seeds" 2>build-fuzz/fuzz.log || {
  status=$?
  tail -n 60 build-fuzz/fuzz.log >&2
  echo "quavert-fuzz found a failing input (status $status): build-fuzz/artifacts/" >&2
  exit 1
}
grep '^stat::' build-fuzz/fuzz.log
