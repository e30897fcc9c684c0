#!/usr/bin/env bash
# Installs the Debian packages that building and testing need, when missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    libgtest-dev libgmock-dev
    zlib1g-dev libzip-dev
    # the multimedia service of the file information: playing times, codec names
    libavformat-dev libavcodec-dev libavutil-dev
    # pictures: the image readers and the JPEG thumbnails
    libpng-dev libjpeg62-turbo-dev libgif-dev libtiff-dev
    zip unzip
    p7zip-full arj lhasa unar cabextract unshield gcab
    python3
    # reading back the dBase tables and the printed PDF files of the output tests
    python3-dbfread poppler-utils
    # the window: Qt 6 Widgets; Xvfb for the screenshots
    qt6-base-dev xvfb xauth
    # validating the installed desktop entry and AppStream metadata; gio
    # starts the generated desktop entries in the tests
    desktop-file-utils appstream libglib2.0-bin
    # the fuzz targets: Clang 14 with its sanitizer and libFuzzer runtimes,
    # llvm-symbolizer for readable reports; clang-format for the format check
    clang libclang-rt-14-dev llvm clang-format
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
