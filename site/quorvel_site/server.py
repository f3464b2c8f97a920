"""Starting the site: options, the mail and page servers in one event loop, and how it ends."""

import argparse
import asyncio
import logging
import os
import signal
import sys
import threading

from aiosmtpd.smtp import SMTP

from . import admin
from .addons import AddonFolder
from .limits import ConnectionCount, LimitedProtocol, MailRate
from .mail import DEFAULT_COLLECTORS, MAX_MESSAGE_BYTES, CollectorHandler
from .store import Store, StoreError, sqlite_url
from .web import LISTEN_BACKLOG, PageCache, start_pages

SMTP_IDLE_TIMEOUT_SECONDS = 60
MAX_SMTP_CONNECTIONS = 4096
DEFAULT_MAIL_RATE = 20
DEFAULT_CONNECTIONS_PER_ADDRESS = 32
TOO_MANY = b"421 4.7.0 quorvel-site: too many connections from your address, try again later\r\n"


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
    parser = argparse.ArgumentParser(prog="quorvel-site", description="The Quorvel highscore site.",
                                     epilog="quorvel-site admin --help: removing entries and banning names")
    parser.add_argument("--http", type=host_and_port, default=("127.0.0.1", 8080), metavar="HOST:PORT")
    parser.add_argument("--smtp", type=host_and_port, default=("127.0.0.1", 2525), metavar="HOST:PORT")
    parser.add_argument("--data", default=".", metavar="DIR",
                        help="folder of addons/*.lvr and of the default database, DIR/quorvel.db")
    parser.add_argument("--database", metavar="URL",
                        help="sqlite:///PATH (default: DIR/quorvel.db) or postgresql://... shared by several sites")
    parser.add_argument("--collectors", type=collector_pair, default=list(DEFAULT_COLLECTORS), metavar="A,B")
    parser.add_argument("--mail-rate", type=int, default=DEFAULT_MAIL_RATE, metavar="N",
                        help=f"mails one address may send in 10 minutes; 0: no limit (default {DEFAULT_MAIL_RATE})")
    parser.add_argument("--connections-per-address", type=int, default=DEFAULT_CONNECTIONS_PER_ADDRESS, metavar="M",
                        help="open mail and page connections one address may hold, each "
                             f"(default {DEFAULT_CONNECTIONS_PER_ADDRESS})")
    parser.add_argument("--print-ports", action="store_true",
                        help="print 'HTTP_PORT SMTP_PORT' as the first line (for port 0)")
    parser.add_argument("--until-stdin-closes", action="store_true", help="end when standard input closes")
    parser.add_argument("--verbose", action="store_true", help="log every request")
    return parser.parse_args(arguments)


def watch_stdin(loop, stop):
    sys.stdin.buffer.read()
    loop.call_soon_threadsafe(stop.set)


async def start_mail(settings, store, cache):
    handler = CollectorHandler(store, settings.collectors, MailRate(settings.mail_rate), cache.note_change)
    count = ConnectionCount(settings.connections_per_address, MAX_SMTP_CONNECTIONS)

    def session():
        return SMTP(handler, hostname="quorvel-site", decode_data=False, data_size_limit=MAX_MESSAGE_BYTES,
                    timeout=SMTP_IDLE_TIMEOUT_SECONDS)

    return await asyncio.get_running_loop().create_server(
        lambda: LimitedProtocol(session, count, TOO_MANY), *settings.smtp, backlog=LISTEN_BACKLOG,
        reuse_address=True)


async def serve(settings):
    os.makedirs(settings.data, exist_ok=True)
    store = Store(settings.database or sqlite_url(settings.data))
    addons = AddonFolder(os.path.join(settings.data, "addons"))
    cache = PageCache(store, addons)
    await cache.refresh()
    mail = await start_mail(settings, store, cache)
    pages, runner = await start_pages(settings.http, cache, addons, settings.connections_per_address,
                                      settings.verbose)
    refreshing = asyncio.create_task(cache.keep_fresh())
    http_port, smtp_port = pages.sockets[0].getsockname()[1], mail.sockets[0].getsockname()[1]
    print(f"{http_port} {smtp_port}" if settings.print_ports
          else f"Pages on http port {http_port}, mail on smtp port {smtp_port}, data in {settings.data}", flush=True)
    stop = asyncio.Event()
    loop = asyncio.get_running_loop()
    for signal_number in (signal.SIGINT, signal.SIGTERM):
        loop.add_signal_handler(signal_number, stop.set)
    if settings.until_stdin_closes:
        threading.Thread(target=watch_stdin, args=(loop, stop), daemon=True).start()
    await stop.wait()
    refreshing.cancel()
    mail.close()
    pages.close()
    await runner.cleanup()
    store.close()


def main(arguments=None):
    arguments = sys.argv[1:] if arguments is None else arguments
    if arguments[:1] == ["admin"]:
        return admin.main(arguments[1:])
    settings = options(arguments)
    logging.getLogger("mail.log").setLevel(logging.INFO if settings.verbose else logging.ERROR)
    logging.basicConfig(level=logging.INFO if settings.verbose else logging.ERROR)
    try:
        asyncio.run(serve(settings))
    except (OSError, StoreError) as error:
        print(f"quorvel-site: {error}", file=sys.stderr)
        return 1
    return 0
