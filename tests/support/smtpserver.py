#!/usr/bin/python3
"""A throw-away SMTP server on the loopback address for the mail tests.

Listens on 127.0.0.1 on a port the system picks, prints "PORT <n>" once it listens, and keeps, in the
folder given by --out:
  msg-<n>.json   every accepted message: envelope, AUTH login, the raw text and its decoded parts;
  events.log     one line per connection opened or closed, with the number of connections open.
With --late-end it keeps each message at once but answers the end of its data only that many seconds
later; --late-rcpt answers each recipient late.
It ends when its standard input closes, so it never outlives the test that started it.
"""
import argparse
import asyncio
import email
import email.policy
import json
import logging
import os
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def parse():
    p = argparse.ArgumentParser()
    p.add_argument("--out", required=True)
    p.add_argument("--mode", choices=["plain", "ssl", "starttls"], default="plain")
    p.add_argument("--cert")
    p.add_argument("--key")
    p.add_argument("--user", default="")
    p.add_argument("--password", default="")
    p.add_argument("--refuse", action="append", default=[], help="recipient address to refuse")
    p.add_argument("--late-end", type=float, default=0,
                   help="seconds to wait, with the message kept, before answering the end of its data")
    p.add_argument("--late-rcpt", type=float, default=0, help="seconds to wait before answering RCPT")
    return p.parse_args()


class State:
    def __init__(self, out):
        self.out = out
        self.messages = 0
        self.open = 0
        self.opened = 0

    def event(self, text):
        with open(os.path.join(self.out, "events.log"), "a") as f:
            f.write("%s open=%d opened=%d\n" % (text, self.open, self.opened))


class Handler:
    def __init__(self, state, refuse, late_end, late_rcpt):
        self.state = state
        self.refuse = {r.lower() for r in refuse}
        self.late_end = late_end
        self.late_rcpt = late_rcpt

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if self.late_rcpt:
            await asyncio.sleep(self.late_rcpt)
        if address.lower() in self.refuse:
            return "550 5.1.1 No such mailbox"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        raw = envelope.original_content or envelope.content
        msg = email.message_from_bytes(raw, policy=email.policy.default)
        body = msg.get_body(preferencelist=("html", "plain"))
        self.state.messages += 1
        record = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": envelope.rcpt_tos,
            "login": session.auth_data.login.decode() if isinstance(session.auth_data, LoginPassword) else "",
            "raw": raw.decode("ascii", "replace"),
            "from": str(msg["From"]),
            "to": str(msg["To"]),
            "subject": str(msg["Subject"]),
            "content_type": body.get_content_type() if body else "",
            "charset": body.get_content_charset() if body else "",
            "html": body.get_content() if body else "",
        }
        name = os.path.join(self.state.out, "msg-%d.json" % self.state.messages)
        with open(name + ".part", "w") as f:
            json.dump(record, f)
        os.replace(name + ".part", name)
        # A server that delivers first and confirms afterwards: the message is kept either way.
        if self.late_end:
            await asyncio.sleep(self.late_end)
        return "250 Message accepted"


class CountingSMTP(SMTP):
    state = None

    counted = False
    ended = False

    def connection_made(self, transport):
        # STARTTLS hands the same connection over a second time; count it once.
        if not self.counted:
            self.counted = True
            self.state.open += 1
            self.state.opened += 1
            self.state.event("open")
        super().connection_made(transport)

    # A connection counts as closed when its session ends: the client said QUIT, or went away. The
    # transport's own teardown (the TLS close above all) finishes later, at a time of the event
    # loop's choosing, often after the client has long opened its next connection; counted there,
    # one client that never holds two connections would seem to.
    def end(self):
        if self.counted and not self.ended:
            self.ended = True
            self.state.open -= 1
            self.state.event("close")

    async def smtp_QUIT(self, arg):
        self.end()
        await super().smtp_QUIT(arg)

    def eof_received(self):
        self.end()
        return super().eof_received()

    def connection_lost(self, error):
        self.end()
        super().connection_lost(error)


async def main():
    args = parse()
    # The library's warnings about AUTH over plain connections are expected here.
    warnings.simplefilter("ignore")
    logging.getLogger("mail.log").setLevel(logging.CRITICAL)
    state = State(args.out)
    CountingSMTP.state = state
    handler = Handler(state, args.refuse, args.late_end, args.late_rcpt)
    context = None
    if args.mode != "plain":
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert, args.key)

    def authenticator(server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword)
              and auth_data.login.decode() == args.user
              and auth_data.password.decode() == args.password)
        return AuthResult(success=ok, handled=False, auth_data=auth_data)

    def factory():
        return CountingSMTP(
            handler,
            hostname="mail.test",
            tls_context=context if args.mode == "starttls" else None,
            require_starttls=args.mode == "starttls",
            authenticator=authenticator if args.user else None,
            auth_required=bool(args.user),
            auth_require_tls=args.mode == "starttls",
        )

    loop = asyncio.get_running_loop()
    server = await loop.create_server(factory, host="127.0.0.1", port=0,
                                      ssl=context if args.mode == "ssl" else None)
    print("PORT %d" % server.sockets[0].getsockname()[1], flush=True)
    # Standard input closing is the signal to stop.
    await loop.run_in_executor(None, sys.stdin.read)
    server.close()
    await server.wait_closed()


if __name__ == "__main__":
    asyncio.run(main())
