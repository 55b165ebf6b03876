#!/usr/bin/env python3
"""Writes the land outlines of the crescent maps: the rings of
cli/data/land-110m.json (Natural Earth 1:110m land as TopoJSON, see
cli/data/README.md) as a C++ header of constexpr tables, for
cli/visibility_map.cpp.

    gen_land.py LAND_JSON OUTPUT_H
    gen_land.py --check    (a test: the data file is the one recorded in
                            cli/data/README.md, and its decoded rings are
                            plausible: count, ranges, closure, places on
                            land and at sea)

Decoding: each arc is a list of quantized positions, the first absolute
and the others differences from the one before; a position (x, y) is
(x * scale + translate) degrees.  A ring lists arcs by index, ~i (that is
-1 - i) for arc i walked backwards; consecutive arcs share their end point,
written once.

Output: the rings cut where they cross the 180th meridian (a step of more
than 180 degrees of longitude), each piece extended to the meridian by
interpolation, so that each outline is a polyline on an equirectangular
map; points in hundredths of a degree (longitude, latitude).
"""
import hashlib
import json
import os
import re
import sys

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
DATA = os.path.join(ROOT, "cli", "data")


def decode_rings(path):
    """The rings of every polygon of every land geometry of the file."""
    with open(path, encoding="utf-8") as f:
        return decode_topology(json.load(f))


def decode_topology(topology):
    """The rings of every polygon of every geometry of a TopoJSON topology:
    lists of (longitude, latitude) in degrees, each closed (first point ==
    last)."""
    if topology.get("type") != "Topology":
        raise ValueError("not a TopoJSON topology")
    transform = topology.get("transform")
    scale = transform["scale"] if transform else (1.0, 1.0)
    translate = transform["translate"] if transform else (0.0, 0.0)

    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for position in arc:
            if transform:
                x += position[0]
                y += position[1]
            else:
                x, y = position[0], position[1]
            points.append((x * scale[0] + translate[0], y * scale[1] + translate[1]))
        arcs.append(points)

    def ring_of(indices):
        points = []
        for index in indices:
            arc = arcs[index] if index >= 0 else arcs[~index][::-1]
            if points:
                points.pop()  # the shared point, written by the arc before
            points.extend(arc)
        return points

    rings = []

    def geometry(g):
        kind = g["type"]
        if kind == "GeometryCollection":
            for child in g["geometries"]:
                geometry(child)
        elif kind == "Polygon":
            rings.extend(ring_of(r) for r in g["arcs"])
        elif kind == "MultiPolygon":
            for polygon in g["arcs"]:
                rings.extend(ring_of(r) for r in polygon)

    for obj in topology["objects"].values():
        geometry(obj)
    return rings


def split_at_antimeridian(ring):
    """The ring as polylines none of whose steps crosses the 180th
    meridian: at a crossing the piece ends on the meridian and the next
    begins on it at the other side, at the latitude interpolated there."""
    pieces = [[ring[0]]]
    for (lon0, lat0), (lon1, lat1) in zip(ring, ring[1:]):
        if abs(lon1 - lon0) > 180.0:
            # Going east over the meridian when lon1 < lon0, west otherwise.
            edge = 180.0 if lon1 < lon0 else -180.0
            unwrapped = lon1 + 360.0 if lon1 < lon0 else lon1 - 360.0
            if unwrapped == lon0:
                # A step along the meridian itself (from -180 to +180 or
                # back): where a ring was cut, not a coast; not drawn.
                pieces.append([])
            else:
                t = (edge - lon0) / (unwrapped - lon0)
                lat = lat0 + t * (lat1 - lat0)
                pieces[-1].append((edge, lat))
                pieces.append([(-edge, lat)])
        pieces[-1].append((lon1, lat1))
    # A closed ring that was cut: its last piece runs on into its first
    # (unless the ring was cut at its first point).
    if len(pieces) > 1 and ring[0] == ring[-1] and abs(ring[0][0]) != 180.0:
        last = pieces.pop()
        pieces[0] = last + pieces[0][1:]
    return pieces


def outlines(rings):
    """Every ring's polylines, in hundredths of a degree, with the points
    that round to the one before them dropped."""
    result = []
    for ring in rings:
        for piece in split_at_antimeridian(ring):
            points = []
            for lon, lat in piece:
                p = (int(round(lon * 100.0)), int(round(lat * 100.0)))
                if not points or points[-1] != p:
                    points.append(p)
            if len(points) >= 2:
                result.append(points)
    return result


def crossings_north(rings, lon, lat):
    """How many ring edges the meridian from (lon, lat) to the north pole
    crosses.  Odd means on land: no ring encloses the north pole, so the
    parity counts the rings around the point (a lake's ring undoes its
    continent's).  Each edge is the short way round in longitude."""
    count = 0
    for ring in rings:
        for (lon0, lat0), (lon1, lat1) in zip(ring, ring[1:]):
            d0 = (lon0 - lon + 540.0) % 360.0 - 180.0
            d1 = (lon1 - lon + 540.0) % 360.0 - 180.0
            if abs(d1 - d0) > 180.0:
                continue  # the edge lies on the far side of the globe
            if (d0 <= 0.0) == (d1 <= 0.0):
                continue
            t = d0 / (d0 - d1)
            if lat0 + t * (lat1 - lat0) > lat:
                count += 1
    return count


def on_land(rings, lon, lat):
    return crossings_north(rings, lon, lat) % 2 == 1


def inside_ring(ring, lon, lat):
    return crossings_north([ring], lon, lat) % 2 == 1


# (name, latitude, longitude, on land)
PLACES = [
    ("Cairo", 30.04, 31.24, True),
    ("Makkah", 21.42, 39.83, True),
    ("Sydney, inland", -33.6, 150.6, True),
    ("Chicago", 41.88, -87.63, True),
    ("Sao Paulo", -23.55, -46.63, True),
    ("Moscow", 55.76, 37.62, True),
    ("Chukotka, east of 180", 66.0, -172.0, True),
    ("Chukotka, west of 180", 67.5, 175.0, True),
    ("Antarctica, near the South Pole", -89.0, 45.0, True),
    ("mid-Atlantic", 0.0, -25.0, False),
    ("mid-Pacific", 0.0, -150.0, False),
    ("Indian Ocean", -20.0, 80.0, False),
    ("Arctic Ocean, near the North Pole", 89.5, 0.0, False),
    ("Bering Sea, on the 180th meridian", 58.0, 180.0, False),
]


def self_test():
    """The decoder and the cut on small cases worked out by hand: two
    squares sharing an edge, one arc of it walked backwards (the land file
    has no such arc), and a ring crossing the 180th meridian twice."""
    failures = []
    topology = {
        "type": "Topology",
        "transform": {"scale": [0.5, 0.25], "translate": [10, 20]},
        "arcs": [[[2, 0], [0, 2]],
                 [[2, 2], [-2, 0], [0, -2], [2, 0]],
                 [[2, 0], [2, 0], [0, 2], [-2, 0]]],
        "objects": {"squares": {"type": "GeometryCollection", "geometries": [
            {"type": "Polygon", "arcs": [[0, 1]]},
            {"type": "MultiPolygon", "arcs": [[[2, ~0]]]}]}},
    }
    expected = [[(11.0, 20.0), (11.0, 20.5), (10.0, 20.5), (10.0, 20.0), (11.0, 20.0)],
                [(11.0, 20.0), (12.0, 20.0), (12.0, 20.5), (11.0, 20.5), (11.0, 20.0)]]
    if decode_topology(topology) != expected:
        failures.append("two squares decode to %r" % decode_topology(topology))
    ring = [(170.0, 0.0), (-170.0, 0.0), (-170.0, 10.0), (170.0, 10.0), (170.0, 0.0)]
    expected = [[(180.0, 10.0), (170.0, 10.0), (170.0, 0.0), (180.0, 0.0)],
                [(-180.0, 0.0), (-170.0, 0.0), (-170.0, 10.0), (-180.0, 10.0)]]
    if split_at_antimeridian(ring) != expected:
        failures.append("a ring over the 180th meridian is cut into %r" % split_at_antimeridian(ring))
    if not on_land([ring], 178.0, 5.0) or not on_land([ring], -175.0, 5.0) or on_land([ring], 0.0, 5.0):
        failures.append("the meridian test is wrong about a ring over the 180th meridian")
    return failures


def check():
    failures = self_test()
    readme = open(os.path.join(DATA, "README.md"), encoding="utf-8").read()
    sums = re.findall(r"SHA-256 `([0-9a-f]{64})`", readme)
    path = os.path.join(DATA, "land-110m.json")
    with open(path, "rb") as f:
        if not sums or hashlib.sha256(f.read()).hexdigest() != sums[0]:
            failures.append("land-110m.json is not the one recorded in cli/data/README.md")
    rings = decode_rings(path)
    if len(rings) <= 100:
        failures.append("%d rings, more than 100 expected" % len(rings))
    for i, ring in enumerate(rings):
        if len(ring) < 4 or ring[0] != ring[-1]:
            failures.append("ring %d is not closed" % i)
        for lon, lat in ring:
            if not (-180.0 <= lon <= 180.0 and -90.0 <= lat <= 90.0):
                failures.append("ring %d has the point (%r, %r)" % (i, lon, lat))
                break
    for name, lat, lon, land in PLACES:
        if on_land(rings, lon, lat) != land:
            failures.append("%s (%g, %g) %s" % (name, lat, lon, "is at sea" if land else "is on land"))
    # Cairo inside one ring of the land, the mid-Atlantic inside none.
    if not any(inside_ring(r, 31.24, 30.04) for r in rings):
        failures.append("Cairo is inside no ring")
    if any(inside_ring(r, -25.0, 0.0) for r in rings):
        failures.append("the mid-Atlantic is inside a ring")
    # The outlines: no step over the meridian, every point in range, and
    # the pieces of each ring hold all its points.
    lines = outlines(rings)
    for i, line in enumerate(lines):
        for (lon0, _), (lon1, _) in zip(line, line[1:]):
            if abs(lon1 - lon0) > 18000:
                failures.append("outline %d steps over the 180th meridian" % i)
                break
        if any(not (-18000 <= lon <= 18000 and -9000 <= lat <= 9000) for lon, lat in line):
            failures.append("outline %d leaves the map" % i)
    ring_points = {(int(round(lon * 100)), int(round(lat * 100))) for r in rings for lon, lat in r}
    line_points = {p for line in lines for p in line}
    if not ring_points <= line_points:
        failures.append("%d points of the rings in no outline" % len(ring_points - line_points))
    cut = sum(1 for r in rings if len(split_at_antimeridian(r)) > 1)
    if cut < 2:
        failures.append("%d rings cross the 180th meridian, at least 2 expected (Asia, Antarctica)" % cut)
    for f in failures[:20]:
        print("FAIL:", f)
    print("%d rings (%d cut at the 180th meridian), %d outlines of %d points: %s" %
          (len(rings), cut, len(lines), sum(len(l) for l in lines),
           "ok" if not failures else "%d failures" % len(failures)))
    return 1 if failures else 0


def header(lines):
    out = ["// Generated by tools/gen_land.py from cli/data/land-110m.json (Natural Earth",
           "// 1:110m land, via the npm package world-atlas): do not edit.",
           "#pragma once", "", "#include <cstdint>", "",
           "namespace vorlin::cli::land {", "",
           "// The outlines' points, one after the other: longitude and latitude in",
           "// hundredths of a degree.",
           "inline constexpr std::int16_t Points[][2] = {"]
    row = []
    for line in lines:
        for lon, lat in line:
            row.append("{%d,%d}," % (lon, lat))
            if len(row) == 8:
                out.append("    " + "".join(row))
                row = []
    if row:
        out.append("    " + "".join(row))
    out.append("};")
    out.append("")
    out.append("// Outline i is Points[Starts[i]] .. Points[Starts[i + 1] - 1].")
    out.append("inline constexpr std::uint32_t Starts[] = {")
    starts, at = [], 0
    for line in lines:
        starts.append(at)
        at += len(line)
    starts.append(at)
    for i in range(0, len(starts), 12):
        out.append("    " + " ".join("%d," % s for s in starts[i:i + 12]))
    out.append("};")
    out.append("inline constexpr int OutlineCount = %d;" % len(lines))
    out.append("")
    out.append("}  // namespace vorlin::cli::land")
    return "\n".join(out) + "\n"


def main():
    if sys.argv[1:] == ["--check"]:
        sys.exit(check())
    if len(sys.argv) != 3:
        sys.exit("usage: gen_land.py LAND_JSON OUTPUT_H | --check")
    text = header(outlines(decode_rings(sys.argv[1])))
    with open(sys.argv[2], "w", encoding="ascii") as f:
        f.write(text)


if __name__ == "__main__":
    main()
