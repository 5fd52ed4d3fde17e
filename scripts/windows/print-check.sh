#!/usr/bin/env bash
# Prints a chart and its sale-time explanation sheet from the Windows build under Wine, through Wine's
# PostScript driver on a printer of the check's own, and compares each page line by line with the
# Linux build's printout of the same chart of the same demo shop (scripts/make-sample-data).
#
# Both builds print with soranika_printsample (tools/PrintSample.cpp), which opens the chart screen and
# runs データプリント and 販売時説明書を印刷 as the shop does, with a fixed clock so the headers agree.
# No CUPS server is needed: the printer's port hands each job to a shell command that keeps it in a
# file. The jobs are rendered with Ghostscript (PNG pages in the work folder, for a look) and their text
# is read back from the glyphs Wine drew (scripts/windows/print_text.py).
#
#   print-check.sh WINDOWS_BUILD LINUX_BUILD
set -euo pipefail

build=$(cd "$1" && pwd)
linux=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
work="$build/print-check"
chart=1
# Debian's Python, which has fontTools (python3-fonttools), whatever python3 comes first on the PATH.
python=/usr/bin/python3

if [ -z "${SORANIKA_XVFB:-}" ]; then
  rm -rf "$work"
  mkdir -p "$work/linux" "$work/windows" "$work/jobs"
  python3 "$here/../make-sample-data" "$work/linux/shop" --tools "$linux" >/dev/null
  (cd "$work/linux/shop" && env QT_QPA_PLATFORM=offscreen LANG=ja_JP.UTF-8 \
    XDG_CONFIG_HOME="$work/linux/shop/.config" "$linux/soranika_printsample" "$chart" "$work/linux")
  # A prefix of its own, so its printer and shop details stay out of the test and screenshot prefixes.
  export SORANIKA_WINEPREFIX="$build/wine-print"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env SORANIKA_XVFB=1 bash "$0" "$@"
fi
export WINEPREFIX=$SORANIKA_WINEPREFIX
wine() { bash "$here/wine.sh" "$@"; }

# The prefix is made on the first run; the printer is set up again on each, as it is cheap.
wine cmd /c exit
x86_64-w64-mingw32-gcc-posix -municode -O2 -Wall -Wextra -Werror -o "$build/add-printer.exe" \
  "$here/add-printer.c" -lwinspool
# Each job in a file of its own, named in the order the jobs came.
wine reg add 'HKCU\Software\Wine\Printing\Spooler' /v 'LPT1:' /t REG_SZ \
  /d "|cat > '$work/jobs/'\$(date +%s%N).ps" /f >/dev/null 2>&1
wine "$build/add-printer.exe" soranika-print 'C:\windows\temp\soranika-print.ppd'

user=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
python3 "$here/../make-sample-data" "$work/windows/shop" --tools "$linux" --appdata "$user/AppData/Roaming" \
  --force >/dev/null
status=0
(cd "$work/windows/shop" && timeout 300 bash "$here/wine.sh" "Z:${build//\//\\}\\soranika_printsample.exe" "$chart") \
  >"$work/windows/printsample.log" 2>&1 || status=$?
wineserver -k 2>/dev/null || true
if [ "$status" != 0 ]; then
  echo "print-check.sh: the Windows build did not print (status $status; log: $work/windows/printsample.log)"
  exit 1
fi

mapfile -t jobs < <(find "$work/jobs" -name '*.ps' | sort)
if [ ${#jobs[@]} != 2 ]; then
  echo "print-check.sh: ${#jobs[@]} print jobs came from the Windows build, 2 were expected"
  exit 1
fi
failed=0
for i in 0 1; do
  document=$([ "$i" = 0 ] && echo カルテ || echo 説明書)
  cp "${jobs[$i]}" "$work/windows/$document.ps"
  # Ghostscript renders every page, or the job is no PostScript a printer would take.
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r100 -sOutputFile="$work/windows/$document-%d.png" \
    "$work/windows/$document.ps"
  "$python" "$here/print_text.py" "$WINEPREFIX/drive_c/windows/Fonts" "$work/linux/$document.pdf" \
    "$work/windows/$document.ps" || failed=1
done
if [ "$failed" = 0 ]; then
  echo "print-check.sh: the Windows build prints chart $chart and its explanation sheet as the Linux build does"
fi
exit "$failed"
