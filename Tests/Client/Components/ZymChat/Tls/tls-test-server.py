#!/usr/bin/env python3
"""A TLS server whose every record the tests choose, for the chat component's
TLS tests. It listens for control connections on a loopback address; each
control connection opens one server session and steers it with one-line
commands, each answered by one line:

  OPEN MODE CERT      -> PORT n   listen on a new port for one client
      MODE tls        handshake with CERT (good, wrongname, expired,
                      untrusted), then record what the client sends
           tls13      the same, but TLS 1.3 only
           plain      no TLS: greet with a plain IRC line, record raw bytes
           hangup     close as soon as the client's first bytes arrive
           silent     accept, record raw bytes, never answer
           relay:H:P  TLS in front of the plain server at H:P
           renegotiating  TLS 1.2 by openssl s_server, which can ask
                      for a new handshake (Python's ssl cannot)
  RECORDS HEX ...     -> OK       each HEX one record, all in one TCP send
  CUT HEX N ...       -> OK       one record, sent in pieces of N bytes
  WAIT HEX MS         -> YES|NO   until the received bytes hold HEX
  RECEIVED            -> DATA HEX everything received so far
  STATE               -> STATE handshake=... closed=... notified=...
  CLOSE               -> OK       close notify, then the connection closes
  RENEGOTIATE         -> OK       a hello request (renegotiating mode only)
STATE says whether the handshake passed and whether the client sent its
close notify. Every wait is bounded; whoever starts the server stops it by
its pid.
"""
import os
import socket
import ssl
import subprocess
import sys
import threading
import time

CERTS = sys.argv[2] if len(sys.argv) > 2 else "."
HOST = "127.0.0.1"
CUT_PAUSE = 0.15
CLIENT_WAIT = 15.0
ALERT = 21


def context(cert, tls13_only=False):
    ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    ctx.load_cert_chain(os.path.join(CERTS, cert + ".pem"), os.path.join(CERTS, cert + ".key"))
    if tls13_only:
        ctx.minimum_version = ssl.TLSVersion.TLSv1_3
    return ctx


class OpensslSession:
    """One client of openssl s_server: it prints what the client sends and
    renegotiates when told to on its standard input ("r")."""

    def __init__(self, cert):
        self.lock = threading.Condition()
        self.received = b""
        probe = socket.socket()
        probe.bind((HOST, 0))
        self.port = probe.getsockname()[1]
        probe.close()
        self.server = subprocess.Popen(
            ["openssl", "s_server", "-accept", "%s:%d" % (HOST, self.port), "-naccept", "1",
             "-tls1_2", "-cert", os.path.join(CERTS, cert + ".pem"),
             "-key", os.path.join(CERTS, cert + ".key")],
            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        threading.Thread(target=self.pump, daemon=True).start()
        threading.Thread(target=self.end_later, daemon=True).start()
        with self.lock:
            self.lock.wait_for(lambda: b"ACCEPT" in self.received, CLIENT_WAIT)

    def pump(self):
        for line in iter(self.server.stdout.readline, b""):
            with self.lock:
                self.received += line
                self.lock.notify_all()

    def end_later(self):
        try:
            self.server.wait(CLIENT_WAIT * 4)
        except subprocess.TimeoutExpired:
            self.server.kill()

    def renegotiate(self):
        self.server.stdin.write(b"r\n")
        self.server.stdin.flush()
        return "OK"

    def wait_for(self, text, ms):
        with self.lock:
            found = self.lock.wait_for(lambda: text in self.received, ms / 1000.0)
        return "YES" if found else "NO"


class Session:
    def __init__(self, mode, cert):
        self.mode = mode
        self.cert = cert
        self.lock = threading.Condition()
        self.received = b""
        self.handshake = "pending"
        self.closed = False
        self.notified = False
        self.alert_seen = False
        self.wire = b""
        self.conn = None
        self.tls = None
        self.outgoing = None
        self.listener = socket.socket()
        self.listener.bind((HOST, 0))
        self.listener.listen(1)
        self.port = self.listener.getsockname()[1]
        threading.Thread(target=self.serve, daemon=True).start()

    def serve(self):
        self.listener.settimeout(CLIENT_WAIT)
        try:
            conn, _ = self.listener.accept()
        except OSError:
            return
        finally:
            self.listener.close()
        self.conn = conn
        try:
            if self.mode == "plain":
                conn.sendall(b":irc.plain.test NOTICE * :*** this port speaks plain text\r\n")
                self.pump_raw()
            elif self.mode == "silent":
                self.pump_raw()
            elif self.mode == "hangup":
                conn.recv(1)
                conn.close()
                with self.lock:
                    self.closed = True
                    self.lock.notify_all()
            elif self.mode.startswith("relay:"):
                _, host, port = self.mode.split(":")
                self.start_tls(context(self.cert))
                backend = socket.create_connection((host, int(port)))
                threading.Thread(target=self.backend_to_client, args=(backend,), daemon=True).start()
                self.pump_tls(backend)
            else:
                self.start_tls(context(self.cert, self.mode == "tls13"))
                self.pump_tls(None)
        except (OSError, ssl.SSLError) as error:
            print("session on port %d (%s %s): %r" % (self.port, self.mode, self.cert, error),
                  file=sys.stderr, flush=True)
        with self.lock:
            self.closed = True
            self.lock.notify_all()

    def pump_raw(self):
        while True:
            data = self.conn.recv(65536)
            if not data:
                return
            with self.lock:
                self.received += data
                self.lock.notify_all()

    def start_tls(self, ctx):
        self.incoming = ssl.MemoryBIO()
        self.outgoing = ssl.MemoryBIO()
        self.tls = ctx.wrap_bio(self.incoming, self.outgoing, server_side=True)

    def flush(self):
        data = self.outgoing.read()
        if data:
            self.conn.sendall(data)

    def pump_tls(self, backend):
        while True:
            data = self.conn.recv(65536)
            with self.lock:
                if not data:
                    self.incoming.write_eof()
                else:
                    self.incoming.write(data)
                    self.note_records(data)
                try:
                    if self.handshake == "pending":
                        try:
                            self.tls.do_handshake()
                            self.handshake = "ok"
                        except ssl.SSLWantReadError:
                            pass
                        except ssl.SSLError:
                            self.handshake = "failed"
                            self.flush()
                            self.lock.notify_all()
                            return
                    if self.handshake == "ok":
                        while True:
                            try:
                                plain = self.tls.read(65536)
                            except ssl.SSLWantReadError:
                                break
                            except ssl.SSLZeroReturnError:
                                self.notified = True
                                plain = b""
                            except ssl.SSLEOFError:
                                plain = b""
                            if not plain:
                                # Python reads a close notify as the end of
                                # the data rather than as an error.
                                if self.alert_seen:
                                    self.notified = True
                                break
                            self.received += plain
                            if backend is not None:
                                backend.sendall(plain)
                    self.flush()
                finally:
                    self.lock.notify_all()
            if not data:
                return

    def note_records(self, data):
        """Follows the record headers of the client's bytes to see alerts."""
        self.wire += data
        while len(self.wire) >= 5:
            length = 5 + int.from_bytes(self.wire[3:5], "big")
            if len(self.wire) < length:
                break
            if self.wire[0] == ALERT:
                self.alert_seen = True
            self.wire = self.wire[length:]

    def backend_to_client(self, backend):
        try:
            while True:
                data = backend.recv(16384)
                if not data:
                    break
                with self.lock:
                    self.tls.write(data)
                    self.flush()
        except (OSError, ssl.SSLError):
            pass

    def wait_ready(self):
        with self.lock:
            self.lock.wait_for(lambda: self.handshake != "pending" or self.closed, CLIENT_WAIT)
            return self.handshake == "ok"

    def records(self, chunks):
        if not self.wait_ready():
            return "NO handshake"
        with self.lock:
            for chunk in chunks:
                self.tls.write(chunk)
            self.flush()
        return "OK"

    def cut(self, chunk, sizes):
        if not self.wait_ready():
            return "NO handshake"
        with self.lock:
            self.tls.write(chunk)
            wire = self.outgoing.read()
        for size in sizes:
            piece, wire = wire[:size], wire[size:]
            self.conn.sendall(piece)
            time.sleep(CUT_PAUSE)
        if wire:
            self.conn.sendall(wire)
        return "OK"

    def wait_for(self, text, ms):
        with self.lock:
            found = self.lock.wait_for(lambda: text in self.received, ms / 1000.0)
        return "YES" if found else "NO"

    def close(self):
        with self.lock:
            if self.tls is not None and self.handshake == "ok":
                try:
                    self.tls.unwrap()
                except ssl.SSLError:
                    pass
                self.flush()
        try:
            self.conn.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass
        return "OK"


def control(conn):
    session = None
    reader = conn.makefile("rb")
    for raw in reader:
        words = raw.decode("ascii", "replace").split()
        if not words:
            continue
        try:
            command = words[0]
            if command == "OPEN":
                if words[1] == "renegotiating":
                    session = OpensslSession(words[2])
                else:
                    session = Session(words[1], words[2])
                answer = "PORT %d" % session.port
            elif session is None:
                answer = "NO session"
            elif command == "RECORDS":
                answer = session.records([bytes.fromhex(w) for w in words[1:]])
            elif command == "CUT":
                answer = session.cut(bytes.fromhex(words[1]), [int(w) for w in words[2:]])
            elif command == "WAIT":
                answer = session.wait_for(bytes.fromhex(words[1]), int(words[2]))
            elif command == "RECEIVED":
                with session.lock:
                    answer = "DATA " + session.received.hex()
            elif command == "STATE":
                with session.lock:
                    answer = "STATE handshake=%s closed=%s notified=%s" % (
                        session.handshake, "yes" if session.closed else "no",
                        "yes" if session.notified else "no")
            elif command == "CLOSE":
                answer = session.close()
            elif command == "RENEGOTIATE":
                answer = session.renegotiate()
            else:
                answer = "NO unknown command"
        except Exception as error:  # the test sees what went wrong
            answer = "NO " + str(error).replace("\n", " ")
        conn.sendall((answer + "\r\n").encode("ascii"))
    conn.close()


def main():
    address, port = sys.argv[1].rsplit(":", 1)
    listener = socket.socket()
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind((address, int(port)))
    listener.listen(16)
    print("listening", flush=True)
    while True:
        conn, _ = listener.accept()
        threading.Thread(target=control, args=(conn,), daemon=True).start()


if __name__ == "__main__":
    main()
