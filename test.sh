#!/usr/bin/env bash
# Builds Quavert and runs every test through ctest twice: once as built for use, once under
# AddressSanitizer and UndefinedBehaviorSanitizer; in between, fuzzes the whole program for a
# minute (QUAVERT_FUZZ_SECONDS changes it). With QUAVERT_PACKAGE_CHECK=1 it also builds the Debian
# package and tries it in a clean Debian 12 root (scripts/check-package.sh, as root). Fails when
# any of them fails.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${QUAVERT_BUILD_PACKAGES[@]}" "${QUAVERT_TEST_PACKAGES[@]}" clang libclang-rt-14-dev

jobs=$(nproc)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)

build() {  # build FOLDER CMAKE-ARGS...
  local folder=$1
  shift
  cmake -S . -B "$folder" -G Ninja -DCMAKE_COMPILE_WARNING_AS_ERROR=ON "${launcher[@]}" "$@" >/dev/null
  cmake --build "$folder" -j "$jobs"
}

export QT_QPA_PLATFORM=offscreen

echo "== build"
build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== tests"
(cd build && ctest --output-on-failure -j "$jobs")

if [ "${QUAVERT_PACKAGE_CHECK:-0}" = 1 ]; then
  echo "== the Debian package, installed into a clean Debian 12 root (scripts/check-package.sh)"
  scripts/check-package.sh
fi

echo "== build with AddressSanitizer and UndefinedBehaviorSanitizer"
build build-asan -DCMAKE_BUILD_TYPE=Debug -DQUAVERT_SANITIZE=ON
echo "== fuzz the whole program briefly (scripts/fuzz.sh SECONDS runs it longer)"
scripts/fuzz.sh "${QUAVERT_FUZZ_SECONDS:-60}"
echo "== tests with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
(cd build-asan && ctest --output-on-failure -j "$jobs")
