#!/usr/bin/env bash
# Installs every Debian package needed to build, test and run ソラニカ (and, given `package`, to package it).
# Does nothing (and downloads nothing) when all of them are already present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-base-dev-tools qt6-webengine-dev libqcustomplot-dev libgl-dev libxcb1-dev
  qt6-l10n-tools qt6-translations-l10n
  libicu-dev libzip-dev libbenchmark-dev libsqlite3-dev
  libqt6sql6-sqlite
  clang libclang-rt-14-dev
  fonts-noto-cjk fonts-ipafont-gothic
  xvfb xauth poppler-utils imagemagick python3
  # make test-windows-print: Ghostscript renders the Windows build's PostScript jobs; fontTools reads
  # back the characters of the glyphs Wine drew.
  ghostscript python3-fonttools
)
# `install-deps.sh package`: also what `make package` builds and checks the Debian package with.
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev file lintian desktop-file-utils)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
