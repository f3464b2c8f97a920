"""The entries the collectors accepted, in one SQLite file (WAL mode) in the data folder."""

import sqlite3
import threading
from datetime import datetime, timezone

DATABASE_NAME = "quorvel.db"
MODES = ("regular", "difficult")

_SCHEMA = """
CREATE TABLE IF NOT EXISTS entries (
    id INTEGER PRIMARY KEY,
    mode TEXT NOT NULL CHECK (mode IN ('regular', 'difficult')),
    points INTEGER NOT NULL CHECK (points BETWEEN 1 AND 99999),
    name TEXT NOT NULL,
    place TEXT NOT NULL,
    version TEXT NOT NULL,
    color_depth INTEGER NOT NULL,
    received TEXT NOT NULL
);
CREATE INDEX IF NOT EXISTS entries_by_mode ON entries (mode, points DESC);
"""

# The best entry of each name, best first; among equal points the earlier one.
_BEST = """
SELECT points, name, place FROM (
    SELECT points, name, place, id,
           ROW_NUMBER() OVER (PARTITION BY name ORDER BY points DESC, id) AS rank_of_name
    FROM entries WHERE mode = ?)
WHERE rank_of_name = 1 ORDER BY points DESC, id LIMIT ?
"""


class Store:
    """One connection per thread: the mail side writes, the page threads read."""

    def __init__(self, path):
        self.path = path
        self._local = threading.local()
        with self._connection() as connection:
            connection.executescript(_SCHEMA)

    def _connection(self):
        connection = getattr(self._local, "connection", None)
        if connection is None:
            connection = sqlite3.connect(self.path, timeout=10)
            connection.execute("PRAGMA journal_mode=WAL")
            connection.execute("PRAGMA synchronous=NORMAL")
            self._local.connection = connection
        return connection

    def add(self, submission):
        """Stores all entries of one mail in one transaction."""
        received = datetime.now(timezone.utc).isoformat(timespec="seconds")
        rows = [(submission.mode, e.points, e.name, e.place, submission.version, submission.color_depth, received)
                for e in submission.entries]
        with self._connection() as connection:
            connection.executemany(
                "INSERT INTO entries (mode, points, name, place, version, color_depth, received)"
                " VALUES (?, ?, ?, ?, ?, ?, ?)", rows)

    def best(self, mode, count):
        """(points, name, place) of the best `count` names of the mode."""
        return self._connection().execute(_BEST, (mode, count)).fetchall()
