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


# --- the strong format: AES-256-GCM under a data key wrapped by the password ---

STRONG_KEY = b"AES-256-GCM"
KEY_BLOCK_SIZE = 80  # salt 16 | PBKDF2 count 4 | nonce 12 | sealed data key 32 + tag 16


def strong_parts(data):
    """(key block, header, nonce, sealed text) of strong bytes; ValueError otherwise."""
    if stored_key(data) != STRONG_KEY or len(data) < HEADER_SIZE + 2 or data[HEADER_SIZE] != 1:
        raise ValueError("not in the strong format")
    block_size = data[HEADER_SIZE + 1]
    nonce_start = HEADER_SIZE + 2 + block_size
    sealed_start = nonce_start + 12
    return (data[HEADER_SIZE + 2:nonce_start], data[:sealed_start],
            data[nonce_start:sealed_start], data[sealed_start:])


def strong_data_key(settings_data, password):
    """The data key that the settings file's key block wraps under password (str)."""
    import hashlib
    from cryptography.hazmat.primitives.ciphers.aead import AESGCM
    block = strong_parts(settings_data)[0]
    if len(block) != KEY_BLOCK_SIZE:
        raise ValueError("no key block")
    salt, count, nonce = block[:16], block[16:20], block[20:32]
    key_key = hashlib.pbkdf2_hmac("sha256", password.encode("cp932"), salt,
                                  int.from_bytes(count, "little"), 32)
    return AESGCM(key_key).decrypt(nonce, block[32:], b"data key" + salt + count)


def decrypt_strong(data, name, data_key):
    """The content of the strong file stored under name; InvalidTag when it is not
    sealed under data_key for that name."""
    from cryptography.hazmat.primitives.ciphers.aead import AESGCM
    _, header, nonce, sealed = strong_parts(data)
    plain = AESGCM(data_key).decrypt(nonce, sealed, name.lower().encode() + b"\0" + header)
    if plain[:1] != b"\x01":
        raise ValueError("no content mark")
    return plain[1:]


def is_strong(path):
    return stored_key(Path(path).read_bytes()) == STRONG_KEY


def read_strong_lines(path, data_key):
    path = Path(path)
    return split_lines(decrypt_strong(path.read_bytes(), path.name, data_key))


def readable_forms(text):
    """text as it would stand in a plain file (code page 932) or a classic one
    (scrambled with qz, starting at either byte of the key)."""
    plain = text.encode("cp932")
    return [plain] + [bytes(byte ^ KEY[(i + start) % len(KEY)] for i, byte in enumerate(plain))
                      for start in (0, 1)]


def key_block(data_key, password, count=600_000):
    """data_key wrapped under password (str) as the settings file's header holds it."""
    import hashlib
    import os
    from cryptography.hazmat.primitives.ciphers.aead import AESGCM
    salt, count_bytes, nonce = os.urandom(16), count.to_bytes(4, "little"), os.urandom(12)
    key_key = hashlib.pbkdf2_hmac("sha256", password.encode("cp932"), salt, count, 32)
    return salt + count_bytes + nonce + AESGCM(key_key).encrypt(
        nonce, data_key, b"data key" + salt + count_bytes)


def write_strong_lines(path, lines, data_key, block=b""):
    """A line file as the program stores it in the strong format; block is the
    settings file's key block."""
    import os
    from cryptography.hazmat.primitives.ciphers.aead import AESGCM
    path, nonce = Path(path), os.urandom(12)
    header = encrypt(b"", STRONG_KEY) + bytes([1, len(block)]) + block + nonce
    sealed = AESGCM(data_key).encrypt(nonce, b"\x01" + plain_bytes(lines),
                                      path.name.lower().encode() + b"\0" + header)
    path.write_bytes(header + sealed)
