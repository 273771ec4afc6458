"""An FTP server on 127.0.0.1 for the transfer tests (Debian's pyftpdlib).

Prints the port it listens on, then serves until it is terminated. Every
command a client sends is appended to the log file, so that tests can tell
active from passive data connections and plain from TLS sessions."""
import argparse
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--root", required=True)
    parser.add_argument("--user", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--cert")
    parser.add_argument("--key")
    parser.add_argument("--withhold-transfer-reply", action="store_true",
                        help="take a file's data but never send 226, as a stalled server does")
    args = parser.parse_args()

    authorizer = DummyAuthorizer()
    authorizer.add_user(args.user, args.password, args.root, perm="elradfmwMT")
    # A site without a user name logs in anonymously, as public servers take it.
    authorizer.add_anonymous(args.root, perm="elradfmwMT")

    if args.cert:
        from pyftpdlib.handlers import TLS_DTPHandler, TLS_FTPHandler

        class WaitingDTPHandler(TLS_DTPHandler):
            """Keeps a secured data connection that arrives before its
            transfer command (passive clients connect first) instead of
            dropping it, as pyftpdlib 1.5.7 does (its issue 604)."""

            def readable(self):
                if not self.receive and not self._initialized:
                    return False
                return TLS_DTPHandler.readable(self)

        handler = TLS_FTPHandler
        handler.dtp_handler = WaitingDTPHandler
        handler.certfile = args.cert
        handler.keyfile = args.key
        handler.tls_control_required = True
        handler.tls_data_required = True
    else:
        handler = FTPHandler
    if args.withhold_transfer_reply:
        base = handler

        class WithholdingHandler(base):
            def respond(self, resp, logfun=logging.debug):
                if not resp.startswith("226 Transfer complete"):
                    base.respond(self, resp, logfun)

        handler = WithholdingHandler
    handler.authorizer = authorizer

    logging.basicConfig(filename=args.log, level=logging.DEBUG, format="%(message)s")
    server = FTPServer(("127.0.0.1", 0), handler)
    print(server.socket.getsockname()[1], flush=True)
    sys.stdout.close()
    server.serve_forever()


if __name__ == "__main__":
    main()
