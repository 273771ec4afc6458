#!/usr/bin/python3
"""A time-stamp authority for tests: answers RFC 3161 requests posted over
HTTP on 127.0.0.1 with `openssl ts -reply`, signed by the certificate and key
given. Prints the port it listens on, then serves until it is ended.

    rfc3161-responder.py TSA_CERT TSA_KEY
"""
import http.server
import os
import shutil
import signal
import subprocess
import sys
import tempfile

CONFIG = """
[ tsa ]
default_tsa = tsa_config
[ tsa_config ]
serial = {serial}
crypto_device = builtin
signer_digest = sha256
default_policy = 1.2.3.4.1
digests = sha1, sha256, sha384, sha512
accuracy = secs:1
ordering = yes
tsa_name = no
ess_cert_id_chain = no
ess_cert_id_alg = sha256
"""


def main():
    cert, key = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="pcn-tsa-")
    serial = os.path.join(work, "serial")
    with open(serial, "w") as f:
        f.write("01\n")
    config = os.path.join(work, "tsa.cnf")
    with open(config, "w") as f:
        f.write(CONFIG.format(serial=serial))

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = self.rfile.read(int(self.headers.get("Content-Length", 0)))
            with tempfile.TemporaryDirectory(dir=work) as d:
                request, reply = os.path.join(d, "q.tsq"), os.path.join(d, "r.tsr")
                with open(request, "wb") as f:
                    f.write(query)
                made = subprocess.run(["openssl", "ts", "-reply", "-config", config, "-queryfile", request,
                                       "-inkey", key, "-signer", cert, "-out", reply],
                                      capture_output=True).returncode == 0
                body = open(reply, "rb").read() if made else b""
            self.send_response(200 if made else 500)
            self.send_header("Content-Type", "application/timestamp-reply")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)

        def log_message(self, *args):
            pass

    signal.signal(signal.SIGTERM, lambda *args: sys.exit(0))
    server = http.server.HTTPServer(("127.0.0.1", 0), Handler)
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
