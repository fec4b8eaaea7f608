#!/usr/bin/env python3
"""register-certificate-account.py ACCOUNT COMMAND [ARG ...]

Registers ACCOUNT with the services of the run's server (with-irc-server.sh
inspircd-services, with TLS) over its TLS port while presenting the run's
client certificate (with-client-certificate.sh), and adds that certificate to
the account with NickServ CERT ADD, as a user of the account does: Anope adds
the certificate of the connection the command comes on, never one named on
the line. The fingerprint NickServ reports must be ZYM_CLIENT_CERT_SHA256.
Then runs COMMAND with ZYM_CLIENT_CERT_ACCOUNT=ACCOUNT set."""
import os
import socket
import ssl
import sys
import time
from urllib.parse import urlsplit

DEADLINE_SECONDS = 30


def fail(text):
    print("register-certificate-account: " + text, file=sys.stderr)
    sys.exit(1)


def main():
    if len(sys.argv) < 3:
        fail("usage: register-certificate-account.py ACCOUNT COMMAND [ARG ...]")
    account = sys.argv[1]
    server = urlsplit(os.environ["ZYM_IRC_TLS_SERVER"])
    fingerprint = os.environ["ZYM_CLIENT_CERT_SHA256"]

    context = ssl.create_default_context(cafile=os.path.join(os.environ["ZYM_TLS_CERTS"], "authority.pem"))
    context.load_cert_chain(os.environ["ZYM_CLIENT_CERT_PEM"], os.environ["ZYM_CLIENT_CERT_KEY"])
    # The server's TLS port is on 127.0.0.1 whatever name its certificate has.
    raw = socket.create_connection(("127.0.0.1", server.port), timeout=1)
    link = context.wrap_socket(raw, server_hostname=server.hostname)

    def send(line):
        link.sendall((line + "\r\n").encode())

    send("NICK " + account)
    send("USER " + account + " 0 * :certificate account")
    steps = [
        (" 001 ", "PRIVMSG NickServ :REGISTER sekret7 " + account + "@example.test"),
        ("registered", "PRIVMSG NickServ :CERT ADD"),
        ("added to", "QUIT"),
    ]
    seen = []
    last = None
    pending = b""
    end = time.monotonic() + DEADLINE_SECONDS
    while steps and time.monotonic() < end:
        try:
            data = link.recv(4096)
        except socket.timeout:
            continue
        if not data:
            break
        pending += data
        while b"\r\n" in pending and steps:
            line, pending = pending.split(b"\r\n", 1)
            text = line.decode(errors="replace")
            seen.append(text)
            if text.startswith("PING "):
                send("PONG " + text[5:])
            elif " 401 " in text and last is not None:
                # The services have linked but not yet introduced NickServ.
                time.sleep(0.5)
                send(last)
            elif steps[0][0] in text:
                if steps[0][0] == "added to" and fingerprint not in text:
                    fail("NickServ added another fingerprint than " + fingerprint + ": " + text)
                last = steps.pop(0)[1]
                send(last)
    link.close()
    if steps:
        fail("no '" + steps[0][0] + "' from the server; it sent:\n  " + "\n  ".join(seen[-15:]))
    os.environ["ZYM_CLIENT_CERT_ACCOUNT"] = account
    os.execvp(sys.argv[2], sys.argv[2:])


main()
