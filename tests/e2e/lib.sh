# Helpers for driving the built program under Xvfb with real X input.
# Positions come from the window's control table, in pixels (twips / 15).

E2E_BUSES=()

e2e_fail() {
  echo "ÉCHEC: $*" >&2
  exit 1
}

# Starts Xvfb on a free display, $1 its name; E2E_XVFB is its process.
e2e_new_display() {
  local fifo="$E2E_WORK/display$1"
  mkfifo "$fifo"
  # A black root, as a dark desktop: what a window or a tooltip shows is all that is light.
  # Tall enough for the window twice as large (--grand) and its frame.
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -br -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  E2E_XVFB=$!
  read -r -t 20 display <>"$fifo" || e2e_fail "Xvfb ne démarre pas"
  export DISPLAY=":$display"
}

# The display of the test, with a window manager (for the close box).
e2e_start_display() {
  e2e_new_display main
  openbox >/dev/null 2>&1 &
  E2E_WM=$!
  sleep 0.5
}

e2e_stop_display() {
  kill "${E2E_WM:-}" "${E2E_XVFB:-}" "${E2E_BUSES[@]}" 2>/dev/null || true
}

# Private system and session buses (each as open as a session bus), with
# logind and the desktop portal played by sleep_services.py, which logs to
# $E2E_AWAKE what is taken and given back, to $E2E_DOCK the launcher
# entries' updates and to $E2E_NOTICES the desktop's notifications; UPower
# tells the battery $E2E_POWER holds. A program started after this call
# uses them.
e2e_start_sleep_services() {
  local bus
  for bus in system session; do
    dbus-daemon --session --nofork --nopidfile --address="unix:path=$E2E_WORK/$bus-bus" \
      2>/dev/null &
    E2E_BUSES+=("$!")
  done
  export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$E2E_WORK/system-bus" \
    DBUS_SESSION_BUS_ADDRESS="unix:path=$E2E_WORK/session-bus"
  e2e_until test -S "$E2E_WORK/session-bus" -a -S "$E2E_WORK/system-bus" || e2e_fail "pas de bus D-Bus"
  E2E_AWAKE="$E2E_WORK/awake.txt"
  E2E_DOCK="$E2E_WORK/dock.txt"
  E2E_NOTICES="$E2E_WORK/notices.txt"
  E2E_POWER="$E2E_WORK/power.txt"
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sleep_services.py" "$E2E_AWAKE" "$E2E_DOCK" \
    "$E2E_NOTICES" "$E2E_POWER" \
    >"$E2E_WORK/sleep-services.txt" 2>&1 &
  E2E_BUSES+=("$!")
  e2e_until grep -q prêt "$E2E_WORK/sleep-services.txt" || e2e_fail "logind et le portail simulés ne démarrent pas"
}

# Runs a command every 0.05 s until it succeeds; fails after 10 s.
e2e_until() {
  for _ in $(seq 200); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# The first visible window that `xdotool search` finds with these arguments,
# other than the main one; fails when there is none.
e2e_find_window() {
  xdotool search --onlyvisible "$@" 2>/dev/null | grep -vx "${E2E_WINDOW:-}" | head -n 1 | grep .
}

# Waits (10 s at most) for such a window and prints its id.
e2e_window() {
  e2e_until e2e_find_window "$@" >/dev/null && e2e_find_window "$@"
}

# The main window's id once it appears (a new one may reuse an old id).
e2e_main_window() {
  E2E_WINDOW="" e2e_window --name '^Obturix$' || e2e_fail "la fenêtre Obturix n'apparaît pas"
}

# Waits until exactly `count` visible windows carry `title`.
e2e_window_count_is() {
  [ "$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l)" -eq "$2" ]
}
e2e_wait_windows() {
  local pattern
  pattern=$(printf '%s' "$1" | sed 's/[][?*.+^$()|{}\\]/\\&/g')
  e2e_until e2e_window_count_is "$pattern" "$2" || e2e_fail "attendu $2 fenêtre(s) « $1 »"
}

# Waits (10 s at most) for a process to end, then returns its exit status.
e2e_wait_exit() {
  e2e_until eval "! kill -0 $1 2>/dev/null" || e2e_fail "le processus $1 ne se termine pas"
  wait "$1"
}

# Clicks at a point of the main window's client area (pixels), with the
# left button or the one given third.
e2e_click() {
  xdotool mousemove --window "$E2E_WINDOW" "$1" "$2" click "${3:-1}"
  sleep 0.1
}

# Wine's desktop belongs to the display of the first window its server
# showed, which may be gone or smaller than this one: a server of its own
# for the test's display, kept for its Wine starts.
e2e_wine_server_for_display() {
  wineserver -k 2>/dev/null || true
  timeout 60 wineserver -w 2>/dev/null || true
  wineserver -p 2>/dev/null || true
}

# Fails unless a window, once painted, matches a reviewed screenshot pixel
# for pixel; a rectangle "X0,Y0 X1,Y1" third is left out of both (painted
# black), a field whose text changes from run to run. A reference missing is
# made from the window, to be looked at and kept, and the test fails.
e2e_matches_reference() {
  local id="$1" reference="$2" differing
  sleep 0.3
  import -window "$id" "$E2E_WORK/shot.png"
  if [ -n "${3:-}" ]; then
    mogrify -fill black -draw "rectangle $3" "$E2E_WORK/shot.png"
  fi
  [ -e "$reference" ] || { cp "$E2E_WORK/shot.png" "$reference"; e2e_fail "$reference : faite, à revoir"; }
  differing=$(compare -metric AE "$E2E_WORK/shot.png" "$reference" /dev/null 2>&1 || true)
  [ "$differing" = "0" ] || e2e_fail "$(basename "$reference") : $differing pixels diffèrent"
}

# Night vision on a screenshot of window $1: no green or blue above 24, a
# mean luminance of at most 0.05, and the red channel alone reads each word
# that follows.
check_night() {
  local shot="$E2E_WORK/night.png" figures read
  sleep 0.3
  import -window "$1" "$shot"
  shift
  figures="$(convert "$shot" -format '%[fx:round(maxima.g*255)] %[fx:round(maxima.b*255)] ' info:)"
  figures+="$(convert "$shot" -colorspace RGB -grayscale Rec709Luminance -format '%[fx:mean]' info:)"
  echo "   vert et bleu au plus, luminance moyenne : $figures"
  awk '{ exit !($1 <= 24 && $2 <= 24 && $3 <= 0.05) }' <<<"$figures" || e2e_fail "pas assez sombre"
  read=$(for threshold in 50 60; do # Wine draws its fonts sharper than Qt
    convert "$shot" -channel R -separate +channel -negate -threshold $threshold% -resize 300% png:- |
      tesseract - - -l fra --psm 11 2>/dev/null
  done | tr '\n' ' ')
  for word; do grep -qw -- "$word" <<<"$read" || e2e_fail "« $word » illisible ; lu : $read"; done
}

# Control centres, from the control table (window left/top + half size, / 15).
declare -A E2E_AT=(
  [Text5]="358 175" [Text1]="358 205" [Text2]="359 228" [Text3]="359 250"
  [Text6]="359 345" [Text7]="359 368" [ChkMiro]="231 319"
  [Command1]="95 420" [Command2]="339 421" [ChkAffichePoppup]="195 134" [background]="5 200"
)

e2e_type_into() {
  # shellcheck disable=SC2086
  e2e_click ${E2E_AT[$1]}
  xdotool key --clearmodifiers ctrl+a
  xdotool type --delay 5 -- "$2"
}

e2e_press() {
  # shellcheck disable=SC2086
  e2e_click ${E2E_AT[$1]}
}
