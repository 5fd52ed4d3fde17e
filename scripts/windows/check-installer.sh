#!/usr/bin/env bash
# Under a display: installs SETUP silently in the Wine prefix WINEPREFIX, starts the installed program
# as its shortcut does (in Documents\ソラニカ, with a demo shop's files), waits for its start screen,
# closes it by Alt+F4 and checks that it ends, then uninstalls and checks that the program is gone and
# the data folder with its files is still there.
#
#   check-installer.sh SETUP.exe
set -euo pipefail

setup=$1
here=$(cd "$(dirname "$0")" && pwd)
fail() {
  echo "check-installer: $*" >&2
  wineserver -k 2>/dev/null || true
  exit 1
}

# Wine links the user's Documents to the Linux home folder: the check's shop gets a folder of its own.
bash "$here/wine.sh" cmd /c exit
user_dir=$(find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 -type d ! -name Public | head -n1)
if [ -L "$user_dir/Documents" ]; then
  rm "$user_dir/Documents"
  mkdir "$user_dir/Documents"
fi

bash "$here/wine.sh" "$setup" /S
wineserver -w
program_dir="$user_dir/AppData/Local/Programs/ソラニカ"
data_dir=$(find -L "$user_dir" -maxdepth 2 -type d -name "ソラニカ" ! -path "*/AppData/*" | head -n1)
[ -f "$program_dir/soranika.exe" ] || fail "soranika.exe was not installed in $program_dir"
[ -n "$data_dir" ] || fail "Documents\\ソラニカ was not created"
find "$user_dir" -name "ソラニカ.lnk" | grep -q . || fail "no shortcut was made"
echo "check-installer: installed in ${program_dir#"$WINEPREFIX/"}, data folder ${data_dir#"$WINEPREFIX/"}"

# A shop's files, so the program writes its daily backup in the background as it starts.
python3 "$here/../make-sample-data" "$data_dir" >/dev/null

# The installed program, without the toolchain's DLLs on the path: it must start from its own folder.
(cd "$data_dir" && WINEPREFIX="$WINEPREFIX" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
  wine "$program_dir/soranika.exe" >/dev/null 2>&1 &)
for _ in $(seq 1 60); do
  if xdotool search --name "^ソラニカ$" >/dev/null 2>&1; then
    break
  fi
  sleep 1
done
xdotool search --name "^ソラニカ$" >/dev/null 2>&1 || fail "the installed program showed no start screen"
echo "check-installer: the installed program shows its start screen"
if [ -n "${SORANIKA_SCREENSHOT:-}" ]; then
  import -window root "$SORANIKA_SCREENSHOT"
fi
# Closed as a shop closes it; the program must then end by itself, its daily backup written.
sleep 5
xdotool windowfocus --sync "$(xdotool search --name "^ソラニカ$" | head -n1)" key alt+F4
timeout 60 wineserver -w || fail "the installed program did not end after its window was closed"
ls "$data_dir/バックアップ"/*.zip >/dev/null 2>&1 || fail "the installed program wrote no daily backup"
echo "check-installer: the installed program ends when its window is closed, its daily backup written"

echo "kept" >"$data_dir/check.txt"
# The uninstaller copies itself away and runs from there; the Wine server ends when it is done.
bash "$here/wine.sh" "$program_dir/uninstall.exe" /S
wineserver -w
[ ! -e "$program_dir" ] || fail "the uninstaller left ${program_dir#"$WINEPREFIX/"} behind"
[ -f "$data_dir/check.txt" ] || fail "the uninstaller touched Documents\\ソラニカ"
find "$user_dir" -name "ソラニカ.lnk" | grep -q . && fail "the uninstaller left a shortcut behind"
echo "check-installer: uninstalled; Documents\\ソラニカ and its files are kept"
