#!/usr/bin/env python3
"""Checks `vorlin crescent --map`, the crescent visibility maps.

Run as: check_map.py PATH_TO_VORLIN.

The SVG map of the evening of 2024-03-10 by Yallop's criterion is parsed
with xml.etree: the runs of cells (one <rect> per run of one zone along a
row, with data-zone, data-cells, data-lat and data-lon) must tile every row
of 360 cells and the 180 rows, 64800 cells in all, each run placed where
its latitude and longitude fall in the map's frame; one colour per zone;
the legend must have every zone of the criterion (and no evening) in the
cells' colours; the title the date, the criterion and the geocentric
conjunction, which must be the one `vorlin crescent --format json` gives.
Cells at chosen places (Makkah, the Americas, Australia, a polar cell
without an evening) and cells on both sides of every change of zone along
three rows are compared with `vorlin crescent` at the cell's centre on the
clock UTC + round(longitude / 15): its JSON's zone of the criterion, or no
evening (exit status 1 and a reason).  The same for arcv-width.  The land
outlines must be those decoded from cli/data/land-110m.json by
tools/gen_land.py, at their longitudes and latitudes in the frame.

The PNG of the same map must be a PNG of the SVG's size (signature, IHDR,
every chunk's CRC), and its pixels, decompressed and unfiltered, must show
each cell's colour at its centre (but where a land outline crosses it).
An extension other than .svg or .png is refused (exit 2, naming --map);
a file that cannot be written exits 1.
"""
import datetime
import json
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zlib

VORLIN = sys.argv[1]
ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
sys.path.insert(0, os.path.join(ROOT, "tools"))
import gen_land  # noqa: E402  (the decoder of the land outlines)

SVG_NS = "{http://www.w3.org/2000/svg}"
DATE = "2024-03-10"
MAKKAH = ["--lat", "21.4225", "--lon", "39.8262", "--tz", "3"]
ZONES = {"yallop": "ABCDEF", "arcv-width": "ABCD"}
NO_EVENING = "-"
FAILURES = []


def fail(message):
    FAILURES.append(message)
    print("FAIL:", message)


def run(args, status=0):
    result = subprocess.run([VORLIN] + args, capture_output=True)
    if result.returncode != status:
        fail("vorlin %s: exit %d, %d expected; stderr %r" %
             (" ".join(args), result.returncode, status, result.stderr.decode("utf-8", "replace")))
    return result


def half_away(x):
    """round() as C's: halves away from zero (Python's goes to even)."""
    return int(x + 0.5) if x >= 0 else -int(-x + 0.5)


def near(a, b, tolerance=0.011):
    return abs(a - b) <= tolerance


class Map:
    """The SVG parsed: the frame, the runs of cells, the grid of zones."""

    def __init__(self, path, criterion):
        self.criterion = criterion
        self.root = ET.parse(path).getroot()
        if self.root.tag != SVG_NS + "svg":
            fail("%s: the root is %s, not svg" % (path, self.root.tag))
        self.width = int(self.root.get("width"))
        self.height = int(self.root.get("height"))
        frame = self.root.find(".//%srect[@id='map-frame']" % SVG_NS)
        self.x0, self.y0 = float(frame.get("x")), float(frame.get("y"))
        self.scale = float(frame.get("width")) / 360.0
        if not near(float(frame.get("height")), 180.0 * self.scale):
            fail("the frame is not twice as wide as high")
        self.group = {g.get("id"): g for g in self.root.iter(SVG_NS + "g")}
        self.zone = {}   # (lat, lon) of a cell's centre -> zone
        self.fill = {}   # zone -> the colour of its cells
        self.check_cells()

    def check_cells(self):
        allowed = set(ZONES[self.criterion]) | {NO_EVENING}
        rows = {}
        total = 0
        for rect in self.group["cells"].iter(SVG_NS + "rect"):
            zone, cells = rect.get("data-zone"), int(rect.get("data-cells"))
            lat, lon = float(rect.get("data-lat")), float(rect.get("data-lon"))
            total += cells
            if zone not in allowed:
                fail("a cell of zone %r" % zone)
            if cells < 1:
                fail("a run of %d cells at %g %g" % (cells, lat, lon))
            # Where the run must be in the frame.
            x, y = float(rect.get("x")), float(rect.get("y"))
            w, h = float(rect.get("width")), float(rect.get("height"))
            if not (near(x, self.x0 + (lon - 0.5 + 180.0) * self.scale) and
                    near(y, self.y0 + (90.0 - lat - 0.5) * self.scale) and
                    near(w, cells * self.scale) and near(h, self.scale)):
                fail("the run at %g %g of %d cells is at x %g y %g, %g x %g" % (lat, lon, cells, x, y, w, h))
            if self.fill.setdefault(zone, rect.get("fill")) != rect.get("fill"):
                fail("zone %s in two colours" % zone)
            rows.setdefault(lat, []).append((lon, cells, zone))
            for k in range(cells):
                self.zone[(lat, lon + k)] = zone
        if total != 64800:
            fail("%d cells, 64800 expected" % total)
        if sorted(rows) != [-89.5 + i for i in range(180)]:
            fail("the rows are not those of latitudes -89.5..89.5")
        for lat, runs in rows.items():
            expected = -179.5
            for lon, cells, zone in runs:
                if lon != expected:
                    fail("row %g: a run begins at %g, not %g" % (lat, lon, expected))
                expected = lon + cells
            if expected != 180.5:
                fail("row %g ends at %g" % (lat, expected - 1))
            for (_, _, a), (_, _, b) in zip(runs, runs[1:]):
                if a == b:
                    fail("row %g: two runs of zone %s one after the other" % (lat, a))
        fills = list(self.fill.values())
        if len(set(fills)) != len(fills):
            fail("two zones in one colour: %r" % self.fill)

    def texts(self, group):
        return " ".join("".join(t.itertext()) for t in self.group[group].iter(SVG_NS + "text"))


def point_zone(criterion, lat, lon):
    """The zone `vorlin crescent` gives at one cell's centre, or NO_EVENING."""
    args = [DATE, "--lat", "%g" % lat, "--lon", "%g" % lon, "--tz", str(half_away(lon / 15.0)), "--format", "json"]
    result = subprocess.run([VORLIN, "crescent"] + args, capture_output=True)
    answer = json.loads(result.stdout)
    if result.returncode == 1 and "reason" in answer:
        return NO_EVENING
    if result.returncode != 0:
        fail("vorlin crescent %s: exit %d" % (" ".join(args), result.returncode))
        return None
    return answer["criteria"][criterion]["zone"]


def check_points(m, cells):
    for lat, lon, what in cells:
        expected = point_zone(m.criterion, lat, lon)
        if m.zone.get((lat, lon)) != expected:
            fail("%s: the cell at %g %g (%s) is %r on the map, %r at the point" %
                 (m.criterion, lat, lon, what, m.zone.get((lat, lon)), expected))


def boundary_cells(m, lats):
    """Both cells of every change of zone along the rows of lats."""
    cells = []
    for lat in lats:
        for column in range(1, 360):
            lon = -179.5 + column
            if m.zone[(lat, lon)] != m.zone[(lat, lon - 1)]:
                cells += [(lat, lon - 1, "west of a change of zone"), (lat, lon, "east of a change of zone")]
    return cells


def check_legend(m):
    letters = ZONES[m.criterion] + NO_EVENING
    legend = m.group["legend"]
    swatches = {r.get("data-zone"): r.get("fill") for r in legend.iter(SVG_NS + "rect")}
    labels = {t.get("data-zone"): "".join(t.itertext()) for t in legend.iter(SVG_NS + "text")}
    if sorted(swatches) != sorted(letters) or sorted(labels) != sorted(letters):
        fail("%s: the legend has the zones %r and %r, not %r" % (m.criterion, sorted(swatches), sorted(labels),
                                                                 letters))
    for zone in ZONES[m.criterion]:
        if not labels.get(zone, "").startswith(zone + " ") or len(labels.get(zone, "")) < 8:
            fail("%s: the legend's zone %s reads %r" % (m.criterion, zone, labels.get(zone)))
    if "no evening" not in labels.get(NO_EVENING, ""):
        fail("the legend's no-evening entry reads %r" % labels.get(NO_EVENING))
    for zone, fill in m.fill.items():
        if swatches.get(zone) != fill:
            fail("%s: zone %s is %s in the legend, %s on the map" % (m.criterion, zone, swatches.get(zone), fill))


def check_title(m):
    conjunction = json.loads(run(["crescent", DATE] + MAKKAH + ["--format", "json"]).stdout)["conjunction"]
    at = datetime.datetime.fromisoformat(conjunction["geocentric"]).astimezone(datetime.timezone.utc)
    at = (at + datetime.timedelta(seconds=30)).replace(second=0, microsecond=0)
    when = at.strftime("%Y-%m-%d %H:%M UTC")
    title = m.root.find(SVG_NS + "title").text
    shown = m.texts("title") + " " + m.texts("subtitle")
    for text, name in ((title, "<title>"), (shown, "the title lines")):
        for part in (DATE, "conjunction", when, m.criterion):
            if part not in text:
                fail("%s %r lacks %r" % (name, text, part))


def check_land(m):
    """The land's paths are the decoded outlines, in the frame."""
    expected = gen_land.outlines(gen_land.decode_rings(os.path.join(ROOT, "cli", "data", "land-110m.json")))
    paths = [p.get("d") for p in m.group["land"].iter(SVG_NS + "path")]
    if len(paths) != len(expected) or len(paths) < 100:
        fail("%d land outlines, %d expected" % (len(paths), len(expected)))
        return
    worst = 0.0
    for d, outline in zip(paths, expected):
        numbers = [float(t) for t in d.replace("M", " ").replace("L", " ").split()]
        points = list(zip(numbers[0::2], numbers[1::2]))
        if len(points) != len(outline):
            fail("a land outline of %d points, %d expected" % (len(points), len(outline)))
            return
        for (x, y), (lon, lat) in zip(points, outline):
            worst = max(worst, abs((x - m.x0) / m.scale - 180.0 - lon / 100.0),
                        abs(90.0 - (y - m.y0) / m.scale - lat / 100.0))
    if worst > 0.01:
        fail("the land outlines are up to %g degrees from their places" % worst)


def png_pixels(path):
    """(width, height, rows of (r, g, b)) of an 8-bit RGB or RGBA PNG, every
    chunk's CRC checked."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        fail("%s: not a PNG signature" % path)
        return None
    at, chunks = 8, []
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) != crc:
            fail("%s: chunk %r has a bad CRC" % (path, kind))
        chunks.append((kind, body))
        at += 12 + length
    if chunks[0][0] != b"IHDR" or chunks[-1][0] != b"IEND":
        fail("%s: the chunks are %r" % (path, [k for k, _ in chunks]))
        return None
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        fail("%s: depth %d colour type %d interlace %d" % (path, depth, colour, interlace))
        return None
    bpp = 3 if colour == 2 else 4
    raw = zlib.decompress(b"".join(body for kind, body in chunks if kind == b"IDAT"))
    stride = width * bpp
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = previous[i]
            c = previous[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 255
            elif kind == 2:
                line[i] = (line[i] + b) & 255
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        previous = line
    return width, height, [[tuple(r[x * bpp:x * bpp + 3]) for x in range(width)] for r in rows]


def check_png(m, path):
    decoded = png_pixels(path)
    if decoded is None:
        return
    width, height, pixels = decoded
    if (width, height) != (m.width, m.height):
        fail("the PNG is %d x %d, the SVG %d x %d" % (width, height, m.width, m.height))
        return
    colour = {zone: tuple(int(fill[i:i + 2], 16) for i in (1, 3, 5)) for zone, fill in m.fill.items()}
    wrong = {}
    for (lat, lon), zone in m.zone.items():
        x = int(m.x0 + (lon + 180.0) * m.scale)
        y = int(m.y0 + (90.0 - lat) * m.scale)
        if pixels[y][x] != colour[zone]:
            wrong[zone] = wrong.get(zone, 0) + 1
    count = {zone: sum(1 for z in m.zone.values() if z == zone) for zone in m.fill}
    # A land outline may cross a cell's centre: a few percent of them.
    for zone, n in wrong.items():
        if n > 0.1 * count[zone] + 5:
            fail("the PNG shows %d of the %d cells of zone %s in another colour" % (n, count[zone], zone))
    if sum(wrong.values()) > 0.05 * len(m.zone):
        fail("the PNG shows %d cells in other colours than the SVG" % sum(wrong.values()))


def main():
    with tempfile.TemporaryDirectory(prefix="vorlin-map-") as workdir:
        svg = os.path.join(workdir, "yallop.svg")
        said = run(["crescent", "--date", DATE] + MAKKAH + ["--map", svg, "--criterion", "yallop"])
        line = said.stdout.decode("utf-8")
        for part in (svg, "yallop", "64800"):
            if part not in line:
                fail("the answer %r does not name %r" % (line, part))
        m = Map(svg, "yallop")
        check_legend(m)
        check_title(m)
        check_land(m)
        if len(m.fill) < 5:
            fail("only the zones %r on the map" % sorted(m.fill))
        check_points(m, [(21.5, 39.5, "Makkah"), (19.5, -99.5, "Mexico City"), (-12.5, -77.5, "Lima"),
                         (40.5, -74.5, "New York"), (-33.5, 151.5, "Sydney"), (-25.5, 133.5, "Alice Springs"),
                         (88.5, 20.5, "near the North Pole"), (-88.5, 0.5, "near the South Pole"),
                         (0.5, 7.5, "Gulf of Guinea, clock UTC+1")])
        check_points(m, boundary_cells(m, [0.5, 30.5, -30.5]))

        # No --criterion: yallop; the same scene as a PNG.
        png = os.path.join(workdir, "yallop.PNG")
        line = run(["crescent", "--date", DATE] + MAKKAH + ["--map", png]).stdout.decode("utf-8")
        if "yallop" not in line:
            fail("without --criterion the map is not yallop's: %r" % line)
        check_png(m, png)

        svg = os.path.join(workdir, "arcv.svg")
        run(["crescent", "--date", DATE] + MAKKAH + ["--map", svg, "--criterion", "arcv-width"])
        a = Map(svg, "arcv-width")
        check_legend(a)
        check_points(a, [(21.5, 39.5, "Makkah"), (10.5, -120.5, "eastern Pacific")])
        check_points(a, boundary_cells(a, [10.5]))

        refused = run(["crescent", "--date", DATE, "--map", os.path.join(workdir, "map.jpg")], status=2)
        if b"--map" not in refused.stderr:
            fail("a .jpg map: %r" % refused.stderr)
        if os.path.exists(os.path.join(workdir, "map.jpg")):
            fail("a .jpg map was written")
        missing = os.path.join(workdir, "no-such-folder", "map.svg")
        unwritable = run(["crescent", "--date", DATE, "--map", missing], status=1)
        if missing.encode() not in unwritable.stderr:
            fail("an unwritable map: %r" % unwritable.stderr)
    if FAILURES:
        print("%d failure(s)" % len(FAILURES))
        return 1
    print("all map checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
