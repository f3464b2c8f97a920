"""Mail as relays and mail programs deliver it, moderation by the admin command, the limits per
client address."""

import base64
import quopri
import smtplib
import socket
import unittest

from site_process import COLLECTORS, RunningSite, body_lines, game_mail, on_postgresql, postgres_server
from test_highscores import DEFAULTS, SiteCase

ZOE = "Zoë Weiß"
RAW_HEAD = (f"From: kai@example.test\r\nTo: {COLLECTORS[0]}\r\nSubject: regular Quorvel 2.1 highscore\r\n"
            "Mime-Version: 1.0\r\n")


def relayed(body_bytes, content_type, encoding):
    """The mail with its body re-encoded as a relay or a mail program sends it."""
    encoded = {"quoted-printable": lambda b: quopri.encodestring(b.replace(b"\r\n", b"\n")).replace(b"\n", b"\r\n"),
               "base64": lambda b: base64.encodebytes(b).replace(b"\n", b"\r\n")}[encoding](body_bytes)
    return (RAW_HEAD + f"Content-Type: {content_type}\r\nContent-Transfer-Encoding: {encoding}\r\n\r\n").encode() + encoded


def multipart(text_part):
    return (RAW_HEAD + 'Content-Type: multipart/alternative; boundary="b1"\r\n\r\n--b1\r\n').encode() + text_part + (
        b"\r\n--b1\r\nContent-Type: text/html\r\n\r\n<p>nothing</p>\r\n--b1--\r\n")


class RelayedMail(SiteCase):
    def test_every_encoding_shows_the_same_name_and_names_split_at_their_last_from(self):
        body = "\r\n".join(body_lines("regular", [(900, ZOE, "Köln")])) + "\r\n"
        latin1, utf8 = body.encode("latin-1"), body.encode("utf-8")
        mails = {
            "the game's own": game_mail("regular", [(900, ZOE, "Köln")]),
            "quoted-printable by a relay": relayed(latin1, 'text/plain; charset="iso-8859-1"', "quoted-printable"),
            "base64 by a relay": relayed(latin1, 'text/plain; charset="iso-8859-1"', "base64"),
            "UTF-8 quoted-printable by a mail program": relayed(utf8, "text/plain; charset=utf-8", "quoted-printable"),
            "windows-1252 without a transfer encoding": (RAW_HEAD + "Content-Type: text/plain; charset=windows-1252"
                                                         "\r\n\r\n").encode() + body.encode("cp1252"),
            "no charset named": (RAW_HEAD + "\r\n").encode() + latin1,
            "multipart, its text part in base64": multipart(
                b"Content-Type: text/plain; charset=utf-8\r\nContent-Transfer-Encoding: base64\r\n\r\n"
                + base64.encodebytes(utf8)),
        }
        for meaning, message in mails.items():
            with self.subTest(meaning):
                self.site.send(message)
                self.assertEqual(self.site.table("regular")[0], (900, ZOE, "Köln"))
                self.assertEqual(self.stored()[-1], ("regular", 900, ZOE, "Köln"))
        # A name may hold " from "; so may the place the game writes on every line of a mail.
        self.site.send(game_mail("regular", [(950, "Bob from Mars", "Oslo")]))
        self.assertEqual(self.site.table("regular")[0], (950, "Bob from Mars", "Oslo"))
        self.site.send(game_mail("regular", [(990, "Ann from Rome", "Far from home"), (960, "Lu", "Far from home")]))
        self.assertEqual(self.site.table("regular")[:2], [(990, "Ann from Rome", "Far from home"),
                                                          (960, "Lu", "Far from home")])

    def test_a_name_nobody_can_read_is_refused_with_the_reason(self):
        for name in ("\u00a0\u00a0", "\u200b", "\u2003\u200d\ufeff", "\u0301"):
            with self.subTest(repr(name)), self.assertRaises(smtplib.SMTPDataError) as refusal:
                self.site.send(relayed("\r\n".join(body_lines("regular", [(905, name, "Oslo")])).encode("utf-8"),
                                       "text/plain; charset=utf-8", "base64"))
            self.assertEqual(refusal.exception.smtp_code, 554)
            self.assertIn(b"only blanks or invisible characters", refusal.exception.smtp_error)
        self.assertEqual(self.stored(), [])


class Moderation(SiteCase):
    def test_removing_banning_and_unbanning_show_on_the_pages_and_are_logged(self):
        self.site.send(game_mail("regular", [(990, "Forger", "Nowhere"), (905, "Kai", "Oslo"), (870, "Kai", "Bergen")]))
        status, listing, _ = self.site.admin("list", "--mode", "regular")
        self.assertEqual(status, 0)
        rows = [line.split("\t") for line in listing.splitlines()]
        self.assertEqual([row[2:5] for row in rows], [["990", "Forger", "Nowhere"], ["905", "Kai", "Oslo"],
                                                       ["870", "Kai", "Bergen"]])
        kai_best = rows[1][0]

        status, log, _ = self.site.admin("remove", kai_best)
        self.assertEqual(status, 0)
        self.assertRegex(log, r"^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\+00:00 removed entry \d+: regular, 905 points by Kai from Oslo\n$")
        self.assertEqual(self.site.admin("remove", kai_best)[0], 1)  # gone already
        page = self.site.fetch_when("/regular_hsc.html", lambda body: b">905<" not in body)[2].decode()
        self.assertIn(">870<", page)  # Kai's next best takes the place

        status, log, _ = self.site.admin("ban", "Forger")
        self.assertIn("banned the name 'Forger'", log)
        self.site.fetch_when("/regular_hsc.html", lambda body: b"Forger" not in body)
        self.assertNotIn("Forger", str(self.site.table("regular")))
        with self.assertRaises(smtplib.SMTPDataError) as refusal:
            self.site.send(game_mail("regular", [(100, "Ann", "Rome"), (995, "Forger", "Nowhere")]))
        self.assertEqual(refusal.exception.smtp_code, 554)
        self.assertIn(b"'Forger' is banned", refusal.exception.smtp_error)
        self.assertTrue(self.site.admin("list")[1].splitlines()[0].endswith("\tbanned"))

        self.assertIn("lifted the ban", self.site.admin("unban", "Forger")[1])
        self.site.fetch_when("/regular_hsc.html", lambda body: b"Forger" in body)
        self.assertEqual(self.site.table("regular")[:2], [(990, "Forger", "Nowhere"), (870, "Kai", "Bergen")])
        self.assertEqual(len(self.stored()), 2)


RelayedMailOnPostgres = on_postgresql(RelayedMail)
ModerationOnPostgres = on_postgresql(Moderation)


class DatabaseRestart(SiteCase):
    database_kind = "postgresql"

    def test_a_restarted_database_delays_mail_and_keeps_the_pages(self):
        self.site.send(game_mail("regular", [(901, "Kai", "Oslo")]))
        self.assertEqual(self.site.table("regular")[0], (901, "Kai", "Oslo"))
        postgres_server().restart()
        self.assertEqual(self.site.table("regular")[0], (901, "Kai", "Oslo"))
        replies = []
        for points in (902, 903):
            try:
                self.site.send(game_mail("regular", [(points, "Kai", "Oslo")]))
                replies.append(250)
            except smtplib.SMTPDataError as refusal:
                replies.append(refusal.smtp_code)
        self.assertIn(replies, ([451, 250], [250, 250]))  # the broken connection, then a new one
        self.assertEqual(self.site.fetch_when("/regular_hsc.html", lambda body: b">903<" in body)[0], 200)
        self.assertEqual(self.site.table("regular")[0], (903, "Kai", "Oslo"))


class Limits(unittest.TestCase):
    def test_an_address_gets_its_mails_and_connections_and_no_more(self):
        site = RunningSite(options=["--mail-rate", "3", "--connections-per-address", "2"])
        self.addCleanup(site.close)
        for points in (901, 902, 903):
            site.send(game_mail("regular", [(points, "Kai", "Oslo")]))
        with self.assertRaises(smtplib.SMTPSenderRefused) as refusal:
            site.send(game_mail("regular", [(904, "Kai", "Oslo")]))
        self.assertEqual(refusal.exception.smtp_code, 451)
        self.assertIn(b"at most 3 in 10 minutes", refusal.exception.smtp_error)

        for port, refused in ((site.smtp_port, b"421 "), (site.http_port, b"HTTP/1.1 503 ")):
            held = [socket.create_connection(("127.0.0.1", port), timeout=10) for _ in range(2)]
            with socket.create_connection(("127.0.0.1", port), timeout=10) as third:
                self.assertTrue(third.recv(200).startswith(refused))
            for connection in held:
                connection.close()
        site.fetch_when("/regular_hsc.html", lambda body: b"Kai" in body)  # its connections were given back
        self.assertEqual(site.table("regular")[0], (903, "Kai", "Oslo"))


if __name__ == "__main__":
    unittest.main()
