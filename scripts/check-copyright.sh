#!/usr/bin/env bash
# Checks that packaging/copyright gives a notice for every component the program brings along, so a new
# dependency cannot ship without one.
#
#   check-copyright.sh COPYRIGHT --elf PROGRAM...  every library a Linux program or module links directly
#                                                  (its NEEDED entries) comes from a Debian package that
#                                                  COPYRIGHT names; only the C library counts as the system
#   check-copyright.sh COPYRIGHT --dlls FOLDER     every DLL under a deployed Windows folder matches a
#                                                  pattern of a Files field of COPYRIGHT
#
# Prints each component without a notice and fails when there is one.
set -euo pipefail

copyright=$1
mode=$2
shift 2
missing=0

case $mode in
--elf)
  for program in "$@"; do
    # NEEDED names with the paths the dynamic loader resolves them to.
    while read -r name path; do
      real=$(readlink -f "$path")
      package=""
      # With a merged /usr, dpkg knows a library under one of its two paths only.
      for candidate in "$real" "/usr$real" "${real#/usr}"; do
        package=$(dpkg -S "$candidate" 2>/dev/null | head -n1 | cut -d: -f1) && [ -n "$package" ] && break
      done
      if [ -z "$package" ]; then
        echo "$(basename "$program"): $name ($real) belongs to no Debian package"
        missing=1
      elif [ "$package" != libc6 ] && ! grep -qw -- "$package" "$copyright"; then
        echo "$(basename "$program"): $name comes from $package, which $copyright does not name"
        missing=1
      fi
    done < <(
      needed=$(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
      ldd "$program" | awk '$2 == "=>" { print $1, $3 }' | grep -F -w -f <(echo "$needed")
    )
  done
  ;;
--dlls)
  folder=$1
  # The Files fields' patterns, continuation lines included.
  patterns=$(awk '/^Files:/ { files = 1; sub(/^Files:/, ""); print; next }
                  /^[^ ]/ { files = 0 }
                  files { print }' "$copyright" | tr -s ' \t' '\n' | sed '/^$/d')
  while IFS= read -r dll; do
    relative=${dll#"$folder"/}
    found=0
    while IFS= read -r pattern; do
      [ "$pattern" = "*" ] && continue
      # shellcheck disable=SC2053 # the pattern is a glob on purpose
      if [[ $relative == $pattern ]]; then
        found=1
        break
      fi
    done <<<"$patterns"
    if [ $found -eq 0 ]; then
      echo "$relative: no Files paragraph of $copyright covers it"
      missing=1
    fi
  done < <(find "$folder" -iname '*.dll' | sort)
  ;;
*)
  echo "usage: $0 COPYRIGHT --elf PROGRAM... | --dlls FOLDER" >&2
  exit 2
  ;;
esac
exit $missing
