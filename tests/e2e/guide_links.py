#!/usr/bin/python3
# The installed guide: every picture it shows and every file it links to is
# beside it (its night version's too), and every link inside the page leads
# to an id of the page or to the page itself in another version ("?nuit").
# usage: guide_links.py GUIDE.HTML
import html.parser
import os
import sys


class Links(html.parser.HTMLParser):
    def __init__(self):
        super().__init__()
        self.ids, self.targets = set(), []

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if "id" in attrs:
            self.ids.add(attrs["id"])
        for name in ("src", "href", "data-nuit"):
            if name in attrs:
                self.targets.append(attrs[name])


page = sys.argv[1]
links = Links()
with open(page, encoding="utf-8") as text:
    links.feed(text.read())
folder = os.path.dirname(page)
broken = [t for t in links.targets
          if (t[1:] not in links.ids if t.startswith("#")
              else not t.startswith("?") and not os.path.isfile(os.path.join(folder, t)))]
if broken or not links.targets:
    sys.exit(f"guide : liens ou images introuvables : {broken or 'aucun lien'}")
print(f"guide : {len(links.targets)} liens et images, tous trouvés")
