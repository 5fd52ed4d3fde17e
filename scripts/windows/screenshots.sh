#!/usr/bin/env bash
# The Windows program as a shop sees it: soranika.exe under Wine in a fresh demo shop
# (scripts/make-sample-data), in a Wine desktop of its own under Xvfb so the window has Windows' frame.
# Writes the start screen and the chart screen, cut to the window, as OUT/windows-start.png and
# OUT/windows-chart.png.
#
#   screenshots.sh BUILD_FOLDER OUT_FOLDER
set -euo pipefail

build=$(cd "$1" && pwd)
out=$(cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
shop="$build/screenshot-shop"

if [ -z "${SORANIKA_XVFB:-}" ]; then
  # A prefix of its own, so the shop details written below stay out of the test prefix.
  export SORANIKA_WINEPREFIX="$build/wine-screenshots"
  rm -rf "$shop"
  exec xvfb-run -a -s "-screen 0 1024x720x24" env SORANIKA_XVFB=1 bash "$0" "$@"
fi
export WINEPREFIX=$SORANIKA_WINEPREFIX

# The prefix is made on the first run; the demo writes its shop details where the program keeps its
# settings (%APPDATA%), as it does for a shop made by hand.
bash "$here/wine.sh" cmd /c exit
user=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
python3 "$here/../make-sample-data" "$shop" --appdata "$user/AppData/Roaming" --force >/dev/null

# Waits until the desktop shows a window other than BEFORE's, then writes it, cut out of the desktop.
capture() {
  local file=$1 before=${2:-} size
  for _ in $(seq 1 60); do
    sleep 1
    import -window root "$file.full.png"
    convert "$file.full.png" -trim +repage "$file" 2>/dev/null
    size=$(identify -format '%wx%h' "$file")
    if [ "${size%x*}" -gt 300 ] && [ "$size" != "$before" ]; then
      sleep 2
      import -window root "$file.full.png"
      convert "$file.full.png" -trim +repage "$file" 2>/dev/null
      rm -f "$file.full.png"
      identify -format '%wx%h' "$file"
      return
    fi
  done
  echo "screenshots.sh: no window showed for $file" >&2
  exit 1
}

cd "$shop"
bash "$here/wine.sh" explorer /desktop=soranika,1024x720 "Z:${build//\//\\}\\soranika.exe" >/dev/null 2>&1 &
start=$(capture "$out/windows-start.png")
# The start button has the focus: a space presses it.
xdotool key space
capture "$out/windows-chart.png" "$start" >/dev/null
wineserver -k 2>/dev/null || true
echo "screenshots.sh: $out/windows-start.png and $out/windows-chart.png"
