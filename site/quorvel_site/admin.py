"""quorvel-site admin: what an operator does to the stored entries. Every change is logged, with
its time, on standard output and in the database's admin_log; running sites show it within a
second."""

import argparse
import sys

from .store import MODES, Store, StoreError, sqlite_url


def options(arguments):
    parser = argparse.ArgumentParser(prog="quorvel-site admin", description="Looks after the stored highscores.")
    where = parser.add_mutually_exclusive_group(required=True)
    where.add_argument("--data", metavar="DIR", help="the site's data folder (its database DIR/quorvel.db)")
    where.add_argument("--database", metavar="URL", help="sqlite:///PATH or postgresql://...")
    actions = parser.add_subparsers(dest="action", required=True)
    listing = actions.add_parser("list", help="every entry: id, mode, points, name, place, time received")
    listing.add_argument("--mode", choices=MODES)
    actions.add_parser("remove", help="removes one entry by its id").add_argument("id", type=int)
    actions.add_parser("ban", help="refuses mail with the name; its entries leave the pages").add_argument("name")
    actions.add_parser("unban", help="lifts a ban").add_argument("name")
    return parser.parse_args(arguments)


def _list(store, mode):
    for entry_id, entry_mode, points, name, place, received, banned in store.entries(mode):
        print(f"{entry_id}\t{entry_mode}\t{points}\t{name}\t{place}\t{received}" + ("\tbanned" if banned else ""))
    return 0


def _act(store, settings):
    if settings.action == "remove":
        logged, nothing = store.remove(settings.id), f"there is no entry {settings.id}"
    elif settings.action == "ban":
        logged, nothing = store.ban(settings.name), f"the name {settings.name!r} is banned already"
    else:
        logged, nothing = store.unban(settings.name), f"the name {settings.name!r} is not banned"
    print(logged or f"quorvel-site admin: nothing changed: {nothing}", file=sys.stdout if logged else sys.stderr)
    return 0 if logged else 1


def main(arguments):
    settings = options(arguments)
    try:
        store = Store(settings.database or sqlite_url(settings.data), pool_size=1)
    except StoreError as error:
        print(f"quorvel-site admin: {error}", file=sys.stderr)
        return 1
    try:
        return _list(store, settings.mode) if settings.action == "list" else _act(store, settings)
    finally:
        store.close()
