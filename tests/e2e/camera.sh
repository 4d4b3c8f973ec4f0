# The virtual camera as the instrument of a test: its pseudo-terminal, the
# presses it saw. Needs lib.sh and E2E_WORK.

# Starts the camera (its options as given); `camera` is its program,
# camera_pid its process, `port` the pseudo-terminal it gives. Where allowed
# it runs at real-time priority, so that its timestamps do not wait for the
# other processes of the test.
e2e_start_camera() {
  local realtime=()
  chrt -f 50 true 2>/dev/null && realtime=(chrt -f 50)
  "${realtime[@]}" "$camera" "$@" >"$E2E_WORK/camera.txt" 2>&1 &
  camera_pid=$!
  port=$(e2e_until camera_port >/dev/null && camera_port) || e2e_fail "la caméra virtuelle ne donne pas de port"
}
camera_port() { LC_ALL=C sed -n 's/^Port virtuel\xc2\xa0: //p' "$E2E_WORK/camera.txt" | grep .; }

# The camera's press lines since line $1, its French numbers made plain:
# "Appui 2: début 05:04:12.855, durée 10127.309 ms…".
camera_presses() {
  tail -n +"$1" "$E2E_WORK/camera.txt" | grep '^Appui' |
    LC_ALL=C sed -E 's/\xc2\xa0//g; s/([0-9]),([0-9])/\1.\2/g'
}

# Presses seen by the camera since line $1, as "length pause" pairs in ms.
presses_since() {
  camera_presses "$1" | sed -E 's/.*durée ([0-9.]+) ms(, pause avant ([0-9.]+) ms)?/\1 \3/'
}

# Records the presses since camera line $2, 4 cycles with the mirror raised
# (pulse 50 ms, settle 100, exposure 300, pause 200), as $1's steps: each,
# asked and measured, kept in $timing for cycle_timing --summary.
record_steps() {
  local presses
  presses=$(presses_since "$2")
  [ "$(echo "$presses" | grep -c .)" -eq 8 ] ||
    e2e_fail "$1 : attendu 8 appuis, vu : $(echo "$presses" | tr '\n' '|')"
  echo "$presses" | awk -v who="$1" '{ n++; if (n % 2) { print who, "pulse", 50, $1 }
    else { print who, "settle", 100, $2; print who, "exposure", 300, $1 }
    if (n % 2 && n > 1) print who, "pause", 200, $2 }' >>"$timing"
}

camera_lines() { wc -l <"$E2E_WORK/camera.txt"; }

# Whether the camera has seen $1 presses since line $2.
seen_presses() { [ "$(presses_since "$2" | wc -l)" -ge "$1" ]; }

# The floor: the bare loop ($bare_loop, cycle_timing --bare), three times
# the same 4 cycles on the same port, seen by the same camera.
record_floor() {
  local before
  for _ in 1 2 3; do
    before=$(($(camera_lines) + 1))
    "$bare_loop" --bare "$port" 4 0.3 0.2 0.05 0.1 || e2e_fail "la boucle nue n'ouvre pas le port"
    sleep 0.3 # until the camera has printed the last press
    record_steps floor "$before"
  done
}
