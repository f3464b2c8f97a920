"""Highscore pages and hostile replies for the HTTP client's tests.

Listens on 127.0.0.1 at a free port and prints the port as the first line. Ends when its
standard input closes, so it never outlives the test that started it.

With --folder DIR it also serves the files of DIR as a highscore site: /site/CHARSET/NAME is
DIR/NAME with that charset declared ("none": no charset), 404 when DIR has no such file.
"""
import argparse
import os
import gzip
import http.server
import sys
import threading
import time
from urllib.parse import parse_qs, urlsplit

TEXT = "<html>ä ß é</html>"
LONGEST_RUN = 120  # seconds any endless reply keeps going when nobody hangs up
CHARSET_HEADERS = {"iso-8859-1": "text/html; charset=iso-8859-1",
                   "utf-8": 'text/html; Charset="UTF-8"'}
# What follows the status line, the piece sent again and again, and the pause after each.
STREAMS = {
    "/huge-length": (b"Content-Length: 2000000\r\n\r\n", b"x" * 4096, 0),
    "/endless": (b"\r\n", b"x" * 4096, 0),
    "/endless-chunked": (b"Transfer-Encoding: chunked\r\n\r\n", b"1000\r\n" + b"x" * 4096 + b"\r\n", 0),
    "/drip": (b"\r\n", b"x", 0.5),
    "/endless-header-line": (b"X-Pad: ", b"a" * 4096, 0),
    "/endless-header-lines": (b"", b"X-Pad: " + b"a" * 100 + b"\r\n", 0),
}
RAW_REPLIES = {
    "/garbage": b"SSH-2.0-OpenSSH_9.2\r\n\r\n",
    "/half-headers": b"HTTP/1.1 200 OK\r\nContent-Type: text/ht",
    "/cut-body": b"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf",
    "/long-header": b"HTTP/1.1 200 OK\r\nX-Long: " + b"a" * 10_000_000,
    "/status/999": b"HTTP/1.1 999 X\r\nContent-Length: 2\r\n\r\nok",
    "/status/-5": b"HTTP/1.1 -5 X\r\nContent-Length: 2\r\n\r\nok",
}


FOLDER = None


def stream_of(path):
    """The stream a path names: its own, or the one its first part names (a site address)."""
    return STREAMS.get(path) or STREAMS.get("/" + path.split("/")[1])


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        url = urlsplit(self.path)  # a request through a proxy names the whole URL
        path, query = url.path, parse_qs(url.query)
        try:
            if path.startswith("/site/") and FOLDER:
                self.site_file(*path.split("/")[2:4])
            elif path.startswith("/hsc/"):
                self.page(query.get("charset", ["none"])[0])
            elif path.startswith("/redirect/"):
                self.redirect(int(path.split("/")[2]))
            elif path == "/bad-redirect":
                self.reply(302, b"", [("Location", query["to"][0])])
            elif path == "/missing":
                self.reply(404, b"no such page", [("Content-Type", "text/plain")])
            elif path == "/echo":
                self.reply(200, (self.requestline + "\n" + str(self.headers)).encode("latin-1"))
            elif path == "/gzip":  # 3 MB in 560 KB: within what Qt inflates, over what the client keeps
                scores = b"".join(b"player %d scored %d\n" % (i % 1000, i % 97) for i in range(150_000))
                self.reply(200, gzip.compress(scores, compresslevel=1), [("Content-Encoding", "gzip")])
            elif stream_of(path):
                self.stream(*stream_of(path))
            elif path in RAW_REPLIES:
                self.wfile.write(RAW_REPLIES[path])
                if path == "/long-header":
                    self.rfile.read(1)  # the line never ends, nor does the connection
            elif path.startswith("/silent"):
                self.rfile.read(1)
            else:
                self.reply(400, b"unknown route")
        except (BrokenPipeError, ConnectionResetError):
            pass

    def page(self, charset):
        encoding = "latin-1" if charset == "none" else charset
        header = CHARSET_HEADERS.get(charset, "text/html")
        self.reply(200, TEXT.encode(encoding), [("Content-Type", header)])

    def site_file(self, charset, name):
        file = os.path.join(FOLDER, os.path.basename(name))
        if not os.path.isfile(file):
            self.reply(404, b"no such page", [("Content-Type", "text/plain")])
            return
        with open(file, "rb") as page:
            body = page.read()
        header = "text/html" if charset == "none" else "text/html; charset=" + charset
        self.reply(200, body, [("Content-Type", header)])

    def redirect(self, steps):
        if steps == 0:
            self.page("none")
        else:
            self.reply(302, b"moved", [("Location", f"/redirect/{steps - 1}")])

    def stream(self, head, piece, pause):
        self.wfile.write(b"HTTP/1.1 200 OK\r\n" + head)
        end = time.monotonic() + LONGEST_RUN
        while time.monotonic() < end:
            self.wfile.write(piece)
            self.wfile.flush()
            time.sleep(pause)

    def reply(self, status, body, headers=()):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


def main():
    global FOLDER
    parser = argparse.ArgumentParser()
    parser.add_argument("--folder", default=None, help="serve this folder's files under /site/CHARSET/")
    FOLDER = parser.parse_args().folder
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    print(server.server_address[1], flush=True)
    sys.stdin.read()


if __name__ == "__main__":
    main()
