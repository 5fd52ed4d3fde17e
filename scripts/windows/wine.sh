#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own 64-bit Wine prefix (SORANIKA_WINEPREFIX, by
# default ~/.cache/soranika/wine64), made on first use with the IPA Japanese fonts in C:\windows\Fonts so
# Qt finds Japanese faces. The toolchain prefix's DLLs and plugins and the compiler's runtime are found
# through WINEPATH and QT_PLUGIN_PATH, so test programs run from the build folder as they are.
#
#   wine.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail

prefix=${SORANIKA_WIN64_PREFIX:-$HOME/.cache/soranika/win64}
triple=x86_64-w64-mingw32
export WINEPREFIX=${SORANIKA_WINEPREFIX:-$HOME/.cache/soranika/wine64}
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
# No dialog offering to install Mono or Gecko, which the programs do not use.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}


wine=$(command -v wine64 || command -v wine)

if [ ! -f "$WINEPREFIX/.soranika-ready" ]; then
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >/dev/null 2>&1 || true
  "$(dirname "$wine")/wineserver" -w || true
  fonts="$WINEPREFIX/drive_c/windows/Fonts"
  mkdir -p "$fonts"
  found=0
  for font in /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/truetype/fonts-japanese-gothic.ttf; do
    [ -f "$font" ] || continue
    cp -L "$font" "$fonts/"
    found=1
  done
  if [ "$found" = 0 ]; then
    echo "wine.sh: no IPA Gothic font found (apt-get install fonts-ipafont-gothic)" >&2
    exit 1
  fi
  # Marlett (fonts-wine) draws the window buttons; this Wine does not look for it where Debian puts it.
  if [ -f /usr/share/wine/fonts/marlett.ttf ]; then
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
  # Wine draws window titles in Tahoma, which has no Japanese: the IPA face fills in for it, as the
  # Japanese faces do on a Japanese Windows.
  for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
    "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$face" /t REG_MULTI_SZ /d "ipagp.ttf,IPAPGothic" /f >/dev/null 2>&1
  done
  "$(dirname "$wine")/wineserver" -w || true
  touch "$WINEPREFIX/.soranika-ready"
fi

to_windows() { echo "Z:${1//\//\\}"; }
runtime=$(dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)")
gcc_runtime=$(dirname "$($triple-gcc-posix -print-file-name=libgcc_s_seh-1.dll)")
export WINEPATH="$(to_windows "$prefix/bin");$(to_windows "$runtime");$(to_windows "$gcc_runtime");$(to_windows "/usr/$triple/lib")"
export QT_PLUGIN_PATH
QT_PLUGIN_PATH=$(to_windows "$prefix/plugins")
exec "$wine" "$@"
