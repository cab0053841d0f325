#!/usr/bin/env python3
"""A small HTTP server for the Wine tests: records every request it gets.

Usage: http_recorder.py RECORD_FILE [answer|silent]
Listens on 127.0.0.1 at a free port and prints the port on the first line of
its standard output. "answer" (the default) answers every request with
200 OK; "silent" accepts connections and never answers (for time-outs).
Each request becomes one line in RECORD_FILE, its fields separated by tabs:
method, path, User-Agent, Content-Type, and the body in hexadecimal (a
connection that was never answered is recorded as the method CONNECT).
"""
import http.server
import socket
import sys
import threading
import time


def record(path, method, target="", agent="", content_type="", body=b""):
    with open(path, "a", encoding="utf-8") as out:
        out.write("\t".join([method, target, agent, content_type, body.hex()]) + "\n")


def answering_server(record_path):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def handle_any(self):
            length = int(self.headers.get("Content-Length", "0") or 0)
            body = self.rfile.read(length) if length else b""
            record(record_path, self.command, self.path, self.headers.get("User-Agent", ""),
                   self.headers.get("Content-Type", ""), body)
            self.send_response(200)
            self.send_header("Content-Length", "2")
            self.end_headers()
            self.wfile.write(b"ok")

        do_GET = do_POST = handle_any

        def log_message(self, *args):
            pass

    return http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)


def silent_server(record_path):
    listener = socket.socket()
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    kept = []

    def accept():
        while True:
            connection, _ = listener.accept()
            kept.append(connection)
            record(record_path, "CONNECT")

    threading.Thread(target=accept, daemon=True).start()
    return listener


def main():
    record_path = sys.argv[1]
    mode = sys.argv[2] if len(sys.argv) > 2 else "answer"
    open(record_path, "w").close()
    if mode == "silent":
        listener = silent_server(record_path)
        print(listener.getsockname()[1], flush=True)
        while True:
            time.sleep(3600)
    server = answering_server(record_path)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
