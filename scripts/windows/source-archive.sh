#!/usr/bin/env bash
# Writes one archive of the exact sources the Windows binaries are built from, for whoever passes the
# installer on (GPL-3 section 6): the program's source at HEAD (git archive), with the toolchain script
# that builds everything, and each Debian source package that scripts/windows/toolchain.sh unpacked
# and built, as Debian ships it (.dsc, .orig and .debian files), or the unpacked folder where those
# files are gone. The MinGW runtime DLLs shipped beside the program (libgcc_s_seh-1.dll and
# libstdc++-6.dll from gcc-mingw-w64 and the GCC source it was built with, libwinpthread-1.dll from
# mingw-w64) come with the exact Debian source packages of the installed versions, fetched once with
# apt-get source: about 100 MB, most of it GCC's, which a shop passing the installer on can still hand
# over on any USB stick. A runtime source the mirror no longer has is named in third-party/MISSING.txt.
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

# The runtime's source packages at the versions installed here, and those their build used (Built-Using).
runtime_sources() {
  local package
  for package in gcc-mingw-w64-x86-64-posix-runtime mingw-w64-x86-64-dev; do
    dpkg-query -W -f '${source:Package} ${source:Version}\n${Built-Using}\n' "$package" |
      sed 's/, */\n/g; s/ *(= */ /; s/)//' | sed '/^$/d'
  done | sort -u
}
runtime=$(runtime_sources)
missing=()
if [ -z "$runtime" ]; then
  echo "source-archive.sh: the MinGW runtime packages are not installed (scripts/windows/toolchain.sh)." >&2
  exit 1
fi
while read -r package version; do
  dir="$work/runtime-src/$package"
  # Fetched beside the folder and moved in whole, so a download cut short is never taken for a source.
  if [ ! -d "$dir" ]; then
    rm -rf "$dir.part"
    mkdir -p "$dir.part"
    if ! (cd "$dir.part" && apt-get source -q --download-only "$package=$version" >&2); then
      # The runtime DLLs may be passed on without their source (the GCC Runtime Library Exception; the
      # MIT licence of winpthreads): it comes along as a courtesy, and a package the mirror has lost
      # is named in the archive instead of holding back the sources the licences ask for.
      echo "source-archive.sh: warning: the source of $package $version cannot be fetched (apt-get source);" \
        "the archive names it in third-party/MISSING.txt." >&2
      missing+=("$package $version: not on the package mirror when this archive was written (apt-get source failed)")
      rm -rf "$dir.part"
      continue
    fi
    mv "$dir.part" "$dir"
  fi
done <<<"$runtime"

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
while read -r package version; do
  dir="$work/runtime-src/$package"
  [ -d "$dir" ] || continue
  mapfile -t files < <(cd "$dir" && find . -maxdepth 1 -type f -printf '%P\n' | sort)
  tar -rf "$archive" --owner=0 --group=0 --transform "s|^|third-party/$package/|" -C "$dir" "${files[@]}"
  echo "source-archive.sh: $package $version (MinGW runtime): ${files[*]}"
done <<<"$runtime"
if [ ${#missing[@]} -gt 0 ]; then
  notes=$(mktemp -d)
  printf 'Sources of the MinGW runtime that could not be fetched:\n' >"$notes/MISSING.txt"
  printf '%s\n' "${missing[@]}" >>"$notes/MISSING.txt"
  tar -rf "$archive" --owner=0 --group=0 --transform "s|^|third-party/|" -C "$notes" MISSING.txt
  rm -rf "$notes"
fi
xz -T2 -f "$archive"
ls -l "$archive.xz"
