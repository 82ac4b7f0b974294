#!/usr/bin/env bash
# The Debian packages as a user gets them: built by `make deb`, checked by
# lintian, installed with apt-get (dependencies through apt), used (version,
# manuals, CUPS lists the models and prints a PDF through a queue made from
# an installed PPD), and purged without leaving a file behind. Then
# `make install DESTDIR=...` must install the same files the packages hold.
#
# Runs as root and changes the system: it installs and purges the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
version=$(sed -n 's/^project(tavixdrv VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)
work=$(mktemp -d /tmp/tavix-packages.XXXXXX)
cupsd_pid=
cleanup() {
  [ -n "$cupsd_pid" ] && kill "$cupsd_pid" 2>/dev/null && wait "$cupsd_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passed=$((passed + 1)); echo "ok: $what"
  else failed=$((failed + 1)); echo "FAILED: $what"; fi
}
packages=(tavix printer-driver-tavix)

# 1. Build, and lintian: no errors, no warnings.
make deb >"$work/deb.log" 2>&1 || { tail -30 "$work/deb.log"; echo "FAILED: make deb"; exit 1; }
debs=(build/deb/*.deb)
check "make deb builds ${#debs[@]} packages (tavix, printer-driver-tavix)" [ ${#debs[@]} -eq 2 ]
lintian_ok() { lintian --fail-on error,warning "${debs[@]}" >"$work/lintian.txt" 2>&1; local s=$?; cat "$work/lintian.txt"; return $s; }
check "lintian reports no errors and no warnings" lintian_ok

# 2. Install from a clean state, remembering every file on the system.
apt-get purge -y -q "${packages[@]}" >/dev/null 2>&1 || true
snapshot() {
  find /usr /etc /opt /var/lib -xdev \( -path /var/lib/dpkg -o -path /var/lib/apt -o -path /var/lib/ucf \
       -o -path /var/lib/systemd -o -path /usr/lib/python3/dist-packages -o -name __pycache__ \) -prune \
       -o -print 2>/dev/null | sort
}
snapshot >"$work/before.txt"
installs() { DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${debs[@]/#/./}" >"$work/install.log" 2>&1 || { tail -20 "$work/install.log"; return 1; }; }
check "apt-get install ./build/deb/*.deb" installs

# 3. The installed programs, manuals and CUPS driver.
check "tavix --version prints $version" [ "$(tavix --version)" = "tavix $version" ]
check "tavix-preview --version prints $version" [ "$(tavix-preview --version)" = "tavix-preview $version" ]
check "the filter says its version" [ "$(/usr/lib/cups/filter/rastertotavix --version)" = "rastertotavix $version" ]
check "man -w finds tavix(1)" man -w tavix
check "man -w finds tavix-preview(1)" man -w tavix-preview
check "man -w finds rastertotavix(7)" man -w 7 rastertotavix
check "the PDF filter says its version" [ "$(/usr/lib/cups/filter/pdftotavix --version)" = "pdftotavix $version" ]
check "man -w finds pdftotavix(7)" man -w 7 pdftotavix
check "man -w finds tavix-printer-app(1)" man -w tavix-printer-app
manual_clean() { [ -z "$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$(man -w "$@")" 2>&1 >/dev/null)" ]; }
check "tavix(1) renders without groff warnings" manual_clean tavix
check "the PPDs carry the version" grep -q "^\*FileVersion: \"$version\"" /usr/share/ppd/tavix/tavix-tx90.ppd

# A scheduler of the test's own on 127.0.0.1, with CUPS's installed filters
# and PPD folders (so it sees what the packages installed). Debian's CUPS
# names the PPDs under /usr/share/ppd "lsb/usr/...".
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
mkdir -p "$work/cupsd"/{spool/tmp,cache,state,log,out}
chmod 0777 "$work/cupsd/out"
cat >"$work/cupsd/cups-files.conf" <<CONF
ServerRoot $work/cupsd
RequestRoot $work/cupsd/spool
TempDir $work/cupsd/spool/tmp
CacheDir $work/cupsd/cache
StateDir $work/cupsd/state
ErrorLog $work/cupsd/log/error_log
AccessLog $work/cupsd/log/access_log
PageLog $work/cupsd/log/page_log
FileDevice Yes
CONF
cat >"$work/cupsd/cupsd.conf" <<CONF
Listen 127.0.0.1:$port
LogLevel debug
Browsing Off
WebInterface No
DefaultAuthType None
<Location />
Order allow,deny
Allow all
</Location>
<Policy default>
<Limit All>
Order deny,allow
</Limit>
</Policy>
CONF
chmod 0755 "$work" "$work/cupsd"
/usr/sbin/cupsd -f -c "$work/cupsd/cupsd.conf" -s "$work/cupsd/cups-files.conf" &
cupsd_pid=$!
export CUPS_SERVER=127.0.0.1:$port
for _ in $(seq 100); do lpstat -r >/dev/null 2>&1 && break; sleep 0.2; done
# lpinfo asks cupsd's driver helper, which a loaded machine may not have
# ready at once ("Bad file descriptor"): a few tries, a second apart.
count_models() {
  local n=0
  for m in tx90 tx70 tx30 lumenq1 txseries; do grep -q "^lsb/usr/tavix/tavix-$m.ppd " "$work/models.txt" && n=$((n + 1)); done
  echo $n
}
for _ in 1 2 3 4 5; do
  lpinfo -m >"$work/models.txt" 2>&1 || true
  [ "$(count_models)" -eq 5 ] && break
  sleep 1
done
lists_models() {
  [ "$(count_models)" -eq 5 ] || { grep -i "tavix\|lpinfo" "$work/models.txt"; tail -5 "$work/cupsd/log/error_log"; return 1; }
}
check "lpinfo -m lists the five models" lists_models
prints_pdf() {
  lpadmin -p tx90file -E -v "file://$work/cupsd/out/tx90.plt" -m lsb/usr/tavix/tavix-tx90.ppd || return 1
  lp -d tx90file -o PageSize=A4 -o page-ranges=1 "$root/examples/plot-pages.pdf" >/dev/null || return 1
  for _ in $(seq 300); do
    [ -z "$(lpstat -o tx90file 2>/dev/null)" ] && [ -s "$work/cupsd/out/tx90.plt" ] && break
    sleep 0.5
  done
  [ -s "$work/cupsd/out/tx90.plt" ] || { tail -20 "$work/cupsd/log/error_log"; return 1; }
  # The printer stream as the installed preview reads it: pages, no error.
  tavix-preview "$work/cupsd/out/tx90.plt" -o "$work/page.png" --strict >"$work/preview.log" 2>&1 ||
    { cat "$work/preview.log"; return 1; }
  [ -s "$work/page.png" ] || return 1
  # A PDF takes the vector filter.
  grep -q "pdftotavix" "$work/cupsd/log/error_log" || { tail -20 "$work/cupsd/log/error_log"; return 1; }
}
check "a PDF prints through a queue made from the installed PPD" prints_pdf
lpadmin -x tx90file 2>/dev/null || true
kill "$cupsd_pid"; wait "$cupsd_pid" 2>/dev/null || true; cupsd_pid=

# 4. Purge: every file the packages installed is gone.
for p in "${packages[@]}"; do dpkg -L "$p"; done | sort -u >"$work/installed-files.txt"
apt-get purge -y -q "${packages[@]}" >"$work/purge.log" 2>&1
snapshot >"$work/after.txt"
no_leftovers() {
  # New paths after the purge are allowed only where a dependency that apt
  # installed owns them.
  local left=0
  while IFS= read -r path; do
    dpkg -S "$path" >/dev/null 2>&1 && continue
    echo "left behind: $path"; left=1
  done < <(comm -13 "$work/before.txt" "$work/after.txt")
  while IFS= read -r path; do
    [ -e "$path" ] && [ ! -d "$path" ] && { echo "still there: $path"; left=1; }
  done <"$work/installed-files.txt"
  return $left
}
check "apt-get purge leaves no file behind" no_leftovers

# 5. make install DESTDIR=... installs the files the packages hold.
make install PREFIX=/usr DESTDIR="$work/stage" >"$work/install-make.log" 2>&1 || { tail -20 "$work/install-make.log"; echo "FAILED: make install"; exit 1; }
# The packages' own additions (copyright, changelog) aside; the packages
# compress manuals and long documents.
for d in "${debs[@]}"; do dpkg-deb -c "$d"; done | awk '{print $6}' | sed -e 's|^\./|/|' -e 's|\.gz$||' |
  grep -v -e '/$' -e '^/usr/share/doc/[^/]*/copyright$' -e '^/usr/share/doc/[^/]*/changelog$' | sort >"$work/deb-files.txt"
(cd "$work/stage" && find . -type f -o -type l) | sed 's|^\.||' | sort >"$work/stage-files.txt"
same_files() { diff "$work/deb-files.txt" "$work/stage-files.txt"; }
check "make install DESTDIR= installs the same files as the packages" same_files
uninstalls() { make uninstall DESTDIR="$work/stage" >/dev/null 2>&1 && [ -z "$(find "$work/stage" -type f)" ]; }
check "make uninstall removes them again" uninstalls

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
