"""Reads the program's stored files: the 44-byte lock header, the XOR with the
key restarting at every 1024-byte block, and line files in code page 932."""

from pathlib import Path

HEADER_SIZE = 44
BLOCK_SIZE = 1024
KEY = b"qz"


def stored_key(data):
    """The key recorded in a lock header, or None when data has no lock header."""
    if len(data) < HEADER_SIZE or data[0] != 0x17 or data[1] != 0 or data[2:8] != b"LOCKED":
        return None
    key = bytearray()
    for byte in data[12:HEADER_SIZE]:
        if byte == 0:
            break
        key.append(byte ^ 0xA6)
    return bytes(key)


def decrypt(data, key=KEY):
    if stored_key(data) != key:
        raise ValueError(f"not encrypted with key {key!r}")
    payload = data[HEADER_SIZE:]
    return bytes(byte ^ key[(i % BLOCK_SIZE) % len(key)] for i, byte in enumerate(payload))


def split_lines(content):
    """Lines of a line file: CR LF, lone CR and lone LF end a line; 0x00 ends the text."""
    content = content.split(b"\0", 1)[0]
    lines = content.replace(b"\r\n", b"\n").replace(b"\r", b"\n").split(b"\n")
    if lines[-1] == b"":
        lines.pop()  # the terminator of the last line, or an empty file
    return [line.decode("cp932") for line in lines]


def read_encrypted_lines(path):
    """The lines of a file that must be encrypted with qz; fails when it is plain."""
    return split_lines(decrypt(Path(path).read_bytes()))


def is_encrypted(path):
    return stored_key(Path(path).read_bytes()) == KEY


def write_plain_lines(path, lines):
    """Writes lines the way the program writes a line file before encrypting it."""
    Path(path).write_bytes(plain_bytes(lines))


def plain_bytes(lines):
    return b"".join(line.encode("cp932") + b"\r\n" for line in lines)


def encrypt(payload, key=KEY):
    """payload behind a lock header, as the program stores it (no date recorded)."""
    header = bytes([0x17, 0]) + b"LOCKED" + bytes(4) + bytes(byte ^ 0xA6 for byte in key)
    header += bytes(HEADER_SIZE - len(header))
    return header + bytes(byte ^ key[(i % BLOCK_SIZE) % len(key)]
                          for i, byte in enumerate(payload))


def write_encrypted_lines(path, lines):
    """A line file as the program leaves it once stored: encrypted with qz."""
    Path(path).write_bytes(encrypt(plain_bytes(lines)))
