#!/usr/bin/env bash
# Installs what is missing, builds the programs in build/ (the build test.sh shares) and starts
# the editor. Options of this script (every other argument goes to the editor):
#   --virtual-amp  also starts a virtual amplifier in a temporary folder, runs the editor against
#                  it, and stops it when the editor quits (tools/scripts/start-editor.sh)
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
quarry_remove_stray_test_firmware build
if [ "$start" -eq 0 ]; then
  exit 0
fi
if [ "$virtual" -eq 1 ]; then
  exec tools/scripts/start-editor.sh --virtual-amp build "${args[@]}"
fi
exec tools/scripts/start-editor.sh build "${args[@]}"
