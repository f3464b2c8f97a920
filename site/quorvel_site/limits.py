"""What keeps one client, or many, from taking the site down: open connections per address and in
all, a deadline for the head of each HTTP request, and the number of mails per address."""

import asyncio
import collections
import time

MAIL_RATE_WINDOW_SECONDS = 600


class ConnectionCount:
    """Open connections of one server, per client address and in all."""

    def __init__(self, per_address, in_all):
        self.per_address = per_address
        self.in_all = in_all
        self._open = collections.Counter()
        self.total = 0

    def take(self, address):
        if self.total >= self.in_all or self._open[address] >= self.per_address:
            return False
        self._open[address] += 1
        self.total += 1
        return True

    def give_back(self, address):
        self.total -= 1
        self._open[address] -= 1
        if not self._open[address]:
            del self._open[address]


class LimitedProtocol(asyncio.Protocol):
    """Wraps a server's protocol: a connection beyond the count gets `refusal` and is closed. With a
    `head_deadline`, a request whose head (up to its blank line) takes longer ends the connection,
    so a client that trickles bytes holds nothing for long."""

    def __init__(self, inner_factory, count, refusal, head_deadline=None):
        self._inner_factory = inner_factory
        self._inner = None
        self._count = count
        self._refusal = refusal
        self._head_deadline = head_deadline
        self._address = None
        self._transport = None
        self._timer = None
        self._tail = b""

    def connection_made(self, transport):
        peer = transport.get_extra_info("peername")
        address = peer[0] if peer else ""
        if not self._count.take(address):
            transport.write(self._refusal)
            transport.close()
            return
        self._address = address
        self._transport = transport
        self._inner = self._inner_factory()
        self._inner.connection_made(transport)
        self._arm()

    def data_received(self, data):
        if self._inner is None:
            return
        if self._head_deadline is not None:
            self._watch_head(data)
        self._inner.data_received(data)

    def eof_received(self):
        return self._inner.eof_received() if self._inner is not None else None

    def connection_lost(self, error):
        if self._inner is None:
            return
        self._disarm()
        self._count.give_back(self._address)
        self._inner.connection_lost(error)
        self._inner = None

    def pause_writing(self):
        if self._inner is not None:
            self._inner.pause_writing()

    def resume_writing(self):
        if self._inner is not None:
            self._inner.resume_writing()

    # A head ends with an empty line; the next byte after it starts the next request's deadline.
    def _watch_head(self, data):
        if self._timer is None:
            self._arm()
        seen = self._tail + data
        if b"\r\n\r\n" in seen or b"\n\n" in seen:
            self._disarm()
            seen = seen[max(seen.rfind(b"\r\n\r\n") + 4, seen.rfind(b"\n\n") + 2):]
        self._tail = seen[-3:]

    def _arm(self):
        if self._head_deadline is not None and self._timer is None:
            self._timer = asyncio.get_running_loop().call_later(self._head_deadline, self._transport.abort)

    def _disarm(self):
        if self._timer is not None:
            self._timer.cancel()
            self._timer = None


class MailRate:
    """Accepted mails per client address within the last ten minutes; no limit when `limit` is 0."""

    def __init__(self, limit, clock=time.monotonic):
        self.limit = limit
        self._clock = clock
        self._accepted = collections.defaultdict(collections.deque)

    def allows(self, address):
        if not self.limit:
            return True
        times = self._accepted[address]
        while times and times[0] <= self._clock() - MAIL_RATE_WINDOW_SECONDS:
            times.popleft()
        if not times:
            del self._accepted[address]
        return len(times) < self.limit

    def count(self, address):
        if self.limit:
            self._accepted[address].append(self._clock())
