#!/usr/bin/env python3
"""Local HTTP and HTTPS servers for the web tests, on 127.0.0.1 only.

Usage: local_servers.py DIR

Makes a test certificate authority and two server certificates in DIR with openssl (one for
127.0.0.1 and localhost, one for another name), starts three listeners on free ports and prints one
line: "http=PORT https=PORT https_wrong_name=PORT ca=DIR/ca.pem". It serves until its standard input
closes, so it never outlives the test that started it.

Every response is HTTP/1.0 and closes the connection. Paths:
  /echo..., /cookie/echo...   the request head exactly as received
  /not-found                  a 404 page
  /redirect?to=URL[&cookie=NAME=VALUE]   302 to URL, optionally setting a cookie for /cookie
  /set-cookie?cookie=NAME=VALUE          sets a cookie for /cookie
  /chain?n=N                  N redirects in a row, then "end of chain"
  /bytes?n=N[&length=0]       N bytes, byte i being i % 251, with or without Content-Length
  /page?body=PERCENT-ENCODED  exactly those bytes
  /stall                      "partial" of an announced 1000 bytes, then silence
  /silent                     no answer at all
  /trickle                    one byte every 0.2 s
  /drip?period=S              one byte every S seconds (of an announced 1000), for at most 45 s
  /loop                       a redirect to itself, for ever
  /connections                how many connections this listener has accepted, this one included
"""

import os
import socket
import socketserver
import ssl
import subprocess
import sys
import threading
import time
import urllib.parse

HEAD_LIMIT = 65536
SOCKET_TIMEOUT_S = 30
SILENCE_S = 30
TRICKLE_PERIOD_S = 0.2
DRIP_LIMIT_S = 45
PATTERN_MODULUS = 251


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def make_certificates(directory):
    ec_key = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *ec_key, "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
            "-subj", "/CN=Lorvane Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", cwd=directory)
    for name, alt_names in (("server", "IP:127.0.0.1,DNS:localhost"),
                            ("wrong_name", "DNS:wrong-name.invalid")):
        with open(os.path.join(directory, name + ".ext"), "w") as ext:
            ext.write("subjectAltName=%s\nbasicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n"
                      % alt_names)
        openssl("req", *ec_key, "-keyout", name + ".key", "-out", name + ".csr",
                "-subj", "/CN=" + name, cwd=directory)
        openssl("x509", "-req", "-in", name + ".csr", "-CA", "ca.pem", "-CAkey", "ca.key",
                "-CAcreateserial", "-out", name + ".pem", "-days", "2", "-extfile", name + ".ext",
                cwd=directory)


def pattern(start, count):
    return bytes((i % PATTERN_MODULUS) for i in range(start, start + count))


def response_head(status, headers=()):
    lines = ["HTTP/1.0 " + status] + ["%s: %s" % h for h in headers]
    return ("\r\n".join(lines) + "\r\n\r\n").encode("latin-1")


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        with self.server.lock:
            self.server.connections += 1
            self.connection_number = self.server.connections
        conn = self.request
        conn.settimeout(SOCKET_TIMEOUT_S)
        try:
            if self.server.tls_context is not None:
                conn = self.server.tls_context.wrap_socket(conn, server_side=True)
            head = self.read_head(conn)
            if head is not None:
                self.respond(conn, head)
        except (OSError, ssl.SSLError):
            pass  # the client went away or refused the certificate: part of some tests
        finally:
            try:
                conn.close()
            except OSError:
                pass

    @staticmethod
    def read_head(conn):
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = conn.recv(4096)
            if not chunk or len(data) > HEAD_LIMIT:
                return None
            data += chunk
        return data[:data.index(b"\r\n\r\n") + 4]

    @staticmethod
    def drip(conn, announced, period, limit):
        """Sends the pattern one byte every `period` seconds, for `limit` seconds at most."""
        conn.sendall(response_head("200 OK", [("Content-Length", announced)]))
        deadline = time.monotonic() + limit
        index = 0
        while time.monotonic() < deadline:
            conn.sendall(pattern(index, 1))
            index += 1
            time.sleep(period)

    def respond(self, conn, head):
        target = head.split(b"\r\n", 1)[0].split(b" ")[1].decode("latin-1")
        url = urllib.parse.urlsplit(target)
        path = url.path
        # Latin-1 keeps every percent-encoded byte as it was sent.
        query = dict(urllib.parse.parse_qsl(url.query, keep_blank_values=True, encoding="latin-1"))
        html = ("Content-Type", "text/html")

        if path.startswith("/echo") or path.startswith("/cookie/echo"):
            conn.sendall(response_head("200 OK", [("Content-Length", len(head))]) + head)
        elif path == "/not-found":
            body = b"<html><head><title>404 Not Found</title></head><body>missing</body></html>"
            conn.sendall(response_head("404 Not Found", [html, ("Content-Length", len(body))]) + body)
        elif path == "/redirect" or path == "/set-cookie":
            headers = [("Content-Length", 13)]
            if "cookie" in query:
                headers.append(("Set-Cookie", query["cookie"] + "; Path=/cookie"))
            if path == "/redirect":
                headers.append(("Location", query["to"]))
                conn.sendall(response_head("302 Found", headers) + b"redirect body")
            else:
                conn.sendall(response_head("200 OK", headers) + b"cookie is set")
        elif path == "/chain":
            remaining = int(query["n"])
            if remaining > 0:
                location = "/chain?n=%d" % (remaining - 1)
                conn.sendall(response_head("302 Found", [("Location", location), ("Content-Length", 0)]))
            else:
                conn.sendall(response_head("200 OK", [("Content-Length", 12)]) + b"end of chain")
        elif path == "/bytes":
            count = int(query["n"])
            headers = [("Content-Length", count)] if query.get("length", "1") == "1" else []
            conn.sendall(response_head("200 OK", headers))
            step = 1 << 20
            for start in range(0, count, step):
                conn.sendall(pattern(start, min(step, count - start)))
        elif path == "/page":
            body = query.get("body", "").encode("latin-1")
            conn.sendall(response_head("200 OK", [html, ("Content-Length", len(body))]) + body)
        elif path == "/stall":
            conn.sendall(response_head("200 OK", [("Content-Length", 1000)]) + b"partial")
            time.sleep(SILENCE_S)
        elif path == "/silent":
            time.sleep(SILENCE_S)
        elif path == "/trickle":
            self.drip(conn, 100000, TRICKLE_PERIOD_S, SILENCE_S)
        elif path == "/drip":
            self.drip(conn, 1000, float(query["period"]), DRIP_LIMIT_S)
        elif path == "/loop":
            conn.sendall(response_head("302 Found", [("Location", "/loop"), ("Content-Length", 0)]))
        elif path == "/connections":
            body = str(self.connection_number).encode()
            conn.sendall(response_head("200 OK", [("Content-Length", len(body))]) + body)
        else:
            conn.sendall(response_head("400 Bad Request", [("Content-Length", 0)]))


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, tls_context):
        super().__init__(("127.0.0.1", 0), Handler)
        self.tls_context = tls_context
        self.connections = 0
        self.lock = threading.Lock()

    def handle_error(self, request, client_address):
        pass


def tls_context(directory, name):
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(directory, name + ".pem"), os.path.join(directory, name + ".key"))
    return context


def main():
    directory = sys.argv[1]
    make_certificates(directory)
    servers = {
        "http": Server(None),
        "https": Server(tls_context(directory, "server")),
        "https_wrong_name": Server(tls_context(directory, "wrong_name")),
    }
    for server in servers.values():
        threading.Thread(target=server.serve_forever, daemon=True).start()
    ports = " ".join("%s=%d" % (name, s.server_address[1]) for name, s in servers.items())
    print("%s ca=%s" % (ports, os.path.join(directory, "ca.pem")), flush=True)
    # Serve until the test closes our standard input (or dies).
    sys.stdin.buffer.read()
    os._exit(0)


if __name__ == "__main__":
    main()
