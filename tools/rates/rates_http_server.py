#!/usr/bin/env python3
"""A local HTTP server for the download tests of vela-rates and vela.exe:
each path answers as one kind of server does. Writes its port (on 127.0.0.1,
a free one) to the file named first; serves the bank file named second; stops
by itself after a minute (or the seconds given third), so that a test that
failed never leaves it behind."""
import socket
import socketserver
import sys
import threading
import time

PAGE = b"<!DOCTYPE html>\n<html><body>Not here</body></html>\n"


def response(status, body, extra=b""):
    return (b"HTTP/1.1 " + status + b"\r\nContent-Length: " + str(len(body)).encode() +
            b"\r\nConnection: close\r\n" + extra + b"\r\n" + body)


class Handler(socketserver.BaseRequestHandler):
    def handle(self):
        request = b""
        while b"\r\n\r\n" not in request:
            got = self.request.recv(4096)
            if not got:
                return
            request += got
            if request.startswith(b"\x16"):  # a TLS hello: this server speaks plain HTTP only
                self.request.sendall(response(b"400 Bad Request", PAGE))
                return
        path = request.split(b" ")[1]
        bank = self.server.bank
        answers = {
            b"/cbr": lambda: response(b"200 OK", bank),
            b"/moved": lambda: response(b"302 Found", b"", b"Location: /cbr\r\n"),
            b"/html": lambda: response(b"200 OK", PAGE, b"Content-Type: text/html\r\n"),
            b"/cut": lambda: response(b"200 OK", bank)[:300],
            b"/big": lambda: b"HTTP/1.0 200 OK\r\n\r\n" + b" " * (3 << 20),
        }
        if path == b"/silent":
            time.sleep(60)
            return
        try:
            self.request.sendall(answers.get(path, lambda: response(b"404 Not Found", PAGE))())
        except OSError:
            pass  # the client stopped reading


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    with open(sys.argv[2], "rb") as f:
        bank = f.read()
    server = Server(("127.0.0.1", 0), Handler)
    server.bank = bank
    threading.Thread(target=server.serve_forever, daemon=True).start()
    with open(sys.argv[1] + ".part", "w") as f:
        f.write(str(server.server_address[1]))
    import os
    os.replace(sys.argv[1] + ".part", sys.argv[1])
    time.sleep(int(sys.argv[3]) if len(sys.argv) > 3 else 60)


main()
