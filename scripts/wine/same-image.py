"""Exits 0 when two Intel HEX files hold the same flash (erased bytes as 0xFF), 1 otherwise:
same-image.py A B."""
import sys


def image(path):
    """The 128 KiB flash that the file's records fill in."""
    memory, base = bytearray(b"\xff" * 131072), 0
    for line in open(path):
        record = bytes.fromhex(line.strip()[1:])
        value = int.from_bytes(record[4:4 + record[0]], "big")
        if record[3] == 0:
            at = base + (record[1] << 8 | record[2])
            memory[at:at + record[0]] = record[4:4 + record[0]]
        elif record[3] in (2, 4):  # extended segment or linear address
            base = value << 4 if record[3] == 2 else value << 16
    return memory


sys.exit(image(sys.argv[1]) != image(sys.argv[2]))
