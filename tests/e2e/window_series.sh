#!/usr/bin/env bash
# The built program driven from outside: real X input under Xvfb, the
# virtual camera as the camera, throw-away settings.
# usage: window_series.sh linux|wine OBTURIX[.EXE] VIRTUAL_CAMERA CYCLE_TIMING
# Under Wine, WINEPREFIX must have COM150 registered as the link
# OBTURIX_WINE_CAMERA (scripts/test does it); the camera goes behind it.
set -euo pipefail
platform="$1"
obturix="$2"
camera="$3"
wrap=() # what the program is started under
bare_loop="$4" # cycle_timing: the floor's cycles (Linux), the comparison
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/camera.sh"

E2E_WORK=$(mktemp -d)
cleanup() {
  kill "${camera_pid:-}" "${program_pid:-}" 2>/dev/null || true
  e2e_stop_display
  cp "$E2E_WORK/camera.txt" "/tmp/last-camera-$platform.txt" 2>/dev/null || true
  rm -rf "$E2E_WORK"
}
trap cleanup EXIT

# What differs between the two programs: how each starts, the port name the
# user types for the camera (a link to the camera's pseudo-terminal), where
# the settings are read back.
case "$platform" in
linux)
  export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_STATE_HOME="$E2E_WORK/state"
  journals="$XDG_STATE_HOME/obturix/journal"
  link="$E2E_WORK/camera-link"
  port_name="$link"
  missing_port="$E2E_WORK/absent"
  night_option=--nuit
  large_option=--grand
  reference="$(dirname "$0")/../../docs/window.png"
  start_program() {
    LANG=en_GB.UTF-8 LANGUAGE=en "${wrap[@]}" "$obturix" "$@" 2>"$E2E_WORK/stderr.txt" & # an English system
    program_pid=$!
    E2E_WINDOW=$(e2e_main_window)
  }
  saved_value() { sed -n 's/^"'"$1"'"="\(.*\)"\r$/\1/p' "$XDG_CONFIG_HOME/obturix/registry.reg"; }
  ;;
wine)
  wine_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
  link="$OBTURIX_WINE_CAMERA"
  port_name=COM150
  journals="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Obturix/Journal"
  missing_port=COM151
  night_option=/nuit # as Windows users write options
  large_option=/grand
  reference="$(dirname "$0")/../../docs/guide/fenetre-windows.png" # also the guide's picture
  start_program() {
    "$wine_loader" "$obturix" "$@" >"$E2E_WORK/stderr.txt" 2>&1 </dev/null &
    program_pid=$!
    E2E_WINDOW=$(e2e_main_window)
  }
  saved_value() {
    wine reg query 'HKCU\Software\Obturix\Param' /v "$1" 2>/dev/null </dev/null | tr -d '\r' |
      sed -n 's/^ *'"$1"' *REG_SZ *\(.*\)$/\1/p'
  }
  ;;
*) e2e_fail "plateforme inconnue : $platform" ;;
esac
e2e_start_display
[ "$platform" != wine ] || e2e_wine_server_for_display
# Once the display is there: Wine's desktop belongs to the display of the
# first program that its server runs.
[ "$platform" != wine ] || wine reg delete 'HKCU\Software\Obturix' /f >/dev/null 2>&1 </dev/null || true
[ "$platform" != linux ] || e2e_start_sleep_services

if [ "$platform" = linux ]; then
  echo "== la caméra virtuelle s'explique et refuse une option inconnue"
  "$camera" --help | grep -q '^Utilisation.*: obturix-virtual-camera' || e2e_fail "--help"
  "$camera" --version | grep -q '^obturix-virtual-camera [0-9]' || e2e_fail "--version"
  status=$("$camera" --inconnue >/dev/null 2>&1; echo $?)
  [ "$status" -eq 2 ] || e2e_fail "option inconnue : code de sortie $status au lieu de 2"
  status=$("$camera" --dessin >/dev/null 2>&1; echo $?)
  [ "$status" -eq 2 ] || e2e_fail "--dessin sans fichier : code de sortie $status au lieu de 2"
  # A drawing that cannot be written is told at once, not at Ctrl-C.
  status=$(timeout 5 "$camera" --dessin /nonexistent/d.svg 2>"$E2E_WORK/err.txt" >/dev/null; echo $?)
  [ "$status" -eq 1 ] && grep -q "impossible d'écrire le dessin.*introuvable" "$E2E_WORK/err.txt" ||
    e2e_fail "dessin impossible : code de sortie $status, $(cat "$E2E_WORK/err.txt")"
  # Nothing typed reaches the terminal as it is: not a bad byte, not an escape.
  for program in "$obturix" "$camera"; do
    "$program" $'\xff-\x1b[31mRED' 2>"$E2E_WORK/err.txt" >/dev/null || true
    ! grep -q $'\x1b' "$E2E_WORK/err.txt" && grep -q $'\xef\xbf\xbd-\\\\x1B\\[31mRED' "$E2E_WORK/err.txt" ||
      e2e_fail "$program : option inconnue écrite telle quelle : $(od -c "$E2E_WORK/err.txt" | head -3)"
  done

  # Nor does a folder from the environment that --help names.
  XDG_STATE_HOME=$'/tmp/\x1b[31m\xff' "$obturix" --help >"$E2E_WORK/help.txt"
  ! grep -q $'\x1b' "$E2E_WORK/help.txt" && grep -q '\\x1B\[31m' "$E2E_WORK/help.txt" ||
    e2e_fail "--help écrit son dossier tel quel : $(od -c "$E2E_WORK/help.txt" | tail -4)"

  # Both helps in French typography: a no-break space before : ; ? ! and inside « ».
  for program in "$obturix" "$camera"; do
    ! "$program" --help | grep -nE ' [:;?!]|« | »' || e2e_fail "$program --help : espace sécable"
  done

  echo "== obturix s'explique, refuse une option inconnue, et dit qu'il lui faut un écran"
  "$obturix" --help | grep -q '^Utilisation.*: obturix \[--nuit\] \[--grand\] \[--help\]' || e2e_fail "obturix --help"
  "$obturix" --version | grep -qx 'obturix [0-9.]*' || e2e_fail "obturix --version"
  status=$("$obturix" --inconnue >/dev/null 2>&1; echo $?)
  [ "$status" -eq 2 ] || e2e_fail "obturix --inconnue : code de sortie $status au lieu de 2"
  status=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$obturix" 2>"$E2E_WORK/err.txt"; echo $?)
  [ "$status" -eq 1 ] && grep -q "besoin d'un écran" "$E2E_WORK/err.txt" && grep -q "obturix-serie --help" "$E2E_WORK/err.txt" ||
    e2e_fail "sans écran : code de sortie $status, $(cat "$E2E_WORK/err.txt")"
fi

e2e_start_camera --dessin "$E2E_WORK/presses.svg"
ln -sfn "$port" "$link"

# The newest journal against the camera since line $1: its $2 presses made
# began and lasted as the camera's first $2 did, both to the millisecond
# below, within 2 ms at the median; the camera, woken late on a busy machine,
# may see one later, never by 20 ms.
check_journal() {
  local journal
  journal=$(find "$journals" -name '*.csv' -printf '%T@ %p\n' 2>/dev/null | sort -n | tail -n 1 | cut -d' ' -f2-)
  [ -n "$journal" ] || e2e_fail "aucun journal dans $journals"
  paste -d' ' \
    <(tr -d '\r' <"$journal" | awk -F';' '$9 == "faite" { split($3, t, " "); print t[2], $8 }' | tr , .) \
    <(camera_presses "$1" | head -n "$2" | sed -E 's/.*début ([0-9:.]+), durée ([0-9.]+) ms.*/\1 \2/') |
    awk '{ split($1, a, ":"); split($3, b, ":")
        if (NF != 4) bad = 1
        s = (((a[1] - b[1]) * 60 + a[2] - b[2]) * 60 + a[3] - b[3]) * 1000; d = $2 - $4
        print (s < 0 ? -s : s), (d < 0 ? -d : d) } END { exit bad }' >"$E2E_WORK/journal-gaps.txt" ||
    e2e_fail "journal $journal : $(tr -d '\r' <"$journal" | tail -n +11 | tr '\n' '|')"
  for column in 1 2; do
    cut -d' ' -f"$column" "$E2E_WORK/journal-gaps.txt" | sort -g | awk -v want="$2" -v what="$column" '
      { gap[++n] = $1 } END {
        median = n % 2 ? gap[(n + 1) / 2] : (gap[n / 2] + gap[n / 2 + 1]) / 2
        printf "   journal : %d appuis, écart à la caméra %s : médiane %.3f ms, au plus %.3f ms\n",
          n, what == 1 ? "au début" : "en durée", median, gap[n]
        exit !(n == want && median <= 2 && gap[n] < 20) }' || e2e_fail "journal loin de la caméra"
  done
}

# Every series below: 4 cycles with the mirror raised, pulse 50 ms, settle
# 100, exposure 300, pause 200. Each step, asked and measured, is kept as
# "Obturix" or "floor"'s for the comparison printed at the end.
timing="$E2E_WORK/timing.txt"

run_timed_series() {
  series_start=$(($(camera_lines) + 1))
  run_series_and_confirm
  record_steps Obturix "$series_start"
  check_journal "$series_start" 8
}

# logind's locks (sleep, the lid) and the portal's of the last timed series:
# all taken by the end of its first press (they are asked for beside it),
# held until its last press ended, given back within a second of its end
# (its last pause, 200 ms, after its last press).
check_kept_awake() {
  local starts first last_end
  starts=$(camera_presses "$series_start" | grep -o 'début [0-9:.]*' |
    awk -F'[ :.]' '{ print (($2 * 60 + $3) * 60 + $4) * 1000 + $5 }')
  first=$(echo "$starts" | head -n 1)
  last_end=$(($(echo "$starts" | tail -n 1) + 300))
  e2e_until eval '[ "$(grep -c "given back" "$E2E_AWAKE")" -eq 3 ]' || true
  awk -F'[:. ]' -v first="$first" -v last_end="$last_end" '
    { t = (($1 * 60 + $2) * 60 + $3) * 1000 + $4 }
    / (logind taken (sleep:idle|handle-lid-switch) Obturix block|portal taken 12) Série de poses en cours$/ && t <= first + 50 { taken++ }
    / given back$/ && t >= last_end && t <= last_end + 1200 { given++ }
    END { exit !(taken == 3 && given == 3 && NR == 6) }' "$E2E_AWAKE" ||
    e2e_fail "veille : 1er appui à $first ms, dernier fini à $last_end ms ; vu : $(tr '\n' '|' <"$E2E_AWAKE")"
}

# The launcher entry's updates since line $1 of the dock's log: the
# program's own, the progress rising from 0 to 1 with the exposures left (4
# at the first) as its count, then cleared.
check_launcher_progress() {
  e2e_until eval 'tail -n 1 "$E2E_DOCK" | grep -q " 0 0 0$"' || e2e_fail "barre des tâches : pas effacée"
  tail -n +"$1" "$E2E_DOCK" | awk '
    $1 != "application://org.obturix.Obturix.desktop" { exit 1 }
    $3 == 1 { if (!shown++ && ($2 != 0 || $4 != 4) || $2 < last) exit 1; last = $2; counted += $4 > 0 }
    END { exit !(last == 1 && counted >= 1 && $3 == 0) }' ||
    e2e_fail "barre des tâches : $(tail -n +"$1" "$E2E_DOCK" | tr '\n' '|')"
}

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
e2e_matches_reference "$E2E_WINDOW" "$reference"
if [ "$platform" = linux ]; then
  echo "== la fenêtre porte le nom de son lanceur et son icône"
  identity=$(xprop -id "$E2E_WINDOW" WM_CLASS _NET_WM_ICON | grep -E '^(WM_CLASS|_NET_WM_ICON)')
  wm_class=$(sed -n 's/^StartupWMClass=//p' "$(dirname "$0")/../../data/org.obturix.Obturix.desktop")
  grep -q "WM_CLASS(STRING) = .*\"$wm_class\"" <<<"$identity" &&
    grep -q '_NET_WM_ICON(CARDINAL) = ' <<<"$identity" || e2e_fail "identité : $identity"
fi

if [ "$platform" = linux ]; then
  echo "== le menu d'un champ est en français, quelle que soit la langue du système"
  # shellcheck disable=SC2086
  e2e_click ${E2E_AT[Text5]} 3
  menu=$(e2e_window --class '^obturix$') || e2e_fail "un clic droit dans un champ n'ouvre pas de menu"
  e2e_matches_reference "$menu" "$(dirname "$0")/context-menu.png"
  xdotool key Escape
fi

echo "== un port qui n'existe pas est refusé avant la confirmation, sans appui"
before=$(camera_lines)
e2e_type_into Text5 "$missing_port"
e2e_press Command1
e2e_wait_windows "Obturix" 2
xdotool key Return
e2e_wait_windows "Obturix" 1
[ "$(camera_lines)" -eq "$before" ] || e2e_fail "la caméra a vu un appui"

echo "== une série de 4 poses avec le miroir, puis Quitter"
e2e_type_into Text5 "$port_name"
e2e_type_into Text1 "4"
e2e_type_into Text2 "0.3"
e2e_type_into Text3 "0,2"
e2e_press ChkMiro
e2e_type_into Text6 "0.05"
e2e_type_into Text7 "0.1"
if [ "$platform" = linux ]; then
  [ ! -s "$E2E_AWAKE" ] || e2e_fail "le programme empêche la mise en veille dès son démarrage"
  run_timed_series
  check_kept_awake
  check_launcher_progress 1
else
  run_timed_series
fi
[ "$(saved_value StrCom)" = "$port_name" ] || e2e_fail "port enregistré : $(saved_value StrCom)"
e2e_press Command2
e2e_wait_exit "$program_pid" || e2e_fail "Quitter : code de sortie $?"

echo "== au redémarrage, la même série sans toucher un champ, deux fois"
start_program
run_timed_series
run_timed_series

if [ "$platform" = linux ]; then
  echo "== le plancher : la boucle nue, trois fois, sur le même port, vue par la même caméra"
  record_floor
fi
echo "erreur = mesuré - demandé, ms ; 3 séries de 4 cycles avec le miroir"
"$bare_loop" --summary "$timing" || e2e_fail "une étape à plus de 20 ms de ce qui est demandé"

echo "== en grand : la fenêtre et ses boîtes deux fois plus grandes, chaque légende entière, la même série"
e2e_press Command2
e2e_wait_exit "$program_pid" || e2e_fail "Quitter : code de sortie $?"
# The window's client area in pixels, "WIDTHxHEIGHT".
client_size() { xwininfo -id "$1" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'; }
for options in "$large_option" "$large_option $night_option"; do
  # shellcheck disable=SC2086
  start_program $options
  [ "$(client_size "$E2E_WINDOW")" = 870x884 ] ||
    e2e_fail "$options : $(client_size "$E2E_WINDOW") au lieu de 870x884 (435x442 deux fois)"
  if [ "$options" = "$large_option" ]; then
    # The port's field left out: on Linux a temporary folder's name.
    e2e_matches_reference "$E2E_WINDOW" "$(dirname "$0")/window-grand-$platform.png" "616,328 814,372"
    before=$(($(camera_lines) + 1))
    xdotool key space # "Lancer", which has the focus
    box=$(e2e_window --name '^Lancer la session de prises de vues \?$') || e2e_fail "pas de confirmation"
    e2e_matches_reference "$box" "$(dirname "$0")/box-grand-$platform.png"
    xdotool key Return
    e2e_wait_windows "Obturix" 2
    xdotool key Return
    e2e_wait_windows "Obturix" 1
    [ "$(presses_since "$before" | wc -l)" -eq 8 ] ||
      e2e_fail "en grand : $(presses_since "$before" | wc -l) appuis au lieu de 8"
  else
    check_night "$E2E_WINDOW" Lancer Quitter
  fi
  read -r x y <<<"${E2E_AT[Command2]}"
  e2e_click $((x * 2)) $((y * 2)) # "Quitter", drawn twice as large
  e2e_wait_exit "$program_pid" || e2e_fail "$options, Quitter : code de sortie $?"
done
start_program

echo "== un clic pendant la série est traité après elle"
e2e_press ChkAffichePoppup # no box after the series, which would take the click
before=$(($(camera_lines) + 1))
e2e_press Command1
e2e_until seen_presses 1 "$before" || e2e_fail "la série ne démarre pas"
if [ "$platform" = linux ]; then # the counter's tooltip, read on the screen
  xdotool mousemove --window "$E2E_WINDOW" 60 40 sleep 0.2 mousemove --window "$E2E_WINDOW" 62 42
  sleep 1
  eval "$(xdotool getmouselocation --shell)" # X, Y: the tooltip shows below the pointer
  import -window root -crop "500x30+$((X - 10))+$((Y + 12))" "$E2E_WORK/tip.png"
  tip=$(convert "$E2E_WORK/tip.png" -colorspace Gray -resize 200% png:- |
    tesseract - - -l fra --psm 7 2>/dev/null)
  grep -qE 'Pose [1-4] sur 4 .{1,3} il reste [0-9]+ s, fin vers [0-9]{2}:[0-9]{2}' <<<"$tip" ||
    e2e_fail "l'infobulle du compteur : $tip"
fi
e2e_press ChkMiro # unticks the mirror, once the series is over
e2e_until seen_presses 8 "$before" || e2e_fail "la série n'a pas eu ses 8 appuis"
sleep 0.5 # its last pause
e2e_type_into Text1 "0" # a series without cycle saves the box as it is now
e2e_press Command1
sleep 0.5
[ "$(saved_value Relever)" = 0 ] || e2e_fail "le clic fait pendant la série est perdu"

echo "== un clic sur le fond affiche « click »"
e2e_press background
e2e_wait_windows "Obturix" 2
xdotool key Return
e2e_wait_windows "Obturix" 1

echo "== la case de fermeture termine le programme"
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_exit "$program_pid" || e2e_fail "fermeture : code de sortie $?"

# Milliseconds since midnight of a time of day "HH:MM:SS.fraction".
ms_of_day() { awk -F: '{ printf "%.3f", (($1 * 60 + $2) * 60 + $3) * 1000 }' <<<"$1"; }

# Starts, in a new window without boxes, a series of $1 exposures of $2 s,
# $3 s apart.
start_series() {
  start_program
  e2e_press ChkAffichePoppup
  e2e_type_into Text1 "$1"
  e2e_type_into Text2 "$2"
  e2e_type_into Text3 "$3"
  series_start=$(($(camera_lines) + 1))
  e2e_press Command1
}
start_series_of_three() { start_series 3 1 "$1"; }

# Whether the first notification since line $1 of the notices' log matches
# $2 and came at most $3 ms after the time of day $4; prints how late.
notified() {
  tail -n +"$1" "$E2E_NOTICES" | head -n 1 | awk -v pattern="$2" -v most="$3" -v from="$(ms_of_day "$4")" '{
      split($1, t, ":"); late = ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000 - from
      printf "   notifiée %.0f ms après\n", late
      exit !(late <= most && $0 ~ pattern) }'
}

# The series of start_series_of_three ($1 s apart) was stopped between the
# times of day $2 and $3: its first press lasted as asked, its second ended
# then, 50 ms after at most, no press came after, the program ended with
# status $4, and the series' values were saved.
check_stopped() {
  local status=0 end
  e2e_wait_exit "$program_pid" || status=$?
  [ "$status" -eq "$4" ] || e2e_fail "code de sortie $status au lieu de $4"
  sleep 1 # longer than a pause: a press after the stop would be seen
  # The camera gives a press's start to the millisecond below: so is its end.
  end=$(camera_presses "$series_start" |
    sed -E 's/.*début ([0-9:.]+), durée ([0-9.]+) ms.*/\1 \2/' |
      awk -F'[ :]' '{ n++; end = (($1 * 60 + $2) * 60 + $3) * 1000 + $4 } END { if (n == 2) printf "%.3f", end }')
  [ -n "$end" ] || e2e_fail "attendu 2 appuis, vu : $(tail -n +"$series_start" "$E2E_WORK/camera.txt")"
  awk -v end="$end" -v from="$(ms_of_day "$2")" -v to="$(ms_of_day "$3")" 'BEGIN {
    printf "relâché %.1f ms après le début de la demande, %.1f ms après sa fin\n", end - from, end - to
    exit !(end >= from - 1 && end <= to + 50) }' || e2e_fail "relâché hors de la demande et de ses 50 ms"
  presses_since "$series_start" | awk '{ exit !($1 > 999 && $1 < 1020) }' ||
    e2e_fail "la première pose a duré $(presses_since "$series_start" | head -n 1) ms"
  [ "$(saved_value nbpause) $(saved_value intervalle)" = "3 $1" ] ||
    e2e_fail "paramètres enregistrés : $(saved_value nbpause) $(saved_value intervalle)"
}

echo "== fermer pendant une série : elle continue pendant la question ; « Non » la laisse intacte"
start_series_of_three 0.5
sleep 0.3
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_windows "Obturix" 2 # the question beside the window
e2e_until seen_presses 1 "$series_start" || e2e_fail "la série attend la réponse"
xdotool key Return # "Non", the default
e2e_wait_windows "Obturix" 1
echo "== fermer pendant la 2e pose et répondre « Oui » : relâché aussitôt, plus d'appui, rien de perdu"
sleep 0.7
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_windows "Obturix" 2
asked=$(date +%T.%N)
xdotool key shift+Tab Return # "Oui"
check_stopped 0.5 "$asked" "$(date +%T.%N)" 0

echo "== vision de nuit : la fenêtre, la confirmation et la fin en rouge sur noir"
start_program "$night_option"
check_night "$E2E_WINDOW" Lancer Quitter
e2e_type_into Text1 0 # a series without cycle: its boxes only
e2e_press Command1
check_night "$(e2e_window --name '^Lancer la session de prises de vues \?$')" Oui Non
xdotool key Return
e2e_wait_windows "Obturix" 2
check_night "$(e2e_window --name '^Obturix$')" OK
xdotool key Return
echo "== vision de nuit : l'infobulle du compteur pendant une série, rouge sur noir"
e2e_press ChkAffichePoppup
e2e_type_into Text1 1
e2e_type_into Text2 4
e2e_press Command1
xdotool mousemove --window "$E2E_WINDOW" 60 40 sleep 0.2 mousemove --window "$E2E_WINDOW" 62 42
sleep 1.5
eval "$(xdotool getmouselocation --shell)" # X, Y: the tooltip shows below the pointer
import -window root -crop "300x50+$((X - 10))+$((Y + 4))" "$E2E_WORK/night-tip.png"
figures="$(convert "$E2E_WORK/night-tip.png" -format '%[fx:round(maxima.r*255)] %[fx:round(maxima.g*255)] %[fx:round(maxima.b*255)]' info:)"
echo "   rouge, vert et bleu au plus : $figures"
awk '{ exit !($1 >= 100 && $2 <= 24 && $3 <= 24) }' <<<"$figures" || e2e_fail "infobulle de nuit : $figures"
tip=$(convert "$E2E_WORK/night-tip.png" -channel R -separate +channel -negate -threshold 50% -resize 300% png:- |
  tesseract - - -l fra --psm 6 2>/dev/null)
grep -q "Pose 1 sur 1" <<<"$tip" || e2e_fail "infobulle de nuit illisible : $tip"
sleep 3 # the end of its exposure and pause
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"

if [ "$platform" = linux ]; then
  echo "== sous un thème sombre, le compteur garde son chiffre"
  NO_AT_BRIDGE=1 QT_QPA_PLATFORMTHEME=gtk3 GTK_THEME=Adwaita:dark start_program
  sleep 0.3
  import -window "$E2E_WINDOW" "$E2E_WORK/dark.png"
  counter=$(convert "$E2E_WORK/dark.png" -crop 71x24+27+30 +repage -colorspace Gray \
    -format '%[fx:maxima-minima]' info:) # inside the counter's frame
  awk -v c="$counter" 'BEGIN { exit !(c > 0.5) }' || e2e_fail "compteur sans chiffre visible ($counter)"
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"

  echo "== SIGTERM pendant une pose : relâché aussitôt, plus d'appui, rien de perdu"
  start_series_of_three 0.4
  e2e_until seen_presses 1 "$series_start" || e2e_fail "la série ne démarre pas"
  sleep 0.7 # into the second exposure
  asked=$(date +%T.%N)
  kill -TERM "$program_pid"
  check_stopped 0.4 "$asked" "$(date +%T.%N)" 143
fi
echo "== câble débranché pendant la série : dit aussitôt, le lanceur en alerte, la fin le compte"
[ "$platform" != linux ] || dock_start=$(($(wc -l <"$E2E_DOCK") + 1))
start_series_of_three 0.4
e2e_until seen_presses 1 "$series_start" || e2e_fail "la série ne démarre pas"
rm "$link"
if [ "$platform" = linux ]; then
  # The second press, due 1.4 s after the first began, fails: told within 2 s.
  first=$(camera_presses "$series_start" | head -n 1 | grep -o 'début [0-9:.]*' | cut -d' ' -f2)
  e2e_until test -s "$E2E_NOTICES" || e2e_fail "aucune notification"
  notified 1 " Obturix obturix 2 dialog-warning: La pose 2 n.a pas eu lieu.*a disparu.*La série continue" 3400 \
    "$first" || e2e_fail "notification : $(cat "$E2E_NOTICES")"
fi
e2e_wait_windows "Obturix" 2 # the missed exposures counted at the end (under Wine, once told at once)
if [ "$platform" = linux ]; then
  e2e_until eval 'tail -n +"$dock_start" "$E2E_DOCK" | grep -q " 1$"' ||
    e2e_fail "lanceur jamais en alerte : $(tail -n +"$dock_start" "$E2E_DOCK" | tr '\n' '|')"
fi
xdotool key Return
ln -sfn "$port" "$link"
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"

# The newest journal, its lines' CR taken off.
newest_journal() {
  tr -d '\r' <"$(find "$journals" -name '*.csv' -printf '%T@ %p\n' | sort -n | tail -n 1 | cut -d' ' -f2-)"
}

echo "== le câble arraché pendant une pose : coupée là, dite aussitôt, comptée à la fin"
"$camera" >"$E2E_WORK/camera2.txt" 2>&1 & # a camera of its own, whose line goes
camera2_pid=$!
e2e_until grep -q "^Port virtuel" "$E2E_WORK/camera2.txt" || e2e_fail "la seconde caméra ne donne pas de port"
ln -sfn "$(LC_ALL=C sed -n 's/^Port virtuel\xc2\xa0: //p' "$E2E_WORK/camera2.txt")" "$link"
[ "$platform" != linux ] || notices_start=$(($(wc -l <"$E2E_NOTICES") + 1))
start_series 2 3 0.5
sleep 1 # into the first exposure
pulled=$(date +%T.%N)
kill -KILL "$camera2_pid" # its pseudo-terminal closed at once: the port's other end gone
if [ "$platform" = linux ]; then
  e2e_until eval 'tail -n +"$notices_start" "$E2E_NOTICES" | grep -q "coupée"' || e2e_fail "coupure jamais dite"
  notified "$notices_start" "La pose 1 a été coupée au bout de .*a disparu pendant la pose.*La série continue" \
    1000 "$pulled" || e2e_fail "notification : $(tail -n +"$notices_start" "$E2E_NOTICES")"
else # the notification area's balloon, read on the screen (Wine's tray shows a new icon's after 2 s)
  balloon() { import -window root -crop 800x200+0+0 png:- | tesseract - - -l fra --psm 6 2>/dev/null; }
  e2e_until eval 'balloon | grep -q "coupée au bout de"' || e2e_fail "coupure jamais dite"
  awk -v late="$(($(date +%s%3N) - $(date -d "$pulled" +%s%3N)))" \
    'BEGIN { printf "   dite %d ms après la coupure\n", late; exit !(late <= 3000) }' || e2e_fail "coupure dite trop tard"
fi
e2e_wait_windows "Obturix" 2 # the end box counts it
xdotool key Return
ln -sfn "$port" "$link"
newest_journal | awk -F';' -v pulled="$(ms_of_day "$pulled")" -v slack="$([ "$platform" = wine ] && echo 150 || echo 50)" '
  $1 == 1 && $2 == "pose" { split($3, at, " "); gsub(",", ".", at[2]); length_ms = $8; gsub(",", ".", length_ms); length_ms += 0
    split(at[2], t, ":"); until_pulled = pulled - ((t[1] * 60 + t[2]) * 60 + t[3]) * 1000
    printf "   journal : %s, %.1f ms, coupée %.1f ms après son début\n", $9, length_ms, until_pulled
    cut = $9 == "coupée" && length_ms > 700 && length_ms < 1500 && length_ms - until_pulled >= -5 && length_ms - until_pulled <= slack }
  /^Poses (faites|coupées|manquées|non faites)/ { totals = totals $2 " " }
  END { exit !(cut && totals == "0 1 1 0 ") }' ||
  e2e_fail "journal : $(newest_journal | tail -n 8 | tr '\n' '|')"
wmctrl -i -c "$E2E_WINDOW"
e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"

if [ "$platform" = linux ]; then
  echo "== sur batterie, une série plus longue qu'elle est signalée avant la confirmation"
  echo "1 35 600" >"$E2E_POWER" # ten minutes left
  start_program
  e2e_type_into Text1 1000 # 1000 cycles of 2 s
  e2e_press Command1
  e2e_wait_windows "Obturix" 2
  e2e_window_count_is "Lancer la session de prises de vues \?" 0 || e2e_fail "la confirmation avant la batterie"
  xdotool key Return
  e2e_wait_windows "Lancer la session de prises de vues ?" 1
  xdotool key Escape # "Non"
  e2e_wait_windows "Obturix" 2 # the end notice
  xdotool key Return
  rm "$E2E_POWER"
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"
fi
if [ "$platform" = linux ] && [ -w /run/lock ]; then
  # Two copies, other users and odd lock folders: the claim's own tests.
  echo "== une série tient le verrou de son port dans /run/lock, et le rend"
  touch "$XDG_CONFIG_HOME/obturix/obturix-port-136-0.lock" # an earlier version's
  start_series_of_three 0.4
  lock="/run/lock/LCK..$(readlink -f "$link" | sed 's|^/dev/||; s|/|_|g')"
  e2e_until test -s "$lock" || e2e_fail "pas de verrou $lock pendant la série"
  [ "$(tr -d ' \n' <"$lock")" = "$program_pid" ] || e2e_fail "verrou : « $(cat "$lock") »"
  e2e_until seen_presses 3 "$series_start" || e2e_fail "la série n'a pas fini"
  sleep 0.5 # its last pause
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"
  [ ! -e "$lock" ] || e2e_fail "verrou laissé après la série : $lock"
  ! ls "$XDG_CONFIG_HOME/obturix" | grep -q '^obturix-port-' || e2e_fail "un ancien obturix-port-* reste"
fi
if [ "$platform" = linux ]; then

  echo "== tué (SIGKILL) pendant un appui : la caméra rend le port réservé"
  start_series_of_three 0.4
  e2e_until seen_presses 1 "$series_start" || e2e_fail "la série ne démarre pas"
  sleep 0.7 # into the second exposure
  kill -KILL "$program_pid"
  e2e_wait_exit "$program_pid" || true
  e2e_until grep -q "de nouveau libre" "$E2E_WORK/camera.txt" ||
    e2e_fail "la caméra n'a pas rendu le port resté réservé"
  echo "== … et son journal garde l'appui fini"
  check_journal "$series_start" 1

  echo "== tué (SIGKILL) juste après un appui : le journal a cet appui"
  start_series 5 0.3 0.3
  e2e_until seen_presses 2 "$series_start" || e2e_fail "la série ne démarre pas"
  seen=$(presses_since "$series_start" | wc -l)
  kill -KILL "$program_pid"
  e2e_wait_exit "$program_pid" || true
  [ "$(newest_journal | awk -F';' '$9 == "faite"' | wc -l)" -ge "$seen" ] ||
    e2e_fail "le journal a perdu un appui fini avant la fin du programme : $(newest_journal | tail -n 3 | tr '\n' '|')"

  echo "== lancé avec SIGHUP ignoré (nohup) : la série survit à son terminal"
  wrap=(nohup)
  start_series_of_three 0.4
  wrap=()
  e2e_until seen_presses 1 "$series_start" || e2e_fail "la série ne démarre pas"
  kill -HUP "$program_pid"
  e2e_until seen_presses 3 "$series_start" || e2e_fail "SIGHUP a arrêté la série lancée par nohup"
  sleep 0.5 # its last pause
  kill -0 "$program_pid" 2>/dev/null || e2e_fail "SIGHUP a fermé le programme lancé par nohup"
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"

  echo "== l'affichage perdu pendant une série : arrêtée comme par le système, journal et valeurs gardés"
  main_display=$DISPLAY main_xvfb=$E2E_XVFB
  e2e_new_display lost
  start_series_of_three 0.7
  e2e_until seen_presses 1 "$series_start" || e2e_fail "la série ne démarre pas"
  kill "$E2E_XVFB"
  E2E_XVFB=$main_xvfb
  lost=$(date +%s%N)
  status=0
  e2e_wait_exit "$program_pid" || status=$?
  export DISPLAY=$main_display
  echo "   fin du programme $((($(date +%s%N) - lost) / 1000000)) ms après l'affichage, code de sortie $status"
  newest_journal | grep -q '^Fin;.*;arrêtée par le système$' &&
    newest_journal | grep -q '^Poses non faites (série arrêtée);[12]$' ||
    e2e_fail "journal sans sa fin : $(newest_journal | tail -n 6 | tr '\n' '|')"
  [ "$(saved_value nbpause) $(saved_value intervalle)" = "3 0.7" ] ||
    e2e_fail "valeurs non enregistrées : $(saved_value nbpause) $(saved_value intervalle)"
  grep -q "affichage a été perdu" "$E2E_WORK/stderr.txt" || e2e_fail "rien dit : $(cat "$E2E_WORK/stderr.txt")"

  echo "== un dossier de journal en lecture seule : dit à la fin, la série exacte"
  mkdir -p "$journals"
  if [ "$(id -u)" -eq 0 ]; then # root writes anywhere: a read-only file system instead
    wrap=(unshare -m sh -c 'mount -t tmpfs -o ro tmpfs "$0" && exec "$@"' "$journals")
  else
    chmod 500 "$journals"
  fi
  start_series_of_three 0.4
  wrap=()
  e2e_wait_windows "Obturix" 2 # the journal's warning, the only box of this series
  presses_since "$series_start" | awk '{ n++; if ($1 < 999 || $1 > 1020) bad = 1 } END { exit !(n == 3 && !bad) }' ||
    e2e_fail "la série sans journal : $(presses_since "$series_start" | tr '\n' '|')"
  xdotool key Return
  chmod 700 "$journals"
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"

  echo "== bus de session muet au démarrage : la fenêtre paraît tout de même"
  kill -STOP "${E2E_BUSES[1]}"
  asked=$(date +%s%N)
  start_program
  shown=$((($(date +%s%N) - asked) / 1000000))
  echo "   fenêtre affichée en $shown ms"
  [ "$shown" -le 2000 ] || e2e_fail "la fenêtre a attendu le bus de session $shown ms"
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"
  kill -CONT "${E2E_BUSES[1]}"

  echo "== bus gelés : le premier appui ne les attend pas, la fenêtre se ferme aussitôt après"
  start_program
  kill -STOP "${E2E_BUSES[0]}" "${E2E_BUSES[1]}" # the system's and the session's
  e2e_press ChkAffichePoppup
  e2e_type_into Text1 1
  e2e_type_into Text2 0.2
  series_start=$(($(camera_lines) + 1))
  asked=$(date +%T.%N)
  e2e_press Command1
  e2e_until seen_presses 1 "$series_start" || e2e_fail "pas d'appui"
  camera_presses "$series_start" | grep -o 'début [0-9:.]*' | cut -d' ' -f2 |
    awk -F: -v from="$(ms_of_day "$asked")" '{ late = (($1 * 60 + $2) * 60 + $3) * 1000 - from
      printf "premier appui %.0f ms après le clic sur « Lancer »\n", late; exit !(late <= 100) }' ||
    e2e_fail "le premier appui a attendu les bus"
  sleep 0.5 # its pause, and the series is over
  closed=$(date +%s%N)
  wmctrl -i -c "$E2E_WINDOW"
  e2e_wait_exit "$program_pid" || e2e_fail "code de sortie $?"
  [ $(($(date +%s%N) - closed)) -lt 1000000000 ] || e2e_fail "la fenêtre a attendu les bus pour se fermer"
  kill -CONT "${E2E_BUSES[0]}" "${E2E_BUSES[1]}"
fi
program_pid=""

kill -INT "$camera_pid"
e2e_wait_exit "$camera_pid" || e2e_fail "la caméra virtuelle ne s'arrête pas proprement"
camera_pid=""
echo "== le dessin de la caméra a tous les appuis qu'elle a comptés"
drawn=$(grep -c '<rect x=' "$E2E_WORK/presses.svg" || true)
[ "$drawn" -eq "$(grep -c '^Appui' "$E2E_WORK/camera.txt")" ] && [ "$drawn" -gt 0 ] ||
  e2e_fail "dessin : $drawn appuis, la caméra en a compté $(grep -c '^Appui' "$E2E_WORK/camera.txt")"
echo "e2e: 1 passed, 0 failed"
