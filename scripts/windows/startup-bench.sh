#!/usr/bin/env bash
# Start-up of soranika.exe under Wine against a bare Qt window with the same caption and buttons built
# with the same toolchain (tools/BareWindow.cpp), also under Wine: wall-clock from starting the program
# until its window is on the X display, the two taken in turn, ROUNDS times each (9 unless told).
# Prints the medians and their ratio. A benchmark, not a test: it fails only when a window never comes.
#
# soranika.exe starts in a copy of the demo shop of its own each round, so every start is a first one.
# One Wine server serves all the runs, as it does for a shop's every start after the first.
#
#   startup-bench.sh BUILD_FOLDER [ROUNDS]
set -euo pipefail

build=$(cd "$1" && pwd)
rounds=${2:-9}
here=$(cd "$(dirname "$0")" && pwd)
work="$build/startup-bench"

if [ -z "${SORANIKA_XVFB:-}" ]; then
  export SORANIKA_WINEPREFIX="$build/wine-bench"
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env SORANIKA_XVFB=1 bash "$0" "$@"
fi
export WINEPREFIX=$SORANIKA_WINEPREFIX

bash "$here/wine.sh" cmd /c exit
user=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
rm -rf "$work"
python3 "$here/../make-sample-data" "$work/demo" --appdata "$user/AppData/Roaming" --force >/dev/null
wineserver -p 2>/dev/null || true

# Milliseconds from the start of PROGRAM (a path in BUILD) until its window captioned ソラニカ shows.
startup_ms() {
  local program=$1 folder=$2 start pid shown
  start=$(date +%s%N)
  (cd "$folder" && exec bash "$here/wine.sh" "Z:${build//\//\\}\\$program") >/dev/null 2>&1 &
  pid=$!
  # Looked for every 10 ms: xdotool's own wait looks only twice a second.
  until xdotool search --onlyvisible --name '^ソラニカ$' >/dev/null 2>&1; do
    if [ $(($(date +%s%N) - start)) -gt 60000000000 ]; then
      echo "startup-bench.sh: $program showed no window" >&2
      kill -9 "$pid" 2>/dev/null || true
      exit 1
    fi
    sleep 0.01
  done
  shown=$(date +%s%N)
  # Every process of the run ends before the next starts; the server stays.
  bash "$here/wine.sh" taskkill /f /im "$program" >/dev/null 2>&1 || true
  wait "$pid" 2>/dev/null || true
  while xdotool search --onlyvisible --name '^ソラニカ$' >/dev/null 2>&1; do sleep 0.1; done
  echo $(((shown - start) / 1000000))
}

median() { printf '%s\n' "$@" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

bare=()
program=()
for round in $(seq 1 "$rounds"); do
  bare+=("$(startup_ms soranika_bare_window.exe "$build")")
  rm -rf "$work/shop"
  cp -r "$work/demo" "$work/shop"
  program+=("$(startup_ms soranika.exe "$work/shop")")
  echo "round $round: bare window ${bare[-1]} ms, soranika.exe ${program[-1]} ms"
done
wineserver -k 2>/dev/null || true
b=$(median "${bare[@]}")
p=$(median "${program[@]}")
echo "Medians of $rounds rounds, wall-clock from the start until the window shows under Wine:"
echo "  soranika.exe $p ms, bare Qt window $b ms, ratio $(awk -v p="$p" -v b="$b" 'BEGIN { printf "%.2f", p / b }')"
