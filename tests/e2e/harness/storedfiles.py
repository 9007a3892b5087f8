"""Reads the program's stored files: the 44-byte lock header, the XOR with the
key restarting at every 1024-byte block, and line files in code page 932; and
the strong format, AES-256-GCM (python3-cryptography)."""

import hashlib
import os
from pathlib import Path

from cryptography.hazmat.primitives.ciphers.aead import AESGCM

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



# --- the strong format: AES-256-GCM under a data key wrapped by the password ---

STRONG_KEY = b"AES-256-GCM"


def strong_parts(data):
    """(key block, header, nonce, sealed text) of strong bytes; ValueError otherwise."""
    if stored_key(data) != STRONG_KEY or len(data) < HEADER_SIZE + 2 or data[HEADER_SIZE] != 1:
        raise ValueError("not in the strong format")
    nonce_start = HEADER_SIZE + 2 + data[HEADER_SIZE + 1]
    return (data[HEADER_SIZE + 2:nonce_start], data[:nonce_start + 12],
            data[nonce_start:nonce_start + 12], data[nonce_start + 12:])


def key_of_password(password, salt, count):
    return hashlib.pbkdf2_hmac("sha256", password.encode("cp932"), salt,
                               int.from_bytes(count, "little"), 32)


def strong_data_key(settings_data, password):
    """The data key that the settings file's key block (salt 16, count 4, nonce 12,
    sealed key 48) wraps under password."""
    block = strong_parts(settings_data)[0]
    salt, count, nonce = block[:16], block[16:20], block[20:32]
    return AESGCM(key_of_password(password, salt, count)).decrypt(
        nonce, block[32:], b"data key" + salt + count)


def read_strong_lines(path, data_key):
    """The lines of the strong file at path; InvalidTag when it is not sealed under
    data_key for its name."""
    path = Path(path)
    _, header, nonce, sealed = strong_parts(path.read_bytes())
    plain = AESGCM(data_key).decrypt(nonce, sealed, path.name.lower().encode() + b"\0" + header)
    if plain[:1] != b"\x01":
        raise ValueError("no content mark")
    return split_lines(plain[1:])


def is_strong(path):
    return stored_key(Path(path).read_bytes()) == STRONG_KEY


def readable_forms(text):
    """text as a plain file (code page 932) or a classic one (either key phase) holds it."""
    plain = text.encode("cp932")
    return [plain] + [bytes(byte ^ KEY[(i + start) % len(KEY)] for i, byte in enumerate(plain))
                      for start in (0, 1)]


def write_strong_lines(path, lines, data_key, password=None):
    """A line file as the program stores it in the strong format; the settings file's
    key block wraps data_key under password."""
    path, nonce, block = Path(path), os.urandom(12), b""
    if password:
        salt, count, key_nonce = os.urandom(16), (600_000).to_bytes(4, "little"), os.urandom(12)
        block = salt + count + key_nonce + AESGCM(key_of_password(password, salt, count)).encrypt(
            key_nonce, data_key, b"data key" + salt + count)
    header = encrypt(b"", STRONG_KEY) + bytes([1, len(block)]) + block + nonce
    path.write_bytes(header + AESGCM(data_key).encrypt(
        nonce, b"\x01" + plain_bytes(lines), path.name.lower().encode() + b"\0" + header))
