#!/usr/bin/env bash
# Writes the metafiles in files/ from the drawings in drawings/, each with
# the program that makes that kind: Inkscape exports the SVGs to WMF and EMF,
# LibreOffice converts the drawing documents to both, gnuplot's EMF terminal
# plots the gnuplot scripts, pstoedit turns the PostScript into EMF and
# fig2dev the xfig drawing. The files are committed; the tests read them and
# need none of these programs.
#
# Beside them, in references/, it writes how each file's maker draws it: a
# PNG at 100 dpi of the file's own frame, its corners the frame's, to be
# compared pixel for pixel with our drawing of the picture at its own size.
# Usage: make.sh [drawings folder] [output folder] [references folder]
# ONLY, a shell pattern of the files' names (default: all), chooses which
# files and references are written, so that new ones can be added without
# writing the others again with other versions of their makers; only the
# programs those need must be installed.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
src="${1:-$here/drawings}"
out="${2:-$here/files}"
refs="${3:-$here/references}"
only="${ONLY:-*}"
# Whether the file named is to be written; fails the script when it is and
# the program that writes it is not installed.
wanted() {
  # shellcheck disable=SC2053
  [[ "$1" == $only ]] || return 1
  command -v "$2" >/dev/null || { echo "make.sh: $2 is not installed" >&2; exit 1; }
}
command -v python3 >/dev/null || { echo "make.sh: python3 is not installed" >&2; exit 1; }
mkdir -p "$out" "$refs"
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
    wanted "inkscape-$svg.$kind" inkscape || continue
    inkscape "$svg.svg" --export-type="$kind" --export-filename="$out/inkscape-$svg.$kind" 2>/dev/null
  done
done
for document in page transparent bitmaps hatches gradients faces map; do
  for kind in wmf emf; do
    wanted "libreoffice-$document.$kind" soffice || continue
    soffice --headless --convert-to "$kind" --outdir "$work/lo" "$document.fodg" >/dev/null 2>&1
    cp "$work/lo/$document.$kind" "$out/libreoffice-$document.$kind"
  done
done
# Texts of many scripts: an EMF alone, each size and face of each script a
# font of its own in the file. Its page is longer than the 4096 pixels a
# side the picture's own painting takes at 300 dpi: it has no reference.
if wanted libreoffice-scripts.emf soffice; then
  soffice --headless --convert-to emf --outdir "$work/lo" scripts.fodg >/dev/null 2>&1
  cp "$work/lo/scripts.emf" "$out/libreoffice-scripts.emf"
fi
for plot in lines fills surface patterns; do
  wanted "gnuplot-$plot.emf" gnuplot || continue
  sed "1,/^set terminal/ s|^set terminal.*|&\nset output '$out/gnuplot-$plot.emf'|" "$plot.gp" | gnuplot
done
# Its OpenOffice mode writes a frame that places the drawing; without it
# the frame lies elsewhere, and LibreOffice draws the file blank too.
if wanted pstoedit-drawing.emf pstoedit; then
  pstoedit -q -f "emf:-OO" drawing.ps "$out/pstoedit-drawing.emf" 2>/dev/null
fi
if wanted fig2dev-patterns.emf fig2dev; then
  fig2dev -L emf patterns.fig "$out/fig2dev-patterns.emf"
fi
ls -l "$out"

# The frame a metafile's header gives: its width and height in millimetres
# and in pixels at 100 dpi, rounded.
frame() {
  python3 - "$1" <<'PY'
import struct, sys
b = open(sys.argv[1], "rb").read()
if struct.unpack_from("<I", b)[0] == 0x9AC6CDD7:  # placeable WMF: its box in units of an inch
    left, top, right, bottom, inch = struct.unpack_from("<4hH", b, 6)
    w, h = (right - left) * 25.4 / inch, (bottom - top) * 25.4 / inch
else:  # EMF: its frame in 0.01 mm
    left, top, right, bottom = struct.unpack_from("<4i", b, 24)
    w, h = (right - left) / 100, (bottom - top) / 100
print("%.4f %.4f %d %d" % (w, h, round(w / 2.54 * 10), round(h / 2.54 * 10)))
PY
}
# Fails unless the PNG is w x h pixels.
sized() {
  python3 - "$@" <<'PY'
import struct, sys
w, h = struct.unpack(">II", open(sys.argv[1], "rb").read()[16:24])
if (w, h) != (int(sys.argv[2]), int(sys.argv[3])):
    sys.exit("make.sh: %s is %d x %d pixels, its frame %s x %s" % (sys.argv[1], w, h, sys.argv[2], sys.argv[3]))
PY
}
# LibreOffice's PNG of a drawing document at w x h pixels.
lo_png() {
  local document="$1" png="$2" w="$3" h="$4"
  rm -rf "$work/png" && mkdir -p "$work/png"
  soffice --headless --convert-to \
    "png:draw_png_Export:{\"PixelWidth\":{\"type\":\"long\",\"value\":\"$w\"},\"PixelHeight\":{\"type\":\"long\",\"value\":\"$h\"}}" \
    --outdir "$work/png" "$document" >/dev/null 2>&1
  cp "$work/png/$(basename "${document%.*}").png" "$png"
}

# Inkscape reads a metafile onto a page of its frame and draws that page.
for svg in shapes text paints bitmap; do
  for kind in wmf emf; do
    wanted "inkscape-$svg.$kind" inkscape || continue
    file="$out/inkscape-$svg.$kind"
    inkscape "$file" --export-type=png --export-area-page --export-dpi=100 --export-background=white \
      --export-background-opacity=1 --export-filename="$refs/inkscape-$svg.$kind.png" 2>/dev/null
    read -r _ _ w h < <(frame "$file")
    sized "$refs/inkscape-$svg.$kind.png" "$w" "$h"
  done
done

# LibreOffice's own reading of page.wmf and page.emf leaves out the frame and
# the hatched box, which both hold (as filled outlines and lines; Inkscape
# draws them): their reference is its drawing of the document they were
# written from, whose page is their frame.
# So are the other documents' files, whose readings by LibreOffice leave out
# hatches and draw gradients of fewer steps: their reference is the document,
# one for its WMF and its EMF, whose frames are the same.
for document in page bitmaps hatches gradients faces map; do
  wanted "libreoffice-$document.png" soffice || continue
  read -r _ _ w h < <(frame "$out/libreoffice-$document.wmf")
  lo_png "$document.fodg" "$refs/libreoffice-$document.png" "$w" "$h"
  sized "$refs/libreoffice-$document.png" "$w" "$h"
done

# The other files as LibreOffice draws them: each the only picture on a page
# of its frame, filling it. gnuplot reads no EMF, and its cairo terminals lay
# a plot out with their own fonts, ticks and line widths: LibreOffice's
# reading of the file itself is the fairer reference for its plots.
# pstoedit's EMF holds less than drawing.ps (no clip, no image): what it
# holds is what LibreOffice draws. (The page document needs its styles
# element: without one LibreOffice lays the page out as A4.)
for file in libreoffice-transparent.wmf libreoffice-transparent.emf gnuplot-lines.emf gnuplot-fills.emf \
  gnuplot-surface.emf gnuplot-patterns.emf pstoedit-drawing.emf fig2dev-patterns.emf; do
  wanted "$file.png" soffice || continue
  read -r mmw mmh w h < <(frame "$out/$file")
  cp "$out/$file" "$work/$file"
  cat >"$work/${file%.*}-page.fodg" <<FODG
<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.graphics">
 <office:styles/>
 <office:automatic-styles>
  <style:page-layout style:name="pm1"><style:page-layout-properties fo:page-width="${mmw}mm" fo:page-height="${mmh}mm" fo:margin-top="0mm" fo:margin-bottom="0mm" fo:margin-left="0mm" fo:margin-right="0mm"/></style:page-layout>
  <style:style style:name="plain" style:family="graphic"><style:graphic-properties draw:stroke="none" draw:fill="none"/></style:style>
 </office:automatic-styles>
 <office:master-styles><style:master-page style:name="Default" style:page-layout-name="pm1"/></office:master-styles>
 <office:body><office:drawing><draw:page draw:name="page" draw:master-page-name="Default">
  <draw:frame draw:style-name="plain" svg:x="0mm" svg:y="0mm" svg:width="${mmw}mm" svg:height="${mmh}mm"><draw:image xlink:href="$file" xlink:type="simple" xlink:show="embed" xlink:actuate="onLoad"/></draw:frame>
 </draw:page></office:drawing></office:body></office:document>
FODG
  lo_png "$work/${file%.*}-page.fodg" "$refs/$file.png" "$w" "$h"
  sized "$refs/$file.png" "$w" "$h"
done
ls -l "$refs"
