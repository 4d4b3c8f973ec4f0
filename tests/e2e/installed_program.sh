#!/usr/bin/env bash
# The installed package: its files are where a desktop looks for them, and
# the installed program starts on its window and quits.
# usage: installed_program.sh
set -euo pipefail
source "$(dirname "$0")/lib.sh"

E2E_WORK=$(mktemp -d)
export XDG_CONFIG_HOME="$E2E_WORK/config"
trap 'kill "${holder:-}" 2>/dev/null || true; e2e_stop_display; rm -rf "$E2E_WORK"' EXIT

desktop=/usr/share/applications/org.obturix.Obturix.desktop
metainfo=/usr/share/metainfo/org.obturix.Obturix.metainfo.xml
for file in /usr/bin/obturix /usr/bin/obturix-virtual-camera "$desktop" "$metainfo" \
  /usr/share/icons/hicolor/scalable/apps/obturix.svg \
  /usr/share/icons/hicolor/{16x16,24x24,32x32,48x48,64x64,128x128,256x256}/apps/obturix.png \
  /usr/share/man/man1/obturix.1.gz /usr/share/man/man1/obturix-virtual-camera.1.gz \
  /usr/share/doc/obturix/copyright /usr/bin/obturix-serie /usr/share/man/man1/obturix-serie.1.gz \
  /usr/share/bash-completion/completions/obturix-serie /usr/share/doc/obturix-serie/copyright; do
  [ -e "$file" ] || e2e_fail "$file n'est pas installé"
done
# The terminal command's long options, as its --help, its manual page and its
# completion (asked as bash asks it) each give them: the same.
serie_options() { grep -o -- '--[a-z][a-z-]*' | sort -u | tr '\n' ' '; }
help=$(obturix-serie --help | serie_options)
manual=$(zcat /usr/share/man/man1/obturix-serie.1.gz | sed 's/\\-/-/g' | serie_options)
completed=$(bash -c 'source /usr/share/bash-completion/bash_completion
  source /usr/share/bash-completion/completions/obturix-serie
  COMP_WORDS=(obturix-serie --); COMP_CWORD=1; COMP_LINE="obturix-serie --"; COMP_POINT=16
  _obturix_serie obturix-serie; printf "%s\n" "${COMPREPLY[@]}"' | serie_options)
[ "$help" = "$manual" ] && [ "$help" = "$completed" ] ||
  e2e_fail "options de obturix-serie : --help $help ; man $manual ; complétion $completed"
/usr/bin/python3 "$(dirname "$0")/guide_links.py" /usr/share/doc/obturix/guide.html ||
  e2e_fail "le guide installé a des liens cassés"
zgrep -q 'guide\.html' /usr/share/man/man1/obturix.1.gz || e2e_fail "la page de manuel ne mène pas au guide"
grep -q '^Categories=Graphics;Photography;$' "$desktop" || e2e_fail "catégories du .desktop"
desktop-file-validate "$desktop" || e2e_fail ".desktop invalide"

e2e_start_display
# Another program holds the settings' lock the whole time: the window opens
# all the same, the load having given up after a while.
mkdir -p -m 0700 "$XDG_CONFIG_HOME/obturix"
flock "$XDG_CONFIG_HOME/obturix/registry.reg.lock" sleep 60 &
holder=$!
started=$(date +%s%N)
obturix &
pid=$!
E2E_WINDOW=$(e2e_main_window)
echo "fenêtre ouverte en $((($(date +%s%N) - started) / 1000000)) ms, les paramètres tenus ailleurs"
kill "$holder"
e2e_press Command2
e2e_wait_exit "$pid" || e2e_fail "le programme installé sort avec le code $?"

# The launcher's actions « Vision de nuit » and « Vision de nuit, en grand »,
# as a dock runs them: red on black, the second twice as large.
for action in "nuit:Vision de nuit:435x442:1" "nuit-grand:Vision de nuit, en grand:870x884:2"; do
  IFS=: read -r id name size scale <<<"$action"
  command=$(sed -n '/^\[Desktop Action '"$id"'\]/,/^\[/ s/^Exec=//p' "$desktop")
  [ -n "$command" ] && grep -q "^Name=$name\$" "$desktop" || e2e_fail "le lanceur n'offre pas « $name »"
  $command &
  pid=$!
  E2E_WINDOW=$(e2e_main_window)
  shown=$(xwininfo -id "$E2E_WINDOW" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')
  [ "$shown" = "$size" ] || e2e_fail "« $name » : fenêtre de $shown au lieu de $size"
  check_night "$E2E_WINDOW" Lancer Quitter
  read -r x y <<<"${E2E_AT[Command2]}"
  e2e_click $((x * scale)) $((y * scale))
  e2e_wait_exit "$pid" || e2e_fail "« $name » sort avec le code $?"
done
echo "installed: 1 passed, 0 failed"
