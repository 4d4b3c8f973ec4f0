#!/usr/bin/env bash
# Runs a Windows test program under Wine, as the tests' emulator.
# usage: wine_test_run.sh WINE_LOADER PROGRAM.EXE [ARGUMENTS...]
#
# Two things Wine does on a busy machine are not the program's doing, and
# would fail a test that passed:
# - once a process's last thread has ended, Wine's server kills it (SIGKILL)
#   when it is slow to leave: its own report, already written, says how the
#   test went, and is what counts;
# - a start can fail before the program has run a line (nothing written):
#   it is started once more.
# Anything else is the program's own status, unchanged.
loader="$1"
shift
output=$(mktemp)
trap 'rm -f "$output"' EXIT

for attempt in 1 2; do
  "$loader" "$@" >"$output" 2>&1
  status=$?
  cat "$output"
  if [ "$status" -eq 137 ] && grep -q '^\[  PASSED  \]' "$output" &&
    ! grep -q '^\[  FAILED  \]' "$output"; then
    echo "(Wine a tué le processus une fois le test passé : ignoré)" >&2
    exit 0
  fi
  if [ "$status" -eq 0 ] || [ -s "$output" ] || [ "$attempt" -eq 2 ]; then
    exit "$status"
  fi
  echo "(Wine n'a pas démarré le programme, code $status : second essai)" >&2
done
