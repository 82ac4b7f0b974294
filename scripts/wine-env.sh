#!/usr/bin/env bash
# Runs a command with a private, warmed-up wine prefix in build/wineprefix:
# a Japanese locale (code page 932) without touching /etc, the dialog font
# mapped to an installed Japanese font, and no graphics driver unless
# DISPLAY is set. Stops the wine server afterwards.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX="${TAVIX_WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG=-all
export WINEARCH=win32
locdir="$root/build/locale"
if [ ! -d "$locdir/ja_JP.UTF-8" ]; then
  mkdir -p "$locdir"
  localedef -i ja_JP -f UTF-8 "$locdir/ja_JP.UTF-8" >/dev/null 2>&1 || true
fi
export LOCPATH="$locdir"
export LANG=ja_JP.UTF-8
if [ ! -f "$WINEPREFIX/.tavix-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineserver -p </dev/null >/dev/null 2>&1 || true
  wine wineboot </dev/null >/dev/null 2>&1 || true
  if [ -z "${DISPLAY:-}" ]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1 || true
  fi
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d IPAPGothic /f </dev/null >/dev/null 2>&1 || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d IPAGothic /f </dev/null >/dev/null 2>&1 || true
  wineserver -k </dev/null >/dev/null 2>&1 || true
  touch "$WINEPREFIX/.tavix-ready"
fi
# Start the server and wine's helper processes with every stream redirected,
# so that they never hold the output pipes of the command below open.
wineserver -p </dev/null >/dev/null 2>&1 || true
wine wineboot </dev/null >/dev/null 2>&1 || true
status=0
"$@" || status=$?
wineserver -k </dev/null >/dev/null 2>&1 || true
exit $status
