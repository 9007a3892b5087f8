"""Builds nemuroku.exe for release and writes build/dist/nemuroku-<version>-win64.zip with
the exe, the Japanese user's guide and SHA256SUMS (called by ./package).

The archive is the same byte for byte whatever the folder and the time of the build:
its entries have fixed names, order, times and attributes, and the exe is built
without time stamps or build paths.
"""

import argparse
import hashlib
import re
import subprocess
import sys
import zipfile
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
GUIDE = ROOT / "docs" / "guide-ja.txt"
GUIDE_NAME = "使い方.txt"
ENTRY_TIME = (1980, 1, 1, 0, 0, 0)  # the earliest time a zip entry can hold


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(\s*\w+\s+VERSION\s+([0-9.]+)", text).group(1)


def build_exe(build_dir):
    subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build_dir),
                    "-DCMAKE_TOOLCHAIN_FILE=" + str(ROOT / "cmake" / "mingw-w64.cmake"),
                    "-DCMAKE_BUILD_TYPE=MinSizeRel", "-DNEMUROKU_TESTS=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(build_dir), "--target", "nemuroku", "-j2"],
                   check=True, stdout=subprocess.DEVNULL)
    return build_dir / "nemuroku.exe"


def guide_for_windows():
    """The guide as Windows' notepad reads it best: UTF-8 with a BOM and CR LF line ends."""
    text = GUIDE.read_text(encoding="utf-8").replace("\r\n", "\n")
    return "\ufeff".encode() + text.replace("\n", "\r\n").encode()


def write_archive(path, files):
    """files: (name, bytes) in the order they are stored."""
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    path.parent.mkdir(parents=True, exist_ok=True)
    with zipfile.ZipFile(path, "w") as archive:
        for name, data in [*files, ("SHA256SUMS", sums.encode())]:
            entry = zipfile.ZipInfo(name, date_time=ENTRY_TIME)
            entry.create_system = 3  # Unix attributes: a plain file, rw-r--r--
            entry.external_attr = 0o100644 << 16
            entry.compress_type = zipfile.ZIP_DEFLATED
            # Non-ASCII names such as the guide's are stored as UTF-8 with flag bit 11 set.
            archive.writestr(entry, data, compresslevel=9)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build-dir", type=Path, default=ROOT / "build" / "release")
    args = parser.parse_args()
    exe = build_exe(args.build_dir.resolve())
    archive = ROOT / "build" / "dist" / f"nemuroku-{project_version()}-win64.zip"
    write_archive(archive, [("nemuroku.exe", exe.read_bytes()), (GUIDE_NAME, guide_for_windows())])
    print(archive)
    print("SHA-256", hashlib.sha256(archive.read_bytes()).hexdigest())
    return 0


if __name__ == "__main__":
    sys.exit(main())
