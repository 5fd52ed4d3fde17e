#!/usr/bin/env bash
# Writes one archive of the exact sources the Windows binaries are built from, for whoever passes the
# installer on (GPL-3 section 6): the program's source at HEAD (git archive), with the toolchain script
# that builds everything, and each Debian source package that scripts/windows/toolchain.sh unpacked
# and built, as Debian ships it (.dsc, .orig and .debian files), or the unpacked folder where those
# files are gone.
#
#   source-archive.sh BUILD_FOLDER      writes BUILD_FOLDER/soranika-VERSION-windows-source.tar.xz
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
work=${SORANIKA_WIN64_WORK:-$HOME/.cache/soranika/win64-work}
version=$(sed -n 's/^project(soranika VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
mkdir -p "$build"
archive="$(cd "$build" && pwd)/soranika-$version-windows-source.tar"

# The source packages are the ones the toolchain script unpacks, read from the script itself.
packages=$(grep -o 'source_of [a-z0-9][a-z0-9.+-]*' "$root/scripts/windows/toolchain.sh" | awk '{ print $2 }' |
  sort -u)
for package in $packages; do
  if ! ls -d "$work/src/$package"/*/ >/dev/null 2>&1; then
    echo "source-archive.sh: no source of $package in $work/src; run scripts/windows/toolchain.sh first." >&2
    exit 1
  fi
done

rm -f "$archive" "$archive.xz"
git -C "$root" archive --format=tar --prefix="soranika-$version/" -o "$archive" HEAD
for package in $packages; do
  dir="$work/src/$package"
  mapfile -t files < <(cd "$dir" && find . -maxdepth 1 -type f \( -name '*.dsc' -o -name '*.orig*.tar.*' \
    -o -name '*.debian.tar.*' -o -name '*.diff.gz' \) -printf '%P\n' | sort)
  if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(cd "$dir" && find . -mindepth 1 -maxdepth 1 -type d -printf '%P\n')
  fi
  tar -rf "$archive" --owner=0 --group=0 --transform "s|^|third-party/$package/|" -C "$dir" "${files[@]}"
  echo "source-archive.sh: $package: ${files[*]}"
done
xz -T2 -f "$archive"
ls -l "$archive.xz"
