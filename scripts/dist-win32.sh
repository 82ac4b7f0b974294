#!/usr/bin/env bash
# The Windows download: build/dist/TAVIXDRV-VERSION-win32.zip with the DLL,
# the installation note for the CAD host, the licence and the third-party
# list (texts with Windows line ends).
#   scripts/dist-win32.sh   (after `make win32`)
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(tavixdrv VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
dll=build/win32/TAVIXDRV.dll
[ -f "$dll" ] || { echo "dist-win32.sh: $dll is missing (make win32)" >&2; exit 1; }
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
name=TAVIXDRV-$version-win32
mkdir "$stage/$name"
cp "$dll" "$stage/$name/TAVIXDRV.dll"
sed -e "s/@VERSION@/$version/" -e 's/$/\r/' packaging/win32/INSTALL.txt >"$stage/$name/INSTALL.txt"
sed -e 's/$/\r/' LICENSE >"$stage/$name/LICENSE.txt"
sed -e 's/$/\r/' THIRD-PARTY.spdx >"$stage/$name/THIRD-PARTY.spdx"
mkdir -p build/dist
rm -f "build/dist/$name.zip"
(cd "$stage" && zip -q -X -r - "$name") >"build/dist/$name.zip"
echo "build/dist/$name.zip"
