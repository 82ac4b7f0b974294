#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, only what is
# missing. Runs apt-get as root (or through sudo).
set -euo pipefail

packages=(
  cmake make g++ pkg-config
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 wine wine32:i386 xvfb xauth imagemagick icoutils
  locales fonts-ipafont-gothic
  libcairo2-dev libpng-dev libcli11-dev
  clang-14 libclang-rt-14-dev
  hp2xx valgrind python3
  libdxflib-dev libhersheyfont-dev hershey-fonts-data python3-ezdxf
  libpango1.0-dev fonts-noto-cjk
  libcups2-dev libcupsimage2-dev cups cups-ppdc cups-filters cups-client
  ghostscript poppler-utils
)

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
  need_update=1
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
elif [ "${need_update:-0}" = 1 ]; then
  "${sudo_cmd[@]}" apt-get update -q
fi
