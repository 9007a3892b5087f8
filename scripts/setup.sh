#!/usr/bin/env bash
# Installs the Debian packages that building and testing need. Safe to run
# again: when everything is present it returns without touching apt.
set -euo pipefail

# "package:command-or-file" pairs; the right-hand side proves the package is usable.
required=(
  cmake:/usr/bin/cmake
  g++:/usr/bin/g++
  googletest:/usr/src/googletest/CMakeLists.txt
  libgtest-dev:/usr/include/gtest/gtest.h
  g++-mingw-w64-x86-64-posix:/usr/bin/x86_64-w64-mingw32-g++-posix
  wine64:/usr/lib/wine/wine64
  wine:/usr/bin/wine
  xvfb:/usr/bin/Xvfb
  xdotool:/usr/bin/xdotool
  x11-utils:/usr/bin/xdpyinfo
  imagemagick:/usr/bin/import
  fonts-noto-cjk:/usr/share/fonts/opentype/noto/NotoSansCJK-Regular.ttc
  openbox:/usr/bin/openbox
  locales:/usr/share/i18n/locales/ja_JP
  python3:/usr/bin/python3
  python3-cryptography:/usr/lib/python3/dist-packages/cryptography/__init__.py
  x11vnc:/usr/bin/x11vnc
  websockify:/usr/bin/websockify
  novnc:/usr/share/novnc/vnc.html
  chromium:/usr/bin/chromium
  clang:/usr/bin/clang++
  clang-format:/usr/bin/clang-format
  libssl-dev:/usr/include/openssl/evp.h
  libclang-rt-14-dev:/usr/lib/llvm-14/lib/clang/14.0.6/lib/linux/libclang_rt.fuzzer-x86_64.a
)

missing=()
for entry in "${required[@]}"; do
  package=${entry%%:*}
  proof=${entry#*:}
  [[ -e $proof ]] || missing+=("$package")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

if ((EUID != 0)); then
  echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
  exit 1
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q "${missing[@]}"
