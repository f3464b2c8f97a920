"""Many senders at once; the add-on page with good, broken and oversized style files."""

import io
import os
import smtplib
import sys
import threading
import time
import unittest
import zipfile

from site_process import RunningSite, fresh_database, game_mail

SENDERS = 20
MAILS_EACH = 100
PNG = b"\x89PNG\r\n\x1a\n" + bytes(range(40))


def send_from_many(sites):
    """SENDERS senders, each with one connection to one of the sites in turn, MAILS_EACH mails each;
    the points run from 1 to SENDERS * MAILS_EACH. The errors, if any."""
    failures = []

    def sender(number):
        site = sites[number % len(sites)]
        try:
            with smtplib.SMTP("127.0.0.1", site.smtp_port, timeout=30) as smtp:
                for k in range(MAILS_EACH):
                    site.send(game_mail("regular", [(1 + number * MAILS_EACH + k, f"S{number}", "Oslo")]),
                              connection=smtp)
        except (OSError, smtplib.SMTPException) as error:
            failures.append(error)

    threads = [threading.Thread(target=sender, args=(n,)) for n in range(SENDERS)]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return failures


class Load(unittest.TestCase):
    def test_two_thousand_mails_from_twenty_senders_are_each_stored_once(self):
        site = RunningSite()
        self.addCleanup(site.close)
        started = time.monotonic()
        self.assertEqual(send_from_many([site]), [])
        print(f"\n{SENDERS * MAILS_EACH} mails from {SENDERS} senders in {time.monotonic() - started:.1f} s",
              file=sys.stderr)
        self.assertEqual(sorted(points for _, points, _, _ in site.stored()), list(range(1, SENDERS * MAILS_EACH + 1)))
        best = site.table("regular")
        self.assertEqual([(p, n) for p, n, _ in best[:3]], [(2000, "S19"), (1900, "S18"), (1800, "S17")])

    def test_two_sites_on_one_postgresql_database_share_their_mail_and_their_changes(self):
        database = fresh_database("postgresql")
        sites = [RunningSite(database=database), RunningSite(database=database)]
        for site in sites:
            self.addCleanup(site.close)
        self.assertEqual(send_from_many(sites), [])
        self.assertEqual(sorted(points for _, points, _, _ in sites[0].stored()),
                         list(range(1, SENDERS * MAILS_EACH + 1)))
        # Within a second of the last mail both serve the same page, whatever each rendered before.
        deadline = time.monotonic() + 1
        while True:
            tops = [site.fetch("/regular_hsc.html")[2] for site in sites]
            if tops[0] == tops[1] or time.monotonic() > deadline:
                break
        self.assertEqual(tops[0], tops[1])
        self.assertEqual([(p, n) for p, n, _ in sites[0].table("regular")[:2]], [(2000, "S19"), (1900, "S18")])
        # A change through one site, or by the admin command, shows on the other's page within a second.
        sites[0].send(game_mail("regular", [(4321, "Late", "Oslo")]))
        self.assertIn(b">4321<", sites[1].fetch_when("/regular_hsc.html", lambda body: b">4321<" in body, 1)[2])
        self.assertEqual(sites[1].admin("ban", "Late")[0], 0)
        for site in sites:
            self.assertNotIn(b">4321<", site.fetch_when("/regular_hsc.html", lambda body: b">4321<" not in body, 1)[2])


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
        status, headers, page = site.fetch_when("/addons/", lambda body: b"Good &amp;" in body)
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
