# Helpers for driving the built program under Xvfb with real X input.
# Positions come from the window's control table, in pixels (twips / 15).

e2e_fail() {
  echo "ÉCHEC: $*" >&2
  exit 1
}

# Starts Xvfb on a free display and a window manager (for the close box).
e2e_start_display() {
  local fifo="$E2E_WORK/display"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  E2E_XVFB=$!
  read -r -t 20 display <>"$fifo" || e2e_fail "Xvfb ne démarre pas"
  export DISPLAY=":$display"
  openbox >/dev/null 2>&1 &
  E2E_WM=$!
  sleep 0.5
}

e2e_stop_display() {
  kill "${E2E_WM:-}" "${E2E_XVFB:-}" 2>/dev/null || true
}

# The main window's id, waiting for it to appear.
e2e_main_window() {
  local id=""
  for _ in $(seq 100); do
    id=$(xdotool search --onlyvisible --name '^Obturix$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.1
  done
  [ -n "$id" ] || e2e_fail "la fenêtre Obturix n'apparaît pas"
  echo "$id"
}

# Waits until exactly `count` visible windows carry `title`.
e2e_wait_windows() {
  local title="$1" count="$2" pattern
  pattern=$(printf '%s' "$1" | sed 's/[][?*.+^$()|{}\\]/\\&/g')
  for _ in $(seq 200); do
    [ "$(xdotool search --onlyvisible --name "^${pattern}\$" 2>/dev/null | wc -l)" -eq "$count" ] && return 0
    sleep 0.05
  done
  e2e_fail "attendu $count fenêtre(s) « $title »"
}

# The first visible window other than the main one that `xdotool search`
# finds with these arguments, waiting 10 s at most for it; empty if none.
e2e_other_window() {
  local id=""
  for _ in $(seq 200); do
    id=$(xdotool search --onlyvisible "$@" 2>/dev/null | grep -vx "$E2E_WINDOW" | head -n 1 || true)
    [ -n "$id" ] && break
    sleep 0.05
  done
  echo "$id"
}

# Answers the message box titled "Obturix" beside the main window with
# Return, and waits until that box has gone.
e2e_answer_box() {
  local box
  box=$(e2e_other_window --name '^Obturix$')
  [ -n "$box" ] || e2e_fail "pas de boîte « Obturix »"
  xdotool windowactivate --sync "$box" key Return 2>/dev/null || xdotool key Return
  for _ in $(seq 200); do
    xdotool search --onlyvisible --name '^Obturix$' 2>/dev/null | grep -qx "$box" || return 0
    sleep 0.05
  done
  e2e_fail "la boîte « Obturix » ne se ferme pas"
}

# Waits (20 s at most) for a process to end, then returns its exit status.
e2e_wait_exit() {
  local pid="$1"
  for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && e2e_fail "le processus $pid ne se termine pas"
  wait "$pid"
}

# Clicks at a point of the main window's client area (pixels), with the
# left button or the one given third.
e2e_click() {
  xdotool mousemove --window "$E2E_WINDOW" "$1" "$2" click "${3:-1}"
  sleep 0.1
}

# Fails unless a window, once painted, matches a reviewed screenshot pixel for pixel.
e2e_matches_reference() {
  local id="$1" reference="$2" differing
  sleep 0.3
  import -window "$id" "$E2E_WORK/shot.png"
  differing=$(compare -metric AE "$E2E_WORK/shot.png" "$reference" /dev/null 2>&1 || true)
  [ "$differing" = "0" ] || e2e_fail "$(basename "$reference") : $differing pixels diffèrent"
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
