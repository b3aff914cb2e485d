#!/usr/bin/env bash
# Installs the build dependencies that are missing (Debian 12) and configures the build.
# Sourced by run.sh and test.sh.
quarry_install_deps() {
  local pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
              libhidapi-dev libudev-dev libxml2-dev libgtest-dev libgmock-dev fonts-dejavu-core
              locales fp-utils-3.2.2)
  quarry_install_missing "${pkgs[@]}"
}

# clang and its sanitizer and libFuzzer runtimes, for the fuzz targets (tests/fuzz/run.sh).
quarry_install_fuzz_deps() {
  quarry_install_missing clang libclang-rt-14-dev
}

# quarry_configure DIR [cmake arguments...]
# Configures DIR with the one configuration run.sh and test.sh share (RelWithDebInfo with the
# tests), so that the editor run.sh starts is the binary the tests test and neither script
# rebuilds the other's work. The extra arguments only ever switch options on: an option that
# one script set to OFF and the other to ON would rebuild everything on each change of script.
quarry_configure() {
  local dir="$1"
  shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRY_BUILD_TESTS=ON "$@"
}

# Installs those of the named packages that are not installed yet.
quarry_install_missing() {
  local missing=()
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}
