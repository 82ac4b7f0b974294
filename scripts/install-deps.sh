#!/usr/bin/env bash
# Installs what the build needs on Debian 12, only what is missing. Runs
# apt-get as root (or through sudo).
#
#   scripts/install-deps.sh [demo|cups|install|deb|full]   install a profile (full by default)
#   scripts/install-deps.sh --list demo   print a profile's packages
#
# demo: what the programs of the `tools` preset need to build and run
#       (tavix, tavix-preview, tavix-printer-app): compiler, CMake, the
#       libraries they link (PAPPL and libcups for the printer
#       application), the fonts of the preview.
# cups: the demo's packages and what the CUPS driver needs to build and to
#       print: the CUPS development files, the scheduler and its clients,
#       and CUPS's PDF-to-raster filters with Ghostscript.
# install: the cups profile's and the manual pages' maker (`make install`).
# deb:  the install profile's and Debian's packaging tools (`make deb`).
# full: the demo's packages and everything the tests use: GoogleTest, Google
#       Benchmark, the Windows cross build and wine, clang for the fuzzers,
#       valgrind, and the independent readers the tests compare against.
set -euo pipefail

demo_packages=(
  cmake make g++ pkg-config
  libcairo2-dev libpng-dev libcli11-dev zlib1g-dev
  libdxflib-dev libhersheyfont-dev hershey-fonts-data
  libpoppler-private-dev libpolyclipping-dev
  libpango1.0-dev fonts-noto-cjk fonts-ipafont-gothic
  libfreetype-dev libfontconfig-dev fonts-liberation2 fonts-dejavu-core
  libcups2-dev libpappl-dev
)

cups_packages=(
  libcups2-dev libcupsimage2-dev cups cups-client cups-filters ghostscript
)

install_packages=(
  help2man
)

deb_packages=(
  debhelper dpkg-dev lintian
)

test_packages=(
  libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 wine wine32:i386 xvfb xauth imagemagick icoutils
  locales
  clang-14 libclang-rt-14-dev
  hp2xx valgrind python3 python3-ezdxf
  cups-ppdc poppler-utils librsvg2-bin cups-ipp-utils
  chromium chromium-driver python3-selenium
  zip unzip man-db
)

profile_packages() {
  case "$1" in
    demo) packages=("${demo_packages[@]}") ;;
    cups) packages=("${demo_packages[@]}" "${cups_packages[@]}") ;;
    install) packages=("${demo_packages[@]}" "${cups_packages[@]}" "${install_packages[@]}") ;;
    deb) packages=("${demo_packages[@]}" "${cups_packages[@]}" "${install_packages[@]}" "${deb_packages[@]}") ;;
    full) packages=("${demo_packages[@]}" "${cups_packages[@]}" "${install_packages[@]}" "${deb_packages[@]}"
                    "${test_packages[@]}") ;;
    *) echo "install-deps.sh: unknown profile '$1' (demo, cups, install, deb or full)" >&2; exit 2 ;;
  esac
}

if [ "${1:-}" = "--list" ]; then
  profile_packages "${2:-full}"
  printf '%s\n' "${packages[@]}"
  exit 0
fi
profile=${1:-full}
profile_packages "$profile"

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then sudo_cmd=(sudo); fi

# Only the full profile needs 32-bit packages (wine32 for the DLL's tests).
if [ "$profile" = full ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
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
