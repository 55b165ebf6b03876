#!/usr/bin/env python3
"""Checks `vorlin times --format html`, the printable timetable page.

Run as: check_html.py PATH_TO_VORLIN.

For several requests (a London month with the spring change of the clock,
a day, a year, an autumn month rounded to the nearest minute, Tromso in
summer with both Asr times and times missing or filled, Hijri months, Apia
across the date its clock skipped, a name with markup characters and one in
Latin-1) the page is parsed with html.parser into a tree, refusing any end
tag that does not close the element open, and checked against the JSON of
the same request: one table per civil (or Hijri) month headed by both
calendars' month names, a row per date of the schedule, each time cell the
JSON's local time as HH:MM (rounded as the page says), the next-day marks,
the summer-time rows, the notes of filled and missing times and of the
clock's changes.  The page must be self-contained: no scripts, links,
images or addresses of anything elsewhere.

Then headless Chromium renders pages: its DOM must hold the same rows and
cells, and printed to PDF a month fills exactly one A4 page and a year
twelve.  Without /usr/bin/chromium the browser part is skipped (after the
other checks pass) and the test says so.
"""
import calendar
import datetime
import json
import os
import re
import subprocess
import sys
import tempfile
import zlib
from html.parser import HTMLParser

VORLIN = sys.argv[1]
CHROMIUM = "/usr/bin/chromium"
FAILURES = []
MINUS = "\u2212"
DASH = "\u2014"
NIGHT_AFTER = ("midnight", "lastThird")  # of the night after the date
ROUNDED_DOWN = ("imsak", "sunrise", "midnight")  # when the settings keep seconds


def fail(message):
    FAILURES.append(message)
    print("FAIL: " + message)


def run(args, status=0):
    result = subprocess.run([VORLIN] + args, capture_output=True, timeout=300)
    if result.returncode != status:
        raise SystemExit("vorlin %r: exit %d: %s" % (args, result.returncode,
                                                      result.stderr.decode("latin-1")))
    return result


# ---------------------------------------------------------------- the tree

VOID = {"area", "base", "br", "col", "embed", "hr", "img", "input", "link", "meta", "source",
        "track", "wbr"}


class Element:
    def __init__(self, tag, attrs):
        self.tag = tag
        self.attrs = dict(attrs)
        self.children = []

    def classes(self):
        return (self.attrs.get("class") or "").split()

    def elements(self):
        return [c for c in self.children if isinstance(c, Element)]

    def find_all(self, tag):
        found = []
        for c in self.elements():
            if c.tag == tag:
                found.append(c)
            found.extend(c.find_all(tag))
        return found

    def find(self, tag):
        found = self.find_all(tag)
        return found[0] if found else None

    def text(self, skip=()):
        parts = []
        for c in self.children:
            if isinstance(c, Element):
                if c.tag not in skip:
                    parts.append(c.text(skip))
            else:
                parts.append(c)
        return "".join(parts)


class TreeBuilder(HTMLParser):
    """A strict tree: every non-void element closed by its own end tag."""

    def __init__(self, what):
        super().__init__(convert_charrefs=True)
        self.what = what
        self.root = Element("#document", [])
        self.stack = [self.root]
        self.doctype = None
        self.errors = []

    def handle_decl(self, decl):
        self.doctype = decl

    def handle_starttag(self, tag, attrs):
        element = Element(tag, attrs)
        self.stack[-1].children.append(element)
        if tag not in VOID:
            self.stack.append(element)

    def handle_startendtag(self, tag, attrs):
        if tag not in VOID:
            self.errors.append("<%s/> is not a void element" % tag)
        self.stack[-1].children.append(Element(tag, attrs))

    def handle_endtag(self, tag):
        if tag in VOID:
            self.errors.append("end tag of the void element %s" % tag)
        elif len(self.stack) < 2 or self.stack[-1].tag != tag:
            self.errors.append("</%s> closes <%s>" % (tag, self.stack[-1].tag))
        else:
            self.stack.pop()

    def handle_data(self, data):
        self.stack[-1].children.append(data)


def parse_page(what, raw):
    """The tree of a page (bytes), with its well-formedness checked."""
    try:
        text = raw.decode("utf-8", "strict")
    except UnicodeDecodeError as e:
        fail("%s: not UTF-8: %s" % (what, e))
        text = raw.decode("utf-8", "replace")
    builder = TreeBuilder(what)
    builder.feed(text)
    builder.close()
    for error in builder.errors:
        fail("%s: %s" % (what, error))
    if len(builder.stack) != 1:
        fail("%s: left open: %s" % (what, [e.tag for e in builder.stack[1:]]))
    if builder.doctype is None or builder.doctype.lower() != "doctype html":
        fail("%s: no <!DOCTYPE html> (%r)" % (what, builder.doctype))
    tops = builder.root.elements()
    if [e.tag for e in tops] != ["html"]:
        fail("%s: top-level elements %s" % (what, [e.tag for e in tops]))
        return None, text
    html = tops[0]
    if [e.tag for e in html.elements()] != ["head", "body"]:
        fail("%s: <html> holds %s" % (what, [e.tag for e in html.elements()]))
        return None, text
    head = html.elements()[0]
    first = head.elements()[0] if head.elements() else None
    if first is None or first.tag != "meta" or (first.attrs.get("charset") or "").lower() != "utf-8":
        fail("%s: the head does not begin with <meta charset=\"utf-8\">" % what)
    return html, text


def self_contained(what, html, text):
    """Nothing the page would fetch or run."""
    lowered = text.lower()
    for needle in ("http:", "https:", "src=", "<link", "url(", "@import", "<script", "<img",
                   "<iframe", "<object", "<embed", "<base", "//www", "ftp:"):
        if needle in lowered:
            fail("%s: the page holds %r" % (what, needle))
    for element in all_elements(html):
        for name in element.attrs:
            if name in ("href", "src", "srcset", "action", "formaction", "poster", "data",
                        "background", "manifest", "ping") or name.startswith("on"):
                fail("%s: <%s %s=...>" % (what, element.tag, name))


def all_elements(node):
    for c in node.elements():
        yield c
        yield from all_elements(c)


# --------------------------------------------------------- page against JSON

def iso(text):
    """(local date, seconds of the day) of an ISO 8601 local date-time."""
    moment = datetime.datetime.fromisoformat(text)
    return moment.date(), moment.hour * 3600 + moment.minute * 60 + moment.second


def expected_cell(key, value, row_date, rounding):
    """(HH:MM, day shift) the page must show for a JSON time."""
    day, second = iso(value)
    second += (day - row_date).days * 86400
    if rounding == "seconds":
        minute = second // 60 if key in ROUNDED_DOWN else -(-second // 60)
    else:
        if second % 60 != 0:
            fail("JSON %s of %s is not a whole minute with rounding %s" % (key, row_date, rounding))
        minute = second // 60
    shift, of_day = divmod(minute, 1440)
    return "%02d:%02d" % divmod(of_day, 60), shift


def cell_parts(td):
    """(text without the marks, [marks]) of a cell."""
    marks = [s.text().strip() for s in td.elements() if s.tag == "sup"]
    return td.text(skip=("sup",)).strip(), marks


def check_page(what, args, html, document, hijri_months=False):
    settings = document["settings"]
    rounding = settings["rounding"]
    json_days = {d["date"]: d for d in document["days"]}
    place = document["place"]

    h1 = html.find("h1")
    name = place["name"]
    if h1 is None or (name and name not in h1.text()):
        fail("%s: the title does not name the place %r" % (what, name))
    title = html.find("title")
    if title is None or (name and name not in title.text()):
        fail("%s: <title> does not name the place %r" % (what, name))
    header = html.find("header")
    if header is None or place["zone"] not in header.text():
        fail("%s: the header does not give the zone %s" % (what, place["zone"]))
    footer = html.find("footer")
    footer_text = footer.text() if footer is not None else ""
    if "Place data: GeoNames" not in footer_text:
        fail("%s: no place-data credit in the footer" % what)
    rounding_words = {"seconds": "cautious way", "nearest": "nearest minute",
                      "up": "rounded up", "down": "rounded down"}[rounding]
    if rounding_words not in footer_text:
        fail("%s: the footer does not say the times are %r" % (what, rounding_words))

    sections = [s for s in html.find_all("section") if "month" in s.classes()]
    tables = html.find_all("table")
    if len(tables) != len(sections):
        fail("%s: %d tables in %d month sections" % (what, len(tables), len(sections)))

    keys = list(document["days"][0]["times"].keys()) if document["days"] else []
    seen_rows = []
    previous_offset = None
    previous_group = None
    for number, section in enumerate(sections):
        where = "%s, table %d" % (what, number + 1)
        h2 = section.find("h2")
        heading = h2.text() if h2 is not None else ""
        table = section.find("table")
        if table is None:
            fail("%s: no table" % where)
            continue
        columns = [th.attrs.get("data-event") for th in table.find("thead").find_all("th")]
        if columns[3:] != keys or columns[:3] != [None, None, None]:
            fail("%s: columns %s, JSON %s" % (where, columns, keys))
        notes = {}
        note_texts = []
        notes_list = section.find("ul")
        for li in (notes_list.find_all("li") if notes_list is not None else []):
            text = li.text(skip=("sup",)).strip()
            note_texts.append(li.text())
            if "note" in li.classes():
                notes[li.find("sup").text()] = text
        used = set()
        rows = table.find("tbody").find_all("tr")
        groups = set()
        summer_rows = 0
        for index, tr in enumerate(rows):
            date_text = tr.attrs.get("data-date", "")
            row_date = datetime.date.fromisoformat(date_text)
            seen_rows.append(row_date)
            cells = tr.find_all("td")
            here = "%s, %s" % (where, date_text)
            day = json_days.get(date_text)
            if "skipped" in tr.classes():
                if day is not None:
                    fail("%s: shown as skipped, the JSON has times" % here)
                if len(cells) != 4 or "skips it" not in cells[3].text() or \
                        cells[3].attrs.get("colspan") != str(len(keys)):
                    fail("%s: the skipped date's row is %r" % (here, tr.text()))
                groups.add((row_date.year, row_date.month))
                continue
            if day is None:
                fail("%s: a row the JSON does not have" % here)
                continue
            hijri = day["hijri"]
            groups.add((hijri["year"], hijri["month"]) if hijri_months and hijri
                       else (row_date.year, row_date.month))
            if len(cells) != 3 + len(keys):
                fail("%s: %d cells for %d events" % (here, len(cells), len(keys)))
                continue
            # The date, weekday and Hijri date.
            date_cell = cells[0].text().strip()
            want = str(row_date.day) if not hijri_months else \
                "%d %s" % (row_date.day, calendar.month_abbr[row_date.month])
            if date_cell != want:
                fail("%s: date cell %r, want %r" % (here, date_cell, want))
            if cells[1].text().strip() != day["weekday"]:
                fail("%s: weekday %r, JSON %r" % (here, cells[1].text(), day["weekday"]))
            hijri_cell = cells[2].text().strip()
            if hijri is None:
                if hijri_cell:
                    fail("%s: Hijri cell %r, JSON none" % (here, hijri_cell))
            else:
                m = re.fullmatch(r"(\d+)(?: (.+))?", hijri_cell)
                if not m or int(m.group(1)) != hijri["day"]:
                    fail("%s: Hijri cell %r, JSON day %d" % (here, hijri_cell, hijri["day"]))
                elif m.group(2) is not None and m.group(2) != hijri["monthName"]:
                    fail("%s: Hijri month %r, JSON %r" % (here, m.group(2), hijri["monthName"]))
                elif not hijri_months and (index == 0 or hijri["day"] == 1) and m.group(2) is None:
                    fail("%s: the Hijri month is not named (%r)" % (here, hijri_cell))
                if hijri["monthName"] not in heading or str(hijri["year"]) not in heading:
                    fail("%s: heading %r lacks %s %d" % (here, heading, hijri["monthName"],
                                                         hijri["year"]))
            if calendar.month_name[row_date.month] not in heading or str(row_date.year) not in heading:
                fail("%s: heading %r lacks %s %d" % (here, heading,
                                                     calendar.month_name[row_date.month], row_date.year))
            # Summer time and the clock's changes.
            if ("summer" in tr.classes()) != day["summerTime"]:
                fail("%s: summer-time class %s, JSON %s" % (here, tr.classes(), day["summerTime"]))
            summer_rows += day["summerTime"]
            if previous_offset is not None and day["utcOffset"] != previous_offset:
                change = "%d %s the clock is UTC%s" % (row_date.day, calendar.month_name[row_date.month],
                                                       day["utcOffset"])
                if not any(change in n for n in note_texts):
                    fail("%s: no note %r among %r" % (here, change, note_texts))
            previous_offset = day["utcOffset"]
            # The times.
            offsets = day.get("utcOffsets", {})
            for key, td in zip(keys, cells[3:]):
                at = "%s %s" % (here, key)
                shown, marks = cell_parts(td)
                column = table.find("thead").find_all("th")[3 + keys.index(key)].text()
                letters = [m for m in marks if re.fullmatch(r"[a-z]|n\d+", m)]
                used.update(letters)
                texts = [notes.get(m, "") for m in letters]
                for m in letters:
                    if m not in notes:
                        fail("%s: mark %r has no note" % (at, m))
                    elif column not in notes[m]:
                        fail("%s: note %r does not name %s" % (at, notes[m], column))
                value = day["times"][key]
                if value is None:
                    reason = day["missing"].get(key, "")
                    if shown != DASH or not any("no time, " + reason in t for t in texts):
                        fail("%s: shows %r %r (notes %r), JSON none: %r" % (at, shown, marks, texts,
                                                                          reason))
                    continue
                want, shift = expected_cell(key, value, row_date, rounding)
                if shown != want:
                    fail("%s: shows %r, JSON %s gives %s" % (at, shown, value, want))
                shift_marks = [m for m in marks if re.fullmatch("[+" + MINUS + r"]\d+", m)]
                if key in NIGHT_AFTER and shift in (0, 1):
                    # Unmarked: after 00:00 the next date, before it the date's.
                    if shift_marks or shift != (1 if want < "12:00" else 0):
                        fail("%s: %s %r on the night after %s (JSON %s)" % (at, want, shift_marks,
                                                                           date_text, value))
                elif shift_marks != ([] if shift == 0 else
                                     ["%s%d" % ("+" if shift > 0 else MINUS, abs(shift))]):
                    fail("%s: marks %r for a day shift of %d (JSON %s)" % (at, marks, shift, value))
                filled = day["filled"].get(key)
                if (filled is not None) != ("filled" in td.classes()):
                    fail("%s: filled class %s, JSON %r" % (at, td.classes(), filled))
                if filled is not None and not any("filled by " + filled in t for t in texts):
                    fail("%s: no note 'filled by %s' (%r)" % (at, filled, texts))
                if key in offsets and not any("UTC" + offsets[key] in t for t in texts):
                    fail("%s: no note of the clock at UTC%s (%r)" % (at, offsets[key], texts))
                if filled is None and key not in offsets and letters:
                    fail("%s: marks %r on a time the JSON gives plainly" % (at, letters))
        if set(notes) != used:
            fail("%s: notes %s, marks used %s" % (where, sorted(notes), sorted(used)))
        if summer_rows and not any("summer time" in n for n in note_texts):
            fail("%s: summer-time rows without a note" % where)
        if len(groups) != 1 or groups == {previous_group}:
            fail("%s: the table holds months %s after %s" % (where, groups, previous_group))
        previous_group = next(iter(groups)) if groups else None

    if sorted(set(seen_rows)) != seen_rows or \
            any((b - a).days != 1 for a, b in zip(seen_rows, seen_rows[1:])):
        fail("%s: the rows are not the consecutive dates of the schedule" % what)
    missing = sorted(set(json_days) - {d.isoformat() for d in seen_rows})
    if missing:
        fail("%s: JSON dates without a row: %s" % (what, missing))
    return len(sections), len(seen_rows)


# ------------------------------------------------------------- the browser

def chromium(args, workdir):
    """Runs headless Chromium on a fresh profile; its stdout."""
    profile = tempfile.mkdtemp(dir=workdir, prefix="profile-")
    env = dict(os.environ, HOME=workdir, XDG_CONFIG_HOME=workdir, XDG_CACHE_HOME=workdir)
    command = [CHROMIUM, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic",
               "--no-first-run", "--disable-background-networking", "--disable-component-update",
               "--disable-sync", "--user-data-dir=" + profile] + args
    result = subprocess.run(command, capture_output=True, env=env, timeout=300)
    if result.returncode != 0:
        fail("chromium %s: exit %d: %s" % (args[-1], result.returncode,
                                           result.stderr.decode("utf-8", "replace")[-2000:]))
    return result.stdout


def pdf_pages(data):
    """The page objects of a PDF, also those inside compressed object
    streams, and the largest /Count of a page tree (its root's)."""
    page = re.compile(rb"/Type\s*/Page(?![A-Za-z])")
    count = re.compile(rb"/Type\s*/Pages\b[^>]*?/Count\s+(\d+)|/Count\s+(\d+)[^>]*?/Type\s*/Pages\b")
    bodies = [data]
    for m in re.finditer(rb"/Type\s*/ObjStm\b.*?stream\r?\n(.*?)endstream", data, re.S):
        try:
            bodies.append(zlib.decompress(m.group(1)))
        except zlib.error:
            pass
    pages = sum(len(page.findall(b)) for b in bodies)
    counts = [int(a or b) for body in bodies for a, b in count.findall(body)]
    return pages, max(counts) if counts else None


def check_print(what, raw, pages_wanted, workdir):
    path = os.path.join(workdir, what.replace(" ", "_") + ".html")
    pdf = path[:-5] + ".pdf"
    with open(path, "wb") as f:
        f.write(raw)
    chromium(["--print-to-pdf=" + pdf, "--no-pdf-header-footer", "file://" + path], workdir)
    if not os.path.exists(pdf):
        fail("%s: no PDF written" % what)
        return
    with open(pdf, "rb") as f:
        data = f.read()
    if not data.startswith(b"%PDF-") or b"%%EOF" not in data[-1024:]:
        fail("%s: not a whole PDF (%d bytes)" % (what, len(data)))
        return
    pages, count = pdf_pages(data)
    print("%s: %d bytes of HTML, %d of PDF, %d page(s) (page tree /Count %s)" % (
        what, len(raw), len(data), pages, count))
    if pages != pages_wanted or count != pages_wanted:
        fail("%s: prints on %d pages (/Count %s), want %d" % (what, pages, count, pages_wanted))


def check_dom(what, html, raw, workdir):
    """The browser's own parse of the page holds the same table cells."""
    path = os.path.join(workdir, what.replace(" ", "_") + "-dom.html")
    with open(path, "wb") as f:
        f.write(raw)
    dom = chromium(["--dump-dom", "file://" + path], workdir).decode("utf-8", "replace")
    builder = TreeBuilder(what + " (browser DOM)")
    builder.feed(dom)
    builder.close()

    def cells(tree):
        return [[td.text().strip() for td in tr.find_all("td")] for tr in tree.find_all("tr")]

    ours, theirs = cells(html), cells(builder.root)
    if not theirs or ours != theirs:
        fail("%s: the browser's DOM has %d rows, the page %d (or other cells)" % (
            what, len(theirs), len(ours)))


# ---------------------------------------------------------------------- main

def main():
    london = ["--city", "London"]
    cases = [
        # (name, args, Hijri months, tables, rows, pages when printed or None)
        ("London March 2024", london + ["--date", "2024-03-01"], False, 1, 31, 1),
        ("London day", london + ["--date", "2024-03-31", "--day"], False, 1, 1, 1),
        ("London 2024", london + ["--date", "2024-05-17", "--year"], False, 12, 366, 12),
        ("London October nearest", london + ["--date", "2024-10-09", "--rounding", "nearest"],
         False, 1, 31, None),
        ("London up", london + ["--date", "2024-03-31", "--day", "--rounding", "up"], False, 1, 1,
         None),
        ("Tromso June both Asr", ["--city", "Tromso", "--date", "2024-06-01", "--asr", "both"],
         False, 1, 30, 1),
        ("Tromso January", ["--city", "Tromso", "--date", "2024-01-01"], False, 1, 31, None),
        ("Cairo Hijri months", ["--city", "Cairo", "--method", "Egypt", "--hijri-months",
                                "--date", "2024-03-11"], True, 1, None, None),
        ("Cairo Hijri year", ["--city", "Cairo", "--method", "Egypt", "--hijri-months", "--year",
                              "--date", "2024-03-11"], True, 12, None, None),
        ("Apia December 2011", ["--city", "Apia", "--date", "2011-12-01"], False, 1, 31, None),
        ("markup in the name", ["--lat", "33.5", "--lon", "-7.6", "--tz", "Africa/Casablanca",
                                "--name", "<b>Dar & \"Salam\"</b> 'x'", "--day",
                                "--date", "2024-03-11"], False, 1, 1, None),
        ("Latin-1 name", ["--lat", "48.85", "--lon", "2.35", "--tz", "Europe/Paris",
                          "--name", b"Caf\xe9 de la Gare", "--day", "--date", "2024-07-01"],
         False, 1, 1, None),
    ]
    pages = []
    for name, args, hijri_months, tables_wanted, rows_wanted, pages_wanted in cases:
        raw = run(["times"] + args + ["--format", "html"]).stdout
        document = json.loads(run(["times"] + args + ["--format", "json"]).stdout.decode("utf-8"))
        html, text = parse_page(name, raw)
        if html is None:
            continue
        self_contained(name, html, text)
        tables, rows = check_page(name, args, html, document, hijri_months)
        if tables != tables_wanted or (rows_wanted is not None and rows != rows_wanted):
            fail("%s: %d tables of %d rows, want %d of %s" % (name, tables, rows, tables_wanted,
                                                             rows_wanted))
        if name == "markup in the name":
            shown = html.find("h1").text()
            if "<b>Dar & \"Salam\"</b> 'x'" not in shown or "<b>" in text.split("<body>")[1]:
                fail("%s: the name is not escaped as text (%r)" % (name, shown))
        if name == "Latin-1 name" and "Caf\u00e9 de la Gare" not in html.find("h1").text():
            fail("%s: the Latin-1 name is not shown as UTF-8 (%r)" % (name, html.find("h1").text()))
        if pages_wanted is not None:
            pages.append((name, raw, html, pages_wanted))

    # A format it does not know is refused with the list of formats.
    refused = run(["times", "--format", "htm"], status=2).stderr.decode("utf-8", "replace")
    if "ics,html, not 'htm'" not in refused:
        fail("--format htm: %r" % refused)
    if "html" not in run(["times", "--help"]).stdout.decode("utf-8", "replace"):
        fail("times --help does not mention html")

    if FAILURES:
        print("%d failure(s)" % len(FAILURES))
        return 1
    if not os.path.exists(CHROMIUM):
        print("chromium not found: test skipped (the page checks passed)")
        return 0
    with tempfile.TemporaryDirectory(prefix="vorlin-html-") as workdir:
        for name, raw, html, pages_wanted in pages:
            check_print(name, raw, pages_wanted, workdir)
        check_dom(pages[0][0], pages[0][2], pages[0][1], workdir)
    if FAILURES:
        print("%d failure(s)" % len(FAILURES))
        return 1
    print("all HTML checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
