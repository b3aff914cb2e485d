#!/usr/bin/env bash
# Installs what is missing, builds in build/ and runs every test through ctest.
# Options: -Werror (warnings are errors), --build-dir DIR, --asan, --tsan, --label L (ctest -L),
# --jobs N (tests run at once; default: one per core).
set -euo pipefail
cd "$(dirname "$0")"
source ./deps.sh
build=build
jobs="$(nproc)"
cmake_args=()
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    -Werror) cmake_args+=(-DQUARRY_WERROR=ON) ;;
    --asan) cmake_args+=(-DQUARRY_SANITIZE=ON) ;;
    --tsan) cmake_args+=(-DQUARRY_TSAN=ON) ;;
    --build-dir) build="$2"; shift ;;
    --label) ctest_args+=(-L "$2"); shift ;;
    --jobs) jobs="$2"; shift ;;
    *) echo "test.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
quarry_install_deps
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cmake_args[@]}"
cmake --build "$build"
cd "$build"
ctest --output-on-failure -j "$jobs" "${ctest_args[@]}"
