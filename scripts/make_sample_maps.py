#!/usr/bin/env python3
"""Writes the two sample maps of host/helmora/maps (GeoJSON, longitude and
latitude in degrees; layout of the files in host/helmora/FORMAT.md).

The data are synthetic but shaped like a map: meandering rivers, lakes with
irregular shores, road and railway networks joining named settlements, and
contour lines around hills. A fixed seed makes every run write the same bytes.

    python3 scripts/make_sample_maps.py [output-folder]
"""
import json
import math
import os
import random
import sys


def wobble_ring(cx, cy, rx, ry, rnd, n=96, amp=0.18, waves=5, shape=None):
    """A closed ring about (cx, cy); rings made with the same shape (phases
    and weights) nest without crossing."""
    phases, weights = shape if shape else ([rnd.uniform(0, 2 * math.pi) for _ in range(waves)],
                                           [rnd.uniform(0.3, 1.0) / (k + 1) for k in range(waves)])
    pts = []
    for i in range(n):
        a = 2 * math.pi * i / n
        f = 1.0 + amp * sum(w * math.sin((k + 2) * a + p) for k, (w, p) in enumerate(zip(weights, phases)))
        pts.append([round(cx + rx * f * math.cos(a), 6), round(cy + ry * f * math.sin(a), 6)])
    pts.append(pts[0])
    return pts


def meander(points, rnd, step, amp, seg=12):
    """A polyline through the given points with smooth sideways swings."""
    out = []
    phase = rnd.uniform(0, 2 * math.pi)
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        dx, dy = x1 - x0, y1 - y0
        length = math.hypot(dx, dy)
        nx, ny = -dy / length, dx / length
        count = max(seg, int(length / step))
        turns = rnd.uniform(1.5, 3.0)
        for i in range(count):
            t = i / count
            s = amp * math.sin(phase + t * math.pi * 2 * turns) * math.sin(math.pi * t)
            out.append([round(x0 + dx * t + nx * s, 6), round(y0 + dy * t + ny * s, 6)])
        phase += rnd.uniform(1.0, 2.5)
    out.append([round(points[-1][0], 6), round(points[-1][1], 6)])
    return out


def feature(layer, cls, geometry, name=None):
    props = {"layer": layer, "class": cls}
    if name:
        props["name"] = name
    return {"type": "Feature", "properties": props, "geometry": geometry}


def line(coords):
    return {"type": "LineString", "coordinates": coords}


def polygon(ring):
    return {"type": "Polygon", "coordinates": [ring]}


def point(x, y):
    return {"type": "Point", "coordinates": [round(x, 6), round(y, 6)]}


def symbol(part, code, color, **extra):
    s = {"type": part, "code": code, "color": color}
    s.update(extra)
    return s


def sheet_50k():
    rnd = random.Random(50000)
    w, e, s, n = 116.0, 116.25, 39 + 50 / 60, 40.0
    feats = []

    # Hills in the north-west: contour rings every 10 m, index contours every 50 m.
    hills = [(116.045, 39.968, 0.040, 0.026, 320), (116.105, 39.982, 0.030, 0.014, 210),
             (116.02, 39.90, 0.018, 0.020, 140)]
    for cx, cy, rx, ry, top in hills:
        hrnd = random.Random(int(top * 1000 + cx * 100))
        shape = ([hrnd.uniform(0, 2 * math.pi) for _ in range(5)], [hrnd.uniform(0.3, 1.0) / (k + 1) for k in range(5)])
        for h in range(50, top, 10):
            k = 1.0 - (h - 40) / (top - 30)
            # The summit drifts a little up-slope so the rings are not concentric.
            ring = wobble_ring(cx + 0.004 * (1 - k), cy + 0.002 * (1 - k), rx * k, ry * k, hrnd, n=80,
                               amp=0.12, shape=shape)
            feats.append(feature("等高线", "index" if h % 50 == 0 else "regular", line(ring)))

    # Water: a reservoir under the hills and ponds in the plain.
    feats.append(feature("湖泊水库", "reservoir", polygon(wobble_ring(116.085, 39.935, 0.016, 0.009, rnd, amp=0.25)),
                         "清河水库"))
    for i in range(7):
        cx, cy = rnd.uniform(116.12, 116.24), rnd.uniform(39.845, 39.90)
        feats.append(feature("湖泊水库", "pond", polygon(wobble_ring(cx, cy, 0.002 + rnd.uniform(0, 0.002),
                                                                       0.0015 + rnd.uniform(0, 0.0012), rnd,
                                                                       n=32, amp=0.2))))

    # Rivers: the main river leaves the reservoir to the south-east, tributaries join it.
    main = meander([(116.095, 39.930), (116.13, 39.905), (116.17, 39.885), (116.21, 39.862), (116.255, 39.845)],
                   rnd, 0.0015, 0.004)
    feats.append(feature("河流", "major", line(main), "清水河"))
    for i, start in enumerate([(116.03, 39.945), (116.0, 39.91), (116.06, 39.995), (116.15, 39.99),
                               (116.2, 39.96), (116.24, 39.93)]):
        j = 30 + i * 25
        end = main[min(j, len(main) - 1)] if i > 1 else [116.075, 39.936]
        trib = meander([start, (start[0] * 0.5 + end[0] * 0.5 + rnd.uniform(-0.01, 0.01),
                                start[1] * 0.5 + end[1] * 0.5), tuple(end)], rnd, 0.0012, 0.002)
        feats.append(feature("河流", "minor", line(trib)))

    # Settlements.
    towns = [("西山县", "county", 116.175, 39.905), ("清河镇", "town", 116.12, 39.955),
             ("石门镇", "town", 116.215, 39.875), ("杨庄乡", "town", 116.06, 39.86)]
    villages = ["东坡村", "李家庄", "王各庄", "上岸村", "下岸村", "北沟村", "南峪村", "马坊", "高家台", "前屯",
                "后屯", "柳林村", "桃园村", "沙河村", "东营", "西营", "朱家坟", "新立村"]
    places = list(towns)
    for name in villages:
        while True:
            x, y = rnd.uniform(w + 0.01, e - 0.01), rnd.uniform(s + 0.006, n - 0.006)
            if all(math.hypot(x - p[2], (y - p[3]) * 1.3) > 0.018 for p in places) and \
               not (116.0 < x < 116.13 and y > 39.95):
                break
        places.append((name, "village", x, y))
    for name, cls, x, y in places:
        feats.append(feature("居民点", cls, point(x, y), name))
    # Built-up blocks of the county seat and the towns.
    for name, cls, x, y in towns:
        size = 0.009 if cls == "county" else 0.004
        feats.append(feature("街区", "block", polygon(wobble_ring(x, y, size, size * 0.75, rnd, n=24, amp=0.1))))

    # Roads: main roads between the towns and out of the sheet, minor roads to villages.
    main_roads = [[(w, 39.90), (116.06, 39.86), (116.175, 39.905), (e, 39.92)],
                  [(116.12, n), (116.12, 39.955), (116.175, 39.905), (116.215, 39.875), (116.23, s)],
                  [(116.06, 39.86), (116.07, s)]]
    for r in main_roads:
        feats.append(feature("公路", "main", line(meander(r, rnd, 0.002, 0.0012, seg=6))))
    for name, cls, x, y in places[len(towns):]:
        near = min(towns, key=lambda t: math.hypot(t[2] - x, t[3] - y))
        feats.append(feature("公路", "minor", line(meander([(x, y), (near[2], near[3])], rnd, 0.002, 0.0015,
                                                           seg=5))))

    # A railway across the plain, gently curving.
    rail = []
    for i in range(61):
        t = i / 60
        rail.append([round(w + (e - w) * t, 6), round(39.872 + 0.03 * t + 0.006 * math.sin(t * 3.0), 6)])
    feats.append(feature("铁路", "railway", line(rail), "京西铁路"))

    layers = [
        {"name": "地貌", "type": "GIS_DRAWER_GROUP", "children": [
            {"name": "等高线", "type": "GIS_DRAWER_VECTOR", "classes": [
                {"value": "regular", "label": "首曲线", "symbol": symbol("line", 3331, "#b0703a", width=0.12)},
                {"value": "index", "label": "计曲线", "symbol": symbol("line", 3331, "#b0703a", width=0.25)}]}]},
        {"name": "水系", "type": "GIS_DRAWER_GROUP", "children": [
            {"name": "湖泊水库", "type": "GIS_DRAWER_VECTOR", "classes": [
                {"value": "reservoir", "label": "水库",
                 "symbol": symbol("fill", 3366, "#a9d3f2", color2="#2f78c4", width=0.12)},
                {"value": "pond", "label": "池塘",
                 "symbol": symbol("fill", 3366, "#c6e3f7", color2="#2f78c4", width=0.08)}]},
            {"name": "河流", "type": "GIS_DRAWER_VECTOR", "classes": [
                {"value": "major", "label": "主要河流", "symbol": symbol("line", 3331, "#2f78c4", width=0.6)},
                {"value": "minor", "label": "小河沟渠", "symbol": symbol("line", 3331, "#2f78c4", width=0.22)}]}]},
        {"name": "街区", "type": "GIS_DRAWER_VECTOR", "classes": [
            {"value": "block", "label": "街区", "symbol": symbol("fill", 3361, "#e8c9bd", color2="#7a4a3a",
                                                                 width=0.1)}]},
        {"name": "交通", "type": "GIS_DRAWER_GROUP", "children": [
            {"name": "公路", "type": "GIS_DRAWER_VECTOR_COMPOUND", "classes": [
                {"value": "main", "label": "主要公路", "symbol": symbol("line", 3331, "#d9531e", width=0.7)},
                {"value": "minor", "label": "乡村道路", "symbol": symbol("line", 3331, "#5a5a5a", width=0.25)}]},
            {"name": "铁路", "type": "GIS_DRAWER_VECTOR", "classes": [
                {"value": "railway", "label": "铁路", "symbol": symbol("line", 3333, "#000000", width=0.5)}]}]},
        {"name": "居民点", "type": "GIS_DRAWER_VECTOR", "labels": {"font": "黑体", "size": 7, "color": "#000000"},
         "classes": [
             {"value": "county", "label": "县城", "symbol": symbol("point", 3304, "#b0002a", kind=5, size=8)},
             {"value": "town", "label": "乡镇", "symbol": symbol("point", 3301, "#b0002a", kind=5, size=6)},
             {"value": "village", "label": "村庄", "symbol": symbol("point", 3301, "#333333", kind=5, size=3)}]},
    ]
    return {"type": "FeatureCollection",
            "mapdeck": {"version": 1, "name": "西山幅 1:5万",
                        "reference": {"kind": "gauss", "datum": "CGCS2000", "zoneWidth": 3, "zone": 39},
                        "referenceScale": 50000, "extent": [w, s, e, n], "layers": layers},
            "features": feats}


def region_1m():
    rnd = random.Random(1000000)
    w, e, s, n = 114.0, 120.0, 36.0, 40.0
    feats = []
    # The sea in the east with a ragged coast.
    coast = []
    for i in range(121):
        t = i / 120
        y = n - (n - s) * t
        x = 118.2 + 0.7 * math.sin(t * 5.1) + 0.35 * math.sin(t * 17.0 + 1.0) + (0.9 if t > 0.7 else 0.0) * (t - 0.7) * 4
        coast.append([round(x, 5), round(y, 5)])
    sea = coast + [[e + 0.5, s], [e + 0.5, n], coast[0]]

    def coast_x(lat):
        for (x0, y0), (x1, y1) in zip(coast, coast[1:]):
            if y1 <= lat <= y0:
                return x0 + (x1 - x0) * (y0 - lat) / (y0 - y1)
        return coast[-1][0]

    feats.append(feature("海洋", "sea", polygon(sea), "渤海"))
    feats.append(feature("海岸线", "coast", line(coast)))
    # Lakes.
    for cx, cy, r, name in [(115.9, 38.85, 0.18, "白洋淀"), (116.9, 37.5, 0.1, None), (114.8, 39.3, 0.08, None)]:
        feats.append(feature("湖泊", "lake", polygon(wobble_ring(cx, cy, r * 1.3, r, rnd, amp=0.25)), name))
    # Rivers flowing to the sea.
    for start, name in [((114.0, 39.6), "永定河"), ((114.3, 38.3), "滹沱河"), ((114.5, 36.6), "漳河"),
                        ((115.2, 40.0), "潮白河"), ((116.8, 40.0), "滦河")]:
        mouth = start[1] * 0.4 + 38.6 * 0.6 + rnd.uniform(-0.2, 0.2)
        end = (coast_x(mouth), mouth)
        mid = ((start[0] + end[0]) / 2 + rnd.uniform(-0.3, 0.3), (start[1] + mouth) / 2)
        feats.append(feature("河流", "river", line(meander([start, mid, end], rnd, 0.03, 0.07)), name))
    # Province boundaries (dash-dot).
    for pts in [[(w, 38.9), (115.2, 38.6), (116.2, 39.0), (116.6, 39.6), (117.5, 39.9), (117.8, n)],
                [(w, 37.2), (115.6, 37.0), (116.4, 37.6), (117.2, 37.8), (118.1, 38.2)],
                [(115.4, s), (115.6, 37.0)]]:
        feats.append(feature("境界", "province", line(meander(pts, rnd, 0.04, 0.04))))
    # Cities and railways joining them.
    cities = [("京城", "capital", 116.4, 39.9), ("津门", "city", 117.2, 39.1), ("保定", "city", 115.5, 38.87),
              ("石门", "city", 114.5, 38.05), ("沧州", "city", 116.85, 38.3), ("衡水", "town", 115.7, 37.74),
              ("德州", "city", 116.3, 37.45), ("唐山", "city", 118.18, 39.63), ("廊坊", "town", 116.7, 39.52),
              ("邢台", "town", 114.5, 37.07), ("济阳", "town", 117.2, 36.98), ("承德", "town", 117.9, 40.0)]
    for name, cls, x, y in cities:
        feats.append(feature("城市", cls, point(x, y), name))
    c = {name: (x, y) for name, _, x, y in cities}
    for route in [["京城", "保定", "石门", "邢台"], ["京城", "廊坊", "津门", "沧州", "德州", "济阳"],
                  ["津门", "唐山"], ["石门", "衡水", "德州"]]:
        pts = [c[r] for r in route]
        feats.append(feature("铁路", "railway", line(meander(pts, rnd, 0.05, 0.02, seg=8))))
    for route in [["京城", "承德"], ["保定", "津门"], ["沧州", "衡水"], ["唐山", "承德"]]:
        pts = [c[r] for r in route]
        feats.append(feature("公路", "highway", line(meander(pts, rnd, 0.05, 0.03, seg=8))))

    layers = [
        {"name": "海洋", "type": "GIS_DRAWER_VECTOR", "classes": [
            {"value": "sea", "label": "海洋", "symbol": symbol("fill", 3366, "#bfe0f5")}]},
        {"name": "湖泊", "type": "GIS_DRAWER_VECTOR", "classes": [
            {"value": "lake", "label": "湖泊", "symbol": symbol("fill", 3366, "#a9d3f2", color2="#2f78c4",
                                                                width=0.1)}]},
        {"name": "海岸线", "type": "GIS_DRAWER_VECTOR", "classes": [
            {"value": "coast", "label": "海岸线", "symbol": symbol("line", 3331, "#2f78c4", width=0.3)}]},
        {"name": "河流", "type": "GIS_DRAWER_VECTOR", "classes": [
            {"value": "river", "label": "河流", "symbol": symbol("line", 3331, "#2f78c4", width=0.35)}]},
        {"name": "境界", "type": "GIS_DRAWER_VECTOR", "classes": [
            {"value": "province", "label": "省界", "symbol": symbol("line", 3334, "#7d3c98", width=0.4)}]},
        {"name": "交通", "type": "GIS_DRAWER_GROUP", "children": [
            {"name": "公路", "type": "GIS_DRAWER_VECTOR", "classes": [
                {"value": "highway", "label": "高速公路", "symbol": symbol("line", 3331, "#d9531e", width=0.5)}]},
            {"name": "铁路", "type": "GIS_DRAWER_VECTOR", "classes": [
                {"value": "railway", "label": "铁路", "symbol": symbol("line", 3333, "#000000", width=0.45)}]}]},
        {"name": "城市", "type": "GIS_DRAWER_VECTOR", "labels": {"font": "黑体", "size": 8, "color": "#000000"},
         "classes": [
             {"value": "capital", "label": "首府", "symbol": symbol("point", 3307, "#c0002a", kind=5, size=10)},
             {"value": "city", "label": "地级市", "symbol": symbol("point", 3304, "#c0002a", kind=5, size=6)},
             {"value": "town", "label": "县级市", "symbol": symbol("point", 3301, "#333333", kind=5, size=5)}]},
    ]
    return {"type": "FeatureCollection",
            "mapdeck": {"version": 1, "name": "华北 1:100万",
                        "reference": {"kind": "geographic", "datum": "CGCS2000"},
                        "referenceScale": 1000000, "extent": [w, s, e, n], "layers": layers},
            "features": feats}


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "host", "helmora",
                                                              "maps")
    os.makedirs(out, exist_ok=True)
    for name, data in [("sheet_50k.geojson", sheet_50k()), ("region_1m.geojson", region_1m())]:
        with open(os.path.join(out, name), "w", encoding="utf-8") as f:
            json.dump(data, f, ensure_ascii=False, separators=(",", ":"))
            f.write("\n")


if __name__ == "__main__":
    main()
