#!/usr/bin/env bash
# Installs what is missing, builds everything in build/ (the build run.sh shares) and runs every
# test through ctest. Options: -Werror (warnings are errors), --build-dir DIR, --asan (default
# folder build-asan), --tsan (default folder build-tsan), --label L (ctest -L), --jobs N (tests
# run at once; default: one per core). The sanitizer builds keep to folders of their own, so that
# build/ never becomes one that run.sh would start.
set -euo pipefail
cd "$(dirname "$0")"
source ./deps.sh
build=
sanitized=
jobs="$(nproc)"
cmake_args=()
ctest_args=()
while [ $# -gt 0 ]; do
  case "$1" in
    -Werror) cmake_args+=(-DQUARRY_WERROR=ON) ;;
    --asan) cmake_args+=(-DQUARRY_SANITIZE=ON); sanitized=build-asan ;;
    --tsan) cmake_args+=(-DQUARRY_TSAN=ON); sanitized=build-tsan ;;
    --build-dir) build="$2"; shift ;;
    --label) ctest_args+=(-L "$2"); shift ;;
    --jobs) jobs="$2"; shift ;;
    *) echo "test.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
build="${build:-${sanitized:-build}}"
quarry_install_deps
quarry_configure "$build" "${cmake_args[@]}"
cmake --build "$build"
quarry_remove_stray_test_firmware "$build"
cd "$build"
ctest --output-on-failure -j "$jobs" "${ctest_args[@]}"
