#!/usr/bin/env python3
"""A small local web server for the redirect tests: ASX files, pages, errors, a login, a
redirect, a slow answer and an empty body. Prints "PORT <n>" first; ends by itself after
a bounded time so a crashed test leaves nothing behind."""
import base64
import http.server
import sys
import threading
import time

ASX = (b'<ASX version="3.0">\r\n<Entry>\r\n<ref href="mms://media.example/show/a.asf"/>\r\n'
       b'<ref href="mmst://media.example/show/b.wmv"/>\r\n</Entry>\r\n</ASX>\r\n')
PAGE = (b'<html><body><p>Watch: mms://media.example/live now</p>'
        b'<a href="MMS://Media.Example/Clip.asf">clip</a> Mms://ignored/x.asf</body></html>')
NONE = b'<ASX version="3.0"><ref href="http://web.example/a.asf"/></ASX>'
USER, PASSWORD = "anna", "se:cret"


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def send(self, status, body, content_type="video/x-ms-asf", extra=()):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        path = self.path.split("?")[0]
        if path == "/list.asx":
            self.send(200, ASX)
        elif path == "/page.html":
            self.send(200, PAGE, "text/html")
        elif path == "/none.asx":
            self.send(200, NONE)
        elif path == "/empty.asx":
            self.send(200, b"")
        elif path == "/moved.asx":
            self.send(302, b"", extra=[("Location", "/list.asx")])
        elif path == "/slow.asx":
            time.sleep(float(sys.argv[1]) if len(sys.argv) > 1 else 3)
            self.send(200, ASX)
        elif path == "/secret.asx":
            expected = "Basic " + base64.b64encode(f"{USER}:{PASSWORD}".encode()).decode()
            if self.headers.get("Authorization") == expected:
                self.send(200, ASX)
            else:
                self.send(401, b"login first", "text/plain", [("WWW-Authenticate", 'Basic realm="Lumo test"')])
        else:
            self.send(404, b"not here", "text/plain")


def main():
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    print(f"PORT {server.server_address[1]}", flush=True)
    threading.Timer(300, server.shutdown).start()
    server.serve_forever()


if __name__ == "__main__":
    main()
