#!/usr/bin/env python3
# A dense CAD-like A0 page for timing `tavix plot` of a PDF against the
# raster chain (docs/pdf.md, "Speed"): about 208,000 line segments in 8
# colours and widths (one layer dashed), 200 clipped hatches and 400 lines
# of text. Deterministic (a fixed random seed).
#   bench/densePdfPage.py dense.pdf
import random, sys
random.seed(1)
W, H = 2384, 3370
parts = []
colours = ["0 0 0", "1 0 0", "0 0 1", "0 1 0", "1 0 1", "0 1 1", "1 1 0", "0.5 0.5 0.5"]
segments = 0
for layer in range(8):
    parts.append("%s RG %.2f w" % (colours[layer], 0.25 + 0.25 * layer))
    if layer == 7: parts.append("[6 3] 0 d")
    for poly in range(2500):
        x, y = random.uniform(50, W - 50), random.uniform(50, H - 50)
        pts = ["%.2f %.2f m" % (x, y)]
        for k in range(10):
            x = min(W - 10, max(10, x + random.uniform(-20, 20)))
            y = min(H - 10, max(10, y + random.uniform(-20, 20)))
            pts.append("%.2f %.2f l" % (x, y))
            segments += 1
        parts.append(" ".join(pts) + " S")
parts.append("[] 0 d 0 0 0 RG 0.3 w")
for h in range(200):
    x, y = random.uniform(50, W - 250), random.uniform(50, H - 250)
    parts.append("q %.1f %.1f 200 200 re W n" % (x, y))
    parts.append(" ".join("%.1f %.1f m %.1f %.1f l" % (x + i * 10, y, x + i * 10 - 200, y + 200) for i in range(41)) + " S Q")
    segments += 41
parts.append("0 0 0 rg BT /F1 24 Tf")
for t in range(400):
    parts.append("1 0 0 1 %.1f %.1f Tm (ROOM %d  3.20 x 4.10 m) Tj" % (random.uniform(50, W - 400), random.uniform(50, H - 50), t))
parts.append("ET")
content = "\n".join(parts).encode()
objs = [b"<< /Type /Catalog /Pages 2 0 R >>", b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 %d %d] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>" % (W, H),
        b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream",
        b"<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"]
out = b"%PDF-1.4\n"; offs = []
for i, o in enumerate(objs):
    offs.append(len(out)); out += b"%d 0 obj\n" % (i + 1) + o + b"\nendobj\n"
x = len(out); out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objs) + 1)
for o in offs: out += b"%010d 00000 n \n" % o
out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (len(objs) + 1, x)
open(sys.argv[1], "wb").write(out)
print(segments, "segments")
