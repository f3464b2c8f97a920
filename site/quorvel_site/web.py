"""The HTTP side: the two highscore pages and the add-on page, GET and HEAD only, served from
memory by aiohttp in the site's one event loop. A page is rendered again only when the store has
changed (in this process or another one on the same database) or the add-on folder has."""

import asyncio
import logging
import urllib.parse

from aiohttp import web

from . import pages
from .limits import ConnectionCount, LimitedProtocol
from .store import MODES

PAGE_PATHS = {f"/{mode}_hsc.html": mode for mode in MODES}
REFRESH_SECONDS = 0.5
HEAD_DEADLINE_SECONDS = 10
KEEPALIVE_SECONDS = 15
MAX_HEAD_LINE = 8190
MAX_CONNECTIONS = 4096
LISTEN_BACKLOG = 1024
SERVER_NAME = "quorvel-site"
BUSY = (b"HTTP/1.1 503 Service Unavailable\r\nContent-Type: text/plain; charset=utf-8\r\nContent-Length: 5\r\n"
        b"Connection: close\r\n\r\nbusy\n")


class PageCache:
    """The rendered pages, by path."""

    def __init__(self, store, addons):
        self.store = store
        self.addons = addons
        self.bodies = {}
        self._generation = None
        self._addon_signature = None
        self._refreshing = asyncio.Lock()
        self._wanted = 0  # the change counter of the last change this process made

    async def refresh(self, at_least=None):
        """Renders what changed. Callers that wait for the change they made (`at_least`) share one
        rendering: the first renders what the store holds then, the others find theirs done."""
        loop = asyncio.get_running_loop()
        async with self._refreshing:
            if at_least is not None and self._generation is not None and self._generation >= at_least:
                return
            generation = await loop.run_in_executor(self.store.executor, self.store.generation)
            if generation != self._generation:
                for path, mode in PAGE_PATHS.items():
                    rows = await loop.run_in_executor(self.store.executor, self.store.best, mode, pages.ROWS)
                    self.bodies[path] = pages.highscore_page(mode, rows).encode("utf-8")
                self._generation = generation
            signature = await loop.run_in_executor(None, self.addons.signature)
            if signature != self._addon_signature:
                listing = await loop.run_in_executor(None, self.addons.listing)
                self.bodies["/addons/"] = pages.addons_page(listing).encode("utf-8")
                self._addon_signature = signature

    def note_change(self, generation):
        """A mail was stored: the next page request renders it, so that a burst of mail costs no
        rendering until someone looks, and then one."""
        self._wanted = max(self._wanted, generation)

    async def bodies_now(self):
        """The pages, with every change this process made rendered into them; while the database
        does not answer, the pages as they were."""
        if self._generation is None or self._generation < self._wanted:
            await self._refresh_or_keep(self._wanted)
        return self.bodies

    async def keep_fresh(self):
        while True:
            await asyncio.sleep(REFRESH_SECONDS)
            await self._refresh_or_keep()

    async def _refresh_or_keep(self, at_least=None):
        try:
            await self.refresh(at_least)
        except Exception as error:  # a database gone away: the next refresh tries again
            logging.getLogger("quorvel-site").warning("pages not rendered anew: %s", error)


def _answer(status, content_type, body, extra=()):
    response = web.Response(status=status, body=body, headers={
        "Content-Type": content_type, "Cache-Control": "no-cache", "Server": SERVER_NAME, **dict(extra)})
    return response


def _not_found():
    return _answer(404, "text/plain; charset=utf-8", b"not found\n")


class SiteApplication:
    def __init__(self, cache, addons):
        self.cache = cache
        self.addons = addons

    async def handle(self, request):
        if request.method not in ("GET", "HEAD"):
            return _answer(405, "text/plain; charset=utf-8", b"only GET and HEAD\n", [("Allow", "GET, HEAD")])
        path = urllib.parse.urlsplit(request.raw_path).path
        if path in PAGE_PATHS or path == "/addons/":
            return _answer(200, "text/html; charset=utf-8", (await self.cache.bodies_now())[path])
        if path in ("/", "/addons"):
            target = "regular_hsc.html" if path == "/" else "addons/"
            return _answer(302, "text/plain; charset=utf-8", b"moved\n", [("Location", target)])
        if path.startswith("/addons/"):
            name = urllib.parse.unquote(path[len("/addons/"):], errors="replace")
            return await asyncio.get_running_loop().run_in_executor(None, self._addon_file, name)
        return _not_found()

    def _addon_file(self, name):
        if name.endswith("/preview.png"):
            picture = self.addons.preview(name[:-len("/preview.png")])
            return _answer(200, "image/png", picture) if picture is not None else _not_found()
        path = self.addons.path(name)
        if path is None:
            return _not_found()
        try:
            with open(path, "rb") as file:
                data = file.read()
        except OSError:
            return _not_found()
        disposition = "attachment; filename*=UTF-8''" + urllib.parse.quote(name)
        return _answer(200, "application/zip", data, [("Content-Disposition", disposition)])


async def start_pages(address, cache, addons, per_address, verbose):
    """The listening server and its runner, to be cleaned up at the end."""
    application = web.Application(client_max_size=1024)
    application.router.add_route("*", "/{path:.*}", SiteApplication(cache, addons).handle)
    runner = web.AppRunner(application, access_log=web.access_logger if verbose else None,
                           keepalive_timeout=KEEPALIVE_SECONDS, max_line_size=MAX_HEAD_LINE,
                           max_field_size=MAX_HEAD_LINE)
    await runner.setup()
    count = ConnectionCount(per_address, MAX_CONNECTIONS)
    server = await asyncio.get_running_loop().create_server(
        lambda: LimitedProtocol(runner.server, count, BUSY, HEAD_DEADLINE_SECONDS), *address,
        backlog=LISTEN_BACKLOG, reuse_address=True)
    return server, runner

