#!/usr/bin/env python3
"""A stand-in for the maker's update server, for the setup's end-to-end test.

    setup_update_server.py start ROOT STATE   serve ROOT on 127.0.0.1 at a free port, in the
                                              background; STATE/port and STATE/pid tell
                                              where and who; requests go to STATE/requests.log
    setup_update_server.py stop STATE         end the server started with that STATE

"/file/NAME" answers with the bytes of ROOT/NAME (read at every request, so the test can
write the pages while the server runs); anything else is 404. The server ends by itself
after an hour in case nobody stops it.
"""
import http.server
import os
import signal
import sys
import threading

LIFETIME_S = 3600


class Handler(http.server.BaseHTTPRequestHandler):
    root = "."
    log_path = None

    def do_GET(self):
        with open(self.log_path, "a", encoding="utf-8") as log:
            log.write("%s %s\n" % (self.path, self.headers.get("User-Agent", "")))
        name = self.path.split("?", 1)[0]
        if not name.startswith("/file/") or "/" in name[len("/file/"):]:
            self.send_error(404)
            return
        path = os.path.join(self.root, name[len("/file/"):])
        try:
            with open(path, "rb") as f:
                body = f.read()
        except OSError:
            self.send_error(404)
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream")
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def log_message(self, *args):
        pass


def start(root, state):
    os.makedirs(state, exist_ok=True)
    Handler.root = os.path.abspath(root)
    Handler.log_path = os.path.join(state, "requests.log")
    open(Handler.log_path, "w").close()
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    if os.fork() > 0:
        return  # the caller goes on; the child serves
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    with open(os.path.join(state, "pid.tmp"), "w") as f:
        f.write(str(os.getpid()))
    with open(os.path.join(state, "port.tmp"), "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(os.path.join(state, "pid.tmp"), os.path.join(state, "pid"))
    os.replace(os.path.join(state, "port.tmp"), os.path.join(state, "port"))
    threading.Timer(LIFETIME_S, server.shutdown).start()
    server.serve_forever()
    os._exit(0)


def stop(state):
    try:
        with open(os.path.join(state, "pid")) as f:
            pid = int(f.read())
        os.kill(pid, signal.SIGTERM)
    except (OSError, ValueError):
        pass
    for name in ("pid", "port"):
        try:
            os.remove(os.path.join(state, name))
        except OSError:
            pass


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "start":
        stop(sys.argv[3])
        start(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "stop":
        stop(sys.argv[2])
    else:
        sys.exit(__doc__)
