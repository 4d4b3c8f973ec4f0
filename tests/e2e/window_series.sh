#!/usr/bin/env bash
# The built program driven from outside: real X input under Xvfb, the
# virtual camera as the camera, a throw-away configuration folder.
# usage: window_series.sh OBTURIX VIRTUAL_CAMERA CYCLE_TIMING
set -euo pipefail
obturix="$1"
camera="$2"
bare_loop="$3" # cycle_timing, whose --bare cycles are the floor
source "$(dirname "$0")/lib.sh"

E2E_WORK=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_WORK/config"
cleanup() {
  kill "${camera_pid:-}" "${program_pid:-}" 2>/dev/null || true
  e2e_stop_display
  cp "$E2E_WORK/camera.txt" /tmp/last-camera.txt 2>/dev/null || true
  rm -rf "$E2E_WORK"
}
trap cleanup EXIT
e2e_start_display

echo "== la caméra virtuelle s'explique et refuse une option inconnue"
"$camera" --help | grep -q '^usage : obturix-virtual-camera' || e2e_fail "--help"
"$camera" --version | grep -q '^obturix-virtual-camera [0-9]' || e2e_fail "--version"
status=0
"$camera" --inconnue 2>/dev/null || status=$?
[ "$status" -eq 2 ] || e2e_fail "option inconnue : code de sortie $status au lieu de 2"

# The camera is the instrument: where allowed it runs at real-time priority,
# so that its timestamps do not wait for the other processes of the test.
realtime=()
chrt -f 50 true 2>/dev/null && realtime=(chrt -f 50)
"${realtime[@]}" "$camera" >"$E2E_WORK/camera.txt" 2>&1 &
camera_pid=$!
for _ in $(seq 50); do
  port=$(sed -n 's/^Port virtuel : //p' "$E2E_WORK/camera.txt")
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || e2e_fail "la caméra virtuelle ne donne pas de port"

start_program() {
  LANG=en_GB.UTF-8 LANGUAGE=en "$obturix" 2>"$E2E_WORK/stderr.txt" & # an English system
  program_pid=$!
  E2E_WINDOW=$(e2e_main_window)
}

# Presses seen by the camera since line $1, as "length pause" pairs in ms.
presses_since() {
  tail -n +"$1" "$E2E_WORK/camera.txt" | grep '^Appui' |
    sed -E 's/.*durée ([0-9.]+) ms(, pause avant ([0-9.]+) ms)?/\1 \3/'
}

# Every series below: 4 cycles with the mirror raised, pulse 50 ms, settle
# 100, exposure 300, pause 200. Each step's error (measured - asked, ms) is
# kept, as "Obturix" or "floor", for the comparison printed at the end.
timing="$E2E_WORK/timing.txt"

# Records the presses since camera line $2 as $1's steps; fails on a wrong
# count or a gross fault (a step 20 ms off).
record_steps() {
  local who="$1" since="$2" presses
  presses=$(presses_since "$since")
  [ "$(echo "$presses" | grep -c .)" -eq 8 ] ||
    e2e_fail "$who : attendu 8 appuis, vu : $(echo "$presses" | tr '\n' '|')"
  echo "$presses" | awk -v who="$who" '
    { n++
      if (n % 2) { print who, "1-pulse", $1 - 50; if (n > 1) print who, "4-pause", $2 - 200 }
      else { print who, "2-settle", $2 - 100; print who, "3-exposure", $1 - 300 } }' >>"$timing"
  awk -v who="$who" '$1 == who && ($3 > 20 || $3 < -20) { exit 1 }' "$timing" ||
    e2e_fail "$who : une étape à plus de 20 ms de ce qui est demandé"
}

run_timed_series() {
  local before
  before=$(($(camera_lines) + 1))
  run_series_and_confirm
  record_steps Obturix "$before"
}

# p50, p90, max and min of each step's error for both, and the gap.
print_timing() {
  sort -k1,1 -k2,2 -k3,3g "$timing" | awk '
    function summary(  k) { k = who SUBSEP kind
      p50[k] = v[int((n + 1) / 2)]; p90[k] = v[int(n * 0.9 + 0.999)]; mx[k] = v[n]; mn[k] = v[1]
      count[k] = n }
    $1 != who || $2 != kind { if (n) summary(); who = $1; kind = $2; n = 0 }
    { v[++n] = $3 }
    END { summary()
      printf "%-11s %5s | %-31s | %-31s | %s\n", "step", "count", "Obturix  p50    p90    max    min",
        "floor    p50    p90    max    min", "gap p50    p90    max"
      split("1-pulse 2-settle 3-exposure 4-pause", order, " ")
      for (i = 1; i <= 4; i++) { kind = order[i]; o = "Obturix" SUBSEP kind; f = "floor" SUBSEP kind
        printf "%-11s %5d |   %+7.3f%+7.3f%+7.3f%+7.3f   |   %+7.3f%+7.3f%+7.3f%+7.3f   | %+7.3f%+7.3f%+7.3f\n",
          substr(kind, 3), count[o], p50[o], p90[o], mx[o], mn[o], p50[f], p90[f], mx[f], mn[f],
          p50[o] - p50[f], p90[o] - p90[f], mx[o] - mx[f] } }'
}

camera_lines() { wc -l <"$E2E_WORK/camera.txt"; }

run_series_and_confirm() {
  e2e_press Command1
  e2e_wait_windows "Lancer la session de prises de vues ?" 1
  xdotool key Return
  e2e_wait_windows "Obturix" 2 # the end notice beside the window
  xdotool key Return
  e2e_wait_windows "Obturix" 1
}

echo "== la fenêtre s'ouvre telle que sur la capture de référence (légendes entières)"
start_program
e2e_matches_reference "$E2E_WINDOW" "$(dirname "$0")/../../docs/window.png"

echo "== le menu d'un champ est en français, quelle que soit la langue du système"
# shellcheck disable=SC2086
e2e_click ${E2E_AT[Text5]} 3
menu=$(e2e_other_window --class '^obturix$')
[ -n "$menu" ] || e2e_fail "un clic droit dans un champ n'ouvre pas de menu"
e2e_matches_reference "$menu" "$(dirname "$0")/context-menu.png"
xdotool key Escape

echo "== une série de 4 poses avec le miroir, puis Quitter"
e2e_type_into Text5 "$port"
e2e_type_into Text1 "4"
e2e_type_into Text2 "0.3"
e2e_type_into Text3 "0,2"
e2e_press ChkMiro
e2e_type_into Text6 "0.05"
e2e_type_into Text7 "0.1"
run_timed_series
for name in nbpause tmppause intervalle Relever StrCom lngSleppav lngSleppap; do
  grep -q "^\"$name\"=" "$XDG_CONFIG_HOME/obturix/registry.reg" || e2e_fail "$name n'est pas enregistré"
done
grep -q '^"StrCom"="'"$port"'"' "$XDG_CONFIG_HOME/obturix/registry.reg" || e2e_fail "mauvais port enregistré"
e2e_press Command2
e2e_wait_exit "$program_pid" || e2e_fail "Quitter : code de sortie $?"

echo "== au redémarrage, la même série sans toucher un champ, deux fois"
start_program
run_timed_series
run_timed_series

echo "== le plancher : la boucle nue, trois fois, sur le même port, vue par la même caméra"
for _ in 1 2 3; do
  before=$(($(camera_lines) + 1))
  "$bare_loop" --bare "$port" 4 0.3 0.2 0.05 0.1 || e2e_fail "la boucle nue n'ouvre pas le port"
  sleep 0.3 # until the camera has printed the last press
  record_steps floor "$before"
done
echo "erreur = mesuré - demandé, ms ; 3 séries de 4 cycles avec le miroir"
print_timing

echo "== le port disparaît pendant la série : la série garde son temps et avertit à la fin"
ln -s "$port" "$E2E_WORK/camera-link"
e2e_type_into Text5 "$E2E_WORK/camera-link"
before=$(($(camera_lines) + 1))
e2e_press Command1
e2e_wait_windows "Lancer la session de prises de vues ?" 1
xdotool key Return
for _ in $(seq 100); do
  [ -n "$(presses_since "$before")" ] && break
  sleep 0.02
done
rm "$E2E_WORK/camera-link" # the cable pulled out after the first press
e2e_answer_box # the warning
e2e_answer_box # then the end notice
[ "$(presses_since "$before" | wc -l)" -eq 1 ] || e2e_fail "appuis après la disparition du port"

echo "== des saisies invalides sont refusées avant toute confirmation"
for field_value in "Text5 /dev/obturix-absent" "Text1 trois" "Text2 -1" "Text3 abc"; do
  read -r field value <<<"$field_value"
  e2e_type_into Text5 "$port"
  e2e_type_into "$field" "$value"
  before=$(($(camera_lines) + 1))
  e2e_press Command1
  e2e_wait_windows "Obturix" 2 # the refusal, titled with the program's name
  [ -z "$(xdotool search --onlyvisible --name '^Lancer la session' 2>/dev/null)" ] ||
    e2e_fail "$field=$value : une confirmation est demandée"
  xdotool key Return
  e2e_wait_windows "Obturix" 1
  [ -z "$(presses_since "$before")" ] || e2e_fail "$field=$value : un appui a eu lieu"
  e2e_type_into "$field" "1"
done

echo "== un clic sur le fond affiche « click »"
e2e_press background
e2e_wait_windows "Obturix" 2
xdotool key Return
e2e_wait_windows "Obturix" 1

echo "== la case de fermeture termine le programme"
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_exit "$program_pid" || e2e_fail "fermeture : code de sortie $?"
program_pid=""

kill -INT "$camera_pid"
e2e_wait_exit "$camera_pid" || e2e_fail "la caméra virtuelle ne s'arrête pas proprement"
camera_pid=""
echo "e2e: 1 passed, 0 failed"
