#!/usr/bin/env bash
# Lays beside a Windows program what it needs to start on a bare Windows: the DLLs it imports, found by
# walking the import tables (x86_64-w64-mingw32-objdump -p) of the program, of each DLL found and of the
# Qt plugins, never from a hand-kept list; the Qt plugins (platform, SQLite driver, styles, printing);
# Qt's Japanese texts; and a qt.conf that tells Qt to look beside the program.
#
#   deploy.sh FOLDER PROGRAM.exe...
set -euo pipefail

dest=$1
shift
prefix=${SORANIKA_WIN64_PREFIX:-$HOME/.cache/soranika/win64}
triple=x86_64-w64-mingw32
objdump=$triple-objdump

# Where imported DLLs are looked for: the toolchain prefix, then the compiler's runtime. A DLL found in
# none of them is one of Windows' own.
search=("$prefix/bin")
while IFS= read -r dir; do search+=("$dir"); done < <(
  dirname "$($triple-g++-posix -print-file-name=libstdc++-6.dll)"
  dirname "$($triple-gcc-posix -print-file-name=libgcc_s_seh-1.dll)"
  echo "/usr/$triple/lib"
)

find_dll() {
  local name=$1 dir
  for dir in "${search[@]}"; do
    # DLL names are case-insensitive on Windows.
    local hit
    hit=$(find "$dir" -maxdepth 1 -iname "$name" -print -quit 2>/dev/null || true)
    if [ -n "$hit" ]; then
      echo "$hit"
      return
    fi
  done
}

imports() {
  "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

mkdir -p "$dest"
plugins=()
for kind in platforms/qwindows.dll sqldrivers/qsqlite.dll styles printsupport; do
  for plugin in "$prefix/plugins/$kind" "$prefix/plugins/$kind"/*.dll; do
    [ -f "$plugin" ] || continue
    folder=$(basename "$(dirname "$plugin")")
    mkdir -p "$dest/$folder"
    cp -u "$plugin" "$dest/$folder/"
    plugins+=("$dest/$folder/$(basename "$plugin")")
  done
done
if [ ! -f "$dest/platforms/qwindows.dll" ]; then
  echo "deploy.sh: $prefix/plugins/platforms/qwindows.dll is missing; is the toolchain complete?" >&2
  exit 1
fi

declare -A seen=()
queue=("$@" "${plugins[@]}")
while [ ${#queue[@]} -gt 0 ]; do
  file=${queue[0]}
  queue=("${queue[@]:1}")
  while IFS= read -r name; do
    key=${name,,}
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    dll=$(find_dll "$name")
    [ -n "$dll" ] || continue
    cp -u "$dll" "$dest/"
    queue+=("$dll")
  done < <(imports "$file")
done

mkdir -p "$dest/translations"
cp -u /usr/share/qt6/translations/qtbase_ja.qm "$dest/translations/"
printf '[Paths]\nPrefix = .\nPlugins = .\nTranslations = translations\n' >"$dest/qt.conf"
echo "deploy.sh: $(find "$dest" -maxdepth 1 -iname '*.dll' | wc -l) DLLs and ${#plugins[@]} plugins beside $*"
