#!/usr/bin/env bash
# Every box of the program, shown by the box gallery in a view's real boxes
# under a window manager, saved as box-1.png… in OUTPUT to be looked at: a
# whole title, no line broken after « or before ».
# usage: shoot.sh OUTPUT PROGRAM [LAUNCHER]   (LAUNCHER: wine for a .exe)
#        NIGHT=1 shoot.sh …: the boxes in night vision
# Under Wine the title bars are drawn by Wine, in the caption font, as
# Windows draws them, not by the window manager in a font of its own.
set -euo pipefail
output="$1"
program="$2"
launcher=("${@:3}")
source "$(dirname "$0")/../../tests/e2e/lib.sh"

E2E_WORK=$(mktemp -d)
x11_driver='HKCU\Software\Wine\X11 Driver'
undecorate() { [ ${#launcher[@]} -eq 0 ] || "${launcher[@]}" reg "$@" >/dev/null 2>&1 || true; }
trap 'kill "${pid:-}" 2>/dev/null || true; undecorate delete "$x11_driver" /v Decorated /f
  e2e_stop_display; rm -rf "$E2E_WORK"' EXIT
mkdir -p "$output"
e2e_start_display
undecorate add "$x11_driver" /v Decorated /d N /f
"${launcher[@]}" "$program" ${NIGHT:+--nuit} >/dev/null 2>&1 &
pid=$!
for n in $(seq 12); do
  box=$(e2e_window --name '.') || e2e_fail "boîte $n : aucune fenêtre"
  sleep 0.5
  import -window root -crop 640x400+192+184 "$output/box-$n.png"
  xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
  e2e_until eval "! xdotool getwindowname $box >/dev/null 2>&1 || ! xwininfo -id $box | grep -q IsViewable" ||
    e2e_fail "boîte $n : toujours ouverte"
done
e2e_wait_exit "$pid" || e2e_fail "la galerie sort avec le code $?"
pid=""
echo "box gallery: 12 boxes in $output"
