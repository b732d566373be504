#!/usr/bin/env bash
# Writes large metafiles of other programs, for the benchmarks, from
# drawings written here: Inkscape's EMF of a large bitmap under many
# shapes, LibreOffice's EMF of a large bitmap with an alpha channel (its
# mask compressed), gnuplot's EMF of a fine surface (many records) and
# pstoedit's EMF of a PostScript page of many paths. The files are not
# committed; a benchmark whose file is missing says so and skips.
# Usage: make-large.sh [output folder]   (default: build/bench-metafiles)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
out="${1:-$here/../../../build/bench-metafiles}"
for program in inkscape soffice gnuplot pstoedit python3; do
  command -v "$program" >/dev/null || { echo "make-large.sh: $program is not installed" >&2; exit 1; }
done
mkdir -p "$out"
out="$(cd "$out" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
export HOME="$work/home"

# A 2400 x 1800 bitmap fading out to the right.
python3 - fading.png 2400 1800 <<'PY'
import struct, sys, zlib
path, w, h = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
rows = bytearray()
for y in range(h):
    rows += b"\0"
    for x in range(w):
        rows += bytes(((x * 7 + y * 3) & 255, (x * y >> 6) & 255, (x ^ y) & 255, 255 - 255 * x // w))
chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b"")
open(path, "wb").write(png)
PY
# The bitmap stretched over an A4 landscape page, under 400 blurred circles
# (which Inkscape leaves unblurred) and a grid of lines.
python3 - > blurs.svg <<'PY'
print('<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink" width="297mm" height="210mm" viewBox="0 0 297 210">')
print('<image x="0" y="0" width="297" height="210" preserveAspectRatio="none" xlink:href="fading.png"/>')
print('<defs><filter id="b" x="-50%" y="-50%" width="200%" height="200%"><feGaussianBlur stdDeviation="1.5"/></filter></defs>')
for k in range(0, 297, 3):
    print(f'<path d="M {k} 0 L {k} 210" stroke="#8090a0" stroke-width="0.2"/>')
for k in range(400):
    x, y, r = (k * 37) % 290 + 4, (k * 53) % 200 + 5, 2 + k % 7
    print(f'<circle cx="{x}" cy="{y}" r="{r}" fill="#{(k * 97) % 256:02x}{(k * 31) % 256:02x}c0" filter="url(#b)"/>')
print('</svg>')
PY
inkscape blurs.svg --export-type=emf --export-filename="$out/inkscape-bitmap.emf" 2>/dev/null

# LibreOffice: the bitmap on an A4 landscape page.
sed -e 's/100mm/297mm/; s/75mm/210mm/' -e 's/svg:width="48mm" svg:height="36mm"/svg:width="240mm" svg:height="180mm"/' \
  "$here/../../../tests/platform/imaging/outside/drawings/transparent.fodg" > bitmap.fodg
soffice --headless --convert-to emf bitmap.fodg >/dev/null 2>&1
cp bitmap.emf "$out/libreoffice-bitmap.emf"

# A surface of 120 x 120 samples: some 30,000 polygons.
gnuplot <<GP
set terminal emf color enhanced size 1600,1200
set output '$out/gnuplot-surface.emf'
set pm3d at s
set isosamples 120
set samples 120
unset key
splot [-3:3][-3:3] exp(-(x*x+y*y)/3)*cos(3*x)*sin(2*y)
GP

# 20,000 short strokes and fills.
python3 - > many.ps <<'PY'
print("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 842 595")
for k in range(20000):
    x, y = (k * 37) % 830 + 6, (k * 53) % 585 + 5
    print(f"{(k % 10) / 10} {(k % 7) / 7} 0.5 setrgbcolor {x} {y} moveto {x + 8} {y + 3} lineto {x + 2} {y + 9} lineto closepath fill")
print("showpage")
PY
pstoedit -q -f "emf:-OO" many.ps "$out/pstoedit-many.emf" 2>/dev/null
ls -l "$out"
