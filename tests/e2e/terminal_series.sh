#!/usr/bin/env bash
# The terminal command from outside, with no display: the virtual camera as
# the camera, throw-away settings and journals.
# usage: terminal_series.sh linux OBTURIX-SERIE VIRTUAL_CAMERA CYCLE_TIMING
#        terminal_series.sh emulated EMULATOR OBTURIX-SERIE VIRTUAL_CAMERA
#        terminal_series.sh wine OBTURIX-SERIE.EXE VIRTUAL_CAMERA
# Under Wine, WINEPREFIX must have COM150 registered as the link
# OBTURIX_WINE_CAMERA (scripts/test does it); the camera goes behind it.
set -euo pipefail
platform="$1"
shift
runner=()
[ "$platform" = emulated ] && { runner=("$1"); shift; }
[ "$platform" = wine ] && runner=("$(command -v wine64 || echo /usr/lib/wine/wine64)")
program="$1"
camera="$2"
bare_loop="${3:-}"
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/camera.sh"

E2E_WORK=$(mktemp -d)
cleanup() {
  kill "${camera_pid:-}" "${serie_pid:-}" 2>/dev/null || true
  rm -rf "$E2E_WORK"
}
trap cleanup EXIT
export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_STATE_HOME="$E2E_WORK/state"
unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
journals="$XDG_STATE_HOME/obturix/journal"
link="$E2E_WORK/camera-link"
port_name="$link"
if [ "$platform" = wine ]; then
  link="$OBTURIX_WINE_CAMERA"
  port_name=COM150
  journals="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Obturix/Journal"
  windows_pid="[0-9]*" # not the process's number on Linux
fi
e2e_start_camera
ln -sfn "$port" "$link"

# Runs the command to its end: its output in out.txt and err.txt, its exit
# status in $status.
serie() {
  status=0
  "${runner[@]}" "$program" "$@" >"$E2E_WORK/out.txt" 2>"$E2E_WORK/err.txt" </dev/null || status=$?
}
# Starts a series in the background, on a pseudo-terminal of its own
# (`script`), as over SSH, Ctrl-C not ignored as it is for a background
# job; serie_pid is the command's process (exec: a shell such as dash would
# otherwise stay between script and the command, and take the signal).
serie_on_terminal() {
  setsid env --default-signal=INT script -qfec "exec $(printf '%q ' "${runner[@]}" "$program" "$@")" "$E2E_WORK/terminal.txt" \
    </dev/null >/dev/null 2>&1 &
  script_pid=$!
  e2e_until pgrep -P "$script_pid" >/dev/null || e2e_fail "la série ne démarre pas"
  serie_pid=$(pgrep -P "$script_pid")
}
# Waits (10 s at most) for the series on a terminal to end.
serie_ended() { e2e_until eval '! kill -0 "$serie_pid" 2>/dev/null' || e2e_fail "la série ne finit pas"; }
newest_journal() { find "$journals" -name '*.csv' -printf '%T@ %p\n' | sort -n | tail -n 1 | cut -d' ' -f2-; }
# The exposures the newest journal's presses name, pulses left out.
journal_exposures() { awk -F';' '$2 == "pose" { printf "%s ", $1 }' "$(newest_journal)"; }
# When the camera saw press $1 (since line $2) pressed and let go, in ms
# since midnight: "PRESSED RELEASED".
press_times() {
  camera_presses "$2" | sed -n "$1p" | LC_ALL=C awk -F'[ :,]+' '{ for (i = 1; i < NF; i++) {
    if ($i == "début") s = (($(i + 1) * 60 + $(i + 2)) * 60 + $(i + 3)) * 1000
    if ($i == "durée") d = $(i + 1) } print int(s), int(s + d) }'
}
now_ms() { date +%s%N | awk '{ print int($1 / 1e6) % 86400000 }'; }

echo "== $platform : une série avec ces options, puis avec les valeurs gardées"
before=$(($(camera_lines) + 1))
serie -n 2 -p 0,3 -i 0.2 --sans-miroir -P "$port_name" --enregistrer
[ "$status" -eq 0 ] && e2e_until seen_presses 2 "$before" || e2e_fail "code $status : $(cat "$E2E_WORK/out.txt" "$E2E_WORK/err.txt")"
grep -q "^2 poses de 0,3 s, intervalle 0,2 s, sans relever le miroir, port " "$E2E_WORK/out.txt" &&
  grep -q '^[0-9:]\{8\} Pose 2 sur 2' "$E2E_WORK/out.txt" && grep -q "^Journal" "$E2E_WORK/out.txt" ||
  e2e_fail "sortie : $(cat "$E2E_WORK/out.txt")"
before=$(($(camera_lines) + 1))
serie
[ "$status" -eq 0 ] && sleep 0.3 && [ "$(presses_since "$before" | wc -l)" -eq 2 ] ||
  e2e_fail "les valeurs gardées : code $status, $(presses_since "$before" | wc -l) appuis"

echo "== une valeur refusée : code 2, en français, sans appui"
before=$(($(camera_lines) + 1))
serie --pose=abc
[ "$status" -eq 2 ] && grep -q "^Le temps de pause .*abc.*donné par --pose)$" "$E2E_WORK/err.txt" ||
  e2e_fail "refus : code $status, $(cat "$E2E_WORK/err.txt")"
sleep 0.3
[ "$(camera_lines)" -lt "$before" ] || e2e_fail "un appui malgré le refus"

echo "== Ctrl-C pendant une pose : relâchée aussitôt, code 3"
before=$(($(camera_lines) + 1))
serie_on_terminal -n 3 -p 30
sleep 1.5
asked=$(now_ms)
kill -INT "$serie_pid"
status=0
wait "$script_pid" || status=$? # script -e: the command's own
[ "$status" -eq 3 ] || e2e_fail "Ctrl-C : code de sortie $status"
e2e_until seen_presses 1 "$before" || e2e_fail "pas d'appui vu"
let_go=$(($(press_times 1 "$before" | cut -d' ' -f2) - asked))
echo "   relâchée $let_go ms après Ctrl-C"
[ "$let_go" -le 50 ] || e2e_fail "relâchée $let_go ms après Ctrl-C"
grep -q "arrêtée par l'utilisateur" "$(newest_journal)" || e2e_fail "journal sans sa fin"
# Under qemu-user the process's name is the emulator's: --etat and
# --arreter, which look for it by name, are checked natively and under Wine.
[ "$platform" != emulated ] || { echo "terminal ($platform): 1 passed, 0 failed"; exit 0; }

echo "== --etat et --arreter d'un autre terminal, puis --reprendre : exactement les poses qui restent"
before=$(($(camera_lines) + 1))
serie_on_terminal -n 4 -p 0,6 -i 0,2 -m --impulsion=0,05 --attente=0,1
e2e_until seen_presses 3 "$before" || e2e_fail "la série ne démarre pas"
serie --etat
[ "$status" -eq 0 ] && grep -q "Pose 2 sur 4 — il reste .*, fin vers [0-9][0-9]:[0-9][0-9]" "$E2E_WORK/out.txt" &&
  grep -q "processus ${windows_pid:-$serie_pid})" "$E2E_WORK/out.txt" || e2e_fail "--etat : $(cat "$E2E_WORK/out.txt")"
serie --arreter
[ "$status" -eq 0 ] && grep -q "est arrêtée" "$E2E_WORK/out.txt" || e2e_fail "--arreter : $(cat "$E2E_WORK/out.txt")"
grep -q "arrêtée par l'utilisateur" "$(newest_journal)" || e2e_fail "journal de la série arrêtée"
made=$(grep -c ';pose;.*;faite;' "$(newest_journal)")
before=$(($(camera_lines) + 1))
serie --reprendre
left=$(journal_exposures)
expected=$(seq $((made + 1)) 4 | tr '\n' ' ')
[ "$status" -eq 0 ] && [ "$left" = "$expected" ] && [ "$(presses_since "$before" | wc -l)" -eq $((2 * (4 - made))) ] ||
  e2e_fail "--reprendre après $made poses : code $status, poses $left, $(presses_since "$before" | wc -l) appuis"
grep -q "^Reprend;" "$(newest_journal)" && grep -q "Pose $((made + 1)) sur 4" "$E2E_WORK/out.txt" ||
  e2e_fail "reprise : $(cat "$E2E_WORK/out.txt")"
serie --etat
[ "$status" -eq 1 ] && grep -q "^Aucune série en cours.$" "$E2E_WORK/out.txt" || e2e_fail "--etat sans série"
[ "$platform" = linux ] || { echo "terminal ($platform): 1 passed, 0 failed"; exit 0; }

echo "== la liaison perdue (SIGHUP) : la série va à son terme"
before=$(($(camera_lines) + 1))
serie_on_terminal -n 3 -p 1 -i 0,5 --nuit
e2e_until seen_presses 1 "$before" || e2e_fail "la série ne démarre pas"
kill -KILL "$script_pid" # the terminal's master closed: the kernel hangs up the session
wait "$script_pid" 2>/dev/null || true
e2e_until seen_presses 3 "$before" || e2e_fail "la série s'est arrêtée avec le terminal"
serie_ended
grep -q ";terminée" "$(newest_journal)" || e2e_fail "journal : $(tail -n 3 "$(newest_journal)")"

echo "== --dans=2s : la première pose deux secondes plus tard"
before=$(($(camera_lines) + 1))
started=$(now_ms)
serie -n 1 -p 0,2 --sans-miroir --dans=2s
first=$(press_times 1 "$before" | cut -d' ' -f1)
echo "   premier appui $((first - started)) ms après le lancement"
[ "$status" -eq 0 ] && [ $((first - started)) -ge 2000 ] && [ $((first - started)) -le 2300 ] ||
  e2e_fail "--dans=2s : code $status, premier appui à $((first - started)) ms"

echo "== le processeur pendant une longue pose, et la précision contre le plancher"
serie_on_terminal -n 1 -p 6
sleep 1
cpu() { cat /proc/"$serie_pid"/task/*/schedstat | awk '{ ns += $1 } END { print ns }'; }
first_cpu=$(cpu)
sleep 4
echo "$(cpu) $first_cpu" | awk '{ printf "   processeur pendant la pose : %.3f %% d'"'"'un cœur\n", ($1 - $2) / 4e9 * 100
  exit !(($1 - $2) / 4e9 < 0.05) }' || e2e_fail "le processeur tourne pendant la pose"
serie_ended
# The same cycles as the command runs them against the bare loop, in turns on one port.
"$bare_loop" --command "$program" 20 | tail -n 6
echo "terminal ($platform): 1 passed, 0 failed"
