"""Reading the game's highscore mail, and the SMTP handler that files it."""

import email.parser
import re
from dataclasses import dataclass

MAX_MESSAGE_BYTES = 64 * 1024
MAX_ENTRIES = 9
MAX_TEXT = 64
MAX_POINTS = 99999
DEFAULT_COLLECTORS = ("highscores@quorvel.example.org", "board@quorvel.example.org")

RESERVED_NAMES = ("Marit Stonewell", "Jonas Quill", "Ada Pebblestone", "Tomek Rowan", "Lina Fernbrook",
                  "Oskar Dune", "Nell Harrow", "Pim Vale", "Rosa Glen")

# The game spells the difficult mode "diffcult" in its subject.
_SUBJECT = re.compile(r"(regular|diffcult|difficult) Quorvel \S{1,16} highscore")
_MODE_LINE = re.compile(r"(regular|difficult) mode highscore")
_VERSION = re.compile(r"Version: (\S{1,16})")
_COLOR_DEPTH = re.compile(r"Color Depth: (\d{1,2})")
_RULE = re.compile(r"_{10,80}")
_ENTRY = re.compile(r"(\d{1,9}) points  by (.*?) from (.*)")
_CONTROLS = re.compile(r"[\x00-\x1f\x7f-\x9f]")
_FIRST_ENTRY_LINE = 5


class MailRefused(Exception):
    """A mail that is no highscore mail of the game; the text says why, in the SMTP reply."""


@dataclass(frozen=True)
class Entry:
    points: int
    name: str
    place: str


@dataclass(frozen=True)
class Submission:
    mode: str
    version: str
    color_depth: int
    entries: tuple
    shortened: int  # how many names and places were cut to MAX_TEXT characters


def cleaned_text(text):
    """Control characters removed, blanks trimmed."""
    return _CONTROLS.sub("", text).strip(" ")


def _matched(pattern, line, what):
    match = pattern.fullmatch(line)
    if not match:
        raise MailRefused(f"the {what} line is missing or malformed")
    return match


def _split(content):
    for separator in (b"\r\n\r\n", b"\n\n"):
        head, found, body = content.partition(separator)
        if found:
            return head.decode("latin-1"), body.decode("latin-1")
    raise MailRefused("the message has no body")


def _subject_mode(head):
    subject = email.parser.HeaderParser().parsestr(head + "\n\n").get("Subject", "")
    match = _matched(_SUBJECT, " ".join(str(subject).split()), "Subject")
    return "regular" if match.group(1) == "regular" else "difficult"


def _entry(line, number):
    match = _ENTRY.fullmatch(line)
    if not match:
        raise MailRefused(f"entry line {number} does not read 'N points  by NAME from PLACE'")
    points = int(match.group(1))
    if not 1 <= points <= MAX_POINTS:
        raise MailRefused(f"entry line {number}: points must be 1 to {MAX_POINTS}")
    name, place = cleaned_text(match.group(2)), cleaned_text(match.group(3))
    if not name:
        raise MailRefused(f"entry line {number} has no name")
    # The game never offers its own default entries: a reserved name with points divisible by 5.
    if name in RESERVED_NAMES and points % 5 == 0:
        raise MailRefused(f"entry line {number}: '{name}' with {points} points is a default entry")
    return Entry(points, name[:MAX_TEXT], place[:MAX_TEXT]), (len(name) > MAX_TEXT) + (len(place) > MAX_TEXT)


def parse_mail(content):
    """The Submission in a mail's bytes (headers and body); MailRefused when it is none."""
    head, body = _split(content)
    mode = _subject_mode(head)
    lines = re.split(r"\r?\n", body)
    while lines and not lines[-1].strip():
        lines.pop()
    if len(lines) <= _FIRST_ENTRY_LINE:
        raise MailRefused("the message holds no entry line")
    if _matched(_MODE_LINE, lines[0], "mode").group(1) != mode:
        raise MailRefused("the Subject and the first line name different modes")
    version = _matched(_VERSION, lines[1], "Version").group(1)
    color_depth = int(_matched(_COLOR_DEPTH, lines[2], "Color Depth").group(1))
    _matched(_RULE, lines[3], "underscore")
    entry_lines = lines[_FIRST_ENTRY_LINE:]
    if len(entry_lines) > MAX_ENTRIES:
        raise MailRefused(f"the message holds more than {MAX_ENTRIES} entry lines")
    parsed = [_entry(line, number) for number, line in enumerate(entry_lines, 1)]
    return Submission(mode, version, color_depth, tuple(e for e, _ in parsed), sum(s for _, s in parsed))


class CollectorHandler:
    """aiosmtpd handler: mail for the two collectors only; one message is stored once."""

    def __init__(self, store, collectors):
        self.store = store
        self.collectors = {address.lower() for address in collectors}

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.lower() not in self.collectors:
            return "550 5.1.1 No such mailbox here: this server only collects Quorvel highscores"
        if address not in envelope.rcpt_tos:
            envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        try:
            submission = parse_mail(envelope.content)
        except MailRefused as refusal:
            return f"554 5.6.0 Not a Quorvel highscore mail, nothing stored: {refusal}"
        self.store.add(submission)
        reply = f"250 OK {len(submission.entries)} entries stored"
        if submission.shortened:
            reply += f"; {submission.shortened} names or places cut to {MAX_TEXT} characters"
        return reply
