"""Saves DIR/quillmar.hex again as Windows tools do, with CR LF line ends: DIR/utf8/quillmar.hex
with a UTF-8 byte-order mark (an editor's "UTF-8 with BOM") and DIR/utf16/quillmar.hex as UTF-16
with its mark (PowerShell 5.1's `>`): save-as-windows.py DIR."""
import os
import sys

text = open(os.path.join(sys.argv[1], "quillmar.hex")).read().replace("\n", "\r\n")
saved = {"utf8": b"\xef\xbb\xbf" + text.encode(), "utf16": b"\xff\xfe" + text.encode("utf-16-le")}
for name, data in saved.items():
    os.makedirs(os.path.join(sys.argv[1], name), exist_ok=True)
    with open(os.path.join(sys.argv[1], name, "quillmar.hex"), "wb") as out:
        out.write(data)
