#!/usr/bin/python3
"""SMTP sink for the tests: aiosmtpd on loopback, appending every message it
receives to an mbox. Each entry is a "From " line, two envelope lines
(X-Quill-Mail-From, X-Quill-Rcpt-To) and the data exactly as received, with
mboxrd quoting of lines that start with ">*From ", then an empty line."""
import re
import signal
import sys
import time

from aiosmtpd.controller import Controller

_FROM_LINE = re.compile(rb"^(>*From )", re.MULTILINE)


class MboxSink:
    def __init__(self, path):
        self.path = path

    async def handle_DATA(self, server, session, envelope):
        content = envelope.original_content or envelope.content
        if isinstance(content, str):
            content = content.encode("utf-8", "surrogateescape")
        sender = envelope.mail_from or "MAILER-DAEMON"
        head = "From %s %s\n" % (sender, time.asctime(time.gmtime()))
        head += "X-Quill-Mail-From: %s\n" % (envelope.mail_from or "")
        head += "X-Quill-Rcpt-To: %s\n" % ", ".join(envelope.rcpt_tos)
        with open(self.path, "ab") as f:
            f.write(head.encode("utf-8", "surrogateescape"))
            f.write(_FROM_LINE.sub(rb">\1", content))
            if not content.endswith(b"\n"):
                f.write(b"\n")
            f.write(b"\n")
        return "250 OK"


def main():
    host, port, mbox = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    open(mbox, "ab").close()
    # A fixed name: the server would otherwise look its own name up per connection.
    controller = Controller(MboxSink(mbox), hostname=host, port=port,
                            server_hostname="quill-test-sink",
                            decode_data=False, data_size_limit=0,
                            enable_SMTPUTF8=True)
    controller.start()
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(1))
    signal.signal(signal.SIGINT, lambda *_: stop.append(1))
    while not stop:
        time.sleep(0.2)
    controller.stop()


if __name__ == "__main__":
    main()
