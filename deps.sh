#!/usr/bin/env bash
# Installs the build dependencies that are missing (Debian 12), configures the build and tidies
# its firmware folder. Sourced by run.sh and test.sh.
quarry_install_deps() {
  # libxkbcommon-dev: Qt's configuration looks for it and reports it missing otherwise.
  local pkgs=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
              libxkbcommon-dev libhidapi-dev libudev-dev libxml2-dev libgtest-dev libgmock-dev
              fonts-dejavu-core locales fp-utils-3.2.2)
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
    if [ "$(id -u)" -ne 0 ]; then
      if ! command -v sudo >/dev/null; then
        echo "These packages are missing; install them as root (apt-get install ${missing[*]}), or install sudo." >&2
        return 1
      fi
      sudo="sudo"
    fi
    $sudo apt-get update -qq
    # No progress bar from dpkg: in a log it is one endless line of percentages.
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 \
      "${missing[@]}"
  fi
}

# quarry_remove_stray_test_firmware BUILD_DIR
# Removes the virtual amplifier's synthetic image Cobalt_V5.20.bin (what make-test-firmware
# --version V5.20 writes) from BUILD_DIR/bin/Firmware, the folder the editor offers real amplifiers
# their firmware from: there it would be offered to them as an update, and it is pattern bytes, not
# firmware. Only a file that is byte for byte that image (its size and SHA-256 below) goes; another
# file of the same name, and every other file, stays.
quarry_remove_stray_test_firmware() {
  local file="$1/bin/Firmware/Cobalt_V5.20.bin"
  local size=577536
  local sha256=d3709510a7185ff8a57d87ef69b4480f404e95edf820f24f76aa2564e20bae39
  [ -f "$file" ] && [ ! -L "$file" ] || return 0
  [ "$(stat -c %s "$file")" = "$size" ] || return 0
  [ "$(sha256sum < "$file" | cut -d' ' -f1)" = "$sha256" ] || return 0
  rm -f "$file"
  echo "Removed the virtual amplifier's synthetic firmware image from $1/bin/Firmware"
}
