#!/usr/bin/env bash
# Builds Quavert and starts the editor.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/ensure-packages.sh
ensure_packages "${QUAVERT_BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"

# The first run opens the demo song: the program reopens the file its settings remember.
app_folder=${QUAVERT_HOME:-build}
if [ -d "$app_folder" ] && [ ! -e "$app_folder/quavert.ini" ] && [ -f examples/demo.mid ]; then
  printf '%s\n' "$PWD/examples/demo.mid" > "$app_folder/quavert.ini"
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found. To run the window without one:"
  echo "  apt-get install xvfb xauth && xvfb-run -a ./run.sh"
  exit 1
fi
exec build/quavert
