#!/usr/bin/env bash
# Runs Windows test programs under Wine (scripts/windows/wine.sh) on Qt's Windows platform, all under
# one Xvfb display and one Wine server, and reports how many passed.
#
#   test.sh BUILD_FOLDER TEST_NAME...
set -euo pipefail

build=$1
shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${SORANIKA_WINEPREFIX:-$HOME/.cache/soranika/wine64}

run_all() {
  # One Wine server for the whole run: each program then starts in a second instead of several.
  wineserver -p 2>/dev/null || true
  local failed=() passed=0 name exe log
  rm -f "$build"/wine-*.log
  for name in "$@"; do
    exe=$(find "$build" -name "$name.exe" -print -quit)
    if [ -z "$exe" ]; then
      echo "FAIL $name: $name.exe was not built"
      failed+=("$name")
      continue
    fi
    log="$build/wine-$name.log"
    # -maxwarnings 0: every warning of Qt shows in the log.
    if (cd "$(dirname "$exe")" && timeout 600 "$here/wine.sh" "./$name.exe" -maxwarnings 0) >"$log" 2>&1; then
      passed=$((passed + 1))
      echo "PASS $name ($(grep -Eo 'Totals: [0-9]+ passed' "$log" | head -1))"
    else
      failed+=("$name")
      echo "FAIL $name (log: $log)"
      grep -E '^FAIL!|Loc:' "$log" | head -20 || true
    fi
  done
  wineserver -k 2>/dev/null || true
  local total
  total=$(cat "$build"/wine-*.log 2>/dev/null | grep -Eo 'Totals: [0-9]+ passed' | awk '{s += $2} END {print s + 0}')
  echo "Windows tests under Wine: $passed of $# programs passed, $total test functions passed in all."
  [ ${#failed[@]} -eq 0 ]
}

export -f run_all
export build here
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c 'run_all "$@"' run_all "$@"
