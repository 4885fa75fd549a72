#!/usr/bin/python3
"""SMTP sinks with TLS and login for the tests, in one process, appending to
one mbox in the format of smtp_sink.py:
  STARTTLS port: STARTTLS and then AUTH (PLAIN or LOGIN) required
  LOGIN port:    the same, offering AUTH LOGIN only
  implicit port: TLS from the first byte, AUTH required
Usage: smtp_tls_sink.py HOST STARTTLS_PORT LOGIN_PORT IMPLICIT_PORT MBOX CERT KEY USER PASSWORD"""
import os
import signal
import ssl
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from aiosmtpd.controller import Controller  # noqa: E402
from aiosmtpd.smtp import AuthResult, LoginPassword  # noqa: E402

from smtp_sink import MboxSink  # noqa: E402


class Authenticator:
    def __init__(self, user, password):
        self.user = user.encode()
        self.password = password.encode()

    def __call__(self, server, session, envelope, mechanism, auth_data):
        ok = (isinstance(auth_data, LoginPassword) and auth_data.login == self.user
              and auth_data.password == self.password)
        return AuthResult(success=ok, handled=False)


def main():
    (host, starttls_port, login_port, implicit_port, mbox, cert, key,
     user, password) = sys.argv[1:10]
    open(mbox, "ab").close()
    context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    context.minimum_version = ssl.TLSVersion.TLSv1_2
    context.load_cert_chain(cert, key)
    common = dict(hostname=host, server_hostname="quill-test-tls-sink",
                  decode_data=False, data_size_limit=0, enable_SMTPUTF8=True,
                  authenticator=Authenticator(user, password),
                  auth_required=True)
    controllers = [
        Controller(MboxSink(mbox), port=int(starttls_port), tls_context=context,
                   require_starttls=True, auth_require_tls=True, **common),
        Controller(MboxSink(mbox), port=int(login_port), tls_context=context,
                   require_starttls=True, auth_require_tls=True,
                   auth_exclude_mechanism=["PLAIN"], **common),
        # aiosmtpd does not see TLS it did not start itself, so it must not
        # ask for it before AUTH here; the connection is TLS throughout.
        Controller(MboxSink(mbox), port=int(implicit_port), ssl_context=context,
                   auth_require_tls=False, **common),
    ]
    for c in controllers:
        c.start()
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))
    while not stop:
        time.sleep(0.2)
    for c in controllers:
        c.stop()


if __name__ == "__main__":
    main()
