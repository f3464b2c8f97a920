"""A raw SMTP server that misbehaves in one scripted way, for the SMTP client's tests.

Usage: hostile_smtp.py SCENARIO. Listens on 127.0.0.1 at a free port, prints the port as its
first line, and plays SCENARIO to every client; "nobody_listens" prints a port that nothing
listens on. Ends when its standard input closes.
"""

import asyncio
import os
import socket
import sys
import threading

CRLF = b"\r\n"
GREETING = b"220 hostile.test ready"


async def hold(reader, writer):
    """Keeps the connection open, reading whatever comes, until the client leaves."""
    while await reader.read(65536):
        pass


async def willing_until_data(reader, writer, greeting=GREETING + CRLF, eol=CRLF):
    """Answers like a willing server up to 354; returns False when the client left before DATA."""
    writer.write(greeting)
    while True:
        line = await reader.readline()
        if not line:
            return False
        command = line[:4].upper()
        if command == b"DATA":
            writer.write(b"354 go ahead" + eol)
            return True
        if command == b"EHLO":
            writer.write(b"250-hostile.test" + eol + b"250 8BITMIME" + eol)
        else:
            writer.write(b"250 OK" + eol)


async def read_data(reader):
    """Reads the message up to its final dot."""
    while await reader.readline() not in (b".\r\n", b""):
        pass


def greeting_then_willing(greeting):
    async def play(reader, writer):
        if await willing_until_data(reader, writer, greeting):
            await read_data(reader)
            writer.write(b"250 OK" + CRLF)
        await hold(reader, writer)
    return play


def says(text):
    async def play(reader, writer):
        writer.write(text)
        await hold(reader, writer)
    return play


async def ehlo_refused_for_now(reader, writer):
    """421 to EHLO, as from a server about to close: no reason to try HELO, which gets 250."""
    writer.write(GREETING + CRLF)
    while line := await reader.readline():
        refused = line.upper().startswith(b"EHLO")
        writer.write((b"421 busy, try later" if refused else b"250 OK") + CRLF)


async def drip_greeting(reader, writer):
    for byte in GREETING + CRLF:
        writer.write(bytes([byte]))
        await writer.drain()
        await asyncio.sleep(0.3)
    await hold(reader, writer)


async def ten_megabyte_line(reader, writer):
    chunk = b"A" * (1 << 20)
    for _ in range(10):
        writer.write(chunk)
        await writer.drain()
    await hold(reader, writer)


async def endless_reply(reader, writer):
    while True:
        writer.write(b"220-more to come" + CRLF)
        await writer.drain()


async def drop_after_greeting(reader, writer):
    writer.write(GREETING + CRLF)
    await writer.drain()
    writer.close()


async def drop_in_data(reader, writer):
    if await willing_until_data(reader, writer):
        await reader.readline()
    writer.close()


async def drop_before_final_reply(reader, writer):
    if await willing_until_data(reader, writer):
        await read_data(reader)
    writer.close()


async def silent_after_data(reader, writer):
    if await willing_until_data(reader, writer):
        await read_data(reader)
    await hold(reader, writer)


async def bare_line_feeds(reader, writer):
    if await willing_until_data(reader, writer, GREETING + b"\n", b"\n"):
        await read_data(reader)
        writer.write(b"250 OK\n")
    await hold(reader, writer)


def long_greeting(octets):
    """A greeting line of this many octets, CRLF included."""
    return b"220 " + b"x" * (octets - 6) + CRLF


def greeting_of_lines(count):
    """A greeting of this many lines, longer than the client's read buffer."""
    return b"".join(b"220-" + b"y" * 60 + CRLF for _ in range(count - 1)) + GREETING + CRLF


SCENARIOS = {
    "willing": greeting_then_willing(GREETING + CRLF),
    "no_greeting": hold,
    "drip_greeting": drip_greeting,
    "garbage_greeting": says(b"HELLO \x1b[2J\x07THERE, FRIEND" + CRLF),
    "ten_megabyte_line": ten_megabyte_line,
    "endless_reply": endless_reply,
    "code_999": says(b"999 x" + CRLF),
    "code_099": says(b"099 x" + CRLF),
    "code_25x": says(b"25x x" + CRLF),
    "codes_differ": says(b"250-hostile.test" + CRLF + b"220 ready" + CRLF),
    "refused_greeting": says(b"554 go away" + CRLF),
    "ehlo_refused_for_now": ehlo_refused_for_now,
    "greeting_1000_octets": greeting_then_willing(long_greeting(1000)),
    "greeting_1001_octets": greeting_then_willing(long_greeting(1001)),
    "greeting_100_lines": greeting_then_willing(greeting_of_lines(100)),
    "greeting_101_lines": greeting_then_willing(greeting_of_lines(101)),
    "drop_after_greeting": drop_after_greeting,
    "drop_in_data": drop_in_data,
    "drop_before_final_reply": drop_before_final_reply,
    "silent_after_data": silent_after_data,
    "bare_line_feeds": bare_line_feeds,
}


async def serve(play):
    async def client(reader, writer):
        try:
            await play(reader, writer)
        except (ConnectionError, asyncio.IncompleteReadError):
            pass
        finally:
            writer.close()

    server = await asyncio.start_server(client, "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1])
    await server.serve_forever()


def end_with_parent():
    sys.stdin.read()
    os._exit(0)


def port_nobody_listens_on():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def main():
    threading.Thread(target=end_with_parent, daemon=True).start()
    if sys.argv[1] == "nobody_listens":
        print(port_nobody_listens_on())
        threading.Event().wait()
    asyncio.run(serve(SCENARIOS[sys.argv[1]]))


if __name__ == "__main__":
    main()
