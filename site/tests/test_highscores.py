"""Mails in by smtplib, pages out by HTTP, read back by the game's rules."""

import os
import smtplib
import unittest

from site_process import COLLECTORS, RunningSite, body_lines, fresh_database, game_mail, on_postgresql

DEFAULTS = [(800, "Marit Stonewell", ""), (600, "Jonas Quill", ""), (500, "Ada Pebblestone", ""),
            (400, "Tomek Rowan", ""), (300, "Lina Fernbrook", ""), (200, "Oskar Dune", ""),
            (100, "Nell Harrow", ""), (50, "Pim Vale", ""), (10, "Rosa Glen", "")]


class SiteCase(unittest.TestCase):
    """A site of its own for each test, on the data folder's SQLite file; the subclasses at the end
    run the same tests on a PostgreSQL database."""
    database_kind = "sqlite"

    def setUp(self):
        self.site = RunningSite(database=fresh_database(self.database_kind))
        self.addCleanup(self.site.close)

    def stored(self):
        return self.site.stored()


class Table(SiteCase):
    def test_defaults_pad_the_best_entry_of_each_name_per_mode(self):
        self.assertEqual(self.site.table("regular"), DEFAULTS)
        self.site.send(game_mail("regular", [(805, "Kai", "Zürich"), (450, "Kai", "Bergen"), (700, "Mo", "Oslo")]))
        self.site.send(game_mail("regular", [(300, "Mo", "Rome"), (300, "Lu", "Riga")]))
        self.site.send(game_mail("difficult", [(90, "Di", "Turku")]))
        self.assertEqual(self.site.table("regular"),
                         [(805, "Kai", "Zürich"), (800, "Marit Stonewell", ""), (700, "Mo", "Oslo")] + DEFAULTS[1:4]
                         + [(300, "Lu", "Riga")] + DEFAULTS[4:6])
        self.assertEqual(self.site.table("difficult"), DEFAULTS[:7] + [(90, "Di", "Turku"), (50, "Pim Vale", "")])
        # Stored once per message though each went to both collectors.
        self.assertEqual(len(self.stored()), 6)

    def test_the_page_is_html_for_a_browser_with_the_rows_where_the_game_reads_them(self):
        status, headers, body = self.site.fetch("/difficult_hsc.html")
        text = body.decode("utf-8")
        self.assertIn('<meta name="viewport"', text)
        self.assertIn("<title>Quorvel highscores \u2014 difficult mode</title>", text)
        self.assertEqual(text.lower().count("<!-- first row -->"), 1)
        self.assertEqual(self.site.fetch("/nothing.html")[0], 404)
        self.assertEqual(self.site.fetch("/addons/../quorvel.db")[0], 404)

    def test_the_sender_address_is_never_published_nor_kept(self):
        self.site.send(game_mail("regular", [(900, "Kai", "Bergen")], address="secret.kai@example.test"),
                       sender="secret.kai@example.test")
        for mode in ("regular", "difficult"):
            self.assertNotIn(b"secret.kai", self.site.fetch(f"/{mode}_hsc.html")[2])
        self.assertNotIn("secret.kai", repr(self.stored()))
        if self.database_kind == "sqlite":
            with open(os.path.join(self.site.data, "quorvel.db"), "rb") as database:
                self.assertNotIn(b"secret.kai", database.read())


HOSTILE_TEXTS = [
    "<script>alert(1)</script>", "A & B", "x</TD><TD class=\"poi\" >99999</TD>", "\"quoted\" 'single'",
    "Picou cou", "&amp;&lt;&#65;&#x42;", "<!-- first row -->", "  tab\there\x7f\x85  ", "\xff\xfe\xe9t\xe9",
    "Zo\xc3\xab", "poi nam cou </td", "x" * 450]


def cleaned(text):
    kept = "".join(c for c in text if not (ord(c) < 32 or 0x7f <= ord(c) <= 0x9f)).strip(" ")
    return kept[:64]


class HostileNames(SiteCase):
    def test_every_name_and_place_round_trips_through_the_page(self):
        for batch in range(0, len(HOSTILE_TEXTS), 3):
            texts = HOSTILE_TEXTS[batch:batch + 3]
            entries = [(1000 + batch * 10 - i, text, text[::-1]) for i, text in enumerate(texts)]
            self.site.send(game_mail("regular", entries))
            rows = self.site.table("regular")[:len(texts)]
            self.assertEqual(rows, [(p, cleaned(n), cleaned(c)) for p, n, c in entries])

    def test_a_long_name_is_cut_and_the_reply_says_so_a_line_beyond_smtp_limits_is_refused(self):
        self.assertEqual(data_reply(self.site, game_mail("regular", [(900, "n" * 900, "Oslo"), (801, "Lu", "p" * 70)])),
                         (250, b"OK 2 entries stored; 2 names or places cut to 64 characters"))
        self.assertEqual(data_reply(self.site, game_mail("regular", [(901, "n" * 5000, "Oslo")]))[0], 500)
        self.assertEqual([row[1] for row in self.stored()], [900, 801])


def data_reply(site, message):
    """The reply to DATA, sent without announcing the size."""
    with smtplib.SMTP("127.0.0.1", site.smtp_port, timeout=10) as smtp:
        smtp.ehlo()
        smtp.mail("kai@example.test")
        for address in COLLECTORS:
            smtp.rcpt(address)
        return smtp.data(message)


def mail_with(**changes):
    lines = body_lines("regular", [(805, "Kai", "Oslo")])
    for index, line in changes.items():
        lines[int(index[1:])] = line
    return game_mail("regular", None, lines=lines)


REFUSED = {
    "modes disagree": game_mail("regular", [(805, "Kai", "Oslo")], subject="diffcult Quorvel 2.1 highscore"),
    "no subject": game_mail("regular", [(805, "Kai", "Oslo")], subject=""),
    "no entry": game_mail("regular", []),
    "ten entries": game_mail("regular", [(900 - i, f"P{i}", "Oslo") for i in range(10)]),
    "points zero": game_mail("regular", [(0, "Kai", "Oslo")]),
    "points too many": game_mail("regular", [(100000, "Kai", "Oslo")]),
    "entry unreadable": mail_with(l5="805 points by Kai from Oslo"),
    "no name": game_mail("regular", [(805, " \x01 ", "Oslo")]),
    "reserved name": game_mail("regular", [(805, "Jonas Quill", "Oslo")]),
    "no version": mail_with(l1="Version 1.20"),
    "no colour depth": mail_with(l2="Color Depth: deep"),
    "no rule": mail_with(l3="-" * 34),
    "second entry bad": game_mail("regular", [(805, "Kai", "Oslo")], lines=body_lines(
        "regular", [(805, "Kai", "Oslo")]) + ["junk"]),
}


class RefusedMail(SiteCase):
    def test_each_malformed_mail_is_refused_with_a_reason_and_stores_nothing(self):
        for meaning, message in REFUSED.items():
            with self.subTest(meaning):
                with self.assertRaises(smtplib.SMTPDataError) as refusal:
                    self.site.send(message)
                self.assertEqual(refusal.exception.smtp_code, 554)
                self.assertIn(b"nothing stored", refusal.exception.smtp_error)
        self.assertEqual(self.stored(), [])
        self.assertEqual(self.site.table("regular"), DEFAULTS)

    def test_other_mailboxes_and_oversized_mail_are_refused(self):
        with self.assertRaises(smtplib.SMTPRecipientsRefused) as refusal:
            self.site.send(game_mail("regular", [(805, "Kai", "Oslo")]), recipients=["postmaster@quorvel.example.org"])
        self.assertEqual(refusal.exception.recipients["postmaster@quorvel.example.org"][0], 550)
        padding = ["X-Padding: " + "p" * 900] * 80
        big = game_mail("regular", [(805, "Kai", "Oslo")]).replace(b"\r\n\r\n", ("\r\n" + "\r\n".join(padding)).encode() + b"\r\n\r\n", 1)
        self.assertEqual(data_reply(self.site, big)[0], 552)
        with self.assertRaises(smtplib.SMTPSenderRefused):
            self.site.send(big)
        self.assertEqual(self.stored(), [])


TableOnPostgres = on_postgresql(Table)
HostileNamesOnPostgres = on_postgresql(HostileNames)
RefusedMailOnPostgres = on_postgresql(RefusedMail)


if __name__ == "__main__":
    unittest.main()
