"""The real site in a process of its own on ephemeral ports, mails as the game writes them, and a
reader of the highscore page that follows the game's rules."""

import itertools
import os
import re
import smtplib
import sys
import subprocess
import tempfile
import time
import urllib.request

from postgres_server import PostgresServer

SITE_FOLDER = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
SITE = os.path.join(SITE_FOLDER, "quorvel-site")
sys.path.insert(0, SITE_FOLDER)
from quorvel_site.store import Store, sqlite_url  # noqa: E402
COLLECTORS = ["highscores@quorvel.example.org", "board@quorvel.example.org"]
SUBJECTS = {"regular": "regular Quorvel 2.1 highscore", "difficult": "diffcult Quorvel 2.1 highscore"}


_postgres = None
_database_numbers = itertools.count(1)


def postgres_server():
    """The PostgreSQL server the test run shares."""
    return _postgres


def fresh_database(kind):
    """None for "sqlite", the data folder's own file; for "postgresql" the URL of a new, empty
    database on a real server that the whole test run shares and stops at its end."""
    global _postgres
    if kind == "sqlite":
        return None
    import psycopg
    if _postgres is None:
        _postgres = PostgresServer()
    name = f"test{next(_database_numbers)}"
    with psycopg.connect(_postgres.url, autocommit=True) as connection:
        connection.execute(f"CREATE DATABASE {name}")
    return _postgres.url.replace("@/quorvel?", f"@/{name}?")


def on_postgresql(case):
    """The test case `case` again, on a PostgreSQL database; assign it to a module-level name."""
    return type(case.__name__ + "OnPostgres", (case,), {"database_kind": "postgresql", "__module__": case.__module__})


# The tests send much mail from one address: no limits unless a test sets them.
NO_LIMITS = ["--mail-rate", "0", "--connections-per-address", "100000"]


class RunningSite:
    """Starts the site on port 0 with its own data folder; close() ends it by closing its stdin.
    `database`: the URL of a database other than the folder's own; `options`: more options."""

    def __init__(self, data=None, database=None, options=NO_LIMITS):
        self._folder = None if data else tempfile.TemporaryDirectory()
        self.data = data or self._folder.name
        self.database = database
        self.process = subprocess.Popen(
            ["/usr/bin/python3", SITE, "--http", "127.0.0.1:0", "--smtp", "127.0.0.1:0", "--data", self.data,
             "--print-ports", "--until-stdin-closes"] + (["--database", database] if database else []) + options,
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, env=dict(os.environ, PYTHONUNBUFFERED="1"))
        self.http_port, self.smtp_port = (int(p) for p in self.process.stdout.readline().split())

    def stored(self):
        """(mode, points, name, place) of every stored entry, in the order received."""
        store = Store(self.database or sqlite_url(self.data), pool_size=1)
        try:
            return [(mode, points, name, place) for _, mode, points, name, place, _, _ in
                    sorted(store.entries())]
        finally:
            store.close()

    def admin(self, *arguments):
        """(exit status, standard output, standard error) of the admin command on this site's data."""
        where = ["--database", self.database] if self.database else ["--data", self.data]
        done = subprocess.run(["/usr/bin/python3", SITE, "admin", *where, *arguments], capture_output=True,
                              text=True, timeout=30)
        return done.returncode, done.stdout, done.stderr

    def close(self):
        self.process.stdin.close()
        self.process.wait(timeout=10)
        self.process.stdout.close()
        if self._folder:
            self._folder.cleanup()

    def fetch(self, path):
        """(status, headers, body bytes); an HTTP error status is an answer too."""
        try:
            with urllib.request.urlopen(f"http://127.0.0.1:{self.http_port}{path}", timeout=10) as reply:
                return reply.status, reply.headers, reply.read()
        except urllib.error.HTTPError as error:
            return error.code, error.headers, error.read()

    def fetch_when(self, path, ready, seconds=2):
        """The answer once `ready(body)` holds; the site renders a page anew within half a second of a change."""
        deadline = time.monotonic() + seconds
        while True:
            answer = self.fetch(path)
            if ready(answer[2]) or time.monotonic() > deadline:
                return answer
            time.sleep(0.05)

    def table(self, mode):
        status, headers, body = self.fetch(f"/{mode}_hsc.html")
        assert status == 200 and headers["Content-Type"] == "text/html; charset=utf-8", (status, headers)
        return parse_page(body.decode("utf-8"))

    def send(self, message, recipients=COLLECTORS, sender="kai@example.test", connection=None):
        """Sends one message; raises smtplib's errors for a refusal."""
        if connection is not None:
            return connection.sendmail(sender, recipients, message)
        with smtplib.SMTP("127.0.0.1", self.smtp_port, timeout=10) as smtp:
            return smtp.sendmail(sender, recipients, message)


def body_lines(mode, entries, address="kai@example.test"):
    return [f"{mode} mode highscore", "Version: 1.20", "Color Depth: 24", "_" * 34, address] + [
        f"{points} points  by {name} from {place}" for points, name, place in entries]


def game_mail(mode, entries, subject=None, lines=None, address="kai@example.test"):
    """The bytes of a mail as the game composes it: ISO-8859-1 (bytes pass through as given), CRLF."""
    head = (f"From: {address}\r\nTo: {COLLECTORS[0]}\r\nSubject: {SUBJECTS[mode] if subject is None else subject}\r\n"
            'Mime-Version: 1.0\r\nContent-Type: text/plain; charset="iso-8859-1"\r\n'
            "Date: Sun, 6 Dec 2026 17:05:09\r\n\r\n")
    body = "\r\n".join(lines if lines is not None else body_lines(mode, entries, address)) + "\r\n"
    return (head + body).encode("latin-1", errors="surrogateescape")


def _cell(rest, marker):
    at = rest.find(marker)
    if at < 0:
        return "", ""
    rest = rest[at + 6:]
    end = rest.find("</TD")
    return rest[:max(end, 0)].strip("".join(map(chr, range(33)))), rest


def _decoded(text):
    named = {"lt": "<", "gt": ">", "quot": '"', "apos": "'", "amp": "&"}

    def one(match):
        body = match.group(1)
        if body in named:
            return named[body]
        try:
            code = int(body[2:], 16) if body[:2] in ("#x", "#X") else int(body[1:], 10) if body[:1] == "#" else 0
        except ValueError:
            return match.group(0)
        return chr(code) if 0 < code <= 0x10FFFF and not 0xD800 <= code <= 0xDFFF else match.group(0)

    return re.sub(r"&([^;&]{1,8});", one, text)


def parse_page(text):
    """[(points, name, place)] of the nine rows, read as the game reads them."""
    lines = text.split("\n")
    marker = next(i for i, line in enumerate(lines) if line.lower() == "<!-- first row -->")
    rows = []
    for i in range(9):
        points, rest = _cell(lines[marker + 2 + 3 * i], "poi")
        name, rest = _cell(rest, "nam")
        place, _ = _cell(rest, "cou")
        if not re.fullmatch(r"[+-]?\d+", points):
            raise ValueError(f"row {i + 1}: '{points}' is no number")
        rows.append((int(points), _decoded(name), _decoded(place)))
    return rows
