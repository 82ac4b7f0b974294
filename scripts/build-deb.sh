#!/usr/bin/env bash
# Builds the Debian packages (tavix, printer-driver-tavix) with Debian's own
# tools into build/deb/. The version is the project's (CMakeLists.txt); the
# package changelog is made from it here, so it is set in one place.
#
#   scripts/build-deb.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=$(sed -n 's/^project(tavixdrv VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
[ -n "$version" ] || { echo "build-deb.sh: no project version in CMakeLists.txt" >&2; exit 1; }

out=$root/build/deb
source=$out/tavix-$version
rm -rf "$out"
mkdir -p "$source"
# The tracked files as they are in the work tree (changes not yet committed
# included), without any build output.
git ls-files -z --cached --others --exclude-standard | grep -zv '^build/' |
  while IFS= read -r -d '' f; do [ -e "$f" ] && printf '%s\0' "$f"; done |
  tar --null -T - -cf - | tar -xf - -C "$source"
cp -r packaging/debian "$source/debian"
# The date of the last commit keeps the packages reproducible.
date=$(git log -1 --format=%aD 2>/dev/null || date -R)
sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$date/" packaging/debian/changelog.in > "$source/debian/changelog"
rm "$source/debian/changelog.in"

cd "$source"
dpkg-buildpackage -b -us -uc -j"$(nproc)"
cd "$out"
rm -rf "$source"
ls -1 "$out"/*.deb
