#!/usr/bin/env bash
# Every shared library that the given programs link (their NEEDED entries)
# comes from a Debian package that THIRD-PARTY.spdx lists (as a purl).
#   scripts/check-third-party.sh PROGRAM...
set -euo pipefail
list="$(dirname "$0")/../THIRD-PARTY.spdx"
missing=0 checked=0
cache=$(ldconfig -p)
package_of() {  # the Debian package that holds a library (usrmerge: /lib or /usr/lib)
  local path=$1 p
  for candidate in "$path" "$(readlink -f "$path")" "/usr$path" "${path#/usr}"; do
    p=$(dpkg -S "$candidate" 2>/dev/null | head -1 | cut -d: -f1) && [ -n "$p" ] && { echo "$p"; return; }
  done
}
for program in "$@"; do
  for library in $(readelf -d "$program" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'); do
    # The sanitizer runtimes come with a test build only; no shipped program links them.
    case $library in libasan.so* | libubsan.so* | liblsan.so* | libtsan.so*) continue ;; esac
    path=$(awk -v l="$library" '$1 == l && /x86-64|x86_64/ {print $NF; exit}' <<<"$cache")
    [ -n "$path" ] || path=$(awk -v l="$library" '$1 == l {print $NF; exit}' <<<"$cache")
    package=$(package_of "$path")
    checked=$((checked + 1))
    if [ -z "$package" ]; then
      echo "$(basename "$program"): $library ($path) belongs to no Debian package"; missing=1
    elif ! grep -q "purl pkg:deb/debian/$package\$" "$list"; then
      echo "$(basename "$program"): $library comes from $package, which THIRD-PARTY.spdx does not list"; missing=1
    fi
  done
done
[ "$checked" -gt 0 ] || { echo "no linked library found"; exit 1; }
[ "$missing" -eq 0 ] && echo "all $checked linked libraries are listed"
exit $missing
