#!/usr/bin/env bash
# Runs Windows test programs under Wine (scripts/windows/wine.sh) on Qt's Windows platform, all under
# one Xvfb display and one Wine server, and reports how many passed.
#
#   test.sh BUILD_FOLDER TEST_NAME...
set -euo pipefail

build=$(cd "$1" && pwd)
shift
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX=${SORANIKA_WINEPREFIX:-$HOME/.cache/soranika/wine64}

run_all() {
  # One Wine server for the whole run: each program then starts in a second instead of several.
  wineserver -p 2>/dev/null || true
  local failed=() passed=0 name exe log
  rm -f "$build"/wine-*.log "$build"/wine-*.log.wine
  for name in "$@"; do
    exe=$(find "$build" -name "$name.exe" -print -quit)
    if [ -z "$exe" ]; then
      echo "FAIL $name: $name.exe was not built"
      failed+=("$name")
      continue
    fi
    log="$build/wine-$name.log"
    rm -f "$log"
    # A console program under Wine writes nothing the Linux side sees, so QtTest writes its report into
    # a file (-o). -maxwarnings 0: every warning of Qt shows in it.
    if (cd "$(dirname "$exe")" &&
      timeout 900 "$here/wine.sh" "./$name.exe" -maxwarnings 0 -o "Z:${log//\//\\},txt") >"$log.wine" 2>&1 &&
      grep -Eq '^Totals: [0-9]+ passed, 0 failed' "$log"; then
      passed=$((passed + 1))
      echo "PASS $name ($(grep -Eo '^Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$log"))"
    else
      failed+=("$name")
      echo "FAIL $name (log: $log)"
      grep -hE '^FAIL!|Loc:|^Totals' "$log" 2>/dev/null | head -20 || tail -5 "$log.wine"
    fi
  done
  wineserver -k 2>/dev/null || true
  local total
  total=$(cat "$build"/wine-*.log 2>/dev/null | sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' | awk '{s += $1} END {print s + 0}')
  echo "Windows tests under Wine: $passed of $# programs passed, $total test functions passed in all."
  [ ${#failed[@]} -eq 0 ]
}

# The script runs itself again inside xvfb-run: a function exported to a child bash does not pass
# through xvfb-run's sh.
if [ -z "${SORANIKA_XVFB:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env SORANIKA_XVFB=1 bash "$0" "$build" "$@"
fi
run_all "$@"
