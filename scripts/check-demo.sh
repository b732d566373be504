#!/usr/bin/env bash
# The README's first command as a newcomer runs it: scripts/demo.sh in a
# build folder made fresh (BUILD, default build-demo-check, removed first),
# which builds the demo target and nothing else, then the sample page alone
# at a low resolution. The demo must succeed, the stored page must keep the
# bytes of the publisher's mark (a metafile, drawn by the helper program the
# demo's build has to bring along) and the printed page must show the mark's
# navy and gold in its rectangle. Arguments after BUILD go to cmake's
# configure step, so that CI checks the demo in the folder its sanitizer
# build then completes, rather than compiling the library once more.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-demo-check}
shift || true
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
rm -rf "$build"
# Configured with the options scripts/test.sh gives, and paths below the
# checkout cached relative to it, so that the compiler cache that build
# filled serves this one; demo.sh keeps the configuration.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$PWD}
cmake -S . -B "$build" -G Ninja -DMAPDECK_WERROR="${MAPDECK_WERROR:-ON}" "$@" >/dev/null
MAPDECK_BUILD_DIR=$build MAPDECK_DEMO_OUTPUT=$out bash scripts/demo.sh --page sample-page --resolution 72
python3 - "$out" <<'EOF'
import struct, sys, zlib

out = sys.argv[1]
mark = open(f"{out}/sample-mark.emf", "rb").read()
if mark not in open(f"{out}/sample-page.mdfs", "rb").read():
    sys.exit("check-demo: the stored sample page does not keep the publisher's mark")

def read_png(path):
    """Width, height and rows of RGB triples of an 8-bit RGB PNG."""
    data = open(path, "rb").read()
    pos, idat = 8, b""
    while pos < len(data):
        (n,) = struct.unpack(">I", data[pos:pos + 4])
        kind, body = data[pos + 4:pos + 8], data[pos + 8:pos + 8 + n]
        pos += 12 + n
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            if (depth, colour) != (8, 2):
                sys.exit(f"check-demo: {path} is not 8-bit RGB")
        elif kind == b"IDAT":
            idat += body
    raw, stride, rows, prior = zlib.decompress(idat), width * 3, [], bytearray(width * 3)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 3] if i >= 3 else 0
            b, c = prior[i], prior[i - 3] if i >= 3 else 0
            if kind == 1: line[i] = (line[i] + a) & 255
            elif kind == 2: line[i] = (line[i] + b) & 255
            elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prior = line
    return width, height, rows

# The mark's rectangle: 246.5 to 280.5 mm from the left, 19.6 to 28.6 mm
# from the bottom of the 297 x 210 mm page.
width, height, rows = read_png(f"{out}/sample-page.png")
px = lambda mm: round(mm * width / 297)
box = [rows[y][3 * x:3 * x + 3] for y in range(px(210 - 28.6), px(210 - 19.6)) for x in range(px(246.5), px(280.5))]
near = lambda rgb, want: all(abs(v - w) <= 24 for v, w in zip(rgb, want))
navy = sum(near(p, (0x1F, 0x35, 0x6E)) for p in box) / len(box)
gold = sum(near(p, (0xE8, 0xB0, 0x20)) for p in box) / len(box)
if navy < 0.10 or gold < 0.01:
    sys.exit(f"check-demo: the printed sample page lacks the publisher's mark "
             f"(navy {navy:.0%}, gold {gold:.0%} of its rectangle)")
print(f"check-demo: the sample page shows and keeps the publisher's mark (navy {navy:.0%}, gold {gold:.0%})")
EOF
