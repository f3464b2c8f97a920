"""Reading the game's highscore mail as it arrives, by the game itself or through relays."""

import asyncio
import codecs
import email
import email.errors
import email.header
import email.policy
import logging
import re
import unicodedata
from dataclasses import dataclass

from .store import Banned

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
_ENTRY = re.compile(r"(\d{1,9}) points  by (.* from .*)")
_FROM = " from "
_CONTROLS = re.compile(r"[\x00-\x1f\x7f-\x9f]")
_FIRST_ENTRY_LINE = 5
# The game writes ISO-8859-1 and says so; a mail that names no charset is read the same way.
DEFAULT_CHARSET = "iso-8859-1"
# Characters a reader of the page cannot see: blanks of every kind, controls, format characters
# (zero-width space, joiners, marks of direction), unassigned code points, lone combining marks.
_INVISIBLE_CATEGORIES = ("Zs", "Zl", "Zp", "Cc", "Cf", "Cs", "Co", "Cn", "Mn", "Me")


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


def _is_visible(text):
    return any(unicodedata.category(c) not in _INVISIBLE_CATEGORIES for c in text)


def _text_part(message):
    """The message itself, or the first text/plain part of a multipart message."""
    if not message.is_multipart():
        return message
    for part in message.walk():
        if part.get_content_type() == "text/plain" and not part.is_multipart():
            return part
    raise MailRefused("the message has no text/plain part")


def _body_text(part):
    """The body decoded by its Content-Transfer-Encoding and its charset."""
    payload = part.get_payload(decode=True)
    if not payload:
        raise MailRefused("the message has no body")
    charset = part.get_content_charset() or DEFAULT_CHARSET
    try:
        codecs.lookup(charset)
    except LookupError:
        raise MailRefused(f"the charset '{charset}' is unknown") from None
    return payload.decode(charset, errors="replace")


def _subject_mode(message):
    """The mode the Subject names; a relay may have written it as encoded words."""
    try:
        subject = str(email.header.make_header(email.header.decode_header(message.get("Subject", ""))))
    except (ValueError, LookupError, TypeError, email.errors.HeaderParseError):
        subject = ""
    match = _matched(_SUBJECT, " ".join(subject.split()), "Subject")
    return "regular" if match.group(1) == "regular" else "difficult"


def _places(name_and_place):
    """Every text after a " from ", the shortest first."""
    places = []
    at = name_and_place.rfind(_FROM)
    while at >= 0:
        places.append(name_and_place[at + len(_FROM):])
        at = name_and_place.rfind(_FROM, 0, at)
    return places


def _places_of(names_and_places):
    """The place of each line. Name and place may both hold " from ". The game writes one place on
    every line: where the lines share one, it is the longest text after a " from " that all of them
    end with. Otherwise each line splits at its last " from ", since "Bob from Mars" is likelier
    than a place that holds it."""
    shared = set(_places(names_and_places[0]))
    for text in names_and_places[1:]:
        shared &= set(_places(text))
    if len(names_and_places) > 1 and shared:
        return [max(shared, key=len)] * len(names_and_places)
    return [_places(text)[0] for text in names_and_places]


def _entry(match, place, number):
    points = int(match.group(1))
    if not 1 <= points <= MAX_POINTS:
        raise MailRefused(f"entry line {number}: points must be 1 to {MAX_POINTS}")
    name, place = cleaned_text(match.group(2)[:-len(_FROM + place)]), cleaned_text(place)
    if not name:
        raise MailRefused(f"entry line {number} has no name")
    if not _is_visible(name):
        raise MailRefused(f"entry line {number}: the name is only blanks or invisible characters")
    # The game never offers its own default entries: a reserved name with points divisible by 5.
    if name in RESERVED_NAMES and points % 5 == 0:
        raise MailRefused(f"entry line {number}: '{name}' with {points} points is a default entry")
    return Entry(points, name[:MAX_TEXT], place[:MAX_TEXT]), (len(name) > MAX_TEXT) + (len(place) > MAX_TEXT)


def parse_mail(content):
    """The Submission in a mail's bytes (headers and body); MailRefused when it is none. The
    email package reads it with its compat32 policy, whose decoding of transfer encodings,
    charsets and encoded words is the same code as the default policy's: the default policy's
    structured headers cost 0.3 ms a mail, which took the mail side's rate to a third."""
    message = email.message_from_bytes(content, policy=email.policy.compat32)
    mode = _subject_mode(message)
    lines = re.split(r"\r?\n", _body_text(_text_part(message)))
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
    matches = []
    for number, line in enumerate(entry_lines, 1):
        match = _ENTRY.fullmatch(line)
        if not match:
            raise MailRefused(f"entry line {number} does not read 'N points  by NAME from PLACE'")
        matches.append(match)
    places = _places_of([match.group(2) for match in matches])
    parsed = [_entry(match, place, number) for number, (match, place) in enumerate(zip(matches, places), 1)]
    return Submission(mode, version, color_depth, tuple(e for e, _ in parsed), sum(s for _, s in parsed))


class CollectorHandler:
    """aiosmtpd handler: mail for the two collectors only; one message is stored once. At most
    `rate` mails per client address; the store runs in its own threads, and `changed` gets the
    store's change counter after each accepted mail, so that the pages show it at once."""

    def __init__(self, store, collectors, rate, changed):
        self.store = store
        self.collectors = {address.lower() for address in collectors}
        self.rate = rate
        self.changed = changed

    async def handle_MAIL(self, server, session, envelope, address, mail_options):
        if not self.rate.allows(session.peer[0]):
            return (f"451 4.7.1 Too many highscore mails from your address: at most {self.rate.limit}"
                    " in 10 minutes, try again later")
        envelope.mail_from = address
        envelope.mail_options.extend(mail_options)
        return "250 OK"

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
        try:
            generation = self.store.add(submission) if self.store.writes_in_place else \
                await asyncio.get_running_loop().run_in_executor(self.store.writer, self.store.add, submission)
        except Banned as banned:
            return f"554 5.7.1 The name '{banned.name}' is banned on this site, nothing stored"
        except Exception as error:  # the database does not answer: the sender tries again later
            logging.getLogger("quorvel-site").warning("mail not stored: %s", error)
            return "451 4.3.0 The highscore store cannot be reached, nothing stored: try again later"
        self.rate.count(session.peer[0])
        self.changed(generation)
        reply = f"250 OK {len(submission.entries)} entries stored"
        if submission.shortened:
            reply += f"; {submission.shortened} names or places cut to {MAX_TEXT} characters"
        return reply
