#!/usr/bin/env bash
# Installs what is missing, builds the programs in build/ (the build test.sh shares) and starts
# the editor. Options of this script (every other argument goes to the editor):
#   --virtual-amp  also starts a virtual amplifier in a temporary folder, runs the editor against
#                  it, and stops it when the editor quits
#   --build-only   builds and does not start the editor
#   -Werror        warnings are errors
set -euo pipefail
cd "$(dirname "$0")"
virtual=0
start=1
cmake_args=()
args=()
for arg in "$@"; do
  case "$arg" in
    --virtual-amp) virtual=1 ;;
    --build-only) start=0 ;;
    -Werror) cmake_args+=(-DQUARRY_WERROR=ON) ;;
    *) args+=("$arg") ;;
  esac
done
source ./deps.sh
quarry_install_deps
quarry_configure build "${cmake_args[@]}"
cmake --build build --target programs
if [ "$start" -eq 0 ]; then
  exit 0
fi
if [ "$virtual" -eq 0 ]; then
  exec build/bin/Corvantine-Editor "${args[@]}"
fi
# No firmware image ships with the editor; a synthetic one of the virtual amplifier's own version
# lets the firmware check pass quietly and the Firmware Update dialog show something.
if ! compgen -G "build/bin/Firmware/*.bin" >/dev/null; then
  mkdir -p build/bin/Firmware
  build/bin/make-test-firmware --dir build/bin/Firmware --version V5.20 >/dev/null
fi
folder="$(mktemp -d "${TMPDIR:-/tmp}/corvantine-virtual-amp.XXXXXX")"
build/bin/virtual-amp --dir "$folder" --device a210:VIRTUAL1 &
amp=$!
trap 'kill "$amp" 2>/dev/null || true; wait "$amp" 2>/dev/null || true; rm -rf "$folder"' EXIT
for _ in $(seq 200); do
  compgen -G "$folder/*-a210-VIRTUAL1.sock" >/dev/null && break
  kill -0 "$amp" 2>/dev/null || { echo "virtual-amp did not start" >&2; exit 1; }
  sleep 0.05
done
echo "Virtual amplifier in $folder"
# The editor runs as a child we wait for, so a hang-up or termination of this script ends the
# editor too and the exit trap still stops the virtual amplifier.
QUARRY_VIRTUAL_HID_DIR="$folder" build/bin/Corvantine-Editor "${args[@]}" &
editor=$!
trap 'kill "$editor" 2>/dev/null || true; exit 143' TERM HUP INT
wait "$editor"
