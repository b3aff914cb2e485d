#!/usr/bin/env bash
# Starts the editor of a build folder: start-editor.sh [--virtual-amp] BUILD_DIR [EDITOR ARGS...]
# With --virtual-amp it first starts a virtual amplifier (an MV440 with firmware V5.20) in a
# temporary folder of this run, with a synthetic firmware image of that version beside it, runs
# the editor against them, and removes the folder when the editor ends or this script is ended.
# The synthetic image never enters BUILD_DIR/bin/Firmware: the editor reads it only while it talks
# to virtual amplifiers, so it can never be offered to a real one.
set -euo pipefail
virtual=0
if [ "${1:-}" = "--virtual-amp" ]; then
  virtual=1
  shift
fi
if [ $# -lt 1 ]; then
  echo "usage: start-editor.sh [--virtual-amp] BUILD_DIR [EDITOR ARGS...]" >&2
  exit 2
fi
bin="$1/bin"
shift
if [ "$virtual" -eq 0 ]; then
  exec "$bin/Corvantine-Editor" "$@"
fi

run="$(mktemp -d "${TMPDIR:-/tmp}/corvantine-virtual-amp.XXXXXX")"
amp=
editor=
stop_all() {
  local child
  for child in $editor $amp; do
    kill "$child" 2>/dev/null || true
    wait "$child" 2>/dev/null || true
  done
  rm -rf "$run"
}
trap stop_all EXIT
# A hang-up or termination of this script ends the editor too, and the exit trap tidies up.
trap 'exit 143' TERM HUP INT
mkdir "$run/amps" "$run/Firmware"
# No firmware image ships with the editor; one of the virtual amplifier's own version lets the
# firmware check pass quietly and the Firmware Update dialog show something.
"$bin/make-test-firmware" --dir "$run/Firmware" --version V5.20 >/dev/null
"$bin/virtual-amp" --dir "$run/amps" --device a210:VIRTUAL1 &
amp=$!
for _ in $(seq 200); do
  compgen -G "$run/amps/*-a210-VIRTUAL1.sock" >/dev/null && break
  kill -0 "$amp" 2>/dev/null || { echo "virtual-amp did not start" >&2; exit 1; }
  sleep 0.05
done
echo "Virtual amplifier in $run/amps, its firmware image in $run/Firmware"
# The editor runs as a child we wait for, so the traps above still run when it ends.
QUARRY_VIRTUAL_HID_DIR="$run/amps" QUARRY_VIRTUAL_FIRMWARE_DIR="$run/Firmware" \
  "$bin/Corvantine-Editor" "$@" &
editor=$!
status=0
wait "$editor" || status=$?
editor=
exit "$status"
