#!/usr/bin/env bash
# Installs, from Debian's packages only, everything building and testing need.
# Idempotent: packages already present are left alone, apt is only asked when
# something is missing.
set -euo pipefail

need_root() {
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then sudo "$@"; else
            echo "bootstrap: run as root (or install sudo) to install: $*" >&2; exit 1
        fi
    else
        "$@"
    fi
}

packages=(
    cmake g++ make ninja-build googletest
    mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64 wine32:i386
    xvfb x11-apps x11-utils imagemagick
    fonts-dejavu-core fonts-liberation
    zip unzip
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_root dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
need_root apt-get update -qq
need_root apt-get install -y -qq --no-install-recommends "${missing[@]}"
