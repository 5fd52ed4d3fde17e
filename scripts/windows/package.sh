#!/usr/bin/env bash
# Makes the Windows installer (NSIS) and a portable ZIP from a Windows build, then checks the installer
# under Wine: a silent per-user install, the installed program showing its start screen in
# Documents\ソラニカ, and an uninstall that removes the program and keeps that folder.
#
#   package.sh BUILD_FOLDER
set -euo pipefail

build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
here="$root/scripts/windows"
version=$(sed -n 's/^project(soranika VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
dist="$build/dist/ソラニカ"
setup="$build/soranika-setup-$version-x64.exe"
portable="$build/soranika-$version-x64-portable.zip"

# A clean folder holding only what the program needs.
rm -rf "$build/dist"
mkdir -p "$dist"
cp "$build/soranika.exe" "$dist/"
bash "$here/deploy.sh" "$dist" "$dist/soranika.exe"

makensis -V2 -DVERSION="$version" -DDIST="$dist" -DOUTFILE="$setup" "$root/packaging/windows/soranika.nsi"
rm -f "$portable"
(cd "$build/dist" && zip -qr9 "$portable" "ソラニカ")

# The check, in a Wine prefix of its own so the test prefix stays as it is.
export SORANIKA_WINEPREFIX="$build/wine-package-check"
export WINEPREFIX="$SORANIKA_WINEPREFIX"
rm -rf "$WINEPREFIX"
xvfb-run -a -s "-screen 0 1280x800x24" bash "$here/check-installer.sh" "$setup"

ls -l "$setup" "$portable"
echo "Installer: $(du -h "$setup" | cut -f1), portable ZIP: $(du -h "$portable" | cut -f1)."
