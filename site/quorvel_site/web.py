"""The HTTP side: the two highscore pages and the add-on page, GET and HEAD only."""

import http.server
import urllib.parse

from . import pages
from .store import MODES

PAGE_PATHS = {f"/{mode}_hsc.html": mode for mode in MODES}
REQUEST_TIMEOUT_SECONDS = 10


class SiteRequestHandler(http.server.BaseHTTPRequestHandler):
    server_version = "quorvel-site"
    sys_version = ""
    timeout = REQUEST_TIMEOUT_SECONDS
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        self._answer(send_body=True)

    def do_HEAD(self):
        self._answer(send_body=False)

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    def _answer(self, send_body):
        status, content_type, body, extra = self._route(urllib.parse.urlsplit(self.path).path)
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Cache-Control", "no-cache")
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        if send_body:
            self.wfile.write(body)

    def _route(self, path):
        if path in PAGE_PATHS:
            mode = PAGE_PATHS[path]
            text = pages.highscore_page(mode, self.server.store.best(mode, pages.ROWS))
            return 200, "text/html; charset=utf-8", text.encode("utf-8"), []
        if path in ("/", "/addons"):
            target = "regular_hsc.html" if path == "/" else "addons/"
            return 302, "text/plain; charset=utf-8", b"moved\n", [("Location", target)]
        if path == "/addons/":
            text = pages.addons_page(self.server.addons.listing())
            return 200, "text/html; charset=utf-8", text.encode("utf-8"), []
        if path.startswith("/addons/"):
            return self._addon_file(urllib.parse.unquote(path[len("/addons/"):], errors="replace"))
        return self._not_found()

    def _addon_file(self, name):
        if name.endswith("/preview.png"):
            picture = self.server.addons.preview(name[:-len("/preview.png")])
            return (200, "image/png", picture, []) if picture is not None else self._not_found()
        path = self.server.addons.path(name)
        if path is None:
            return self._not_found()
        try:
            with open(path, "rb") as file:
                data = file.read()
        except OSError:
            return self._not_found()
        disposition = "attachment; filename*=UTF-8''" + urllib.parse.quote(name)
        return 200, "application/zip", data, [("Content-Disposition", disposition)]

    @staticmethod
    def _not_found():
        return 404, "text/plain; charset=utf-8", b"not found\n", []


class SiteHttpServer(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def __init__(self, address, store, addons, verbose=False):
        super().__init__(address, SiteRequestHandler)
        self.store = store
        self.addons = addons
        self.verbose = verbose
