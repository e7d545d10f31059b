#!/usr/bin/env python3
"""planprobe --lsp from outside, as an editor starts it: raw frames on its standard input, and
standard output read back frame by frame. Usage: lsp_raw_frames_test.py PLANPROBE [ARG...], the
command that starts planprobe (under Wine: wine planprobe.exe)."""
import json
import subprocess
import sys
import time

PLANPROBE = sys.argv[1:]
URI = "file:///tmp/raw.txt"
failures = []


def check(what, ok):
    print(("ok: " if ok else "FAILED: ") + what)
    if not ok:
        failures.append(what)


def frame(message):
    body = json.dumps(message).encode()
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def request(id_, method, params=None):
    return frame({"jsonrpc": "2.0", "id": id_, "method": method, "params": params or {}})


def notify(method, params=None):
    return frame({"jsonrpc": "2.0", "method": method, "params": params or {}})


class Server:
    """One server process and the frames it wrote."""

    def __init__(self):
        self.started = time.monotonic()
        self.proc = subprocess.Popen(PLANPROBE + ["--lsp"], stdin=subprocess.PIPE,
                                     stdout=subprocess.PIPE, stderr=subprocess.PIPE)

    def send(self, data):
        self.proc.stdin.write(data)
        self.proc.stdin.flush()

    def read_message(self):
        """The next frame's message; None at the end of the output. Fails on anything that is
        not a frame."""
        length = None
        while True:
            line = self.proc.stdout.readline()
            if not line:
                return None
            if line == b"\r\n":
                break
            name, _, value = line.decode().partition(":")
            if name.lower() != "content-length" or not line.endswith(b"\r\n"):
                raise AssertionError("not a frame header: %r" % line)
            length = int(value)
        return json.loads(self.proc.stdout.read(length))

    def reply(self, id_):
        """The reply to request `id_`, skipping notifications."""
        while True:
            message = self.read_message()
            if message is None or (message.get("id") == id_ and "method" not in message):
                return message

    def diagnostics(self, uri=URI):
        """The next diagnostics published for `uri`."""
        while True:
            message = self.read_message()
            if message is None or (message.get("method") == "textDocument/publishDiagnostics"
                                   and message["params"]["uri"] == uri):
                return message

    def end(self, data=b""):
        out, err = self.proc.communicate(data, timeout=60)
        return self.proc.returncode, out, err


def initialized(server):
    server.send(request(1, "initialize", {"capabilities": {}}))
    answer = server.reply(1)
    server.send(notify("initialized"))
    return answer


def open_doc(text, version=1):
    return notify("textDocument/didOpen", {"textDocument": {
        "uri": URI, "languageId": "quillschedule", "version": version, "text": text}})


# Lifecycle, from outside.
s = Server()
s.send(request(3, "textDocument/hover"))
check("a request before initialize gets -32002",
      s.reply(3)["error"]["code"] == -32002)
answer = initialized(s)
# Told, not judged: a figure for the reader, no timed assertion.
print("note: started and answered initialize in %.0f ms" % ((time.monotonic() - s.started) * 1000))
check("it names its position encoding", answer["result"]["capabilities"]["positionEncoding"] == "utf-16")
status, out, _ = s.end(notify("exit"))
check("exit without shutdown ends with status 1", status == 1)

# Damaged input: each is refused or passed over, and the server goes on.
s = Server()
initialized(s)
s.send(b"Content-Length: nine\r\n\r\nContent-Type: x\r\n\r\n")
s.send(b"Content-Length: 7\r\n\r\n{broken")
check("invalid JSON gets a parse error", s.read_message()["error"]["code"] == -32700)
s.send(frame([1, 2]))
check("a batch gets an invalid request", s.read_message()["error"]["code"] == -32600)
s.send(request(4, "workspace/notAThing"))
check("an unknown method gets -32601", s.reply(4)["error"]["code"] == -32601)
s.send(open_doc("D:07.24.02 T:06:30 P:DAY R:1 E:ON 1:1\n"))
s.send(notify("textDocument/didChange", {"textDocument": {"uri": URI, "version": 2},
       "contentChanges": [{"range": {"start": {"line": 90, "character": 0},
                                     "end": {"line": 2, "character": 0}}, "text": "x"}]}))
s.send(request(5, "textDocument/hover", {"textDocument": {"uri": URI},
                                         "position": {"line": 0, "character": 4}}))
hover = s.reply(5)
check("an edit out of order loses nothing: the line still hovers",
      hover is not None and "Next runs" in hover["result"]["contents"]["value"])
s.send(request(6, "shutdown"))
s.reply(6)
status, out, _ = s.end(notify("exit"))
check("exit after shutdown ends with status 0", status == 0)

# Binary text and a 100 000-line schedule.
s = Server()
initialized(s)
s.send(open_doc("D:07.24.02 \x00\x01\ufffd T:06:30 E:ON 1:1\n"))
check("binary text is analysed", s.diagnostics() is not None)
lines = ["D:07.24.02 T:%02d:%02d P:DAY R:1 E:ON 1:%d" % (i // 60 % 24, i % 60, i % 200)
         for i in range(100000)]
lines[99999] = "D:07.24.02 T:25:00 P:DAY R:1 E:ON 1:1"
began = time.monotonic()
s.send(notify("textDocument/didOpen", {"textDocument": {
    "uri": "file:///tmp/long.txt", "languageId": "quillschedule", "version": 1,
    "text": "\n".join(lines) + "\n"}}))
published = s.diagnostics("file:///tmp/long.txt")
elapsed = time.monotonic() - began
print("note: a 100 000-line schedule's findings came in %.2f s" % elapsed)
check("a 100 000-line schedule gets its findings, the last line's among them", published is not None and any(
          d["range"]["start"]["line"] == 99999 for d in published["params"]["diagnostics"]))
s.send(request(7, "shutdown"))
check("it still answers after the long schedule", s.reply(7) is not None)
status, out, err = s.end(notify("exit"))
check("standard output carried frames only, standard error the rest", status == 0)

sys.exit(1 if failures else 0)
