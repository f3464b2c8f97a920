"""The highscore pages in the layout the game reads, and the add-on page."""

import html
import urllib.parse

from .mail import RESERVED_NAMES

ROWS = 9
DEFAULT_POINTS = (800, 600, 500, 400, 300, 200, 100, 50, 10)
FIRST_ROW_MARKER = "<!-- first row -->"
MODE_TITLES = {"regular": "regular mode", "difficult": "difficult mode"}

_STYLE = """<style>
body { margin: 0; padding: 1em; background: #483d8b; color: #f4f1e8;
       font-family: "DejaVu Sans", Verdana, sans-serif; }
main { max-width: 40em; margin: 0 auto; }
h1 { font-size: 1.5em; margin: 0.3em 0; }
nav a, nav strong { margin-right: 1em; color: #f4f1e8; }
table { width: 100%; border-collapse: separate; border-spacing: 0 3px; counter-reset: rank; }
th { text-align: left; font-weight: normal; padding: 0.3em 0.6em; color: #d8d4f0; }
td { background: #f4f1e8; color: #26224a; padding: 0.45em 0.6em; overflow-wrap: anywhere; }
tbody tr td:first-child::before { counter-increment: rank; content: counter(rank) ". "; color: #7a74a8; }
td.poi { text-align: right; font-weight: bold; white-space: nowrap; width: 5.5em; }
tr:first-child td { background: #ffe9a8; }
.addons { display: grid; grid-template-columns: repeat(auto-fill, minmax(10em, 1fr)); gap: 0.8em; }
.addon { background: #f4f1e8; color: #26224a; padding: 0.6em; border-radius: 4px; text-align: center; }
.addon img { width: 64px; height: 64px; image-rendering: pixelated; }
.addon a { color: #26224a; font-weight: bold; overflow-wrap: anywhere; }
.nopicture { display: inline-block; width: 64px; height: 64px; line-height: 64px; color: #7a74a8; }
</style>"""


def cell_text(text):
    """A name or place as the game's parser reads it back: "<", "&" and quotes as references,
    and "cou", the marker of the next cell, broken by a reference."""
    return html.escape(text, quote=True).replace("cou", "&#99;ou")


def merged_rows(real_rows):
    """The best nine of the real entries and the default entries; on equal points the real one first."""
    defaults = [(points, name, "") for points, name in zip(DEFAULT_POINTS, RESERVED_NAMES)]
    return sorted(list(real_rows) + defaults, key=lambda row: -row[0])[:ROWS]


def _head(title):
    return ["<!DOCTYPE html>", '<html lang="en">', "<head>", '<meta charset="utf-8">',
            '<meta name="viewport" content="width=device-width, initial-scale=1">',
            f"<title>{html.escape(title)}</title>", _STYLE, "</head>"]


def _navigation(current):
    links = {"regular": ("regular_hsc.html", "Regular"), "difficult": ("difficult_hsc.html", "Difficult"),
             "addons": ("addons/", "Get More Graphics")}
    prefix = "../" if current == "addons" else ""
    items = [f"<strong>{label}</strong>" if key == current else f'<a href="{prefix}{href}">{label}</a>'
             for key, (href, label) in links.items()]
    return "<nav>" + " ".join(items) + "</nav>"


def highscore_page(mode, real_rows):
    """Row i stands on the line two after the marker plus three per row, as the game counts."""
    title = f"Quorvel highscores \u2014 {MODE_TITLES[mode]}"
    lines = _head(title) + ["<body>", "<main>", f"<h1>{html.escape(title)}</h1>", _navigation(mode),
                            "<table>", "<thead><TR><TH>Points</TH><TH>Name</TH><TH>Place</TH></TR></thead>",
                            FIRST_ROW_MARKER, "<tbody>"]
    for points, name, place in merged_rows(real_rows):
        lines += [f'<TR><TD class="poi" >{points}</TD><TD class="nam" >{cell_text(name)}</TD>'
                  f'<TD class="cou" >{cell_text(place)}</TD></TR>', "", ""]
    lines += ["</tbody>", "</table>", "</main>", "</body>", "</html>", ""]
    return "\n".join(lines)


def addons_page(addons):
    """`addons`: (file name, size in bytes, has a preview) for each style file."""
    lines = _head("Quorvel \u2014 Get More Graphics") + [
        "<body>", "<main>", "<h1>Get More Graphics</h1>", _navigation("addons"),
        "<p>Download a style into the game's folder and choose it from the Graphic Style menu.</p>", '<div class="addons">']
    for name, size, has_preview in addons:
        link = urllib.parse.quote(name)
        picture = (f'<img src="{link}/preview.png" alt="">' if has_preview
                   else '<span class="nopicture">no preview</span>')
        lines.append(f'<div class="addon">{picture}<br><a href="{link}" download>{html.escape(name)}</a>'
                     f"<br>{(size + 1023) // 1024} KiB</div>")
    if not addons:
        lines.append("<p>No add-on styles yet.</p>")
    lines += ["</div>", "</main>", "</body>", "</html>", ""]
    return "\n".join(lines)
