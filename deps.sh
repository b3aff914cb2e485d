#!/usr/bin/env bash
# Installs the build dependencies that are missing (Debian 12). Sourced by run.sh and test.sh.
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
