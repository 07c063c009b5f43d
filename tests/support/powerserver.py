#!/usr/bin/env python3
"""Replays recorded NASA POWER replies on 127.0.0.1 for the tests.

Each request takes the next step; the last step answers every later one.
A step is STATUS[:FILE] (FILE's bytes as the body), slow:SECONDS[:FILE]
(200 after a wait) or cut[:FILE] (half of FILE, then the connection is
closed). The port is printed on the first line of standard output; each
request's path and query go to the --log file, one a line.
"""
import argparse
import http.server
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("steps", nargs="+")
    args = parser.parse_args()
    steps = list(args.steps)

    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *unused):
            pass

        def do_GET(self):
            with open(args.log, "a") as log:
                log.write(self.path + "\n")
            step = steps.pop(0) if len(steps) > 1 else steps[0]
            kind, _, rest = step.partition(":")
            status, body, cut = 200, b"", False
            if kind == "slow":
                seconds, _, name = rest.partition(":")
                time.sleep(float(seconds))
            elif kind == "cut":
                cut, name = True, rest
            else:
                status, name = int(kind), rest
            if name:
                with open(name, "rb") as f:
                    body = f.read()
            try:
                self.send_response(status)
                self.send_header("Content-Type", "application/json" if name.endswith(".json") else "text/csv")
                self.send_header("Content-Length", str(len(body)))
                self.send_header("Connection", "close")
                self.end_headers()
                self.wfile.write(body[: len(body) // 2] if cut else body)
                self.wfile.flush()
            except (BrokenPipeError, ConnectionResetError):
                pass
            self.close_connection = True

    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
