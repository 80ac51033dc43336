#!/usr/bin/env python3
"""A small web server for the web-download tests, on 127.0.0.1 only.

Paths:
  /bytes/N      N bytes of body (Content-Length set)
  /hop/K/N      a redirect to /hop/K-1/N; /hop/0/N serves /bytes/N
  /missing      404
  /hang         reads the request and never answers

Prints the port it listens on as the first line of its output. With
--cert and --key it speaks HTTPS.
"""
import argparse
import http.server
import ssl
import sys
import time

CHUNK = b"x" * 65536


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def do_GET(self):
        parts = self.path.strip("/").split("/")
        try:
            if parts[0] == "bytes":
                return self.send_bytes(int(parts[1]))
            if parts[0] == "hop":
                hops, size = int(parts[1]), int(parts[2])
                if hops == 0:
                    return self.send_bytes(size)
                self.send_response(302)
                self.send_header("Location", "/hop/%d/%d" % (hops - 1, size))
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            if parts[0] == "hang":
                time.sleep(3600)
                return
        except (ValueError, IndexError):
            pass
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            return
        self.send_error(404)

    def send_bytes(self, size):
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(size))
        self.end_headers()
        left = size
        while left > 0:
            piece = CHUNK[: min(left, len(CHUNK))]
            self.wfile.write(piece)
            left -= len(piece)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--cert")
    parser.add_argument("--key")
    args = parser.parse_args()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    if args.cert:
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(args.cert, args.key)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    sys.exit(main())
