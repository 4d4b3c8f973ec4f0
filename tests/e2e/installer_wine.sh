#!/usr/bin/env bash
# The Windows installer under Wine: installed silently for every account (the
# entry in the common Start menu, the size in the uninstall entry), the
# installed program started and quit, uninstalled silently (the saved
# parameters kept), nothing left in Program Files nor in the Start menu;
# installed again and uninstalled through its pages with « Supprimer aussi
# les paramètres enregistrés » ticked: the parameters gone.
# usage: installer_wine.sh INSTALLER.EXE   (WINEPREFIX set)
set -euo pipefail
installer="$1"
source "$(dirname "$0")/lib.sh"

E2E_WORK=$(mktemp -d)
trap 'kill "${pid:-}" 2>/dev/null || true; e2e_stop_display; rm -rf "$E2E_WORK"' EXIT
wine_loader=$(command -v wine64 || echo /usr/lib/wine/wine64)
folder="$WINEPREFIX/drive_c/Program Files/Obturix"
entry="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Obturix.lnk"

e2e_start_display
e2e_wine_server_for_display
timeout 120 "$wine_loader" "$installer" /S </dev/null >/dev/null 2>&1 || e2e_fail "l'installation échoue"
[ -f "$folder/obturix.exe" ] || e2e_fail "obturix.exe n'est pas installé"
"$wine_loader" "C:\\Program Files\\Obturix\\obturix-serie.exe" --version </dev/null 2>&1 |
  grep -q '^obturix-serie [0-9]' || e2e_fail "obturix-serie.exe n'est pas installé à côté"
[ -f "$entry" ] || e2e_fail "pas d'entrée dans le menu Démarrer commun à tous les comptes"
guide_entry="$(dirname "$entry")/Guide d'Obturix.lnk"
night_entry="$(dirname "$entry")/Obturix (vision de nuit).lnk"
tr -d '\0' <"$night_entry" | grep -q -- '--nuit' || e2e_fail "pas d'entrée « Obturix (vision de nuit) »"
large_entry="$(dirname "$entry")/Obturix (vision de nuit, en grand).lnk"
tr -d '\0' <"$large_entry" | grep -q -- '--nuit --grand' || e2e_fail "pas d'entrée « Obturix (vision de nuit, en grand) »"
[ -f "$folder/guide/guide.html" ] && grep -aq 'guide\.html' "$guide_entry" ||
  e2e_fail "le guide ou son entrée « Guide d'Obturix » manque"

"$wine_loader" "C:\\Program Files\\Obturix\\obturix.exe" </dev/null >/dev/null 2>&1 &
pid=$!
E2E_WINDOW=$(e2e_main_window)
e2e_press Command2
e2e_wait_exit "$pid" || e2e_fail "le programme installé sort avec le code $?"
"$wine_loader" "C:\\Program Files\\Obturix\\obturix.exe" --nuit </dev/null >/dev/null 2>&1 &
pid=$!
E2E_WINDOW=$(e2e_main_window)
check_night "$E2E_WINDOW" Lancer Quitter
e2e_press Command2
e2e_wait_exit "$pid" || e2e_fail "la vision de nuit sort avec le code $?"
pid=""

settings='HKCU\Software\Obturix\Param'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Obturix'
"$wine_loader" reg query "$uninstall_key" /v EstimatedSize </dev/null 2>/dev/null | grep -q 'REG_DWORD' ||
  e2e_fail "l'entrée de désinstallation ne donne pas la taille"
"$wine_loader" reg add "$settings" /v nbpause /d 12 /f </dev/null >/dev/null 2>&1
journals="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Obturix/Journal"
mkdir -p "$journals"
touch "$journals/2026-12-07_21-04-12.csv"
has_settings() {
  "$wine_loader" reg query "$settings" /v nbpause </dev/null >/dev/null 2>&1 &&
    [ -e "$journals/2026-12-07_21-04-12.csv" ]
}

# The uninstaller copies itself aside and runs from there: wait for it (it
# removes the folder before the Start menu's entries).
uninstalled() {
  for _ in $(seq 200); do
    [ -e "$folder" ] || [ -e "$entry" ] || [ -e "$guide_entry" ] || [ -e "$night_entry" ] ||
      [ -e "$large_entry" ] || break
    sleep 0.1
  done
  [ ! -e "$folder" ] || e2e_fail "il reste $(ls "$folder")"
  [ ! -e "$entry" ] && [ ! -e "$guide_entry" ] && [ ! -e "$night_entry" ] && [ ! -e "$large_entry" ] ||
    e2e_fail "une entrée du menu Démarrer reste"
}
timeout 120 "$wine_loader" "C:\\Program Files\\Obturix\\Uninstall.exe" /S </dev/null >/dev/null 2>&1 ||
  e2e_fail "la désinstallation échoue"
uninstalled
has_settings || e2e_fail "la désinstallation silencieuse a supprimé les paramètres"

timeout 120 "$wine_loader" "$installer" /S </dev/null >/dev/null 2>&1 || e2e_fail "la réinstallation échoue"
"$wine_loader" "C:\\Program Files\\Obturix\\Uninstall.exe" </dev/null >/dev/null 2>&1 &
pid=$!
# The program's window is gone: the uninstaller's may have its id.
page=$(E2E_WINDOW="" e2e_window --name "^Désinstallation d'Obturix") ||
  e2e_fail "pas de fenêtre de désinstallation"
xdotool windowactivate --sync "$page" key Return # the confirmation: next
sleep 1
xdotool key space Return # ticks the box, which has the focus, and uninstalls
sleep 2
xdotool key Return # "Fermer"
uninstalled
pid=""
! "$wine_loader" reg query "$settings" /v nbpause </dev/null >/dev/null 2>&1 ||
  e2e_fail "les paramètres restent, la case cochée"
[ ! -e "$journals" ] || e2e_fail "les journaux restent, la case cochée"
echo "installer: 1 passed, 0 failed ($(stat -c %s "$installer") octets)"
