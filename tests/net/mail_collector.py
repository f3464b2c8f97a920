"""A mail collector for the SMTP client's tests.

Listens on 127.0.0.1 at a free port, prints the port as its first line, and writes each message
it accepts to FOLDER/<n>.json: the envelope sender, the recipients and the data as hex, exactly
the bytes received (dot-stuffing undone). Ends when its standard input closes.
"""

import argparse
import asyncio
import json
import os
import sys
import threading

from aiosmtpd.smtp import SMTP


class Collector:
    def __init__(self, options):
        self.options = options
        self.count = 0

    async def handle_EHLO(self, server, session, envelope, hostname, responses):
        if self.options.refuse_ehlo:
            return ["500 EHLO not understood here"]
        session.host_name = hostname
        return responses

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address == self.options.refuse_rcpt:
            return "550 no such mailbox here"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if self.options.refuse_data:
            return "554 message refused"
        self.count += 1
        message = {
            "from": envelope.mail_from,
            "to": envelope.rcpt_tos,
            "data": envelope.original_content.hex(),
        }
        path = os.path.join(self.options.folder, f"{self.count}.json")
        with open(path + ".part", "w", encoding="utf-8") as file:
            json.dump(message, file)
        os.replace(path + ".part", path)
        return "250 OK stored"


def end_with_parent():
    sys.stdin.read()
    os._exit(0)


async def serve(options):
    handler = Collector(options)
    loop = asyncio.get_running_loop()
    server = await loop.create_server(
        lambda: SMTP(handler, hostname="collector.test", decode_data=False), "127.0.0.1", 0)
    print(server.sockets[0].getsockname()[1])
    await server.serve_forever()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("folder")
    parser.add_argument("--refuse-rcpt", default=None, help="answer 550 to this recipient")
    parser.add_argument("--refuse-data", action="store_true", help="answer 554 after the data")
    parser.add_argument("--refuse-ehlo", action="store_true", help="answer 500 to EHLO")
    options = parser.parse_args()
    threading.Thread(target=end_with_parent, daemon=True).start()
    asyncio.run(serve(options))


if __name__ == "__main__":
    main()
