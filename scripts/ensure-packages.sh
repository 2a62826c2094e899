# Sourced by run.sh and test.sh: installs the Debian packages named, when any is missing.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
      missing+=("$package")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing Debian packages: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo=(sudo); else
      echo "These packages are missing and installing them needs root: ${missing[*]}" >&2
      return 1
    fi
  fi
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# What building Quavert needs on a fresh Debian 12 (librsvg2-bin draws the PNG icons; dpkg-dev,
# part of build-essential, gives cpack the package's dependencies).
QUAVERT_BUILD_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev libfluidsynth-dev
                        timgm6mb-soundfont libgtest-dev librsvg2-bin)
# What the tests use besides: the validators of the desktop entry and the metainfo, groff for the
# manual pages, and bash-completion to try the completion.
QUAVERT_TEST_PACKAGES=(desktop-file-utils appstream groff-base bash-completion)
