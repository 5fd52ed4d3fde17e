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
cp "$build/soranika.exe" "$build/soranika_plots.dll" "$build/soranika_zip.dll" "$dist/"
bash "$here/deploy.sh" "$dist" "$dist/soranika.exe" "$dist/soranika_plots.dll" "$dist/soranika_zip.dll"

# The program's licence, and every bundled DLL's licence in third-party/: Debian's copyright file of
# the package each was built from, with the licence texts those files point to. A DLL no notice
# covers stops the packaging.
bash "$root/scripts/check-copyright.sh" "$root/packaging/copyright" --dlls "$dist"
cp "$root/LICENSE" "$dist/LICENSE"
third="$dist/third-party"
mkdir -p "$third"
cp "$root/packaging/copyright" "$third/copyright.txt"
cp /usr/share/common-licenses/LGPL-3 "$third/LGPL-3.txt"
cp /usr/share/common-licenses/GPL-3 "$third/GPL-3.txt"
notice_of() {
  case ${1,,} in
  soranika_plots.dll | soranika_zip.dll) ;;
  qt6*.dll | platforms/* | sqldrivers/* | styles/* | printsupport/* | imageformats/*) echo libqt6core6 qt6-base ;;
  libqcustomplot.dll) echo libqcustomplot2.1-qt6 qcustomplot ;;
  libsqlite3-0.dll) echo libsqlite3-0 sqlite3 ;;
  libzip.dll) echo libzip4 libzip ;;
  zlib1.dll) echo zlib1g zlib ;;
  libstdc++-6.dll | libgcc_s_seh-1.dll) echo gcc-mingw-w64-x86-64-posix-runtime gcc-runtime ;;
  libwinpthread-1.dll) echo mingw-w64-x86-64-dev winpthreads ;;
  *) return 1 ;;
  esac
}
while IFS= read -r dll; do
  relative=${dll#"$dist"/}
  if ! notice=$(notice_of "$relative"); then
    echo "package.sh: no licence file is known for $relative; add it to notice_of and packaging/copyright." >&2
    exit 1
  fi
  [ -n "$notice" ] || continue
  read -r package name <<<"$notice"
  cp "/usr/share/doc/$package/copyright" "$third/$name.txt"
done < <(find "$dist" -iname '*.dll' | sort)

makensis -V2 -DVERSION="$version" -DDIST="$dist" -DOUTFILE="$setup" -DLICENSE="$root/LICENSE" \
  "$root/packaging/windows/soranika.nsi"
rm -f "$portable"
(cd "$build/dist" && zip -qr9 "$portable" "ソラニカ")

# The check, in a Wine prefix of its own so the test prefix stays as it is.
export SORANIKA_WINEPREFIX="$build/wine-package-check"
export WINEPREFIX="$SORANIKA_WINEPREFIX"
rm -rf "$WINEPREFIX"
xvfb-run -a -s "-screen 0 1280x800x24" bash "$here/check-installer.sh" "$setup"

ls -l "$setup" "$portable"
echo "Installer: $(du -h "$setup" | cut -f1), portable ZIP: $(du -h "$portable" | cut -f1)."
