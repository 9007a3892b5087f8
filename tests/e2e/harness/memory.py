"""What a Wine process holds in its memory, read through /proc/<pid>/mem."""

import os
from pathlib import Path

CHUNK = 16 << 20


def wine_process_of(exe_name, env):
    """The Unix pid of the Wine process that runs exe_name in the prefix of env."""
    prefix = f"WINEPREFIX={env['WINEPREFIX']}".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            args = (entry / "cmdline").read_bytes().split(b"\0")
            environ = (entry / "environ").read_bytes().split(b"\0")
        except OSError:
            continue
        if prefix in environ and any(a.lower().endswith(exe_name.encode()) for a in args):
            return int(entry.name)
    return None


def readable_regions(pid):
    with open(f"/proc/{pid}/maps") as maps:
        for line in maps:
            fields = line.split()
            if fields[1].startswith("r") and not line.rstrip().endswith(("[vvar]", "[vsyscall]")):
                start, end = (int(x, 16) for x in fields[0].split("-"))
                yield start, end


def found_in_memory(pid, needles):
    """Those of the byte strings needles that lie anywhere in the process's readable memory."""
    found = set()
    overlap = max(len(n) for n in needles) - 1
    fd = os.open(f"/proc/{pid}/mem", os.O_RDONLY)
    try:
        for start, end in readable_regions(pid):
            tail = b""
            for offset in range(start, end, CHUNK):
                try:
                    data = os.pread(fd, min(CHUNK, end - offset), offset)
                except OSError:
                    break
                window = tail + data
                found.update(n for n in needles if n in window)
                tail = window[-overlap:] if overlap else b""
    finally:
        os.close(fd)
    return found
