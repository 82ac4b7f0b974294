#!/usr/bin/env bash
# Instructions the preview spends drawing a dense plot, antialiased and
# plain, counted by callgrind (drawPage only, not reading the stream or
# writing the picture), and their ratio: a steady figure beside the
# benchmark's times on a noisy machine.
#   scripts/preview-callgrind.sh short|long DPI
# short: 2,000,000 steps of up to 5 mm; long: 200,000 vectors to random
# points of an A0 sheet; one Polyline Encoded run, 0.35 mm pen, no joins.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:-short}
dpi=${2:-50}
tavix="${TAVIX:-$root/build/native/tavix}"  # TAVIX=another build, for before and after
work=$(mktemp -d /tmp/tavix-preview-callgrind-XXXXXX)
trap 'rm -rf "$work"' EXIT
python3 - "$kind" >"$work/plot.plt" <<'PY'
import random, sys
random.seed(12345)
long_vectors = sys.argv[1] == "long"
count = 200_000 if long_vectors else 2_000_000
def pe(v):
    n = 2 * v if v >= 0 else -2 * v + 1
    out = []
    while n >= 32:
        out.append(chr(63 + n % 32))
        n //= 32
    out.append(chr(95 + n))
    return "".join(out)
L, S = 47520, 33600
parts = ["\x1b%%-12345X@PJL ENTER LANGUAGE = HPGL2\n\x1b%%-1B;BP;IN;PS%d,%dLA1,1,2,6SP7NP256"
         "CR0,255,0,255,0,255PC1,255,0,0PUPA0,0PRPW0.35SP1PE7<" % (L, S)]
x, y = L // 2, S // 2
parts.append(pe(x) + pe(y))
for _ in range(count):
    if long_vectors:
        nx, ny = random.randint(100, L - 100), random.randint(100, S - 100)
    else:
        nx = min(max(x + random.randint(-141, 141), 100), L - 100)
        ny = min(max(y + random.randint(-141, 141), 100), S - 100)
    parts.append(pe(nx - x) + pe(ny - y))
    x, y = nx, ny
parts.append(";PUSP0;PG;")
sys.stdout.write("".join(parts))
PY
count() {
  valgrind --tool=callgrind --callgrind-out-file="$work/out" --toggle-collect='tavix::preview::drawPage*' \
    "$tavix" preview -q --no-panel --dpi "$dpi" "$@" "$work/plot.plt" -o "$work/picture.png" >/dev/null 2>&1
  callgrind_annotate "$work/out" | awk '/PROGRAM TOTALS/ {gsub(",", "", $1); print $1}'
}
antialiased=$(count)
plain=$(count --no-antialias)
awk -v a="$antialiased" -v p="$plain" -v k="$kind" -v d="$dpi" \
  'BEGIN { printf "%s vectors, %s dpi: antialiased %.0f, plain %.0f instructions, ratio %.3f\n", k, d, a, p, a / p }'
