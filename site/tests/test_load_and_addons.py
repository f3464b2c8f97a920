"""Many senders at once; the add-on page with good, broken and oversized style files."""

import io
import os
import smtplib
import sqlite3
import sys
import threading
import time
import unittest
import zipfile

from site_process import RunningSite, game_mail

SENDERS = 20
MAILS_EACH = 100
PNG = b"\x89PNG\r\n\x1a\n" + bytes(range(40))


class Load(unittest.TestCase):
    def test_two_thousand_mails_from_twenty_senders_are_each_stored_once(self):
        site = RunningSite()
        self.addCleanup(site.close)
        failures = []

        def sender(number):
            try:
                with smtplib.SMTP("127.0.0.1", site.smtp_port, timeout=30) as smtp:
                    for k in range(MAILS_EACH):
                        site.send(game_mail("regular", [(1 + number * MAILS_EACH + k, f"S{number}", "Oslo")]),
                                  connection=smtp)
            except (OSError, smtplib.SMTPException) as error:
                failures.append(error)

        started = time.monotonic()
        threads = [threading.Thread(target=sender, args=(n,)) for n in range(SENDERS)]
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        seconds = time.monotonic() - started
        print(f"\n{SENDERS * MAILS_EACH} mails from {SENDERS} senders in {seconds:.1f} s", file=sys.stderr)
        self.assertEqual(failures, [])
        with sqlite3.connect(os.path.join(site.data, "quorvel.db")) as db:
            points = sorted(p for (p,) in db.execute("SELECT points FROM entries"))
        self.assertEqual(points, list(range(1, SENDERS * MAILS_EACH + 1)))
        self.assertLess(seconds, 60)
        best = site.table("regular")
        self.assertEqual([(p, n) for p, n, _ in best[:3]], [(2000, "S19"), (1900, "S18"), (1800, "S17")])


def style_file(preview=PNG, compression=zipfile.ZIP_DEFLATED):
    data = io.BytesIO()
    with zipfile.ZipFile(data, "w", compression) as archive:
        archive.writestr("bitmaps/black0000.png", PNG)
        if preview is not None:
            archive.writestr("bitmaps/blue0005.png", preview)
    return data.getvalue()


class Addons(unittest.TestCase):
    FILES = {
        "Good & <Fine>.lvr": style_file(),
        "no preview.lvr": style_file(preview=None),
        "huge preview.lvr": style_file(preview=PNG + bytes(300 * 1024)),
        "not a zip.lvr": b"PK\x03\x04 broken" * 100,
        "cut short.lvr": style_file()[:-30],
        "readme.txt": b"not a style",
    }

    def test_each_style_is_listed_with_its_picture_and_download(self):
        site = RunningSite()
        self.addCleanup(site.close)
        os.makedirs(os.path.join(site.data, "addons"))
        for name, data in self.FILES.items():
            with open(os.path.join(site.data, "addons", name), "wb") as file:
                file.write(data)
        status, headers, page = site.fetch("/addons/")
        text = page.decode("utf-8")
        self.assertEqual(status, 200)
        self.assertIn(">Good &amp; &lt;Fine&gt;.lvr</a>", text)
        self.assertNotIn("readme", text)
        self.assertEqual(text.count('<div class="addon">'), 5)
        self.assertEqual(text.count("<img "), 1)
        self.assertIn('<img src="Good%20%26%20%3CFine%3E.lvr/preview.png"', text)
        status, headers, data = site.fetch("/addons/Good%20%26%20%3CFine%3E.lvr/preview.png")
        self.assertEqual((status, headers["Content-Type"], data), (200, "image/png", PNG))
        for name in ("no%20preview.lvr", "huge%20preview.lvr", "not%20a%20zip.lvr", "cut%20short.lvr"):
            self.assertEqual(site.fetch(f"/addons/{name}/preview.png")[0], 404, name)
        status, headers, data = site.fetch("/addons/huge%20preview.lvr")
        self.assertEqual((status, headers["Content-Type"], data), (200, "application/zip", self.FILES["huge preview.lvr"]))
        for path in ("/addons/readme.txt", "/addons/..%2fquorvel.db", "/addons/%ff.lvr"):
            self.assertEqual(site.fetch(path)[0], 404, path)


if __name__ == "__main__":
    unittest.main()
