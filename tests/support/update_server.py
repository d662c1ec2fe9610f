#!/usr/bin/env python3
"""A local update server for the updater's tests, on 127.0.0.1 and a free port.

    update_server.py start ROOT     start in the background; the port goes to ROOT/port
    update_server.py stop ROOT      stop the server started for ROOT
    update_server.py serve ROOT     serve in the foreground

Each test writes a scenario folder ROOT/NAME/ and uses http://127.0.0.1:PORT/NAME/ as the
base address. In it:
    TarnockVersion.php   body of the version page (sent as it is)
    download2.php        body of the download page
    behaviour            optional key=value lines:
        version_status, download_status   HTTP status (default 200)
        version_delay_ms                  wait before answering the version page
        download_delay_ms                 wait before each chunk of the download
        download_chunk                    chunk size of the download (default 4096)
        version_truncate, download_truncate
                                          send only this many bytes of the body although
                                          Content-Length announces all of it, then close
Every request is appended to ROOT/NAME/requests.log as "PATH<TAB>USER-AGENT".
"""
import http.server
import os
import signal
import socketserver
import subprocess
import sys
import time


def read_behaviour(folder):
    values = {}
    try:
        with open(os.path.join(folder, "behaviour"), encoding="utf-8") as f:
            for line in f:
                line = line.strip()
                if "=" in line:
                    key, value = line.split("=", 1)
                    values[key.strip()] = value.strip()
    except OSError:
        pass
    return values


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    root = "."

    def log_message(self, *args):
        pass

    def do_GET(self):
        path = self.path.split("?", 1)[0]
        parts = [p for p in path.split("/") if p]
        if len(parts) != 2 or parts[1] not in ("TarnockVersion.php", "download2.php") or ".." in parts[0]:
            return self.answer(404, b"not found")
        folder = os.path.join(self.root, parts[0])
        with open(os.path.join(folder, "requests.log"), "a", encoding="utf-8") as log:
            log.write("%s\t%s\n" % (parts[1], self.headers.get("User-Agent", "")))
        behaviour = read_behaviour(folder)
        kind = "version" if parts[1] == "TarnockVersion.php" else "download"
        try:
            with open(os.path.join(folder, parts[1]), "rb") as f:
                body = f.read()
        except OSError:
            return self.answer(404, b"not found")
        status = int(behaviour.get(kind + "_status", "200"))
        if status != 200:
            # An error page the updater must never take for the real thing.
            return self.answer(status, b"<html><body>error page</body></html>" * 20)
        delay = int(behaviour.get(kind + "_delay_ms", "0")) / 1000.0
        truncate = behaviour.get(kind + "_truncate")
        chunk = int(behaviour.get("download_chunk", "4096")) if kind == "download" else len(body) or 1
        if kind == "version" and delay:
            time.sleep(delay)
        self.send_response(200)
        self.send_header("Content-Type", "application/octet-stream" if kind == "download" else "text/plain")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        to_send = body if truncate is None else body[: int(truncate)]
        try:
            for start in range(0, len(to_send), chunk):
                if kind == "download" and delay:
                    time.sleep(delay)
                self.wfile.write(to_send[start : start + chunk])
                self.wfile.flush()
        except (BrokenPipeError, ConnectionResetError):
            pass
        self.close_connection = True

    def answer(self, status, body):
        self.send_response(status)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        self.send_header("Connection", "close")
        self.end_headers()
        self.wfile.write(body)
        self.close_connection = True


class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def serve(root):
    Handler.root = root
    server = Server(("127.0.0.1", 0), Handler)
    port_file = os.path.join(root, "port")
    with open(port_file + ".tmp", "w") as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + ".tmp", port_file)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(0))
    server.serve_forever()


def start(root):
    stop(root)
    os.makedirs(root, exist_ok=True)
    port_file = os.path.join(root, "port")
    if os.path.exists(port_file):
        os.remove(port_file)
    process = subprocess.Popen([sys.executable, os.path.abspath(__file__), "serve", root],
                               stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL, start_new_session=True)
    with open(os.path.join(root, "pid"), "w") as f:
        f.write(str(process.pid))
    for _ in range(100):
        if os.path.exists(port_file):
            print("update server on port", open(port_file).read())
            return 0
        time.sleep(0.05)
    print("update server did not start", file=sys.stderr)
    return 1


def stop(root):
    pid_file = os.path.join(root, "pid")
    if os.path.exists(pid_file):
        try:
            os.kill(int(open(pid_file).read()), signal.SIGTERM)
        except (OSError, ValueError):
            pass
        os.remove(pid_file)
    return 0


if __name__ == "__main__":
    if len(sys.argv) != 3 or sys.argv[1] not in ("start", "stop", "serve"):
        print(__doc__, file=sys.stderr)
        sys.exit(2)
    action, root = sys.argv[1], os.path.abspath(sys.argv[2])
    if action == "serve":
        serve(root)
    else:
        sys.exit(start(root) if action == "start" else stop(root))
