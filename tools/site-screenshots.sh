#!/usr/bin/env bash
# Screenshots of the highscore site's pages in headless Chromium, at a desktop and a phone width.
#   tools/site-screenshots.sh [OUT_DIR]   (default /tmp/quorvel-site-screenshots)
# Starts the site on free ports with a few entries sent by mail and the add-on styles of a build.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:-/tmp/quorvel-site-screenshots}"
command -v chromium >/dev/null || "$root/tools/install-deps.sh" site-screenshots
mkdir -p "$out"
data="$(mktemp -d)"
mkdir -p "$data/addons"
for style in "$root"/build*/game/*.lvr; do [ -f "$style" ] && cp -n "$style" "$data/addons/"; done

coproc SITE { PYTHONUNBUFFERED=1 /usr/bin/python3 "$root/site/quorvel-site" --http 127.0.0.1:0 \
    --smtp 127.0.0.1:0 --data "$data" --print-ports --until-stdin-closes; }
trap 'exec {SITE[1]}>&-; wait; rm -rf "$data"' EXIT
read -r http_port smtp_port <&"${SITE[0]}"

/usr/bin/python3 - "$smtp_port" <<'PY'
import smtplib, sys
entries = {"regular": [(1205, "Kai", "Zürich"), (930, "Anja & Co", "Oslo"), (640, "<b>Zoë</b>", "Bergen")],
           "difficult": [(415, "Tomasz Wiśniewski", "Kraków"), (120, "Lu", "Riga")]}
subjects = {"regular": "regular", "difficult": "diffcult"}
with smtplib.SMTP("127.0.0.1", int(sys.argv[1])) as smtp:
    for mode, rows in entries.items():
        lines = [f"{mode} mode highscore", "Version: 1.20", "Color Depth: 24", "_" * 34, "kai@example.test"]
        lines += [f"{p} points  by {n} from {c}" for p, n, c in rows]
        head = f"Subject: {subjects[mode]} Quorvel 2.1 highscore\r\n\r\n"
        smtp.sendmail("kai@example.test", ["highscores@quorvel.example.org", "board@quorvel.example.org"],
                      (head + "\r\n".join(lines) + "\r\n").encode("latin-1", "replace"))
PY

shoot() {  # page, file, width, height
    chromium --headless --no-sandbox --disable-gpu --hide-scrollbars --screenshot="$out/$2" \
        --window-size="$3,$4" "http://127.0.0.1:$http_port/$1" 2>/dev/null
    echo "$out/$2"
}
shoot regular_hsc.html regular.png 1000 700
shoot difficult_hsc.html difficult.png 1000 700
shoot addons/ addons.png 1000 500
shoot regular_hsc.html regular-phone.png 390 800
