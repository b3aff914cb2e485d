#!/usr/bin/env bash
# Builds the fuzz targets with clang in their own build folder, writes their seed corpora and
# runs each target for a while. Options: --seconds N (per target, default 30), --build-dir DIR
# (default build-fuzz), --jobs N (runs of one target at once, default 1).
# New inputs that raise coverage go to <build>/fuzz-corpus/<target>; a crash stops the script.
set -euo pipefail
cd "$(dirname "$0")/../.."
source ./deps.sh
seconds=30
build=build-fuzz
jobs=1
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift ;;
    --build-dir) build="$2"; shift ;;
    --jobs) jobs="$2"; shift ;;
    *) echo "run.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift
done
quarry_install_deps
quarry_install_fuzz_deps
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRY_FUZZ=ON
cmake --build "$build" --target quarry_fuzzers
corpus="$build/fuzz-corpus"
"$build/bin/make-fuzz-seeds" "$corpus"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
for target in chunks project_file settings version_text tokenizer block_diagram speaker_eq protocol_step block_clipboard; do
  artifacts="$build/fuzz-artifacts/$target"
  rm -rf "$artifacts"
  mkdir -p "$corpus/$target" "$artifacts"
  echo "== fuzz-$target for ${seconds}s"
  status=0
  "$build/bin/fuzz-$target" -max_total_time="$seconds" -jobs="$jobs" -workers="$jobs" -print_final_stats=1 \
    -artifact_prefix="$artifacts/" "$corpus/$target" > "$artifacts/log.txt" 2>&1 || status=$?
  grep -hE "^(stat::number_of_executed_units|Done [0-9]+ runs|SUMMARY|==[0-9]+==ERROR)" "$artifacts/log.txt" \
    "$artifacts"/../../fuzz-*.log 2>/dev/null || true
  if [ "$status" -ne 0 ] || compgen -G "$artifacts/crash-*" > /dev/null || compgen -G "$artifacts/leak-*" > /dev/null ||
     compgen -G "$artifacts/timeout-*" > /dev/null || compgen -G "$artifacts/oom-*" > /dev/null; then
    tail -n 40 "$artifacts/log.txt" >&2
    echo "fuzz-$target failed (exit $status); inputs kept in $artifacts" >&2
    exit 1
  fi
done
