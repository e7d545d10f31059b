"""Writes a firmware image of 1000 bytes with the version marker at its start (version 1.10, or
the four characters VERSION) as Intel HEX records: make-image.py OUT [VERSION]."""
import sys

version = sys.argv[2] if len(sys.argv) > 2 else "1.10"
data = b"CVersion " + version.encode() + bytes((i * 7 + 3) & 0xFF for i in range(987))
with open(sys.argv[1], "w") as out:
    for at in range(0, len(data), 16):
        chunk = data[at:at + 16]
        record = bytes([len(chunk), at >> 8, at & 0xFF, 0]) + chunk
        out.write(":" + record.hex().upper() + "%02X\n" % (-sum(record) & 0xFF))
    out.write(":00000001FF\n")
