"""Starting the site: options, the two servers, and how it ends."""

import argparse
import asyncio
import logging
import os
import signal
import sys
import threading

from aiosmtpd.smtp import SMTP

from .addons import AddonFolder
from .mail import DEFAULT_COLLECTORS, MAX_MESSAGE_BYTES, CollectorHandler
from .store import DATABASE_NAME, Store
from .web import SiteHttpServer

SMTP_IDLE_TIMEOUT_SECONDS = 60


def host_and_port(text):
    host, colon, port = text.rpartition(":")
    if not colon or not port.isdigit() or int(port) > 65535:
        raise argparse.ArgumentTypeError(f"'{text}' is not HOST:PORT")
    return host.strip("[]") or "127.0.0.1", int(port)


def collector_pair(text):
    addresses = [a.strip() for a in text.split(",")]
    if len(addresses) != 2 or not all("@" in a for a in addresses):
        raise argparse.ArgumentTypeError("--collectors takes two mail addresses with a comma between")
    return addresses


def options(arguments):
    parser = argparse.ArgumentParser(prog="quorvel-site", description="The Quorvel highscore site.")
    parser.add_argument("--http", type=host_and_port, default=("127.0.0.1", 8080), metavar="HOST:PORT")
    parser.add_argument("--smtp", type=host_and_port, default=("127.0.0.1", 2525), metavar="HOST:PORT")
    parser.add_argument("--data", default=".", metavar="DIR",
                        help="folder of the database (quorvel.db) and of addons/*.lvr")
    parser.add_argument("--collectors", type=collector_pair, default=list(DEFAULT_COLLECTORS), metavar="A,B")
    parser.add_argument("--print-ports", action="store_true",
                        help="print 'HTTP_PORT SMTP_PORT' as the first line (for port 0)")
    parser.add_argument("--until-stdin-closes", action="store_true", help="end when standard input closes")
    parser.add_argument("--verbose", action="store_true", help="log every request")
    return parser.parse_args(arguments)


def watch_stdin(loop, stop):
    sys.stdin.buffer.read()
    loop.call_soon_threadsafe(stop.set)


async def serve(settings):
    os.makedirs(settings.data, exist_ok=True)
    store = Store(os.path.join(settings.data, DATABASE_NAME))
    web = SiteHttpServer(settings.http, store, AddonFolder(os.path.join(settings.data, "addons")), settings.verbose)
    handler = CollectorHandler(store, settings.collectors)
    loop = asyncio.get_running_loop()
    mail = await loop.create_server(
        lambda: SMTP(handler, hostname="quorvel-site", decode_data=False, data_size_limit=MAX_MESSAGE_BYTES,
                     timeout=SMTP_IDLE_TIMEOUT_SECONDS), *settings.smtp)
    threading.Thread(target=web.serve_forever, daemon=True).start()
    http_port, smtp_port = web.server_address[1], mail.sockets[0].getsockname()[1]
    print(f"{http_port} {smtp_port}" if settings.print_ports
          else f"Pages on http port {http_port}, mail on smtp port {smtp_port}, data in {settings.data}", flush=True)
    stop = asyncio.Event()
    for signal_number in (signal.SIGINT, signal.SIGTERM):
        loop.add_signal_handler(signal_number, stop.set)
    if settings.until_stdin_closes:
        threading.Thread(target=watch_stdin, args=(loop, stop), daemon=True).start()
    await stop.wait()
    mail.close()
    web.shutdown()
    web.server_close()


def main(arguments=None):
    settings = options(sys.argv[1:] if arguments is None else arguments)
    logging.getLogger("mail.log").setLevel(logging.INFO if settings.verbose else logging.ERROR)
    try:
        asyncio.run(serve(settings))
    except OSError as error:
        print(f"quorvel-site: {error}", file=sys.stderr)
        return 1
    return 0
