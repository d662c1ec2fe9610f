#!/usr/bin/env python3
"""A small HTTP server on 127.0.0.1 that receives deletion-rank reports for the tests.

    report_server.py serve DIR

Listens on a free port and writes it to DIR/port once it accepts connections. Every request
is appended to DIR/requests as one line of four tab-separated hex fields: method, path,
headers ("Name: value\\r\\n" each, as received) and the raw body. Before answering it reads
DIR/mode: "ok" (or no file) answers 200, "fail" answers 500, "close" drops the connection
without an answer, "hang" answers nothing until DIR/stop appears. The server ends when
DIR/stop appears (removing DIR/port), or after an hour at the latest.
"""
import http.server
import os
import sys
import threading
import time

LIFETIME_S = 3600


def main():
    if len(sys.argv) != 3 or sys.argv[1] != "serve":
        print(__doc__, file=sys.stderr)
        return 2
    folder = sys.argv[2]
    record_lock = threading.Lock()
    stop_file = os.path.join(folder, "stop")

    def mode():
        try:
            with open(os.path.join(folder, "mode"), encoding="ascii") as f:
                return f.read().strip() or "ok"
        except OSError:
            return "ok"

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def handle_any(self):
            length = int(self.headers.get("Content-Length") or 0)
            body = self.rfile.read(length) if length > 0 else b""
            headers = "".join("%s: %s\r\n" % (k, v) for k, v in self.headers.items()).encode("latin-1")
            line = "\t".join(x.hex() for x in (self.command.encode("latin-1"), self.path.encode("latin-1"),
                                               headers, body)) + "\n"
            with record_lock:
                with open(os.path.join(folder, "requests"), "a", encoding="ascii") as f:
                    f.write(line)
            how = mode()
            if how == "hang":
                while not os.path.exists(stop_file) and os.path.exists(os.path.join(folder, "mode")) \
                        and mode() == "hang":
                    time.sleep(0.1)
                self.close_connection = True
                return
            if how == "close":
                self.close_connection = True
                return
            status = 500 if how == "fail" else 200
            answer = b"OK" if status == 200 else b"failed"
            self.send_response(status)
            self.send_header("Content-Type", "text/plain")
            self.send_header("Content-Length", str(len(answer)))
            self.end_headers()
            self.wfile.write(answer)

        do_GET = do_POST = do_PUT = handle_any

    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    threading.Thread(target=server.serve_forever, daemon=True).start()
    port_file = os.path.join(folder, "port")
    with open(port_file + ".tmp", "w", encoding="ascii") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)

    deadline = time.monotonic() + LIFETIME_S
    while not os.path.exists(stop_file) and time.monotonic() < deadline:
        time.sleep(0.1)
    server.shutdown()
    os.remove(port_file)  # tells the test program that the server has ended
    return 0


if __name__ == "__main__":
    sys.exit(main())
