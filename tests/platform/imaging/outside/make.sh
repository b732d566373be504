#!/usr/bin/env bash
# Writes the metafiles in files/ from the drawings in drawings/, each with
# the program that makes that kind: Inkscape exports the SVGs to WMF and EMF,
# LibreOffice converts the drawing document to both, gnuplot's EMF terminal
# plots the gnuplot scripts and pstoedit turns the PostScript into EMF. The
# files are committed; the tests read them and need none of these programs.
# Usage: make.sh [drawings folder] [output folder]
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="${1:-$here/drawings}"
out="${2:-$here/files}"
for program in inkscape soffice gnuplot pstoedit python3; do
  command -v "$program" >/dev/null || { echo "make.sh: $program is not installed" >&2; exit 1; }
done
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp "$src"/* "$work/"

# tile.png: a 48 x 36 picture of colour bands and a checker; fading.png the
# same with an alpha channel fading it out to the right (LibreOffice writes
# its transparency as a compressed mask). Written here.
for tile in "tile.png 2" "fading.png 6"; do
  set -- $tile
  python3 - "$work/$1" 48 36 "$2" <<'PY'
import struct, sys, zlib
path, w, h, kind = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
rows = b""
for y in range(h):
    row = b"\0"
    for x in range(w):
        if (x // 6 + y // 6) % 2:
            row += bytes((255 * x // w, 255 * y // h, 160))
        else:
            row += bytes((40, 40 + 200 * x // w, 255 - 200 * y // h))
        if kind == 6:
            row += bytes((255 - 255 * x // w,))
    rows += row
chunk = lambda kind, data: struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, kind, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(rows, 9)) + chunk(b"IEND", b"")
open(path, "wb").write(png)
PY
done

cd "$work"
export HOME="$work/home"  # the programs' settings and caches stay in the scratch folder
for svg in shapes text paints bitmap; do
  for kind in wmf emf; do
    inkscape "$svg.svg" --export-type="$kind" --export-filename="$out/inkscape-$svg.$kind" 2>/dev/null
  done
done
for document in page transparent; do
  for kind in wmf emf; do
    soffice --headless --convert-to "$kind" --outdir "$work/lo" "$document.fodg" >/dev/null 2>&1
    cp "$work/lo/$document.$kind" "$out/libreoffice-$document.$kind"
  done
done
for plot in lines fills surface; do
  sed "1,/^set terminal/ s|^set terminal.*|&\nset output '$out/gnuplot-$plot.emf'|" "$plot.gp" | gnuplot
done
# Its OpenOffice mode writes a frame that places the drawing; without it
# the frame lies elsewhere, and LibreOffice draws the file blank too.
pstoedit -q -f "emf:-OO" drawing.ps "$out/pstoedit-drawing.emf" 2>/dev/null
ls -l "$out"
