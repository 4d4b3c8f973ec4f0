#!/usr/bin/env bash
# The installed guide in a real browser (headless Chromium): for each
# section, a page showing it alone, saved as OUTPUT/guide-SECTION.png to be
# looked at, and the same for a dark desktop (-sombre) and in the night
# version (-nuit, « ?nuit »), all measured; fails when the browser finds a
# picture it cannot show, when the day one is dark or the dark one light,
# when the night one has green or blue above 24 / 255 or a mean luminance
# above 0.05.
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
sections=$(grep -o '<section id="[a-z-]*"' "$guide" | cut -d'"' -f2)
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
# "green blue luminance" of a screenshot: the largest green and blue, 0 to
# 255, and the mean luminance, 0 to 1.
measure() {
  convert "$1" -format '%[fx:round(maxima.g*255)] %[fx:round(maxima.b*255)] ' info:
  convert "$1" -colorspace RGB -grayscale Rec709Luminance -format '%[fx:mean]\n' info:
}
for id in $sections; do
  variant "$id" "<style>section:not(#$id), nav, body > p { display: none }</style>"
  shot() { browse --window-size=1000,3200 --screenshot="$output/guide-$id$1.png" "${@:2}" >/dev/null; }
  shot "" "file://$work/$id.html"
  shot -sombre --force-dark-mode "file://$work/$id.html"
  shot -nuit "file://$work/$id.html?nuit"
  echo "$id jour $(measure "$output/guide-$id.png")"
  echo "$id sombre $(measure "$output/guide-$id-sombre.png")"
  echo "$id nuit $(measure "$output/guide-$id-nuit.png")"
done | tee "$work/measures.txt" | awk '{ printf "   %-12s %-6s vert %3d, bleu %3d, luminance %.4f\n", $1, $2, $3, $4, $5 }'
awk '$2 == "jour" && $5 < 0.5 { print "ÉCHEC: " $1 " n'"'"'est pas clair"; bad = 1 }
  $2 == "sombre" && $5 > 0.2 { print "ÉCHEC: " $1 " n'"'"'est pas sombre"; bad = 1 }
  $2 == "nuit" && ($3 > 24 || $4 > 24 || $5 > 0.05) { print "ÉCHEC: " $1 " n'"'"'est pas en vision de nuit"; bad = 1 }
  END { exit bad }' "$work/measures.txt" >&2
echo "guide: $(wc -w <<<"$sections") sections vues dans Chromium, de jour, sombres et de nuit, captures dans $output"
