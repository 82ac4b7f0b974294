#!/usr/bin/env bash
# Screenshots of the six base dialog templates as the user sees them, from
# the real DLL under wine on a private X server with a Japanese font:
#
#   scripts/dialog-screenshots.sh <win32 build folder> [output folder]
#
# The win32 test host opens each dialog through the requests that open it
# (DialogRun.screenshotsOfTheBaseTemplates, which captures each one to a
# BMP file); the pictures end up as PNG files in docs/dialogs by default.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?win32 build folder}" && pwd)
out=${2:-$root/docs/dialogs}
shots="$build/dialog-shots"
mkdir -p "$shots" "$out"
rm -f "$shots"/*.bmp

display=:96
Xvfb "$display" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1

export DISPLAY=$display
export TAVIX_WINEPREFIX="${TAVIX_WINEPREFIX:-$build/shots-wineprefix}"
export TAVIX_DIALOG_SHOTS="Z:${shots//\//\\}"
cd "$build"
"$root/scripts/wine-env.sh" wine explorer /desktop=tavix,800x600 dll_tests.exe \
  --gtest_filter=DialogRun.screenshotsOfTheBaseTemplates </dev/null
for bmp in "$shots"/*.bmp; do
  convert "$bmp" "$out/$(basename "${bmp%.bmp}").png"
done
ls "$out"
