#!/usr/bin/env bash
# The Windows download holds the DLL that the win32 tests ran, the
# installation note with the project's version, the licence and the
# third-party list, and nothing else.
set -euo pipefail
cd "$(dirname "$0")/.."
version=$(sed -n 's/^project(tavixdrv VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
zip=$(scripts/dist-win32.sh)
name=TAVIXDRV-$version-win32
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
unzip -q "$zip" -d "$unpacked"
passed=0 failed=0
check() { if "${@:2}"; then passed=$((passed + 1)); echo "ok: $1"; else failed=$((failed + 1)); echo "FAILED: $1"; fi; }
listing() { (cd "$unpacked" && find . -type f | LC_ALL=C sort | tr '\n' ' '); }
expected="./$name/INSTALL.txt ./$name/LICENSE.txt ./$name/TAVIXDRV.dll ./$name/THIRD-PARTY.spdx "
check "the zip holds the DLL, the note, the licence and the list" [ "$(listing)" = "$expected" ]
check "the DLL is the one built" cmp -s "$unpacked/$name/TAVIXDRV.dll" build/win32/TAVIXDRV.dll
check "the note names the version" grep -q "TAVIXDRV $version " "$unpacked/$name/INSTALL.txt"
check "the texts have Windows line ends" grep -q $'\r$' "$unpacked/$name/LICENSE.txt"
check "the licence is the GPL version 3" grep -q "GNU GENERAL PUBLIC LICENSE" "$unpacked/$name/LICENSE.txt"
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
