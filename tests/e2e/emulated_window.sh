#!/usr/bin/env bash
# A program built for another processor, run under qemu-user on Xvfb: its
# window opens as on the reviewed screenshot, and "Quitter" ends it.
# usage: emulated_window.sh EMULATOR PROGRAM
set -euo pipefail
emulator="$1"
program="$2"
source "$(dirname "$0")/lib.sh"

E2E_WORK=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_WORK/config"
trap 'kill "${pid:-}" 2>/dev/null || true; e2e_stop_display; rm -rf "$E2E_WORK"' EXIT
e2e_start_display
started=$(date +%s%N)
LANG=en_GB.UTF-8 LANGUAGE=en "$emulator" "$program" 2>"$E2E_WORK/stderr.txt" &
pid=$!
E2E_WINDOW=$(e2e_main_window)
echo "fenêtre ouverte en $((($(date +%s%N) - started) / 1000000)) ms sous $(basename "$emulator")"
e2e_matches_reference "$E2E_WINDOW" "$(dirname "$0")/../../docs/window.png"
e2e_press Command2
e2e_wait_exit "$pid" || e2e_fail "le programme sort avec le code $?"
pid=""
echo "emulated: 1 passed, 0 failed"
