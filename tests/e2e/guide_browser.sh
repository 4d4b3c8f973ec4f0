#!/usr/bin/env bash
# The installed guide in a real browser (headless Chromium): for each
# section, a page showing it alone, saved as OUTPUT/guide-SECTION.png to be
# looked at; fails when the browser finds a picture it cannot show.
# usage: guide_browser.sh GUIDE.HTML OUTPUT
set -euo pipefail
guide="$1"
output="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$output"
cp -r "$(dirname "$guide")"/. "$work"
# Marks the body with the pictures the browser could not show, once loaded.
check='<script>addEventListener("load", () => { document.body.dataset.broken = [...document.images].filter(i => !i.naturalWidth).map(i => i.getAttribute("src")).join(" ") || "aucune" })</script>'
browse() { timeout 60 chromium --headless --no-sandbox --disable-gpu --hide-scrollbars \
  --virtual-time-budget=3000 "$@" 2>/dev/null; }
sections=$(grep -o '<section id="[a-z]*"' "$guide" | cut -d'"' -f2)
[ -n "$sections" ] || { echo "ÉCHEC: le guide n'a pas de sections" >&2; exit 1; }
# The page with something added to its head, as $work/$1.html.
variant() { awk -v add="$2" '{ sub("</head>", add "</head>") } 1' "$guide" >"$work/$1.html"; }
# The cable's drawings name the transistor's pins and the DB9 as one solders
# it, and the logic-level variant takes VCCIO.
for drawing in cable.svg cable-usb.svg; do
  for label in 'C (4)' 'E (3)'; do
    grep -qF ">$label<" "$work/$drawing" || { echo "ÉCHEC: $drawing sans « $label »" >&2; exit 1; }
  done
done
grep -q 'côté soudures' "$work/cable.svg" && grep -q 'VCCIO' "$work/cable-usb.svg" ||
  { echo "ÉCHEC: les dessins du câble n'ont pas leurs légendes" >&2; exit 1; }
variant checked "$check"
broken=$(browse --dump-dom "file://$work/checked.html" | grep -o 'data-broken="[^"]*"')
[ "$broken" = 'data-broken="aucune"' ] || { echo "ÉCHEC: images $broken" >&2; exit 1; }
for id in $sections; do
  variant "$id" "<style>section:not(#$id), nav, body > p { display: none }</style>"
  browse --window-size=1000,1400 --screenshot="$output/guide-$id.png" "file://$work/$id.html" >/dev/null
done
echo "guide: $(wc -w <<<"$sections") sections vues dans Chromium, captures dans $output"
