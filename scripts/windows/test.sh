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

prefix=${SORANIKA_WIN64_PREFIX:-$HOME/.cache/soranika/win64}

run_all() {
  # Windows inside a Wine desktop of their own, as on Windows, rather than X windows with no window
  # manager to answer them: a suite then runs in seconds where it waited minutes for its windows.
  "$here/wine.sh" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
  "$here/wine.sh" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d 1280x1024 /f \
    >/dev/null 2>&1
  # The desktop is chosen as the Wine server starts: the one that wrote the setting into a new prefix
  # ends first, or the first programs get windows with no window manager to answer them, and hang.
  wineserver -w 2>/dev/null || true
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
    # Qt's Japanese texts (the message boxes' buttons) from the program's deployment beside it, the rest
    # of Qt from the toolchain.
    # (qt.conf is read as an INI file, where a backslash escapes: the paths take forward slashes.)
    printf '[Paths]\nPrefix = Z:%s\nTranslations = Z:%s\n' "$prefix" "$build/translations" \
      >"$(dirname "$exe")/qt.conf"
    # The plot and ZIP modules, loaded when first needed, beside the test program as beside soranika.exe.
    for module in soranika_plots.dll soranika_zip.dll; do
      if [ -f "$build/$module" ]; then cp -u "$build/$module" "$(dirname "$exe")/"; fi
    done
    log="$build/wine-$name.log"
    rm -f "$log"
    # A console program under Wine writes nothing the Linux side sees, so QtTest writes its report into
    # a file (-o). -maxwarnings 0: every warning of Qt shows in it.
    local status=0
    (cd "$(dirname "$exe")" &&
      timeout 300 "$here/wine.sh" "./$name.exe" -maxwarnings 0 -o "Z:${log//\//\\},txt") >"$log.wine" 2>&1 ||
      status=$?
    if [ "$status" = 0 ] && grep -Eq '^Totals: [0-9]+ passed, 0 failed' "$log"; then
      passed=$((passed + 1))
      echo "PASS $name ($(grep -Eo '^Totals: [0-9]+ passed, [0-9]+ failed, [0-9]+ skipped' "$log"))"
    else
      failed+=("$name")
      if grep -q '^Totals: [0-9]* passed, 0 failed' "$log" 2>/dev/null; then
        # 124: the time ran out.
        echo "FAIL $name: every case passed, but the program did not end cleanly (status $status; log: $log)"
      else
        echo "FAIL $name (log: $log)"
      fi
      grep -hE '^FAIL!|Loc:|^Totals' "$log" 2>/dev/null | head -20 || tail -5 "$log.wine"
    fi
  done
  wineserver -k 2>/dev/null || true
  local total
  total=$(cat "$build"/wine-*.log 2>/dev/null | sed -n 's/^Totals: \([0-9]*\) passed.*/\1/p' | awk '{s += $1} END {print s + 0}')
  echo "Windows tests under Wine: $passed of $# programs passed, $total test cases passed in all."
  [ ${#failed[@]} -eq 0 ]
}

# The script runs itself again inside xvfb-run: a function exported to a child bash does not pass
# through xvfb-run's sh.
if [ -z "${SORANIKA_XVFB:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" env SORANIKA_XVFB=1 bash "$0" "$build" "$@"
fi
run_all "$@"
